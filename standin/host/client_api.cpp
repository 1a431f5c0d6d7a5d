// The host program's file-name and file-stream functions, which the plug-in binds by name from
// the program that started the process: the board's report file is named and written through
// them. Streams write real files; every stream is recorded in the session's `files` list with
// its name and the number of bytes written to it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "host/abi.h"
#include "host/api/client.h"
#include "host/short_string.h"
#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/orvpcb/host_faults.h"

namespace {

constexpr std::size_t kResultCapacity = api::kCountedBufferSize - 1;

// Folder separators of both systems and the drive colon: a board may be named either way.
bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::size_t NameStart(std::string_view path) {
  std::size_t start = path.size();
  while (start > 0 && !IsSeparator(path[start - 1])) --start;
  return start;
}

struct Stream {
  std::FILE* file = nullptr;
  std::size_t record = 0;  // position in the session's files list
  std::int64_t size = 0;
};

struct Streams {
  std::unordered_map<std::uint32_t, Stream> open;
  std::uint32_t next = 1;
};

Streams& TheStreams() {
  static Streams streams;
  return streams;
}

// The file mode of a stream mode: the create mode makes a new file (replacing one), write and
// read-write modes open an existing one for writing, anything else is refused here because the
// host's streams are only ever written through this interface.
const char* FileMode(std::uint16_t mode) {
  if (mode == api::kStreamModeCreate) return "wb";
  if ((mode & 3) == 1 || (mode & 3) == 2) return "r+b";
  return nullptr;
}

}  // namespace

extern "C" VIDERAVE_EXPORT void VIDERAVE_STDCALL ClientAPI_ForceFileNameExtension(const std::uint8_t* path,
                                                                                  const std::uint8_t* extension,
                                                                                  std::uint8_t* result) {
  const std::string_view whole = CountedView(path);
  std::string_view ext = CountedView(extension);
  if (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
  const std::size_t name_start = NameStart(whole);
  const std::size_t dot = whole.rfind('.');
  // A dot that opens the name (".profile") starts no extension.
  const std::size_t stem_end = dot != std::string_view::npos && dot > name_start ? dot : whole.size();
  std::string out(whole.substr(0, stem_end));
  if (!ext.empty()) {
    out += '.';
    out += ext;
  }
  WriteCounted(result, kResultCapacity, out);
}

extern "C" VIDERAVE_EXPORT void VIDERAVE_STDCALL ClientAPI_ExtractWholeFileNameFromPath(const std::uint8_t* path,
                                                                                        std::uint8_t* result) {
  const std::string_view whole = CountedView(path);
  WriteCounted(result, kResultCapacity, whole.substr(NameStart(whole)));
}

extern "C" VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL VFSAPI_VFS_StreamCreate(const std::uint8_t* file_name,
                                                                                  std::uint16_t mode) {
  const std::string name(CountedView(file_name));
  const char* file_mode = FileMode(mode);
  if (name.empty() || file_mode == nullptr) return 0;
  if (orv::Faults().Fails(orv::HostCall::kStreamCreate, "VFSAPI_VFS_StreamCreate")) return 0;
  std::FILE* file = std::fopen(name.c_str(), file_mode);
  if (file == nullptr) return 0;
  nlohmann::json& files = Session().files;
  files.push_back({{"Name", Latin1ToUtf8(name)}, {"Size", 0}});
  Streams& streams = TheStreams();
  const std::uint32_t handle = streams.next++;
  streams.open[handle] = Stream{file, files.size() - 1, 0};
  return handle;
}

extern "C" VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL VFSAPI_VFS_StreamWrite(std::uint32_t stream,
                                                                                const void* data,
                                                                                std::int32_t count) {
  Streams& streams = TheStreams();
  const auto found = streams.open.find(stream);
  if (found == streams.open.end() || data == nullptr || count <= 0) return 0;
  if (orv::Faults().Fails(orv::HostCall::kStreamWrite, "VFSAPI_VFS_StreamWrite")) return 0;
  Stream& open = found->second;
  const std::size_t written = std::fwrite(data, 1, static_cast<std::size_t>(count), open.file);
  open.size += static_cast<std::int64_t>(written);
  nlohmann::json& files = Session().files;
  if (open.record < files.size()) files[open.record]["Size"] = open.size;
  return static_cast<std::int32_t>(written);
}

extern "C" VIDERAVE_EXPORT void VIDERAVE_STDCALL VFSAPI_VFS_StreamDestroy(std::uint32_t stream) {
  Streams& streams = TheStreams();
  const auto found = streams.open.find(stream);
  if (found == streams.open.end()) return;
  std::fclose(found->second.file);
  streams.open.erase(found);
}

static_assert(std::is_same_v<decltype(ClientAPI_ForceFileNameExtension), api::ClientAPI_ForceFileNameExtension>);
static_assert(std::is_same_v<decltype(ClientAPI_ExtractWholeFileNameFromPath),
                             api::ClientAPI_ExtractWholeFileNameFromPath>);
static_assert(std::is_same_v<decltype(VFSAPI_VFS_StreamCreate), api::VFSAPI_VFS_StreamCreate>);
static_assert(std::is_same_v<decltype(VFSAPI_VFS_StreamWrite), api::VFSAPI_VFS_StreamWrite>);
static_assert(std::is_same_v<decltype(VFSAPI_VFS_StreamDestroy), api::VFSAPI_VFS_StreamDestroy>);
