// libFuzzer target: every input is a whole text PCB file, imported as the host would import it
// (a board opened under the file's name, then the import run), in this one process with the
// stand-in server and the stand-in host's services. The board document of the result is written
// too, so that an object the document cannot show (bad text, a broken outline) is found as well.
// After each input the server drops every board and object, so memory stays bounded however
// long the campaign runs.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "plugin/import_run.h"
#include "standin/host/document.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"

namespace {

struct Workspace {
  std::string folder;
  std::string board_file;   // the input, as the file the host opens
  std::string report_file;  // the layer warnings report the import may write beside it
  std::FILE* sink = nullptr;  // where the board document goes
};

Workspace& Work() {
  static Workspace work;
  return work;
}

// A clean session for every input: no pending messages, nothing recorded, no one to ask.
void ResetSession() {
  HostSession& session = Session();
  session = HostSession{};
  session.options.test_mode = true;  // the rules dialog is never shown
  session.options.quiet = true;
}

bool WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Workspace& work = Work();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/viderave-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("viderave fuzz: cannot make a temporary folder");
    std::abort();
  }
  work.folder = pattern;
  work.board_file = work.folder + "/FUZZ.PCB";
  work.report_file = work.folder + "/FUZZ.rpt";
  work.sink = std::fopen("/dev/null", "wb");
  std::atexit([] {
    std::remove(Work().board_file.c_str());
    std::remove(Work().report_file.c_str());
    rmdir(Work().folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Workspace& work = Work();
  if (!WriteInput(work.board_file, data, size)) std::abort();
  ResetSession();
  orv::Model& model = orv::Server();
  const std::uint32_t board = model.OpenBoard(work.board_file);
  ImportFile(work.board_file);
  if (work.sink != nullptr) {
    std::rewind(work.sink);
    if (!WriteBoardDocument(model, board, work.board_file, work.sink)) std::abort();
  }
  model.Reset();
  std::remove(work.report_file.c_str());
  return 0;
}
