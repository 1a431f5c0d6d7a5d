// Dialog kit: the C description of a dialog for the host, modal showing, and the report to the
// host when a dialog is freed.
#include "ui/dialog_kit.h"

#include <utility>

namespace ui {

DialogTemplate::DialogTemplate(std::string caption, std::int32_t client_width, std::int32_t client_height)
    : caption_(std::move(caption)), width_(client_width), height_(client_height) {}

DialogTemplate::~DialogTemplate() {
  std::vector<ViderveControl> controls;
  const ViderveDialog dialog = Describe(controls);
  system_services::DialogPrepared(dialog, shown_);
}

int DialogTemplate::Add(Control control) {
  controls_.push_back(std::move(control));
  return static_cast<int>(controls_.size()) - 1;
}

Control* DialogTemplate::Find(std::string_view name) {
  for (Control& control : controls_) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

ViderveDialog DialogTemplate::Describe(std::vector<ViderveControl>& controls) {
  controls.clear();
  controls.reserve(controls_.size());
  for (const Control& control : controls_) {
    ViderveControl c{};
    c.name = control.name.c_str();
    c.class_name = control.class_name.c_str();
    c.caption = control.caption.c_str();
    c.x = control.x;
    c.y = control.y;
    c.width = control.width;
    c.height = control.height;
    c.parent = control.parent;
    c.tab_order = control.tab_order;
    c.enabled = control.enabled ? 1 : 0;
    c.checked = control.checked ? 1 : 0;
    c.modal_result = control.modal_result;
    controls.push_back(c);
  }
  ViderveDialog dialog{};
  dialog.caption = caption_.c_str();
  dialog.width = width_;
  dialog.height = height_;
  dialog.style = style;
  dialog.ex_style = ex_style;
  dialog.owner = owner;
  dialog.control_count = static_cast<std::int32_t>(controls.size());
  dialog.controls = controls.data();
  dialog.on_click = &DialogTemplate::Clicked;
  dialog.context = this;
  return dialog;
}

void VIDERAVE_STDCALL DialogTemplate::Clicked(void* context, std::int32_t control_index) {
  auto* self = static_cast<DialogTemplate*>(context);
  if (self == nullptr || control_index < 0 || control_index >= self->ControlCount()) return;
  const Control& control = self->At(control_index);
  if (control.enabled && control.on_click) control.on_click();
}

std::int32_t DialogTemplate::ShowModal() {
  std::vector<ViderveControl> controls;
  ViderveDialog dialog = Describe(controls);
  shown_ = true;
  const std::int32_t result = system_services::ShowModalDialog(dialog);
  for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i].checked = controls[i].checked != 0;
  return result;
}

}  // namespace ui
