// NETDEF records: one host net per record, numbered in file order so that primitives can name
// it by number until the link pass. The record also carries the net's routing values (handed to
// the classifier), a member list that is skipped (primitives name their net themselves) and,
// from version 2.30 on, the internal plane whose net it is.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "design/readers.h"
#include "host/api/vocabulary.h"
#include "host/board.h"
#include "host/core_calls.h"
#include "host/pcb_objects.h"
#include "host/short_string.h"
#include "records/conventions.h"
#include "records/input.h"
#include "records/progress.h"
#include "records/read_context.h"
#include "rules/classifier.h"

namespace {

// The importer's net record: the host's net wrapper as the reader fills it.
class TNet : public TPcbNet {
 public:
  using TPcbNet::TPcbNet;
};

// Reads and drops lines up to and including one that is exactly `closing` (at least one line is
// read). False when the input ended first.
bool SkipBlock(TInput& input, std::string_view closing) {
  ShortString<255> line;
  while (!input.AtEnd()) {
    input.ReadLine(line);
    if (line == closing) return true;
  }
  return false;
}

// Wrapping multiply: the file's widths are 32-bit values, and a huge one must not overflow.
std::int32_t TimesTen(std::int32_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * 10u);
}

// The four routing values of the net's attribute line, as the classifier groups them.
void ReadRoutingValues(TInput& input, TClassifier& classifier, const TPcbNet& net) {
  const std::int32_t width = input.ReadInt();
  const std::int32_t via_size = input.ReadInt();
  const std::int32_t topology = input.ReadInt();
  const std::int32_t priority = input.ReadInt();
  input.LineEnd();
  const std::string_view name = net.Name.View();
  classifier.AddNetWidth(TimesTen(width), name);
  classifier.AddNetViaSize(TimesTen(via_size), name);
  classifier.AddNetTopology(topology & 0xFF, name);
  classifier.AddNetPriority(priority & 0xFF, name);
}

// A net on InternalPlane1 to 4 becomes that plane's net, unless a split plane of the net was
// read before: the plane is then divided and keeps its own net name. Split planes name their net
// by its full sequence number, which the 16-bit Index no longer holds from the 65536th net on.
void SetPlaneNet(ReadContext& context, std::uint8_t layer, const TPcbNet& net, std::int64_t number) {
  if (layer < host_layer::kInternalPlane1 || layer > host_layer::kInternalPlane4) return;
  const std::vector<std::int32_t>& split_nets = context.split_plane_nets;
  if (std::find(split_nets.begin(), split_nets.end(), number) != split_nets.end()) return;
  TPcbBoard& board = context.board;
  board.Load();
  board.SetPlaneNetName(layer - host_layer::kInternalPlane1 + 1, net.Name.View());
  board.Store();
}

}  // namespace

std::uint32_t ReadNetDef(ReadContext& context) {
  TInput& input = context.input;
  const std::int32_t level = context.format_level;

  TNet net(host::PcbApi_CreateObject(KindCode(ObjectKind::kNet)));
  net.Load();
  StepAndPoll(context);  // an abort lets the record finish; the run stops after it

  input.ReadString(net.Name);
  input.LineEnd();
  net.Index = context.tables.Next(TIndexTables::Sequence::kNet);
  net.Store();
  context.tables.Enter(TIndexTables::Table::kNet, net.Handle);

  if (level >= 1) ReadRoutingValues(input, context.classifier, net);

  // A line, the member list up to ")", a line, and a block up to "}". The input may end inside
  // either block; the net is complete by then and the record ends with it.
  input.LineEnd();
  bool complete = SkipBlock(input, ")");
  if (complete) {
    input.LineEnd();
    complete = SkipBlock(input, "}");
  }

  if (complete) {
    if (level == 3) {
      input.ReadInt();
      input.ReadInt();
      input.LineEnd();
    } else if (level >= 4) {
      input.ReadInt();
      input.ReadInt();
      input.ReadInt();
      input.LineEnd();
    }
    if (level >= 5) {
      SetPlaneNet(context, MapFileLayer(input.ReadInt()) & 0x7F, net,
                  context.tables.Count(TIndexTables::Sequence::kNet));
      if (level >= 9) {
        net.Attribute = static_cast<std::uint32_t>(static_cast<std::uint64_t>(input.ReadInt64()));
        input.ReadInt();
      }
      input.LineEnd();
    }
  }

  net.Store();
  return net.Handle;
}
