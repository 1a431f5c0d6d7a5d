// The stand-in host's operating-system side on Windows. There the plug-in calls the real
// user32 and advapi32 functions: the message queue is the import thread's own (--escape-at
// posts an Escape key press to it), the dialog owner is looked up among the real windows and
// the test-mode key is the registry's (`reg add HKLM\Software\Nembra\TestMode`). The one
// exception is the plug-in's message boxes: they pass through the host (InterceptMessageBoxes),
// which records them for the document and answers them as it does on every system.
#if defined(_WIN32)

#include <windows.h>

#include <cstring>
#include <iostream>
#include <string>

#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/host/win32_host.h"

HostSession& Session() {
  static HostSession session;
  return session;
}

void PostEscapeKey() {
  const DWORD thread = GetCurrentThreadId();
  PostThreadMessageA(thread, WM_KEYDOWN, VK_ESCAPE, 0);
  PostThreadMessageA(thread, WM_KEYUP, VK_ESCAPE, 0);
}

// Key presses at the console do not reach the thread's queue; Escape comes from --escape-at.
TerminalKeys::TerminalKeys() = default;
TerminalKeys::~TerminalKeys() = default;
void TerminalKeys::Poll() {}
void TerminalKeys::Suspend() {}
void TerminalKeys::Resume() {}

namespace {

// A person at a console. (The C library's isatty, which sets the session's flag, also says yes
// for the NUL device, the standard input of scripts and tests here.)
bool PersonAtConsole(const HostOptions& options) {
  DWORD mode = 0;
  return options.interactive && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// The plug-in's message box. A yes/no question takes the next scripted answer, else asks a
// person at the console with the real box, else keeps the user's Escape (yes); an information
// box is printed and, for a person at the console, shown for real.
int WINAPI HostMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  HostSession& session = Session();
  const HostOptions& options = session.options;
  const bool person = PersonAtConsole(options);
  const std::string text_string = text == nullptr ? "" : text;
  const std::string caption_string = caption == nullptr ? "" : caption;
  int answer = IDOK;
  if ((type & 0xF) == MB_YESNO) {
    if (session.confirm_answers_used < options.confirm_abort.size()) {
      answer = options.confirm_abort[session.confirm_answers_used++] ? IDYES : IDNO;
    } else if (options.confirm_abort.empty() && person) {
      answer = MessageBoxA(owner, text, caption, type);
    } else {
      answer = IDYES;
    }
  } else {
    if (!options.quiet || person) std::cerr << "\n" << caption_string << ":\n" << text_string << "\n";
    if (person) answer = MessageBoxA(owner, text, caption, type);
  }
  session.messages.push_back({{"Caption", Latin1ToUtf8(caption_string)},
                              {"Text", Latin1ToUtf8(text_string)},
                              {"Type", type},
                              {"Answer", answer}});
  return answer;
}

template <typename T>
T* At(BYTE* base, DWORD offset) {
  return reinterpret_cast<T*>(base + offset);
}

// Points the module's import of dll!name at the replacement; false when it has no such import.
bool ReplaceImport(HMODULE module, const char* dll, const char* name, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = At<const IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); entry->Name != 0; ++entry) {
    if (lstrcmpiA(At<const char>(base, entry->Name), dll) != 0) continue;
    const DWORD names_offset = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = At<IMAGE_THUNK_DATA>(base, names_offset);
    auto* slots = At<IMAGE_THUNK_DATA>(base, entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = At<const IMAGE_IMPORT_BY_NAME>(base, static_cast<DWORD>(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection)) return false;
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return true;
    }
  }
  return false;
}

}  // namespace

bool InterceptMessageBoxes(void* module) {
  return module != nullptr &&
         ReplaceImport(static_cast<HMODULE>(module), "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&HostMessageBoxA));
}

#endif
