// The host program's file-name and stream functions as the plug-in reaches them: bound by name
// from the main program.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "host/client_calls.h"
#include "host/short_string.h"
#include "standin/host/session.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

std::string ForceExtension(const std::string& path, const std::string& extension) {
  const ShortString<255> counted_path(path);
  const ShortString<255> counted_extension(extension);
  std::array<std::uint8_t, 256> result{};
  host::ClientAPI_ForceFileNameExtension(counted_path.Raw(), counted_extension.Raw(), result.data());
  return std::string(CountedView(result.data()));
}

std::string WholeFileName(const std::string& path) {
  const ShortString<255> counted_path(path);
  std::array<std::uint8_t, 256> result{};
  host::ClientAPI_ExtractWholeFileNameFromPath(counted_path.Raw(), result.data());
  return std::string(CountedView(result.data()));
}


TEST(ClientApi, FileNames) {
  struct Case {
    const char* path;
    const char* extension;
    const char* forced;
    const char* whole_name;
  };
  const Case cases[] = {
      {"C:\\B\\X.PCB", "rpt", "C:\\B\\X.rpt", "X.PCB"},
      {"/tmp/boards/x.pcb", "rpt", "/tmp/boards/x.rpt", "x.pcb"},
      {"/tmp/boards/x", ".rpt", "/tmp/boards/x.rpt", "x"},
      {"/tmp/v1.2/board", "rpt", "/tmp/v1.2/board.rpt", "board"},  // a dot in a folder is no extension
      {"/tmp/a.b.c", "rpt", "/tmp/a.b.rpt", "a.b.c"},
      {"/tmp/x.pcb", "", "/tmp/x", "x.pcb"},
      {"D:x.pcb", "rpt", "D:x.rpt", "x.pcb"},
      {"", "rpt", ".rpt", ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.path);
    EXPECT_EQ(ForceExtension(test.path, test.extension), test.forced);
    EXPECT_EQ(WholeFileName(test.path), test.whole_name);
  }
  // The result is a counted string of at most 255 characters.
  EXPECT_EQ(ForceExtension(std::string(254, 'a') + ".pcb", "rpt").size(), 255u);
}

TEST(ClientApi, StreamWritesTheFileAndIsRecorded) {
  const std::string path = ::testing::TempDir() + "viderave-stream-test.rpt";
  test_support::WriteFile(path, "old contents that are longer than the new ones");
  const ShortString<255> name(path);
  const std::size_t records = Session().files.size();

  const std::uint32_t stream = host::VFSAPI_VFS_StreamCreate(name.Raw(), api::kStreamModeCreate);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(host::VFSAPI_VFS_StreamWrite(stream, "abc\r\n", 5), 5);
  EXPECT_EQ(host::VFSAPI_VFS_StreamWrite(stream, "de", 2), 2);
  host::VFSAPI_VFS_StreamDestroy(stream);

  EXPECT_EQ(test_support::ReadText(path), "abc\r\nde");
  ASSERT_EQ(Session().files.size(), records + 1);
  EXPECT_EQ(Session().files.back()["Name"], path);
  EXPECT_EQ(Session().files.back()["Size"], 7);

  // A stream that is gone, or never was, takes nothing.
  EXPECT_EQ(host::VFSAPI_VFS_StreamWrite(stream, "x", 1), 0);
  EXPECT_EQ(host::VFSAPI_VFS_StreamWrite(0, "x", 1), 0);
  host::VFSAPI_VFS_StreamDestroy(stream);
  std::remove(path.c_str());
}


}  // namespace
