// The bundled example boards end to end: each imports, through the host program, to the board
// document kept beside it in examples/ (checked by hand once, see examples/README.md), and the
// old-format example writes its component layer report.
//
// The documents name the board by its absolute path; the test imports a copy from a folder of
// its own and writes "<folder>" for that folder. The report's size depends on the date format
// of the user's locale, so it is checked against the file and then left out.
//
// After a deliberate change of the document, rewrite the expected files with
//   VIDERAVE_UPDATE_EXAMPLES=1 build/test_e2e --gtest_filter='Examples.*'
// and check the difference by hand before committing it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/host_program.h"

namespace {

namespace fs = std::filesystem;
using Document = nlohmann::ordered_json;  // keeps the host's key order when it is written back
using test_support::Quote;
using test_support::ReadText;
using test_support::RunHost;

constexpr char kFolderMark[] = "<folder>";

struct Example {
  std::string name;
  bool writes_report;  // only old files leave a component's side to be deduced
};

const Example kExamples[] = {
    {"small-2.80", false},
    {"medium-2.10", false},
    {"legacy-1.10", true},
};

std::string ExamplesFolder() { return std::string(VIDERAVE_SOURCE_DIR) + "/examples"; }

// A fresh folder for one import, so that the board keeps its own file name.
std::string FreshFolder() {
  static std::atomic<int> counter{0};
  const std::string folder =
      ::testing::TempDir() + "viderave-examples-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

void ReplaceInStrings(Document& value, const std::string& from, const std::string& to) {
  if (value.is_string()) {
    std::string text = value.get<std::string>();
    ReplaceAll(text, from, to);
    value = text;
  } else if (value.is_structured()) {
    for (auto& element : value) ReplaceInStrings(element, from, to);
  }
}

// Writes the board's folder as "<folder>" and leaves out the sizes of written files. The folder
// comes from the document's own file name, so a document saved by an import of the example in
// place compares equal as well.
Document Neutral(Document document) {
  const std::string file_name = document.value("fileName", "");
  const std::size_t slash = file_name.rfind('/');
  if (slash != std::string::npos && slash > 0) ReplaceInStrings(document, file_name.substr(0, slash), kFolderMark);
  for (auto& file : document["host"]["files"]) file["Size"] = 0;
  return document;
}

Document ReadDocument(const std::string& path) {
  std::ifstream in(path);
  return Document::parse(in);
}

// One line per object and per board value group, so that a change shows as a short diff.
std::string Layout(const Document& document) {
  std::string out = "{";
  const char* separator = "\n";
  for (const auto& [key, value] : document.items()) {
    out += separator + Document(key).dump() + ": ";
    separator = ",\n";
    if (value.is_structured() && !value.empty()) {
      const bool list = value.is_array();
      out += list ? "[" : "{";
      const char* inner = "\n";
      for (const auto& [member_key, member] : value.items()) {
        out += inner + (list ? std::string() : Document(member_key).dump() + ": ") + member.dump();
        inner = ",\n";
      }
      out += list ? "\n]" : "\n}";
    } else {
      out += value.dump();
    }
  }
  return out + "\n}\n";
}

// The first differences between two documents, as JSON pointers with both values.
std::string Differences(const Document& expected, const Document& actual) {
  const Document patch = Document::diff(expected, actual);
  std::string text;
  std::size_t shown = 0;
  for (const auto& operation : patch) {
    if (++shown > 12) {
      text += "... " + std::to_string(patch.size() - 12) + " more\n";
      break;
    }
    const std::string pointer = operation["path"];
    text += operation["op"].get<std::string>() + " " + pointer;
    const Document::json_pointer at(pointer);
    if (expected.contains(at)) text += "  expected " + expected[at].dump();
    if (operation.contains("value")) text += "  got " + operation["value"].dump();
    text += "\n";
  }
  return text;
}

TEST(Examples, ImportToTheirCheckedDocuments) {
  const bool update = std::getenv("VIDERAVE_UPDATE_EXAMPLES") != nullptr;
  for (const Example& example : kExamples) {
    SCOPED_TRACE(example.name);
    const std::string folder = FreshFolder();
    const std::string board = folder + "/" + example.name + ".PCB";
    fs::copy_file(ExamplesFolder() + "/" + example.name + ".PCB", board);

    const auto run = RunHost("import " + Quote(board) + " --test-mode --quiet --json " + Quote(folder + "/document.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Document actual = ReadDocument(folder + "/document.json");

    // Each file the host wrote is where the document says and as long as it says.
    const auto& files = actual["host"]["files"];
    EXPECT_EQ(files.size(), example.writes_report ? 1u : 0u);
    for (const auto& file : files) {
      const std::string name = file["Name"];
      ASSERT_TRUE(fs::exists(name)) << name;
      EXPECT_EQ(file["Size"].get<std::uintmax_t>(), fs::file_size(name)) << name;
    }

    const std::string expected_path = ExamplesFolder() + "/" + example.name + ".expected.json";
    if (update) {
      std::ofstream(expected_path, std::ios::binary) << Layout(Neutral(actual));
    }
    ASSERT_TRUE(fs::exists(expected_path)) << "no expected document; see the top of this file";
    const Document expected = Neutral(ReadDocument(expected_path));
    const Document neutral = Neutral(actual);
    EXPECT_TRUE(neutral == expected) << Differences(expected, neutral);
    fs::remove_all(folder);
  }
}

TEST(Examples, OldBoardReportsTheComponentWhoseSideWasDeduced) {
  const std::string folder = FreshFolder();
  const std::string board = folder + "/legacy-1.10.PCB";
  fs::copy_file(ExamplesFolder() + "/legacy-1.10.PCB", board);
  const auto run = RunHost("import " + Quote(board) + " --test-mode --quiet --no-document");
  ASSERT_EQ(run.status, 0) << run.err;

  const std::string report = ReadText(folder + "/legacy-1.10.rpt");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < report.size();) {
    const std::size_t end = report.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
    lines.push_back(report.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Quorix PCB Ascii Version 1.10 Importer - Component Layer Warnings Report");
  EXPECT_EQ(lines[1], "PCB File : legacy-1.10.PCB");
  // Top by designator, bottom by designator, then the test point whose designator lies on a
  // mechanical layer: its top-layer pad decides.
  const std::vector<std::string> sections(lines.begin() + 5, lines.end());
  const std::vector<std::string> expected = {
      "",
      "",
      "Top Layer Components",
      "These components have a valid top layer attribute in the",
      "Quorix PCB Ascii Version 1.10 file",
      "U1 (DIP8, NE555)",
      "R1 (AXIAL0.3, 10k)",
      "R2 (AXIAL0.3, 100k)",
      "C1 (RB.1/.2, 10uF)",
      "D1 (LED3MM, RED)",
      "J1 (SIP2, 9V)",
      "",
      "",
      "Bottom Layer Components",
      "These components have a valid bottom layer attribute in the ",
      "Quorix PCB Ascii Version 1.10 file",
      "R3 (1206, 470R)",
      "",
      "",
      "Top Layer Components With Warnings",
      "These components do not have a valid layer in the Quorix PCB Ascii Version 1.10 file,",
      "but were assumed to be top layer because of their footprint primitives.",
      "TP1 (TESTPAD, GND)",
      "",
      "",
  };
  EXPECT_EQ(sections, expected);
  fs::remove_all(folder);
}

}  // namespace
