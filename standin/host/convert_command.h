// `viderave convert DIR --kicad OUTDIR [--jobs N]`: every text PCB file under DIR imported and
// written as a KiCad project under OUTDIR, in a folder of its own named after the file, at the
// file's relative place (DIR/sub/a.PCB to OUTDIR/sub/a/a.kicad_pcb, with its footprint library
// and library table). The import run is not re-entrant, so files are converted in parallel by
// child processes of this program (`import FILE --kicad OUT ...`), at most N at once. A summary
// table goes to standard output.
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
