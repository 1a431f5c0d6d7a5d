// The options of an import.
#include "standin/host/import_options.h"

ImportOptions::ImportOptions(CLI::App& import, ImportRequest& request) : request_(request) {
  import.add_option("FILE", request.file, "the text PCB file")->required();
  import.add_option("--json", request.json_path, "where the board document goes (default: FILE.json)");
  import.add_option("--svg", request.svg_path, "also draw the board as an SVG picture");
  import.add_option("--trace", request.trace_path, "write one line per host function call");
  import.add_flag("--test-mode", request.options.test_mode, "the registry holds the test-mode key (no rules dialog)");
  import.add_option("--uncheck", request.options.uncheck, "untick these boxes of the rules dialog, then OK")
      ->delimiter(',');
  import.add_flag("--close-dialog-with-box", request.options.close_dialog_with_box,
                  "close the rules dialog with the window's close box");
  import.add_option("--escape-at", request.options.escape_at, "press Escape after the N-th progress step")
      ->delimiter(',');
  import.add_option("--confirm-abort", confirm_, "answers of the abort confirmation, in order (default yes)")
      ->delimiter(',')
      ->check(CLI::IsMember({"yes", "no"}));
  import.add_flag("--quiet", request.options.quiet, "no progress bar or messages on the terminal");
  import.add_flag("--no-document", request.no_document, "do not save the JSON document");
  import.add_option("--kicad", request.kicad_path, "also write the board as a KiCad 6 board (and its .kicad_pro, .kicad_dru)");
  import.add_flag("--kicad-summary", request.kicad_summary, "print the numbers of objects, rules and library footprints on standard output");
}

void ImportOptions::Complete() {
  request_.options.confirm_abort.clear();
  for (const std::string& word : confirm_) request_.options.confirm_abort.push_back(word == "yes");
}
