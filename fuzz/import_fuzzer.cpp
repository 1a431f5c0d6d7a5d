// libFuzzer target: every input is a whole text PCB file, imported as the host would import it
// (a board opened under the file's name, then the import run), in this one process with the
// stand-in server and the stand-in host's services. The board document of the result is written
// too, so that an object the document cannot show (bad text, a broken outline) is found as well.
//
// Nothing of a run touches the disk: the board file and its layer report are memory files
// (memfd) reached through two symbolic links made once, so the plug-in opens them by name with
// its ordinary file functions; the document goes to a sink that only counts its bytes. After each
// input the server drops every board and object but keeps its storage blocks, so memory stays
// bounded however long the campaign runs and the next input finds them ready.
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "plugin/import_run.h"
#include "standin/host/document.h"
#include "standin/host/object_writer.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"

namespace {

struct MemoryFile {
  int fd = -1;
  std::string name;  // the link the plug-in and the host open it by
};

struct Workspace {
  std::string folder;
  MemoryFile board;   // the input, as the file the host opens
  MemoryFile report;  // the layer warnings report the import may write beside it
  std::FILE* sink = nullptr;  // the board document, counted and dropped
  std::uint64_t document_bytes = 0;
  // Writes the documents' objects; its per-kind key plans are made once for the whole campaign.
  std::unique_ptr<ObjectWriter> object_writer;
};

Workspace& Work() {
  static Workspace work;
  return work;
}

[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

// A memory file under `name` in the work folder: opening the link opens the memory file afresh
// (from its start; for writing, truncated), as a file on disk would be.
MemoryFile MakeMemoryFile(const std::string& folder, const char* name) {
  MemoryFile file;
  file.fd = memfd_create(name, MFD_CLOEXEC);
  if (file.fd < 0) Fail("viderave fuzz: cannot make a memory file");
  file.name = folder + "/" + name;
  const std::string target = "/proc/self/fd/" + std::to_string(file.fd);
  if (symlink(target.c_str(), file.name.c_str()) != 0) Fail("viderave fuzz: cannot link a memory file");
  return file;
}

ssize_t CountBytes(void* cookie, const char*, std::size_t size) {
  *static_cast<std::uint64_t*>(cookie) += size;
  return static_cast<ssize_t>(size);
}

// A clean session for every input: no pending messages, nothing recorded, no one to ask.
void ResetSession() {
  HostSession& session = Session();
  session = HostSession{};
  session.options.test_mode = true;  // the rules dialog is never shown
  session.options.quiet = true;
}

void WriteInput(const MemoryFile& file, const std::uint8_t* data, std::size_t size) {
  const auto length = static_cast<off_t>(size);
  if (ftruncate(file.fd, length) != 0) Fail("viderave fuzz: cannot size the input");
  if (size != 0 && pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size)) Fail("viderave fuzz: cannot write the input");
}

}  // namespace

// AddressSanitizer's settings unless ASAN_OPTIONS says otherwise. A freed block waits in
// quarantine until 16 MB of others were freed, not 256 MB: an import makes and frees many small
// blocks, and with the larger quarantine nearly every one came from a page never touched before.
// Allocation stacks are kept 8 frames deep, enough to name the reader that made a block.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16:malloc_context_size=8"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Workspace& work = Work();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/viderave-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) Fail("viderave fuzz: cannot make a temporary folder");
  work.folder = pattern;
  work.board = MakeMemoryFile(work.folder, "FUZZ.PCB");
  work.report = MakeMemoryFile(work.folder, "FUZZ.rpt");
  work.sink = fopencookie(&work.document_bytes, "wb", cookie_io_functions_t{nullptr, CountBytes, nullptr, nullptr});
  if (work.sink == nullptr) Fail("viderave fuzz: cannot make the document sink");
  work.object_writer = std::make_unique<ObjectWriter>(orv::Server());
  std::atexit([] {
    std::remove(Work().board.name.c_str());
    std::remove(Work().report.name.c_str());
    rmdir(Work().folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Workspace& work = Work();
  WriteInput(work.board, data, size);
  ResetSession();
  orv::Model& model = orv::Server();
  const std::uint32_t board = model.OpenBoard(work.board.name);
  ImportFile(work.board.name);
  if (!WriteBoardDocument(model, board, work.board.name, work.sink, *work.object_writer) || std::fflush(work.sink) != 0) {
    std::abort();
  }
  model.Reset();
  return 0;
}
