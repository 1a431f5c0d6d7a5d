// The rules dialog as a native Windows dialog: made only when shown, with the window styles,
// size, owner, font and controls of the translation dialog, its boxes' states carried back
// however it is closed, its help button sending the host command, and the registry's test-mode
// key keeping it from being shown. Windows exist without a display here through wine's headless
// graphics driver (see wine-prefix.sh); a hook on the test thread looks at the dialog when it
// opens and closes it by posting what a user's clicks would.
#include <windows.h>
// The obsolete Yield() macro of the Windows headers would rename the server model's members.
#undef Yield

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/board.h"
#include "rules/classifier.h"
#include "rules/design_rule_translator.h"
#include "standin/orvpcb/model.h"

namespace {

constexpr char kCaption[] = "Design Rule Translation ";
constexpr char kTestModeKey[] = "Software\\Nembra\\TestMode";
constexpr char kOwnerClass[] = "Veltrane Main Window";

struct ChildWindow {
  HWND window = nullptr;
  std::string window_class;
  RECT in_dialog{};  // the window's rectangle in the dialog's client area
  bool enabled = false;
  bool checked = false;
  std::string font_face;
  LONG font_height = 0;
};

// What the hook saw of the dialog when it opened.
struct OpenedDialog {
  HWND window = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT client{};
  RECT frame{};
  HWND owner = nullptr;
  std::map<std::string, ChildWindow> children;  // by caption
  std::vector<std::string> tab_order;           // captions of the tab stops, from the first
};

struct Watch {
  int dialogs_made = 0;
  std::vector<OpenedDialog> opened;
  std::function<void(const OpenedDialog&)> on_open;  // posts the user's clicks
};

Watch* g_watch = nullptr;

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto& dialog = *reinterpret_cast<OpenedDialog*>(context);
  ChildWindow info;
  info.window = child;
  info.window_class = ClassOf(child);
  GetWindowRect(child, &info.in_dialog);
  MapWindowPoints(nullptr, dialog.window, reinterpret_cast<POINT*>(&info.in_dialog), 2);
  info.enabled = IsWindowEnabled(child) != FALSE;
  info.checked = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
  LOGFONTA font{};
  if (const auto handle = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
      handle != nullptr && GetObjectA(handle, sizeof font, &font) != 0) {
    info.font_face = font.lfFaceName;
    info.font_height = font.lfHeight;
  }
  std::string caption = TextOf(child);
  if (caption.empty()) caption = "<" + info.window_class + ">";
  dialog.children.emplace(caption, info);
  return TRUE;
}

OpenedDialog Inspect(HWND window) {
  OpenedDialog dialog;
  dialog.window = window;
  dialog.style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  dialog.ex_style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  GetClientRect(window, &dialog.client);
  GetWindowRect(window, &dialog.frame);
  dialog.owner = GetWindow(window, GW_OWNER);
  EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&dialog));
  const HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  for (HWND at = first; at != nullptr && dialog.tab_order.size() < 32;) {
    dialog.tab_order.push_back(TextOf(at).empty() ? "<" + ClassOf(at) + ">" : TextOf(at));
    at = GetNextDlgTabItem(window, at, FALSE);
    if (at == first) break;
  }
  return dialog;
}

LRESULT CALLBACK WatchHook(int code, WPARAM w, LPARAM l) {
  if (g_watch != nullptr && code == HCBT_CREATEWND) {
    const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(l);
    if (create->lpcs->lpszName != nullptr && !IS_INTRESOURCE(create->lpcs->lpszName) &&
        std::string(create->lpcs->lpszName) == kCaption) {
      ++g_watch->dialogs_made;
    }
  }
  if (g_watch != nullptr && code == HCBT_ACTIVATE) {
    const auto window = reinterpret_cast<HWND>(w);
    if (ClassOf(window) == "#32770" && TextOf(window) == kCaption) {
      g_watch->opened.push_back(Inspect(window));
      if (g_watch->on_open) g_watch->on_open(g_watch->opened.back());
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

// The user's clicks arrive through the dialog's message loop, as posted messages do.
void PostCheck(const OpenedDialog& dialog, const std::string& caption, bool checked) {
  const auto found = dialog.children.find(caption);
  if (found != dialog.children.end()) PostMessageA(found->second.window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PostClick(const OpenedDialog& dialog, const std::string& caption) {
  const auto found = dialog.children.find(caption);
  if (found == dialog.children.end()) return;
  const int id = GetDlgCtrlID(found->second.window);
  PostMessageA(dialog.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(found->second.window));
}

class NativeDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    hook_ = SetWindowsHookExA(WH_CBT, &WatchHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook_, nullptr);
    g_watch = &watch_;
    HKEY key = nullptr;
    test_mode_was_on_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestModeKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
  }
  void TearDown() override {
    g_watch = nullptr;
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    SetTestMode(test_mode_was_on_);
  }

  static void SetTestMode(bool on) {
    if (on) {
      HKEY key = nullptr;
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestModeKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
      if (key != nullptr) RegCloseKey(key);
    } else {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestModeKey);
    }
  }

  // A classifier whose track width family makes 11 rules (one common value and ten others) and
  // whose solder mask family makes 2; the others make none.
  static void FillFamilies(TClassifier& classifier) {
    for (int i = 0; i < 11; ++i) classifier.AddNetWidth(10000, "common" + std::to_string(i));
    for (int i = 0; i < 10; ++i) classifier.AddNetWidth(20000 + i, "net" + std::to_string(i));
    for (int i = 0; i < 2; ++i) classifier.AddSolderMaskExpansion(10000, "pad" + std::to_string(i));
    classifier.AddSolderMaskExpansion(20000, "other");
  }

  HHOOK hook_ = nullptr;
  Watch watch_;
  bool test_mode_was_on_ = false;
  TPcbBoard board_{0};
};

TEST_F(NativeDialog, ShowsTheTranslationDialogWithItsStylesLayoutAndBoxes) {
  SetTestMode(false);
  // Only FindWindowA's class matters: give the owner the host's main window class.
  WNDCLASSA main_class{};
  main_class.lpfnWndProc = DefWindowProcA;
  main_class.lpszClassName = kOwnerClass;
  main_class.hInstance = GetModuleHandleA(nullptr);
  RegisterClassA(&main_class);
  const HWND main_window = CreateWindowExA(0, kOwnerClass, "Nembra", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           main_class.hInstance, nullptr);
  ASSERT_NE(main_window, nullptr);

  TClassifier classifier(board_);
  FillFamilies(classifier);
  watch_.on_open = [](const OpenedDialog& dialog) {
    PostCheck(dialog, "Create 11 routing track width rules", false);
    PostMessageA(dialog.window, WM_CLOSE, 0, 0);  // the window's close box
  };
  RunDesignRuleDialogStep(classifier);

  ASSERT_EQ(watch_.opened.size(), 1u);
  const OpenedDialog& dialog = watch_.opened.front();
  constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_SYSMENU | DS_MODALFRAME;
  // The system adds only these to a top-level window it shows.
  EXPECT_EQ(dialog.style & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPSIBLINGS), kStyle);
  EXPECT_NE(dialog.ex_style & WS_EX_DLGMODALFRAME, 0u);
  EXPECT_EQ(dialog.client.right - dialog.client.left, 508);
  EXPECT_EQ(dialog.client.bottom - dialog.client.top, 248);
  EXPECT_EQ(dialog.owner, main_window);
  const int centre_x = (dialog.frame.left + dialog.frame.right) / 2;
  EXPECT_LE(std::abs(centre_x - GetSystemMetrics(SM_CXSCREEN) / 2), 1);

  const struct {
    const char* caption;
    const char* window_class;
    RECT in_dialog;  // left, top, right, bottom in the client area
    bool enabled;
    bool checked;
  } kControls[] = {
      {"OK", "Button", {347, 219, 422, 243}, true, false},
      {"Help", "Button", {427, 219, 502, 243}, true, false},
      {"Manufacturing rules", "Button", {16, 83, 258, 201}, true, false},
      {"Routing rules", "Button", {269, 83, 489, 201}, true, false},
      // Nested: page control (5, 5), tab sheet (4, 24), group box (7, 54), box (11, 19).
      {"Create 2 solder mask expansion rules", "Button", {27, 102, 253, 119}, true, true},
      {"Create 0 paste mask expansion rules", "Button", {28, 124, 254, 141}, false, true},
      {"Create 11 routing track width rules", "Button", {280, 101, 480, 118}, true, true},
      {"Create 0 routing priority rules", "Button", {280, 168, 480, 185}, false, true},
  };
  for (const auto& expected : kControls) {
    const auto found = dialog.children.find(expected.caption);
    ASSERT_NE(found, dialog.children.end()) << expected.caption;
    const ChildWindow& child = found->second;
    EXPECT_STRCASEEQ(child.window_class.c_str(), expected.window_class) << expected.caption;
    EXPECT_EQ(child.in_dialog.left, expected.in_dialog.left) << expected.caption;
    EXPECT_EQ(child.in_dialog.top, expected.in_dialog.top) << expected.caption;
    EXPECT_EQ(child.in_dialog.right, expected.in_dialog.right) << expected.caption;
    EXPECT_EQ(child.in_dialog.bottom, expected.in_dialog.bottom) << expected.caption;
    EXPECT_EQ(child.enabled, expected.enabled) << expected.caption;
    EXPECT_EQ(child.checked, expected.checked) << expected.caption;
    EXPECT_EQ(child.font_face, "MS Sans Serif") << expected.caption;
    EXPECT_EQ(child.font_height, -11) << expected.caption;
  }
  const auto label = std::find_if(dialog.children.begin(), dialog.children.end(),
                                  [](const auto& child) { return child.first.starts_with("During the conversion"); });
  EXPECT_NE(label, dialog.children.end());

  // Buttons first, then into the page (a container, no stop of its own): the manufacturing
  // group before the routing group, disabled boxes passed over.
  const std::vector<std::string> kTabOrder = {"OK", "Help", "Create 2 solder mask expansion rules",
                                              "Create 11 routing track width rules"};
  EXPECT_EQ(dialog.tab_order, kTabOrder);

  // Closed with the close box: the boxes count as left, so only the width family lost its
  // scoped rules.
  EXPECT_FALSE(classifier.Gate(static_cast<int>(RuleFamily::kWidth)));
  EXPECT_TRUE(classifier.Gate(static_cast<int>(RuleFamily::kSolderMask)));
  EXPECT_TRUE(classifier.Gate(static_cast<int>(RuleFamily::kViaSize)));
  EXPECT_EQ(IsWindow(dialog.window), FALSE);  // gone once closed
  DestroyWindow(main_window);
}

TEST_F(NativeDialog, HelpStaysOpenAndOkKeepsTheChoices) {
  SetTestMode(false);
  TClassifier classifier(board_);
  FillFamilies(classifier);
  const std::size_t commands_before = orv::Server().commands.size();
  watch_.on_open = [](const OpenedDialog& dialog) {
    PostClick(dialog, "Help");
    PostCheck(dialog, "Create 2 solder mask expansion rules", false);
    PostClick(dialog, "OK");
  };
  TDesignRuleTranslator translator(classifier);
  ASSERT_TRUE(translator.Prepare());
  EXPECT_EQ(translator.ShowModal(), 1);
  translator.ApplyChoices();

  ASSERT_EQ(watch_.opened.size(), 1u);
  EXPECT_EQ(watch_.opened.front().owner, nullptr);  // no host main window: no owner
  ASSERT_EQ(orv::Server().commands.size(), commands_before + 1);
  EXPECT_EQ(orv::Server().commands.back().process, "Client:RunHelpTopic");
  EXPECT_EQ(orv::Server().commands.back().parameters, "FileName = PCBUSR.HLP | Topic = IntroducingDesignRules");
  EXPECT_FALSE(classifier.Gate(static_cast<int>(RuleFamily::kSolderMask)));
  EXPECT_TRUE(classifier.Gate(static_cast<int>(RuleFamily::kWidth)));
}

TEST_F(NativeDialog, IsNeverMadeInTestModeOrWhenNoFamilyIsLarge) {
  SetTestMode(true);
  TClassifier large(board_);
  FillFamilies(large);
  RunDesignRuleDialogStep(large);
  EXPECT_EQ(watch_.dialogs_made, 0);
  EXPECT_TRUE(large.Gate(static_cast<int>(RuleFamily::kWidth)));

  SetTestMode(false);
  TClassifier small(board_);
  for (int i = 0; i < 10; ++i) small.AddNetWidth(10000 + i, "net" + std::to_string(i));
  RunDesignRuleDialogStep(small);
  EXPECT_EQ(watch_.dialogs_made, 0);
  EXPECT_TRUE(watch_.opened.empty());
}

}  // namespace
