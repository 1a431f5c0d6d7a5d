// Builders of the design records' text for the tests of tests/design, and a small record loop
// that hands COMP and NETDEF records to their readers as the import run does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "design/readers.h"
#include "design/record_table.h"
#include "host/short_string.h"
#include "records/input.h"
#include "records/read_context.h"

namespace design_test {

// The body of a string record (as after FS), on a file layer.
inline std::string StringBody(int level, int file_layer, std::string_view text) {
  std::string body = "0 0 1000 2000 6000 0.0 0 0 " + std::to_string(file_layer);
  if (level >= 1) body += " 0 0 0 0";
  if (level >= 9) body += " 1000 0";
  if (level >= 10) body += " 0 0";
  return body + "\n" + std::string(text) + "\n";
}

// A track record (keyword "FT" or "CT") on a file layer.
inline std::string Track(int level, int file_layer, std::string_view keyword = "CT") {
  std::string record = std::string(keyword) + "\n0 0 1000 2000 3000 2000 100 " + std::to_string(file_layer) + " 0 0 0\n";
  if (level >= 2) record += "0 0 0 0 0\n";
  return record;
}

// A pad record as written before version 2.50 (one value line, then the name).
inline std::string OldPad(std::string_view keyword, std::string_view name) {
  return std::string(keyword) + "\n0 0 100 100 60 60 1 30 0 34 0 0\n" + std::string(name) + "\n";
}

struct Comp {
  std::string pattern = "DIP14";
  std::string designator = "U1";
  int designator_layer = 17;  // TopOverlay
  std::string comment = "74HC00";
  int comment_layer = 17;
  int comment_shown = 1;
  int tag = 0;
  int layer = 1;  // version 2.80 only
  std::string members{};
  bool end = true;  // an ENDCOMP line
};

inline std::string Component(int level, const Comp& comp) {
  std::string record = "COMP\n" + comp.pattern + "\n0 0 1000 2000 1 " + std::to_string(comp.comment_shown) + " " +
                       std::to_string(comp.tag);
  if (level >= 1) record += " 0 0 0 0";
  if (level >= 9) record += " 90.0 " + std::to_string(comp.tag) + " 3";
  if (level >= 10) record += " " + std::to_string(comp.layer);
  record += "\ndesignator\n" + StringBody(level, comp.designator_layer, comp.designator);
  record += "comment\n" + StringBody(level, comp.comment_layer, comp.comment);
  record += comp.members;
  if (comp.end) record += "ENDCOMP\n";
  return record;
}

struct Net {
  std::string name = "GND";
  int width = 12;
  int via_size = 50;
  int topology = 2;
  int priority = 3;
  std::string members = "U1-1\nU1-2\n";
  int plane_layer = 0;
  std::string attribute = "0";
};

inline std::string NetDef(int level, const Net& net) {
  std::string record = "NETDEF\n" + net.name + "\n";
  if (level >= 1) {
    record += std::to_string(net.width) + " " + std::to_string(net.via_size) + " " + std::to_string(net.topology) +
              " " + std::to_string(net.priority) + "\n";
  }
  record += "(\n" + net.members + ")\n{\n}\n";
  if (level == 3) record += "0 0\n";
  if (level >= 4) record += "0 0 0\n";
  if (level >= 5) {
    record += std::to_string(net.plane_layer);
    if (level >= 9) record += " " + net.attribute + " 7";
    record += "\n";
  }
  return record;
}

// The run's record loop for the two design records, through the run's keyword table: every other
// line, free primitive records included, is skipped.
inline std::vector<std::uint32_t> ReadDesignRecords(ReadContext& context) {
  std::vector<std::uint32_t> handles;
  ShortString<255> line;
  TInput& input = context.input;
  while (!input.AtEnd()) {
    input.ReadLine(line);
    context.component_name.Clear();
    const RecordReader reader = RecordReaderFor(line.View());
    if (reader == ReadComponent || reader == ReadNetDef) handles.push_back(reader(context));
  }
  return handles;
}

}  // namespace design_test
