// `viderave export DOCUMENT.json --kicad OUT.kicad_pcb` and the --kicad option of `import`:
// a board, read from a saved document or straight from the model, to a KiCad 6 project:
// OUT.kicad_pcb, and beside it OUT.kicad_pro (the Default net class and board constraints) and
// OUT.kicad_dru (the custom rules).
#pragma once

#include <cstdint>
#include <string>

#include "viewers/board_view.h"
#include "viewers/kicad_board.h"
#include "viewers/object_source.h"

namespace kicad {

struct ExportResult {
  bool ok = false;
  std::string error;  // why not, when !ok
  ExportCounts counts;
  std::int64_t objects = 0;  // objects of the view, rules not counted
  std::int64_t rules = 0;
  RuleTranslation rules_written;
};

// Writes the three files; the project and rules files take the board file's name with their
// own extensions. A source that cannot read an object fails the export, the error saying why.
ExportResult ExportKicad(view::ObjectSource& source, const std::string& board_path);
ExportResult ExportKicad(const view::BoardView& board, const std::string& board_path);

// One line for the terminal: what was written and what was left out.
std::string Summary(const ExportResult& result, const std::string& board_path);

}  // namespace kicad

// `viderave export`: 0 when written; 2 when the document cannot be read or is not a board
// document, or a file cannot be written.
int RunExport(const std::string& document_path, const std::string& board_path, bool quiet);
