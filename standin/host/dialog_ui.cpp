// The plug-in's modal dialogs in the terminal. A dialog arrives as a flat list of controls; the
// check boxes are listed with numbers and toggled by number, the buttons by their first letter,
// and `x` stands for the window's close box. With --uncheck or --close-dialog-with-box, or
// without a terminal, the dialog is answered at once and never waits.
#include "standin/host/dialog_ui.h"

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/abi.h"
#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/orvpcb/host_faults.h"

namespace {

constexpr std::int32_t kModalOk = 1;
constexpr std::int32_t kModalClosedWithBox = 2;

std::string_view Text(const char* text) { return text == nullptr ? std::string_view() : std::string_view(text); }

std::span<ViderveControl> Controls(const ViderveDialog& dialog) {
  if (dialog.controls == nullptr || dialog.control_count <= 0) return {};
  return {dialog.controls, static_cast<std::size_t>(dialog.control_count)};
}

// The result of the button that closes the dialog by default (OK).
std::int32_t DefaultResult(const ViderveDialog& dialog) {
  for (const ViderveControl& control : Controls(dialog)) {
    if (IsButton(control) && control.modal_result != 0) return control.modal_result;
  }
  return kModalOk;
}

constexpr char kHelpPage[] =
    "Design rule translation\n"
    "\n"
    "The file gives some values per pad (solder mask and paste mask expansion, power plane\n"
    "clearance and connect style) and per net (track width, via size, routing topology and\n"
    "priority). The importer turns each family of values into design rules: one rule for the\n"
    "whole board with the value most objects share, and one rule per pad or net whose value\n"
    "differs. The board-wide rule is always made. Untick a family to leave out its per-pad or\n"
    "per-net rules, for example when there would be very many of them and you would rather\n"
    "define a few rules by hand.\n";

// The caption and the label texts first, then the boxes and keys (again after each key).
void PrintDialog(const ViderveDialog& dialog, const std::vector<std::size_t>& boxes, bool with_texts) {
  const auto controls = Controls(dialog);
  if (with_texts) {
    std::cerr << "\n== " << Text(dialog.caption) << "==\n";
    for (const ViderveControl& control : controls) {
      if (Text(control.class_name) == "TLabel") std::cerr << Text(control.caption) << "\n";
    }
  }
  std::cerr << "\n";
  for (std::size_t n = 0; n < boxes.size(); ++n) {
    const ViderveControl& box = controls[boxes[n]];
    std::cerr << "  " << (n + 1) << ". [" << (box.checked != 0 ? 'x' : ' ') << "] " << Text(box.caption)
              << (box.enabled != 0 ? "" : "  (nothing to create)") << "\n";
  }
  std::cerr << "\nNumber: tick or untick a box.";
  for (const ViderveControl& control : controls) {
    if (IsButton(control) && !Text(control.caption).empty()) {
      std::cerr << "  " << static_cast<char>(std::tolower(static_cast<unsigned char>(control.caption[0]))) << ": "
                << Text(control.caption) << (control.modal_result == kModalOk ? " (Enter)" : "");
    }
  }
  std::cerr << "  x: close\n> " << std::flush;
}

std::int32_t AskInTerminal(ViderveDialog& dialog) {
  const auto controls = Controls(dialog);
  std::vector<std::size_t> boxes;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (IsCheckBox(controls[i])) boxes.push_back(i);
  }
  TerminalKeys::Suspend();
  std::int32_t result = DefaultResult(dialog);
  std::string line;
  for (bool first = true;; first = false) {
    PrintDialog(dialog, boxes, first);
    if (!std::getline(std::cin, line)) break;  // end of input: OK
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.empty()) break;
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (key >= '0' && key <= '9') {
      const std::size_t n = static_cast<std::size_t>(std::strtoul(line.c_str(), nullptr, 10));
      if (n >= 1 && n <= boxes.size() && controls[boxes[n - 1]].enabled != 0) {
        controls[boxes[n - 1]].checked = controls[boxes[n - 1]].checked != 0 ? 0 : 1;
      }
      continue;
    }
    if (key == 'x') {
      result = kModalClosedWithBox;
      break;
    }
    bool closed = false;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const ViderveControl& button = controls[i];
      if (!IsButton(button) || button.enabled == 0 || Text(button.caption).empty()) continue;
      if (std::tolower(static_cast<unsigned char>(button.caption[0])) != key) continue;
      if (button.modal_result != 0) {
        result = button.modal_result;
        closed = true;
      } else {
        if (Text(button.caption) == "Help") std::cerr << "\n" << kHelpPage;
        if (dialog.on_click != nullptr) dialog.on_click(dialog.context, static_cast<std::int32_t>(i));
      }
      break;
    }
    if (closed) break;
  }
  TerminalKeys::Resume();
  return result;
}

}  // namespace

bool IsCheckBox(const ViderveControl& control) { return Text(control.class_name).find("CheckBox") != std::string_view::npos; }

bool IsButton(const ViderveControl& control) {
  const std::string_view class_name = Text(control.class_name);
  return class_name.ends_with("Btn") || class_name.ends_with("Button");
}

std::string_view RulesDialogHelp() { return kHelpPage; }

std::int32_t AnswerDialogFromOptions(ViderveDialog& dialog) {
  const HostOptions& options = Session().options;
  for (ViderveControl& control : Controls(dialog)) {
    if (!IsCheckBox(control) || control.enabled == 0) continue;
    for (const std::string& name : options.uncheck) {
      if (Text(control.name) == name) control.checked = 0;
    }
  }
  return options.close_dialog_with_box ? kModalClosedWithBox : DefaultResult(dialog);
}

void RecordDialog(const ViderveDialog& dialog, bool shown) {
  nlohmann::json controls = nlohmann::json::array();
  for (const ViderveControl& control : Controls(dialog)) {
    controls.push_back({{"Name", Latin1ToUtf8(Text(control.name))},
                        {"Caption", Latin1ToUtf8(Text(control.caption))},
                        {"Enabled", control.enabled != 0},
                        {"Checked", control.checked != 0}});
  }
  Session().dialogs.push_back(
      {{"Caption", Latin1ToUtf8(Text(dialog.caption))}, {"Shown", shown}, {"Controls", std::move(controls)}});
}

extern "C" {

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL ViderveUI_ShowModal(ViderveDialog* dialog) {
  if (dialog == nullptr) return 0;
  // A dialog that cannot be made answers -1, as the system's dialog functions do.
  if (orv::Faults().Fails(orv::HostCall::kDialog, "ViderveUI_ShowModal")) return -1;
  const HostOptions& options = Session().options;
  const bool scripted = !options.uncheck.empty() || options.close_dialog_with_box;
  if (!scripted && options.show_dialog) return options.show_dialog(*dialog);
  if (scripted || !options.interactive) return AnswerDialogFromOptions(*dialog);
  return AskInTerminal(*dialog);
}

VIDERAVE_EXPORT void VIDERAVE_STDCALL ViderveUI_DialogPrepared(const ViderveDialog* dialog, std::uint8_t shown) {
  if (dialog != nullptr) RecordDialog(*dialog, shown != 0);
}

}  // extern "C"

static_assert(std::is_same_v<decltype(ViderveUI_ShowModal), api::ViderveUI_ShowModal>);
static_assert(std::is_same_v<decltype(ViderveUI_DialogPrepared), api::ViderveUI_DialogPrepared>);
