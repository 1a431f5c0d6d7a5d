// The few operating-system services the plug-in uses (abort poll, message boxes, dialog owner,
// test-mode registry key, modal dialog) behind one small interface, so that the plug-in's code is
// the same on Windows, where these are the system's functions, and elsewhere, where the host
// program provides them.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/api/system.h"

namespace system_services {

// (The names avoid the Windows headers' macros of the same names.)
// Takes the next message off the calling thread's queue; false when there is none.
bool TakeMessage(MSG& message);
// Delivers a message straight to its window (neither translated nor dispatched).
LRESULT DeliverMessage(const MSG& message);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
HWND DesktopWindow();
HWND FindWindowByClass(const char* class_name);
// True when the key exists under the local-machine root (opened for reading only, never made).
bool LocalMachineKeyExists(const char* sub_key);
std::int32_t ShowModalDialog(ViderveDialog& dialog);
void DialogPrepared(const ViderveDialog& dialog, bool shown);

}  // namespace system_services
