// The WebAssembly module's interface to JavaScript (embind; web/README.md shows its use):
//
//   Module.importBoard(words, handlers) -> {status, messages}
//       imports as `viderave import WORDS...` does: `words` is an array of the command's words,
//       the file's name first (a file in the module's memory file system), then its options in
//       the host program's spelling (--json, --svg, --kicad, --escape-at, --uncheck,
//       --confirm-abort, --close-dialog-with-box, --test-mode, --no-document, ...). The outputs
//       land in the memory file system for the caller to read. `status` is the host program's
//       exit status (0 imported, 1 did not complete, 2 usage or unreadable file); `messages`
//       holds what the program would have said on its terminal.
//       `handlers` (or undefined) may hold:
//         onProgress(caption, steps, total): called as the progress bar starts (steps 0) and at
//           each step; answers true to press Escape (the page's Abort), which asks the abort
//           confirmation (answered yes unless --confirm-abort says otherwise).
//         onDialog(dialog): shows the rules dialog, unless --uncheck or --close-dialog-with-box
//           answer it. `dialog` is {caption, help, controls: [{index, name, caption, kind
//           ('checkbox', 'button' or another class name), enabled, checked, modalResult, parent,
//           x, y, width, height, tabOrder}]}; the answer is {result (the closing button's
//           modalResult, 2 for the close box), checked: {name: bool}, clicks: [index of a button
//           that does not close the dialog, such as Help, in the order pressed]}, or undefined
//           for the answer without anyone (OK, boxes as they are).
//         onConfirm(caption, text): asks the abort confirmation after an Escape, unless
//           --confirm-abort answers it; true for yes. Without it the answer is yes.
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
#include "standin/host/dialog_ui.h"
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

std::string TextOf(const char* text) { return Latin1ToUtf8(text == nullptr ? "" : text); }

std::string KindOf(const ViderveControl& control) {
  if (IsCheckBox(control)) return "checkbox";
  if (IsButton(control)) return "button";
  return TextOf(control.class_name);
}

val DescribeDialog(const ViderveDialog& dialog) {
  val controls = val::array();
  for (std::int32_t i = 0; i < dialog.control_count; ++i) {
    const ViderveControl& control = dialog.controls[i];
    val described = val::object();
    described.set("index", i);
    described.set("name", TextOf(control.name));
    described.set("caption", TextOf(control.caption));
    described.set("kind", KindOf(control));
    described.set("enabled", control.enabled != 0);
    described.set("checked", control.checked != 0);
    described.set("modalResult", control.modal_result);
    described.set("parent", control.parent);
    described.set("x", control.x);
    described.set("y", control.y);
    described.set("width", control.width);
    described.set("height", control.height);
    described.set("tabOrder", control.tab_order);
    controls.call<void>("push", described);
  }
  val description = val::object();
  description.set("caption", TextOf(dialog.caption));
  description.set("help", std::string(RulesDialogHelp()));
  description.set("controls", controls);
  return description;
}

// The page's answer applied as a person's would be in the terminal: clicks on buttons that do not
// close the dialog reach the plug-in, enabled boxes take their states, the closing result is given.
std::int32_t ShowDialogInPage(ViderveDialog& dialog, const val& on_dialog) {
  const val answer = on_dialog(DescribeDialog(dialog));
  if (answer.isUndefined() || answer.isNull()) return AnswerDialogFromOptions(dialog);
  const val clicks = answer["clicks"];
  if (!clicks.isUndefined() && !clicks.isNull()) {
    for (const int index : emscripten::vecFromJSArray<int>(clicks)) {
      if (index < 0 || index >= dialog.control_count) continue;
      const ViderveControl& button = dialog.controls[index];
      if (IsButton(button) && button.enabled != 0 && button.modal_result == 0 && dialog.on_click != nullptr) {
        dialog.on_click(dialog.context, index);
      }
    }
  }
  const val checked = answer["checked"];
  for (std::int32_t i = 0; i < dialog.control_count && !checked.isUndefined() && !checked.isNull(); ++i) {
    ViderveControl& control = dialog.controls[i];
    if (!IsCheckBox(control) || control.enabled == 0) continue;
    const val state = checked[TextOf(control.name)];
    if (!state.isUndefined()) control.checked = state.as<bool>() ? 1 : 0;
  }
  const val result = answer["result"];
  if (result.isUndefined() || result.isNull()) return AnswerDialogFromOptions(dialog);
  return result.as<std::int32_t>();
}

bool Given(const val& value) { return !value.isUndefined() && !value.isNull(); }

// The session's options refer to one call's handlers and message stream: they are dropped when
// the call ends, however it ends, so that nothing reaches them between imports.
class OptionsOfCall {
 public:
  OptionsOfCall() = default;
  ~OptionsOfCall() { Session().options = HostOptions{}; }
  OptionsOfCall(const OptionsOfCall&) = delete;
  OptionsOfCall& operator=(const OptionsOfCall&) = delete;
};

val ImportBoard(val words, val handlers) {
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
  const val on_progress = Given(handlers) ? handlers["onProgress"] : val::undefined();
  const val on_dialog = Given(handlers) ? handlers["onDialog"] : val::undefined();
  const val on_confirm = Given(handlers) ? handlers["onConfirm"] : val::undefined();
  if (Given(on_progress)) {
    request.on_progress = [&on_progress](std::string_view caption, std::int32_t steps, std::int32_t total) {
      return on_progress(Latin1ToUtf8(caption), steps, total).as<bool>();
    };
  }
  if (Given(on_confirm)) {
    request.options.ask_yes_no = [&on_confirm](const std::string& caption, const std::string& text) {
      return on_confirm(caption, text).as<bool>();
    };
  }
  if (Given(on_dialog)) {
    request.options.show_dialog = [&on_dialog](ViderveDialog& dialog) { return ShowDialogInPage(dialog, on_dialog); };
  }
  // What the last import left is dropped now rather than after it: the caller may still read the
  // board's files, and the next import needs the server as a new process finds it.
  orv::Server().Reset();
  Session() = HostSession{};
  const OptionsOfCall options_of_call;
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
