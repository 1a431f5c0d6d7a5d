// The import run: set-up, the record loop, the end-of-run sequence and the release of the run.
#include "plugin/import_run.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "design/layer_warnings.h"
#include "design/record_table.h"
#include "host/api/vocabulary.h"
#include "host/board.h"
#include "host/core_calls.h"
#include "plugin/header.h"
#include "plugin/link_pass.h"
#include "records/input.h"
#include "records/progress.h"
#include "records/read_context.h"
#include "rules/classifier.h"
#include "rules/design_rule_translator.h"
#include "rules/rule_builders.h"

namespace {

constexpr std::uint8_t kRuleIterationMethod = 1;

void RecordLoop(ReadContext& context) {
  ShortString<255> line;
  while (!context.input.AtEnd() && !context.abort) {
    context.input.ReadLine(line);
    context.component_name.Clear();
    if (const RecordReader read = RecordReaderFor(line.View())) context.board.AddObject(read(context));
  }
}

void RemoveExistingRules(TPcbBoard& board) {
  std::vector<std::uint32_t> rules;
  std::bitset<32> kinds;
  kinds.set(KindCode(ObjectKind::kRule));
  std::bitset<88> layers;
  for (std::size_t layer = host_layer::kTopLayer; layer <= host_layer::kConnectLayer; ++layer) layers.set(layer);
  board.IterateObjects([&rules](std::uint32_t rule) { rules.push_back(rule); }, kinds, kRuleIterationMethod, layers);
  for (std::uint32_t rule : rules) board.RemoveObject(rule);
}

// The end of a run that was not aborted: the board's old rules give way to the file's, the
// user may switch families of scoped rules off, primitives join their owners, and guessed
// component sides are reported.
void NormalEnd(ReadContext& context) {
  TPcbBoard& board = context.board;
  RemoveExistingRules(board);
  MakeEndOfRunRules(board, context.routing_directions, context.clearances);
  RunDesignRuleDialogStep(context.classifier);
  context.classifier.GenerateRules();
  if (context.format_level <= 8) MakeOldFormatDefaultRules(board);
  LinkPass(context.tables, board.Handle());
  if (context.warnings.HasWarnings()) {
    context.warnings.WriteReport(board.FileName(), context.format_level);
    context.warnings.ShowReportMessage(board.FileName(), context.format_level);
  }
}

// Everything of the run between the board's first load and the end of the progress bar. False
// when the file could not be opened again or the user aborted.
bool ReadFile(const std::string& file_name, const ShortString<255>& counted_name, TPcbBoard& board) {
  // The classifier refers to the board, so it is made after the board and released before it.
  // Releasing the run's parts asks nothing of the host: the progress bar's end stays the last call.
  TInput input;
  TComponentLayerWarnings warnings;
  TClassifier classifier(board);

  // The file vanished or became unreadable after recognition: the run ends as an empty file's
  // would, with 0 and nothing changed, rather than replacing the board's rules after reading
  // nothing and reporting success.
  if (!input.Open(file_name)) return false;
  ShortString<255> banner;
  input.ReadLine(banner);
  const std::int32_t format_level = FormatLevelOfBanner(banner.View());
  ProgressStart(input, counted_name.View(), format_level, CaptionSuffix(format_level));

  ReadContext context(input, format_level, board, classifier, warnings);
  RecordLoop(context);
  const bool normal_end = !context.abort;
  if (normal_end) NormalEnd(context);
  ProgressFinish();
  return normal_end;
}

}  // namespace

bool ImportFile(const std::string& file_name) {
  if (!RecognisedFile(file_name)) return false;
  const ShortString<255> counted_name(file_name);
  TPcbBoard board(host::PcbApi_GetBoardHandleFromFullFileName(counted_name.Raw()));
  board.Load();
  return ReadFile(file_name, counted_name, board);
}
