// Runs the host program (build/viderave) as a user would and reads what it wrote.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

namespace test_support {

inline std::string HostProgram() { return std::string(VIDERAVE_BINARY_DIR) + "/viderave"; }

inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the program with no terminal (standard input from /dev/null), as CI does.
inline ProgramRun RunHost(const std::string& arguments) {
  const std::string stem = ::testing::TempDir() + "viderave-run-" + std::to_string(::getpid()) + "-" +
                           std::to_string(reinterpret_cast<std::uintptr_t>(&arguments));
  const std::string command = HostProgram() + " " + arguments + " </dev/null >" + Quote(stem + ".out") + " 2>" +
                              Quote(stem + ".err");
  ProgramRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream out(stem + ".out"), err(stem + ".err");
  std::stringstream o, e;
  o << out.rdbuf();
  e << err.rdbuf();
  run.out = o.str();
  run.err = e.str();
  std::remove((stem + ".out").c_str());
  std::remove((stem + ".err").c_str());
  return run;
}

inline nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  return nlohmann::json::parse(in);
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The document's objects of one kind ("Track", "Rule", ...).
inline std::vector<nlohmann::json> OfKind(const nlohmann::json& document, const std::string& kind) {
  std::vector<nlohmann::json> found;
  for (const auto& object : document["objects"]) {
    if (object["Kind"] == kind) found.push_back(object);
  }
  return found;
}

}  // namespace test_support
