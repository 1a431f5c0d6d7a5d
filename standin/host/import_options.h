// The options of an import, as the host program's `import` command takes them and as the
// WebAssembly module takes them from its page (the same words, so a test can give both the same).
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "standin/host/import_command.h"

class ImportOptions {
 public:
  // Adds FILE and the import's options to `command`; they are parsed into `request`.
  ImportOptions(CLI::App& command, ImportRequest& request);
  // After the parse: the values no option fills directly (the abort answers).
  void Complete();

 private:
  ImportRequest& request_;
  std::vector<std::string> confirm_;
};
