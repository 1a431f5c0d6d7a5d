// The native rules dialog on Windows. The dialog box comes from an in-memory template without
// items, carrying the window styles the dialog kit gives; when it opens, each control of the
// kit's description becomes a child window at its pixel position inside its containing control
// (page control, tab sheet, group box), in tab order, so the layout is the one the kit describes
// whatever the dialog font's base units. Nothing of it exists before it is shown.
#if defined(_WIN32)

#include "host/native_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace system_services {
namespace {

constexpr int kFirstControlId = 1000;
constexpr std::int32_t kModalOk = 1;
constexpr std::int32_t kModalClosedWithBox = 2;
// The form's font: "MS Sans Serif", 11 pixels high (8 points at 96 pixels per inch).
constexpr int kFontHeight = -11;
constexpr char kFontName[] = "MS Sans Serif";

enum class ControlKind { kButton, kCheckBox, kGroupBox, kPageControl, kTabSheet, kLabel };

std::string_view Text(const char* text) { return text == nullptr ? std::string_view() : std::string_view(text); }

ControlKind KindOf(const ViderveControl& control) {
  const std::string_view class_name = Text(control.class_name);
  if (class_name.find("CheckBox") != std::string_view::npos) return ControlKind::kCheckBox;
  if (class_name.ends_with("Btn") || class_name.ends_with("Button")) return ControlKind::kButton;
  if (class_name.find("GroupBox") != std::string_view::npos) return ControlKind::kGroupBox;
  if (class_name.find("PageControl") != std::string_view::npos) return ControlKind::kPageControl;
  if (class_name.find("TabSheet") != std::string_view::npos) return ControlKind::kTabSheet;
  return ControlKind::kLabel;
}

struct DialogState {
  ViderveDialog* dialog = nullptr;
  std::vector<HWND> windows;  // one per control, nullptr until made
  HFONT font = nullptr;
};

std::size_t ControlCount(const ViderveDialog& dialog) {
  return dialog.controls == nullptr || dialog.control_count <= 0 ? 0 : static_cast<std::size_t>(dialog.control_count);
}

bool ValidParent(const ViderveDialog& dialog, std::int32_t parent) {
  return parent >= 0 && static_cast<std::size_t>(parent) < ControlCount(dialog);
}

// The controls in the order they are made: every container before what it contains, and the
// controls of one container by their tab order (those without a tab stop after the others, in
// the order given). Creation order is the dialog manager's tab order. A control whose parent
// index is out of range sits in the dialog itself; one caught in a loop of parents is left out.
std::vector<std::size_t> CreationOrder(const ViderveDialog& dialog) {
  const std::size_t count = ControlCount(dialog);
  std::vector<std::size_t> order;
  order.reserve(count);
  std::vector<bool> placed(count, false);
  auto children_of = [&](std::int32_t parent) {
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < count; ++i) {
      const std::int32_t p = ValidParent(dialog, dialog.controls[i].parent) ? dialog.controls[i].parent : -1;
      if (p == parent && !placed[i]) children.push_back(i);
    }
    std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) {
      const auto key = [&](std::size_t i) {
        const std::int32_t tab = dialog.controls[i].tab_order;
        return tab < 0 ? INT32_MAX : tab;
      };
      return key(a) < key(b);
    });
    return children;
  };
  // Breadth of each level is small; a work list keeps a malformed description from recursing.
  std::vector<std::size_t> pending = children_of(-1);
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty()) {
    const std::size_t next = pending.back();
    pending.pop_back();
    if (placed[next]) continue;
    placed[next] = true;
    order.push_back(next);
    std::vector<std::size_t> children = children_of(static_cast<std::int32_t>(next));
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  return order;
}

struct WindowRecipe {
  const char* window_class;
  DWORD style;
  DWORD ex_style;
};

WindowRecipe RecipeOf(const ViderveControl& control) {
  switch (KindOf(control)) {
    case ControlKind::kButton:
      return {"BUTTON", static_cast<DWORD>(WS_TABSTOP | (control.modal_result == kModalOk ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
    case ControlKind::kCheckBox:
      return {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kGroupBox:
      return {"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::kPageControl:
      return {WC_TABCONTROLA, WS_TABSTOP | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case ControlKind::kTabSheet:
      return {"STATIC", 0, WS_EX_CONTROLPARENT};
    case ControlKind::kLabel:
      break;
  }
  return {"STATIC", SS_LEFT, 0};
}

void MakeControl(HWND dialog_window, DialogState& state, std::size_t index) {
  ViderveDialog& dialog = *state.dialog;
  const ViderveControl& control = dialog.controls[index];
  const bool nested = ValidParent(dialog, control.parent) && state.windows[static_cast<std::size_t>(control.parent)] != nullptr;
  const HWND parent = nested ? state.windows[static_cast<std::size_t>(control.parent)] : dialog_window;
  const WindowRecipe recipe = RecipeOf(control);
  const ControlKind kind = KindOf(control);
  DWORD style = WS_CHILD | WS_VISIBLE | recipe.style;
  if (control.enabled == 0) style |= WS_DISABLED;
  // A tab sheet shows its caption on its tab, not on itself.
  const char* caption = kind == ControlKind::kTabSheet ? "" : (control.caption != nullptr ? control.caption : "");
  const auto id = static_cast<std::intptr_t>(kFirstControlId + static_cast<int>(index));
  const HWND window = CreateWindowExA(recipe.ex_style, recipe.window_class, caption, style, control.x, control.y,
                                      control.width, control.height, parent, reinterpret_cast<HMENU>(id),
                                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog_window, GWLP_HINSTANCE)),
                                      nullptr);
  state.windows[index] = window;
  if (window == nullptr) return;
  if (state.font != nullptr) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  if (kind == ControlKind::kCheckBox) SendMessageA(window, BM_SETCHECK, control.checked != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  if (kind == ControlKind::kButton && control.modal_result == kModalOk) SendMessageA(dialog_window, DM_SETDEFID, static_cast<WPARAM>(id), 0);
  if (kind == ControlKind::kTabSheet && nested && KindOf(dialog.controls[control.parent]) == ControlKind::kPageControl) {
    std::string tab_caption(Text(control.caption));
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab_caption.data();
    const auto tabs = SendMessageA(parent, TCM_GETITEMCOUNT, 0, 0);
    SendMessageA(parent, TCM_INSERTITEMA, static_cast<WPARAM>(tabs), reinterpret_cast<LPARAM>(&item));
  }
}

// The dialog's client area is the kit's size; the dialog is centred on the screen.
void PlaceDialog(HWND window, const ViderveDialog& dialog) {
  RECT frame{0, 0, dialog.width, dialog.height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void BuildDialog(HWND window, DialogState& state) {
  ViderveDialog& dialog = *state.dialog;
  // The dialog manager marks every dialog DS_3DLOOK; the window keeps the kit's styles only.
  if ((dialog.style & DS_3DLOOK) == 0) {
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~static_cast<LONG_PTR>(DS_3DLOOK));
  }
  state.windows.assign(ControlCount(dialog), nullptr);
  state.font = CreateFontA(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName);
  if (state.font != nullptr) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  PlaceDialog(window, dialog);
  for (const std::size_t index : CreationOrder(dialog)) MakeControl(window, state, index);
}

// The boxes count as the user left them, however the dialog was closed.
void Close(HWND window, DialogState& state, std::int32_t result) {
  ViderveDialog& dialog = *state.dialog;
  for (std::size_t i = 0; i < state.windows.size(); ++i) {
    if (state.windows[i] == nullptr || KindOf(dialog.controls[i]) != ControlKind::kCheckBox) continue;
    dialog.controls[i].checked = SendMessageA(state.windows[i], BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  }
  EndDialog(window, result);
}

void Command(HWND window, DialogState& state, int id) {
  if (id == IDCANCEL) {  // the close box, or Escape
    Close(window, state, kModalClosedWithBox);
    return;
  }
  const int index = id - kFirstControlId;
  if (index < 0 || static_cast<std::size_t>(index) >= state.windows.size()) return;
  ViderveDialog& dialog = *state.dialog;
  const ViderveControl& control = dialog.controls[index];
  if (KindOf(control) != ControlKind::kButton || control.enabled == 0) return;
  if (control.modal_result != 0) {
    Close(window, state, control.modal_result);
  } else if (dialog.on_click != nullptr) {
    dialog.on_click(dialog.context, index);
  }
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(window, DWLP_USER, l);
      state = reinterpret_cast<DialogState*>(l);
      BuildDialog(window, *state);
      // Focus on the first control that takes it (the dialog had none when it was made).
      const HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
      if (first != nullptr) SetFocus(first);
      return FALSE;
    }
    case WM_COMMAND:
      if (state != nullptr && HIWORD(w) == BN_CLICKED) Command(window, *state, LOWORD(w));
      return TRUE;
    default:
      return FALSE;
  }
}

// A dialog template without items: the styles, no menu, the standard dialog class, the caption.
std::vector<WORD> MakeTemplate(const ViderveDialog& dialog) {
  const std::string_view caption = Text(dialog.caption);
  std::wstring wide(caption.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, caption.data(), static_cast<int>(caption.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);

  constexpr std::size_t kHeaderWords = sizeof(DLGTEMPLATE) / sizeof(WORD);
  std::vector<WORD> words(kHeaderWords, 0);
  DLGTEMPLATE header{};
  header.style = dialog.style;
  header.dwExtendedStyle = dialog.ex_style;
  header.cdit = 0;
  std::memcpy(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t c : wide) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  return words;
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&DialogProcedure), &module);
  return module;
}

}  // namespace

std::int32_t ShowNativeDialog(ViderveDialog& dialog) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  // DWORD alignment of the template: a vector of WORDs allocated by operator new is aligned well beyond that.
  const std::vector<WORD> dialog_template = MakeTemplate(dialog);
  DialogState state;
  state.dialog = &dialog;
  const INT_PTR result = DialogBoxIndirectParamA(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEA>(dialog_template.data()),
                                                 dialog.owner, &DialogProcedure, reinterpret_cast<LPARAM>(&state));
  if (state.font != nullptr) DeleteObject(state.font);
  // -1: the dialog could not be made (no desktop to show it on); 0: an owner that is no window.
  if (result <= 0) return kModalClosedWithBox;
  return static_cast<std::int32_t>(result);
}

}  // namespace system_services

#endif
