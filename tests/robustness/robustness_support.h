// Helpers of the robustness tests: the host program run as a child process whose peak memory
// and time are measured, files written in pieces, the board document of a board in this process
// (parsed back, so valid UTF-8 JSON), and the host session as a new host process starts it.
#pragma once

#include <gtest/gtest.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "standin/host/document.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"
#include "tests/support/host_program.h"

namespace robustness {

struct MeasuredRun {
  int status = -1;        // exit status, -1 when killed by a signal
  long peak_rss_kb = 0;   // the program's own peak resident size
  double seconds = 0;
};

namespace detail {

// VmHWM of a process, in KB (0 when it cannot be read).
inline long PeakResidentKb(pid_t pid) {
  std::FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (status == nullptr) return 0;
  long kb = 0;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
  }
  std::fclose(status);
  return kb;
}

}  // namespace detail

// Runs the host program with these arguments (no shell, no terminal, output discarded) and
// measures its time and peak memory. A child's ru_maxrss counts the memory of the test process
// it was forked from, so the peak is read from the program itself: it runs traced, and stops at
// its exit while its memory still exists. (The leak sanitizer cannot run in a traced process, so
// it is switched off for the measured program; so is AddressSanitizer's quarantine, which would
// keep every freed block resident and show the program's turnover instead of its peak.)
inline MeasuredRun RunHostMeasured(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv_strings{test_support::HostProgram()};
  argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argv_strings) argv.push_back(a.data());
  argv.push_back(nullptr);

  MeasuredRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    setenv("ASAN_OPTIONS", "detect_leaks=0:quarantine_size_mb=0", 1);
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return run;
  int raw = 0;
  // The first stop is the exec; from there on the exit is reported as an event.
  if (waitpid(child, &raw, 0) != child || !WIFSTOPPED(raw)) return run;
  ptrace(PTRACE_SETOPTIONS, child, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL));
  ptrace(PTRACE_CONT, child, nullptr, nullptr);
  while (waitpid(child, &raw, 0) == child) {
    if (WIFEXITED(raw) || WIFSIGNALED(raw)) break;
    int signal = WSTOPSIG(raw);
    if (signal == SIGTRAP && (raw >> 16) == PTRACE_EVENT_EXIT) {
      run.peak_rss_kb = detail::PeakResidentKb(child);
      signal = 0;
    }
    ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<std::intptr_t>(signal)));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// Writes a file in pieces: `pieces` calls of `piece(index)`, so that files of hundreds of
// megabytes never exist in memory.
template <typename Piece>
bool WriteStreamed(const std::string& path, long pieces, Piece piece) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = true;
  for (long i = 0; i < pieces && ok; ++i) {
    const std::string text = piece(i);
    ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  }
  return std::fclose(out) == 0 && ok;
}

// The whole board document of a board in this process's server, parsed back (which checks that
// it is valid UTF-8 JSON).
inline nlohmann::json DocumentOf(std::uint32_t board, const std::string& file_name) {
  std::FILE* out = std::tmpfile();
  EXPECT_NE(out, nullptr);
  if (out == nullptr) return {};
  EXPECT_TRUE(WriteBoardDocument(orv::Server(), board, file_name, out));
  std::rewind(out);
  std::string text;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, out)) > 0;) text.append(chunk, n);
  std::fclose(out);
  return nlohmann::json::parse(text);
}

// A session as a new host process starts it, the rules dialog off (test mode).
inline void FreshSession() {
  HostSession& session = Session();
  session = HostSession{};
  session.options.test_mode = true;
  session.options.quiet = true;
}

}  // namespace robustness
