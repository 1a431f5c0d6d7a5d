// `viderave export DOCUMENT.json --kicad OUT.kicad_pcb` and the --kicad option of `import`:
// a board, read from a saved document or straight from the model, to a KiCad 6 project:
// OUT.kicad_pcb, and beside it OUT.kicad_pro (the Default net class and board constraints),
// OUT.kicad_dru (the custom rules), the board's footprint library OUT.pretty/ and the project's
// footprint library table fp-lib-table, which names it (and keeps the other libraries a table
// already there names).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
  std::string library;                // the footprint library's folder name ("OUT.pretty")
  std::int64_t library_footprints = 0;
  std::vector<std::string> variants;  // library footprints numbered for a pattern name already taken
};

// Writes the files; the project and rules files and the library folder take the board file's
// name with their own extensions. A source that cannot read an object fails the export, the error saying why.
ExportResult ExportKicad(view::ObjectSource& source, const std::string& board_path);
ExportResult ExportKicad(const view::BoardView& board, const std::string& board_path);

// One line for the terminal: what was written and what was left out.
std::string Summary(const ExportResult& result, const std::string& board_path);

}  // namespace kicad

// `viderave export`: 0 when written; 2 when the document cannot be read or is not a board
// document, or a file cannot be written.
int RunExport(const std::string& document_path, const std::string& board_path, bool quiet);
