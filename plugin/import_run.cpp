// The import run: set-up, the record loop and its keyword table, and both ends of the run.
#include "plugin/import_run.h"

#include <array>
#include <memory>
#include <string_view>

#include "design/layer_warnings.h"
#include "design/readers.h"
#include "host/board.h"
#include "host/core_calls.h"
#include "plugin/header.h"
#include "plugin/index_tables.h"
#include "plugin/link_pass.h"
#include "plugin/progress.h"
#include "plugin/run_state.h"
#include "records/input.h"
#include "records/readers.h"
#include "rules/classifier.h"
#include "rules/rule_builders.h"

namespace {

constexpr std::uint32_t kRuleKind = 16;
constexpr std::uint8_t kRuleIterationMethod = 1;

// Routing directions of a new run: horizontal on the top layer, vertical on the bottom layer.
constexpr std::uint8_t kTopDirection = 1;
constexpr std::uint8_t kBottomDirection = 2;
// Clearances of a run whose file has no options section: 5 mil in host units.
constexpr std::int32_t kDefaultClearance = 50000;

bool Equals(std::string_view line, std::string_view keyword) { return line == keyword; }

bool ContainsNetDef(std::string_view line) {
  constexpr std::string_view kNetDef = "NETDEF";
  if (line.size() < kNetDef.size()) return false;
  for (std::size_t start = 0; start + kNetDef.size() <= line.size(); ++start) {
    bool match = true;
    for (std::size_t i = 0; i < kNetDef.size() && match; ++i) {
      char c = line[start + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      match = c == kNetDef[i];
    }
    if (match) return true;
  }
  return false;
}

std::uint32_t ReadDefaultsRecord() {
  ReadDefaults();
  return 0;
}

std::uint32_t ReadOptionsRecord() {
  ReadOptions();
  return 0;
}

// A keyword line and its reader. Free records are tested by whole-line equality (capitals, no
// blanks); a net definition by containment in any case.
struct RecordRow {
  std::string_view keyword;
  bool contains_any_case;
  std::uint32_t (*read)();
};

constexpr std::array<RecordRow, 13> kRecordTable = {{
    {"FV", false, ReadVia},
    {"FP", false, ReadPad},
    {"FF", false, ReadFill},
    {"FA", false, ReadArc},
    {"FT", false, ReadTrack},
    {"PG", false, ReadPolygon},
    {"FD", false, ReadCoordinate},
    {"FI", false, ReadDimension},
    {"FS", false, ReadString},
    {"NETDEF", true, ReadNetDef},
    {"COMP", false, ReadComponent},
    {"DEFAULTS", false, ReadDefaultsRecord},
    {"OPTIONS", false, ReadOptionsRecord},
}};

const RecordRow* MatchRecord(std::string_view line) {
  for (const RecordRow& row : kRecordTable) {
    if (row.contains_any_case ? ContainsNetDef(line) : Equals(line, row.keyword)) return &row;
  }
  return nullptr;
}

void RecordLoop(RunState& run) {
  ShortString<255> line;
  while (!run.input->AtEnd() && !run.abort) {
    run.input->ReadLine(line);
    run.CurrentComponentName.Clear();
    if (const RecordRow* row = MatchRecord(line.View()); row != nullptr) {
      run.board->AddObject(row->read());
    }
  }
}

void RemoveExistingRules(RunState& run) {
  run.rule_removal_list.clear();
  std::bitset<32> kinds;
  kinds.set(kRuleKind);
  std::bitset<88> layers;
  for (std::size_t layer = 1; layer <= 75; ++layer) layers.set(layer);
  run.board->IterateObjects([&run](std::uint32_t rule) { run.rule_removal_list.push_back(rule); }, kinds,
                            kRuleIterationMethod, layers);
  for (std::uint32_t rule : run.rule_removal_list) run.board->RemoveObject(rule);
}

void NormalEnd(RunState& run) {
  RemoveExistingRules(run);
  MakeEndOfRunRules(*run.board, run.routing_directions, run.clearances);
  run.classifier->GenerateRules();
  if (run.format_level <= 8) MakeOldFormatDefaultRules(*run.board);
  LinkPass(run.board->Handle());
  run.index_tables.reset();
  if (run.warnings->HasWarnings()) {
    run.warnings->WriteReport();
    run.warnings->ShowReportMessage();
  }
}

// Installs the run state for the duration of one run and releases it at either end.
class ActiveRun {
 public:
  ActiveRun() { InstallRun(&state_); }
  ~ActiveRun() { InstallRun(nullptr); }
  ActiveRun(const ActiveRun&) = delete;
  ActiveRun& operator=(const ActiveRun&) = delete;
  RunState& state() { return state_; }

 private:
  RunState state_;
};

}  // namespace

bool ImportFile(const std::string& file_name) {
  if (!RecognisedFile(file_name)) return false;
  ActiveRun active;
  RunState& run = active.state();

  ShortString<255> counted_name(file_name);
  run.board = std::make_unique<TPcbBoard>(host::PcbApi_GetBoardHandleFromFullFileName(counted_name.Raw()));
  run.board->Exchange(true);
  run.classifier = std::make_unique<TClassifier>(*run.board);
  run.warnings = std::make_unique<TComponentLayerWarnings>();

  run.input = std::make_unique<TInput>();
  // The file vanished or became unreadable after recognition: the run ends as an empty file's
  // would, with 0 and nothing changed, rather than replacing the board's rules after reading
  // nothing and reporting success.
  if (!run.input->Open(file_name)) return false;
  ShortString<255> banner;
  run.input->ReadLine(banner);
  ReadHeader(banner.View());
  ProgressStart(*run.input, counted_name.View(), run.format_level);
  run.index_tables = std::make_unique<TIndexTables>();
  run.routing_directions.fill(0);
  run.routing_directions.front() = kTopDirection;
  run.routing_directions.back() = kBottomDirection;
  run.clearances.fill(kDefaultClearance);

  RecordLoop(run);

  const bool normal_end = !run.abort;
  if (normal_end) NormalEnd(run);
  // Release in the order of the run's ends: classifier, tables and collector, the input, then
  // the progress bar's end as the last host call, then the board wrapper.
  run.classifier.reset();
  run.index_tables.reset();
  run.warnings.reset();
  run.input.reset();
  ProgressFinish();
  run.board.reset();
  return normal_end;
}
