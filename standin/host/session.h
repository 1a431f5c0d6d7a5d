// The host program's session: the options a user (or a test) gave, the pending window messages,
// and what the host saw of the run besides the board (message boxes, dialogs, files), which the
// document's `host` section shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/api/system.h"

struct HostOptions {
  bool quiet = false;
  // A person at a terminal: questions are asked there; without one the host never waits.
  bool interactive = false;
  std::vector<std::int32_t> escape_at;     // post Escape after these progress steps (1-based)
  std::vector<bool> confirm_abort;         // scripted answers of the abort confirmation
  bool test_mode = false;                  // the registry holds the test-mode key
  std::vector<std::string> uncheck;        // rules dialog: untick these boxes, then OK
  bool close_dialog_with_box = false;      // rules dialog: close with the window's close box
  // Where the program's messages to the user go (the information box's text among them): the
  // terminal, or the WebAssembly module's caller.
  std::ostream* messages = &std::cerr;
  // Shows the rules dialog elsewhere than in the terminal (the WebAssembly module's page): ticks
  // or unticks the boxes in place and answers the modal result. Empty: the terminal, or the
  // options' answer without one. Boxes named by --uncheck or --close-dialog-with-box win over it.
  std::function<std::int32_t(ViderveDialog& dialog)> show_dialog;
  // Asks a yes-or-no question (the abort confirmation) elsewhere than in the terminal, caption
  // and text in UTF-8; --confirm-abort answers first. Empty: the terminal, or yes without one.
  std::function<bool(const std::string& caption, const std::string& text)> ask_yes_no;
};

struct HostSession {
  HostOptions options;
  std::deque<MSG> queue;          // the import thread's window messages
  std::size_t confirm_answers_used = 0;
  std::int64_t delivered_messages = 0;  // messages the plug-in passed straight to their window
  nlohmann::json messages = nlohmann::json::array();
  nlohmann::json dialogs = nlohmann::json::array();
  nlohmann::json files = nlohmann::json::array();
};

HostSession& Session();

// Fake window handles of the stand-in: the host's main window and the desktop.
inline HWND const kMainWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10001));
inline HWND const kDesktopWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));

// Posts an Escape key press (key-down then key-up) to the queue, as the keyboard would.
void PostEscapeKey();

// Terminal keyboard while an import runs: Escape presses become queue messages.
class TerminalKeys {
 public:
  TerminalKeys();   // raw, non-blocking input when the session is interactive
  ~TerminalKeys();  // the terminal as it was
  TerminalKeys(const TerminalKeys&) = delete;
  TerminalKeys& operator=(const TerminalKeys&) = delete;
  static void Poll();  // moves pending key presses into the queue
  // Back to line input for a question, and to raw input after it.
  static void Suspend();
  static void Resume();
};
