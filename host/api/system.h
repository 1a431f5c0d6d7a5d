// The operating-system services the plug-in needs, with the signatures of the Windows functions
// of the same names. On Windows the plug-in calls the real functions; elsewhere the host program
// exports functions of these names and implements them (a message queue fed from the terminal,
// message boxes asked in the terminal or answered by flags, a registry of test keys, and the
// rules dialog shown in the terminal).
#pragma once

#include <cstdint>

#include "host/abi.h"

#if defined(_WIN32)
#include <windows.h>
// The obsolete Yield() macro of the Windows headers would rename members of that name.
#undef Yield
#else
using HWND = void*;
using HKEY = void*;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BOOL = std::int32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = std::uint32_t;

struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr WPARAM VK_ESCAPE = 0x1B;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_ICONINFORMATION = 0x0040;
inline constexpr UINT MB_TASKMODAL = 0x2000;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr REGSAM KEY_READ = 0x20019;
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_DLGFRAME = 0x00400000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x00000080u;
inline constexpr std::uint32_t WS_EX_DLGMODALFRAME = 0x00000001u;
#endif

// The rules dialog crosses to the host as a plain description of its controls.
struct ViderveControl {
  const char* name;
  const char* class_name;
  const char* caption;
  std::int32_t x, y, width, height;
  std::int32_t parent;  // index of the containing control, or -1
  std::int32_t tab_order;
  std::uint8_t enabled;
  std::uint8_t checked;   // check boxes: updated in place by the host while the dialog is shown
  std::int32_t modal_result;  // buttons: the result that closes the dialog, 0 for none
};

struct ViderveDialog {
  const char* caption;
  std::int32_t width, height;  // client area
  std::uint32_t style, ex_style;
  HWND owner;
  std::int32_t control_count;
  ViderveControl* controls;
  // Called for a click on a button that does not close the dialog (help).
  void(VIDERAVE_STDCALL* on_click)(void* context, std::int32_t control_index);
  void* context;
};

namespace api {

using PeekMessageA = BOOL VIDERAVE_STDCALL(MSG* message, HWND window, UINT first, UINT last, UINT remove);
using SendMessageA = LRESULT VIDERAVE_STDCALL(HWND window, UINT message, WPARAM w, LPARAM l);
using MessageBoxA = int VIDERAVE_STDCALL(HWND owner, const char* text, const char* caption, UINT type);
using GetDesktopWindow = HWND VIDERAVE_STDCALL();
using FindWindowA = HWND VIDERAVE_STDCALL(const char* class_name, const char* window_name);
using RegOpenKeyExA = LONG VIDERAVE_STDCALL(HKEY root, const char* sub_key, DWORD options, REGSAM access, HKEY* result);
using RegCloseKey = LONG VIDERAVE_STDCALL(HKEY key);
// The modal dialog: returns the modal result (1 for OK, 2 for the window's close box).
using ViderveUI_ShowModal = std::int32_t VIDERAVE_STDCALL(ViderveDialog* dialog);
// Told when a dialog the plug-in prepared is freed, shown or not, so the host can record it.
using ViderveUI_DialogPrepared = void VIDERAVE_STDCALL(const ViderveDialog* dialog, std::uint8_t shown);

}  // namespace api
