// Viderave.dll as the host loads it: the three exports by their plain names with the Win32
// standard calling convention, the DESCRIPTION resource, and the binding of the host's
// functions from the modules already in the process.
#include <windows.h>
// The obsolete Yield() macro of the Windows headers would rename the server model's members.
#undef Yield

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "host/api/vocabulary.h"
#include "host/client_calls.h"
#include "host/core_calls.h"
#include "host/short_string.h"
#include "standin/orvpcb/model.h"

namespace {

constexpr char kDescription[] = "Quorix PCB 2.8 ASCII file (*.PCB)";
constexpr char16_t kResourceText[] = u"||Quorix PCB 2.8 ASCII file (*.PCB)|||";

class PluginModule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_ = LoadLibraryA("Viderave.dll"); }
  static void TearDownTestSuite() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "Viderave.dll not loaded, error " << GetLastError(); }

  static void* Export(const char* name) { return reinterpret_cast<void*>(GetProcAddress(module_, name)); }

  static std::string WriteBoard(const std::string& stem, const std::string& first_line) {
    const std::string path = ::testing::TempDir() + "viderave-" + stem + ".PCB";
    std::ofstream(path, std::ios::binary) << first_line << "\r\n0 0 0 0 0 0 0 0 0 0\r\n";
    return path;
  }

  static HMODULE module_;
};

HMODULE PluginModule::module_ = nullptr;

TEST_F(PluginModule, ExportsThePlainNamesOnly) {
  for (const char* name : {"RecognisedPCBFile", "ImportFileIntoPcb", "GetPcbImporterDescription"}) {
    EXPECT_NE(Export(name), nullptr) << name;
  }
  // The decorated names of the __stdcall functions stay inside the module.
  for (const char* name : {"RecognisedPCBFile@4", "_RecognisedPCBFile@4", "ImportFileIntoPcb@8",
                           "GetPcbImporterDescription@0"}) {
    EXPECT_EQ(Export(name), nullptr) << name;
  }
}

TEST_F(PluginModule, DescriptionResourceIsTheFilterTextInUtf16WithItsNul) {
  const HRSRC resource = FindResourceA(module_, "DESCRIPTION", MAKEINTRESOURCEA(10));  // RT_RCDATA
  ASSERT_NE(resource, nullptr);
  ASSERT_EQ(SizeofResource(module_, resource), sizeof kResourceText);
  ASSERT_EQ(sizeof kResourceText, 78u);
  const HGLOBAL loaded = LoadResource(module_, resource);
  ASSERT_NE(loaded, nullptr);
  const auto* bytes = static_cast<const char16_t*>(LockResource(loaded));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::u16string(bytes, std::size(kResourceText)), std::u16string(kResourceText, std::size(kResourceText)));
}

TEST_F(PluginModule, DescriptionExportGivesTheConstantText) {
  using Describe = const char* __stdcall();
  auto* describe = reinterpret_cast<Describe*>(Export("GetPcbImporterDescription"));
  ASSERT_NE(describe, nullptr);
  EXPECT_STREQ(describe(), kDescription);
  EXPECT_EQ(describe(), describe());  // the same constant, not a fresh copy
}

// Calls a function with its arguments pushed by hand and tells how many bytes of them the
// callee left on the stack: none for the Win32 standard calling convention, which the host uses.
#if defined(__i386__)
struct StdcallResult {
  std::uint32_t value;
  std::int32_t bytes_left;
};

extern "C" __attribute__((noinline, cdecl)) std::uint32_t CallerCleansUp(std::uint32_t value) { return value + 1; }

StdcallResult CallPushing(void* function, std::uint32_t first, std::uint32_t second, int count) {
  std::uint32_t value = 0;
  std::uint32_t before = 0;
  std::uint32_t after = 0;
  std::uint32_t ecx = first;
  std::uint32_t edx = second;
  // esi and edi survive the call (callee-saved); the stack is put back whatever the callee did.
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "cmpl $2, %[count]\n\t"
      "jne 1f\n\t"
      "pushl %%edx\n"
      "1:\n\t"
      "pushl %%ecx\n\t"
      "call *%[function]\n\t"
      "movl %%esp, %%edi\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(value), "=S"(before), "=D"(after), "+c"(ecx), "+d"(edx)
      : [function] "b"(function), [count] "m"(count)
      : "memory", "cc");
  return {value, static_cast<std::int32_t>(before - after)};
}

TEST_F(PluginModule, ExportsRemoveTheirOwnArguments) {
  const std::string board = WriteBoard("stdcall", "PCB FILE 6 VERSION 2.80");
  const ShortString<255> name(board);
  const ShortString<255> missing("no such board.PCB");
  const ShortString<255> empty;
  const auto address = [](const ShortString<255>& text) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(text.Raw())); };

  // The probe tells the conventions apart: a C function leaves its argument behind.
  const StdcallResult probe = CallPushing(reinterpret_cast<void*>(&CallerCleansUp), 41, 0, 1);
  EXPECT_EQ(probe.value, 42u);
  EXPECT_EQ(probe.bytes_left, 4);

  const StdcallResult recognised = CallPushing(Export("RecognisedPCBFile"), address(name), 0, 1);
  EXPECT_EQ(recognised.value & 0xFF, 1u);
  EXPECT_EQ(recognised.bytes_left, 0);
  // An unrecognised file ends the import before any host call.
  const StdcallResult import = CallPushing(Export("ImportFileIntoPcb"), address(missing), address(empty), 2);
  EXPECT_EQ(import.value & 0xFF, 0u);
  EXPECT_EQ(import.bytes_left, 0);
}
#endif

TEST_F(PluginModule, RecognisesTheBannerOfTheFamilyOnly) {
  using Recognise = std::uint8_t __stdcall(const std::uint8_t*);
  auto* recognise = reinterpret_cast<Recognise*>(Export("RecognisedPCBFile"));
  ASSERT_NE(recognise, nullptr);
  const struct {
    const char* stem;
    const char* banner;
    std::uint8_t expected;
  } kCases[] = {
      {"upper", "PCB FILE 6 VERSION 2.80", 1},
      {"lower", "pcb file 6 version 1.10", 1},
      {"framed", "xx PCB FILE 6 yy", 1},
      {"other", "PCB FILE 5", 0},
  };
  for (const auto& c : kCases) {
    const ShortString<255> name(WriteBoard(c.stem, c.banner));
    EXPECT_EQ(recognise(name.Raw()), c.expected) << c.banner;
  }
  const ShortString<255> missing(::testing::TempDir() + "viderave-missing.PCB");
  EXPECT_EQ(recognise(missing.Raw()), 0);
}

// The plug-in's code in this program binds the server's functions from OrvPcb.dll, which the
// program loaded, and the main program's functions from the program itself, which has none.
TEST(HostBinding, FindsTheLoadedServerModuleByName) {
  ASSERT_NE(GetModuleHandleA("OrvPcb.dll"), nullptr);
  EXPECT_TRUE(host::PcbApi_CreateObject.Bound());
  const std::uint32_t track = host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack));
  EXPECT_NE(track, 0u);
  EXPECT_TRUE(orv::Server().Alive(track));
}

TEST(HostBinding, MissingFunctionsDoNothingAndGiveZero) {
  EXPECT_FALSE(host::ClientAPI_ForceFileNameExtension.Bound());
  std::uint8_t result[256] = {7};
  const ShortString<255> path("board.PCB");
  const ShortString<255> extension("rpt");
  host::ClientAPI_ForceFileNameExtension(path.Raw(), extension.Raw(), result);
  EXPECT_EQ(result[0], 7);
}

}  // namespace
