// `viderave import`: opens a board document under the file's full name, runs the plug-in's
// import on it, shows progress, and saves the document.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "standin/host/session.h"

// Told of the progress bar's start (steps 0) and of every step, beside the terminal's bar: the
// WebAssembly module's page draws its own. Answers true when the user asked there to abort,
// which posts an Escape key press as the terminal's Escape key does.
using ProgressObserver = std::function<bool(std::string_view caption, std::int32_t steps, std::int32_t total)>;

struct ImportRequest {
  std::string file;           // as the user gave it
  std::string json_path;      // empty: beside the file, or in the working folder
  std::string svg_path;       // empty: no picture
  std::string trace_path;     // empty: no trace
  std::string plugin_path;    // empty: the module beside the program
  std::string kicad_path;     // empty: no KiCad board
  bool kicad_summary = false;  // print "objects N rules M footprints F" on standard output (for `convert`)
  bool no_document = false;
  HostOptions options;
  ProgressObserver on_progress;  // empty: the terminal's bar only
};

// Exit status: 0 when the import returned 1, 1 when it returned 0 (the document is saved all
// the same), 2 for a file that does not exist or cannot be read, a module that cannot load, or
// a document, picture or KiCad board that cannot be written.
int RunImport(const ImportRequest& request);

// Where the document goes by default: FILE with the extension .json beside it, or in the
// working folder when that folder is not writable.
std::string DefaultDocumentPath(const std::string& absolute_file);
