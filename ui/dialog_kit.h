// The least dialog kit the plug-in needs: a modal dialog described as a flat list of controls
// (name, class, caption, bounds, enabled, checked, tab order, containing control), shown by the
// host through the system services and reported to the host when it is freed.
//
//   ui::DialogTemplate dialog("Settings ", 300, 120);
//   const int box = dialog.Add({.name = "OptionCheckBox", .class_name = "TXPCheckBox", ...});
//   dialog.ShowModal();                    // returns the modal result; check states come back
//   bool on = dialog.At(box).checked;
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/system_services.h"

namespace ui {

inline constexpr std::int32_t kNoParent = -1;
inline constexpr std::int32_t kNoTabStop = -1;
// Modal results: the OK button's, and the one the window's close box gives.
inline constexpr std::int32_t kModalOk = 1;
inline constexpr std::int32_t kModalCancel = 2;

struct Control {
  std::string name;
  std::string class_name;
  std::string caption;
  std::int32_t x = 0;  // within the parent control's client area, or the dialog's
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t parent = kNoParent;  // index of the containing control
  std::int32_t tab_order = kNoTabStop;  // among the controls of the same parent
  bool enabled = true;
  bool checked = false;
  std::int32_t modal_result = 0;  // a button with a result closes the dialog with it
  std::function<void()> on_click;  // a button without a result: what its click does
};

class DialogTemplate {
 public:
  DialogTemplate(std::string caption, std::int32_t client_width, std::int32_t client_height);
  // Tells the host about the dialog, shown or not.
  ~DialogTemplate();
  DialogTemplate(const DialogTemplate&) = delete;
  DialogTemplate& operator=(const DialogTemplate&) = delete;

  // Returns the control's index.
  int Add(Control control);
  [[nodiscard]] Control& At(int index) { return controls_.at(static_cast<std::size_t>(index)); }
  [[nodiscard]] const Control& At(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  // nullptr when no control has the name.
  [[nodiscard]] Control* Find(std::string_view name);
  [[nodiscard]] int ControlCount() const { return static_cast<int>(controls_.size()); }

  [[nodiscard]] const std::string& Caption() const { return caption_; }
  [[nodiscard]] std::int32_t ClientWidth() const { return width_; }
  [[nodiscard]] std::int32_t ClientHeight() const { return height_; }
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  HWND owner = nullptr;

  // Shows the dialog modally and waits until it closes; the host leaves the check states as the
  // user left them. Returns the modal result (kModalCancel for the close box).
  std::int32_t ShowModal();
  [[nodiscard]] bool Shown() const { return shown_; }

 private:
  // The C description handed to the host; its texts point into the controls.
  ViderveDialog Describe(std::vector<ViderveControl>& controls);
  static void VIDERAVE_STDCALL Clicked(void* context, std::int32_t control_index);

  std::string caption_;
  std::int32_t width_;
  std::int32_t height_;
  std::vector<Control> controls_;
  bool shown_ = false;
};

}  // namespace ui
