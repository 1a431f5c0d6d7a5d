// System services: the real Windows functions on Windows, the host program's elsewhere.
#include "host/system_services.h"

#include "host/host_binding.h"
#include "host/native_dialog.h"

namespace system_services {
namespace {

constexpr HostModule kSystem = HostModule::kMainProgram;
#if !defined(_WIN32)
// Outside Windows the host program provides these under the Windows names.
const HostFunction<api::PeekMessageA> PeekMessageA{kSystem, "PeekMessageA"};
const HostFunction<api::SendMessageA> SendMessageA{kSystem, "SendMessageA"};
const HostFunction<api::MessageBoxA> MessageBoxA{kSystem, "MessageBoxA"};
const HostFunction<api::GetDesktopWindow> GetDesktopWindow{kSystem, "GetDesktopWindow"};
const HostFunction<api::FindWindowA> FindWindowA{kSystem, "FindWindowA"};
const HostFunction<api::RegOpenKeyExA> RegOpenKeyExA{kSystem, "RegOpenKeyExA"};
const HostFunction<api::RegCloseKey> RegCloseKey{kSystem, "RegCloseKey"};
#endif
const HostFunction<api::ViderveUI_ShowModal> ViderveUI_ShowModal{kSystem, "ViderveUI_ShowModal"};
const HostFunction<api::ViderveUI_DialogPrepared> ViderveUI_DialogPrepared{kSystem, "ViderveUI_DialogPrepared"};

}  // namespace

bool TakeMessage(MSG& message) { return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0; }

LRESULT DeliverMessage(const MSG& message) {
  return SendMessageA(message.hwnd, message.message, message.wParam, message.lParam);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

HWND DesktopWindow() { return GetDesktopWindow(); }

HWND FindWindowByClass(const char* class_name) { return FindWindowA(class_name, nullptr); }

bool LocalMachineKeyExists(const char* sub_key) {
#if defined(_WIN32)
  // The key is named from the root ("\\Software\\..."); the registry takes names without the
  // leading backslash and refuses the others (ERROR_BAD_PATHNAME).
  while (sub_key != nullptr && *sub_key == '\\') ++sub_key;
#endif
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub_key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

#if defined(_WIN32)
std::int32_t ShowModalDialog(ViderveDialog& dialog) { return ShowNativeDialog(dialog); }
#else
std::int32_t ShowModalDialog(ViderveDialog& dialog) { return ViderveUI_ShowModal(&dialog); }
#endif

void DialogPrepared(const ViderveDialog& dialog, bool shown) { ViderveUI_DialogPrepared(&dialog, shown ? 1 : 0); }

}  // namespace system_services
