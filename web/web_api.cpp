// The WebAssembly module's interface to JavaScript (embind; web/README.md shows its use):
//
//   Module.importBoard(words, onProgress) -> {status, messages}
//       imports as `viderave import WORDS...` does: `words` is an array of the command's words,
//       the file's name first (a file in the module's memory file system), then its options in
//       the host program's spelling (--json, --svg, --kicad, --escape-at, --uncheck,
//       --confirm-abort, --close-dialog-with-box, --test-mode, --no-document, ...). The outputs
//       land in the memory file system for the caller to read. `status` is the host program's
//       exit status (0 imported, 1 did not complete, 2 usage or unreadable file); `messages`
//       holds what the program would have said on its terminal. `onProgress(caption, steps,
//       total)`, when given, is called as the progress bar starts (steps 0) and at each step;
//       it answers true to press Escape (the page's Abort), which asks the abort confirmation.
//   Module.recognise(fileName) -> bool         the importer's own test of the file
//   Module.describe() -> string                the importer's description
//   Module.unboundHostFunctions() -> [names]   names the plug-in asks for that the build's tables
//                                              lack (empty when every one is there)
//
// Each import starts from an empty server and a fresh session, so one module instance imports
// file after file as a new host process would.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/host_binding.h"
#include "standin/host/import_command.h"
#include "standin/host/import_options.h"
#include "standin/host/plugin_loader.h"
#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/orvpcb/model.h"

namespace {

using emscripten::val;

constexpr int kUsageError = 2;

val Outcome(int status, const std::string& messages) {
  val outcome = val::object();
  outcome.set("status", status);
  outcome.set("messages", messages);
  return outcome;
}

val ImportBoard(val words, val on_progress) {
  const std::vector<std::string> given = emscripten::vecFromJSArray<std::string>(words);
  ImportRequest request;
  CLI::App command{"import", "import"};
  ImportOptions options(command, request);
  std::ostringstream messages;
  try {
    // CLI11 takes the words last first.
    std::vector<std::string> reversed(given.rbegin(), given.rend());
    command.parse(reversed);
  } catch (const CLI::ParseError& error) {
    messages << "viderave: " << error.what() << "\n";
    return Outcome(kUsageError, messages.str());
  }
  options.Complete();
  request.options.messages = &messages;
  if (!on_progress.isUndefined() && !on_progress.isNull()) {
    request.on_progress = [&on_progress](std::string_view caption, std::int32_t steps, std::int32_t total) {
      return on_progress(Latin1ToUtf8(caption), steps, total).as<bool>();
    };
  }
  // What the last import left is dropped now rather than after it: the caller may still read the
  // board's files, and the next import needs the server as a new process finds it.
  orv::Server().Reset();
  Session() = HostSession{};
  const int status = RunImport(request);
  return Outcome(status, messages.str());
}

bool Recognise(const std::string& file_name) { return PluginModule(DefaultPluginPath()).Recognised(file_name); }

std::string Describe() { return PluginModule(DefaultPluginPath()).Description(); }

val UnboundHostFunctions() {
  val names = val::array();
  const std::vector<const char*> registered = HostBinding::Names();
  for (std::size_t slot = 0; slot < registered.size(); ++slot) {
    if (HostBinding::Lookup(slot) == nullptr) names.call<void>("push", std::string(registered[slot]));
  }
  return names;
}

}  // namespace

EMSCRIPTEN_BINDINGS(viderave) {
  emscripten::function("importBoard", &ImportBoard);
  emscripten::function("recognise", &Recognise);
  emscripten::function("describe", &Describe);
  emscripten::function("unboundHostFunctions", &UnboundHostFunctions);
}
