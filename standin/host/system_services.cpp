// The stand-in host's operating-system services, exported under the Windows names so that the
// plug-in binds them from the main program: a message queue fed by the terminal and by
// --escape-at, message boxes asked in the terminal or answered by --confirm-abort, a registry
// holding the test-mode key, and the window lookups of the plug-in. On Windows the plug-in calls
// the system's own functions: system_services_win32.cpp.
#if !defined(_WIN32)
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "host/abi.h"
#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/orvpcb/host_faults.h"

HostSession& Session() {
  static HostSession session;
  return session;
}

void PostEscapeKey() {
  MSG down{};
  down.hwnd = kMainWindow;
  down.message = WM_KEYDOWN;
  down.wParam = VK_ESCAPE;
  MSG up = down;
  up.message = WM_KEYUP;
  Session().queue.push_back(down);
  Session().queue.push_back(up);
}

namespace {

constexpr char kTestModeKey[] = "\\Software\\Nembra\\TestMode";
HKEY const kTestModeHandle = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x20001));

struct TerminalState {
  bool raw = false;
  termios saved{};
};

TerminalState& Terminal() {
  static TerminalState state;
  return state;
}

bool SameKey(std::string_view a, std::string_view b) {
  while (!a.empty() && a.front() == '\\') a.remove_prefix(1);
  while (!b.empty() && b.front() == '\\') b.remove_prefix(1);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Asks a yes/no question on the terminal; true for yes.
bool AskYesNo(const std::string& caption, const std::string& text) {
  TerminalKeys::Suspend();
  std::string answer;
  for (;;) {
    std::cerr << "\n" << caption << ": " << text << " [y/n] " << std::flush;
    if (!std::getline(std::cin, answer)) {
      answer = "y";
      break;
    }
    if (!answer.empty() && (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'n' || answer[0] == 'N')) break;
  }
  TerminalKeys::Resume();
  return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace

TerminalKeys::TerminalKeys() {
  if (!Session().options.interactive || !isatty(STDIN_FILENO)) return;
  TerminalState& state = Terminal();
  if (tcgetattr(STDIN_FILENO, &state.saved) != 0) return;
  state.raw = true;
  Resume();
}

TerminalKeys::~TerminalKeys() {
  TerminalState& state = Terminal();
  if (!state.raw) return;
  Suspend();
  state.raw = false;
}

void TerminalKeys::Suspend() {
  TerminalState& state = Terminal();
  if (state.raw) tcsetattr(STDIN_FILENO, TCSANOW, &state.saved);
}

void TerminalKeys::Resume() {
  TerminalState& state = Terminal();
  if (!state.raw) return;
  termios raw = state.saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
}

void TerminalKeys::Poll() {
  if (!Terminal().raw) return;
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  while (poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0) {
    char keys[64];
    const ssize_t n = read(STDIN_FILENO, keys, sizeof keys);
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (keys[i] == 0x1B) {
        PostEscapeKey();
        break;  // the rest of an escape sequence (arrow keys and the like) is dropped with it
      }
    }
  }
}

extern "C" {

VIDERAVE_EXPORT BOOL VIDERAVE_STDCALL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT remove) {
  TerminalKeys::Poll();
  HostSession& session = Session();
  if (session.queue.empty() || message == nullptr) return 0;
  *message = session.queue.front();
  if ((remove & PM_REMOVE) != 0) session.queue.pop_front();
  return 1;
}

VIDERAVE_EXPORT LRESULT VIDERAVE_STDCALL SendMessageA(HWND, UINT, WPARAM, LPARAM) {
  ++Session().delivered_messages;
  return 0;
}

VIDERAVE_EXPORT int VIDERAVE_STDCALL MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
  // A box that cannot be shown answers 0, as the system's does.
  if (orv::Faults().Fails(orv::HostCall::kMessageBox, "MessageBoxA")) return 0;
  HostSession& session = Session();
  const std::string text_string = text == nullptr ? "" : text;
  const std::string caption_string = caption == nullptr ? "" : caption;
  int answer = IDOK;
  if ((type & 0xF) == MB_YESNO) {
    const HostOptions& options = session.options;
    if (session.confirm_answers_used < options.confirm_abort.size()) {
      answer = options.confirm_abort[session.confirm_answers_used++] ? IDYES : IDNO;
    } else if (options.confirm_abort.empty() && options.ask_yes_no) {
      answer = options.ask_yes_no(Latin1ToUtf8(caption_string), Latin1ToUtf8(text_string)) ? IDYES : IDNO;
    } else if (options.confirm_abort.empty() && options.interactive) {
      answer = AskYesNo(caption_string, text_string) ? IDYES : IDNO;
    } else {
      answer = IDYES;  // no one to ask: the user's Escape stands
    }
  } else {
    if (!session.options.quiet || session.options.interactive) {
      *session.options.messages << "\n" << caption_string << ":\n" << text_string << "\n";
    }
    if (session.options.interactive) {
      TerminalKeys::Suspend();
      std::cerr << "[press Enter]" << std::flush;
      std::string line;
      std::getline(std::cin, line);
      TerminalKeys::Resume();
    }
  }
  session.messages.push_back({{"Caption", Latin1ToUtf8(caption_string)},
                              {"Text", Latin1ToUtf8(text_string)},
                              {"Type", type},
                              {"Answer", answer}});
  return answer;
}

VIDERAVE_EXPORT HWND VIDERAVE_STDCALL GetDesktopWindow() { return kDesktopWindow; }

VIDERAVE_EXPORT HWND VIDERAVE_STDCALL FindWindowA(const char* class_name, const char*) {
  return class_name != nullptr && std::string_view(class_name) == "Veltrane Main Window" ? kMainWindow : nullptr;
}

VIDERAVE_EXPORT LONG VIDERAVE_STDCALL RegOpenKeyExA(HKEY root, const char* sub_key, DWORD, REGSAM, HKEY* result) {
  constexpr LONG kFileNotFound = 2;
  const bool found = root == HKEY_LOCAL_MACHINE && sub_key != nullptr && Session().options.test_mode &&
                     SameKey(sub_key, kTestModeKey);
  if (result != nullptr) *result = found ? kTestModeHandle : nullptr;
  return found ? ERROR_SUCCESS : kFileNotFound;
}

VIDERAVE_EXPORT LONG VIDERAVE_STDCALL RegCloseKey(HKEY) { return ERROR_SUCCESS; }

}  // extern "C"

#endif
