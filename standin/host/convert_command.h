// `viderave convert DIR --kicad OUTDIR [--jobs N]`: every text PCB file under DIR imported and
// written as a KiCad board under OUTDIR (same relative path, extension .kicad_pcb). The import
// run is not re-entrant, so files are converted in parallel by child processes of this program
// (`import FILE --kicad OUT ...`), at most N at once. A summary table goes to standard output.
#pragma once

#include <string>

struct ConvertRequest {
  std::string input_dir;
  std::string output_dir;
  int jobs = 0;             // 0: one per core
  std::string plugin_path;  // passed on to the children
  bool quiet = false;       // no progress lines on standard error
};

// Exit status: 0 when every file converted, 1 when any failed (the others are converted all
// the same), 2 when DIR is not a folder or OUTDIR cannot be made.
int RunConvert(const ConvertRequest& request);
