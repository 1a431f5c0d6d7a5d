// The board's own footprint library: one file per distinct footprint in its own frame, numbered
// variants, the ids the board's footprints carry, the project's library table, and names no file
// can hold. KiCad's own placing of each library footprint is checked by kicad_check.py
// (kicad_load_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "viewers/kicad_export.h"
#include "viewers/kicad_library.h"
#include "tests/viewers/parts_document.h"
#include "tests/viewers/view_of.h"

namespace {

namespace fs = std::filesystem;
using namespace kicad;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path EmptyFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / ("viderave-library-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(KicadLibrary, EachDistinctFootprintOnceInItsOwnFrame) {
  const fs::path folder = EmptyFolder("parts");
  const view::BoardView board = viewers_test::ViewOf(kicad_test::PartsDocument());
  const ExportResult result = ExportKicad(board, (folder / "parts.kicad_pcb").string());
  ASSERT_TRUE(result.ok) << result.error;
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder / "parts.pretty")) files.insert(entry.path().filename().string());
  // The transistor upright, turned and on the bottom is one footprint; edited, a numbered one.
  // A pattern's slash cannot be in a file name. A free pad is no part: it has none.
  for (const char* file : {"SOT.kicad_mod", "SOT_2.kicad_mod", "RB.1_.2.kicad_mod", "ODD.kicad_mod", "INNER.kicad_mod"}) {
    EXPECT_EQ(files.count(file), 1u) << file;
  }
  EXPECT_EQ(files.size(), static_cast<std::size_t>(result.library_footprints));
  EXPECT_EQ(result.variants.front(), "SOT_2");

  const std::string text = ReadFile(folder / "parts.kicad_pcb");
  EXPECT_EQ(Occurrences(text, "(footprint \"parts:SOT\" "), 4u);
  EXPECT_EQ(Occurrences(text, "(footprint \"parts:SOT_2\" "), 1u);
  EXPECT_EQ(Occurrences(text, "(footprint \"parts:RB.1_.2\" "), 1u);
  EXPECT_EQ(Occurrences(text, "(footprint \"Free-7\" "), 1u);
  EXPECT_NE(Summary(result, "parts.kicad_pcb").find("; footprint library parts.pretty: " +
                                                     std::to_string(files.size()) +
                                                     " footprints, numbered where the pattern's contents differ: SOT_2"),
            std::string::npos)
      << Summary(result, "parts.kicad_pcb");

  // The library footprint: upright, on the top side, without nets or the board's pad rules,
  // angles its own, named as KiCad's libraries name them.
  const std::string sot = ReadFile(folder / "parts.pretty" / "SOT.kicad_mod");
  EXPECT_EQ(sot.rfind("(footprint \"SOT\" (version 20211014) (generator viderave)\n  (layer \"F.Cu\")\n", 0), 0u) << sot;
  EXPECT_NE(sot.find("  (fp_text reference \"REF**\" (at -1.524 -2.54) (layer \"F.SilkS\")"), std::string::npos) << sot;
  EXPECT_NE(sot.find("  (fp_text value \"SOT\" "), std::string::npos);
  EXPECT_NE(sot.find("  (pad \"1\" smd rect (at 1.27 0) (size 1.016 1.524) (layers \"F.Cu\" \"F.Paste\" \"F.Mask\"))\n"),
            std::string::npos)
      << sot;
  EXPECT_NE(sot.find("  (pad \"2\" thru_hole roundrect (at -1.27 0 45) "), std::string::npos);
  EXPECT_NE(sot.find("  (pad \"3\" smd circle (at 0 -1.524) (size 0.762 0.762) (layers \"In1.Cu\"))"), std::string::npos);
  EXPECT_NE(sot.find("  (fp_text user \"${REFERENCE}\" (at -1.524 -1.778) (layer \"F.SilkS\")"), std::string::npos);
  EXPECT_NE(sot.find("  (fp_text user \"Pin 1\" (at 1.016 2.032 10) "), std::string::npos);
  EXPECT_NE(sot.find("  (fp_poly (pts"), std::string::npos);
  EXPECT_EQ(sot.find("(net "), std::string::npos);
  EXPECT_EQ(sot.find("B."), std::string::npos);
  EXPECT_EQ(sot.find(" mirror"), std::string::npos);
  // The bottom part with a line on the inner layer: turned over, it is on the inner layer
  // counted from the other face (the board has two: In1.Cu and the unused In2.Cu).
  const std::string inner = ReadFile(folder / "parts.pretty" / "INNER.kicad_mod");
  EXPECT_NE(inner.find("(layer \"In2.Cu\")"), std::string::npos) << inner;
  EXPECT_NE(inner.find("(fp_text reference \"REF**\" "), std::string::npos);

  EXPECT_EQ(ReadFile(folder / "fp-lib-table"),
            "(fp_lib_table\n  (lib (name \"parts\")(type \"KiCad\")(uri \"${KIPRJMOD}/parts.pretty\")(options \"\")"
            "(descr \"The board's own footprints\"))\n)\n");
  fs::remove_all(folder);
}

// The library is written beside the board and leaves the board's own counts as they were.
TEST(KicadLibrary, TheBoardIsTheSameButForItsFootprintIds) {
  const fs::path folder = EmptyFolder("same");
  const view::BoardView board = viewers_test::ViewOf(kicad_test::PartsDocument());
  const ExportResult result = ExportKicad(board, (folder / "parts.kicad_pcb").string());
  ASSERT_TRUE(result.ok) << result.error;
  ExportCounts counts;
  const std::string alone = BoardWriter(board).Write(counts);
  EXPECT_EQ(result.counts.pads, counts.pads);
  EXPECT_EQ(result.counts.graphics, counts.graphics);
  EXPECT_EQ(result.counts.texts, counts.texts);
  EXPECT_EQ(result.counts.left_out, counts.left_out);
  const std::regex id(R"(\(footprint "[^"]*")");
  EXPECT_EQ(std::regex_replace(ReadFile(folder / "parts.kicad_pcb"), id, "(footprint ID"),
            std::regex_replace(alone, id, "(footprint ID"));
  fs::remove_all(folder);
}

// KiCad keeps one table per project folder: a table already there keeps every other library,
// this one's entry is written anew, and a file that is no table is not overwritten.
TEST(KicadLibrary, TheProjectTableKeepsTheLibrariesItNamesAlready) {
  const fs::path folder = EmptyFolder("table");
  const std::string other =
      "(lib (name \"Mine \\\"(x)\\\"\")(type \"KiCad\")\n    (uri \"/libs/mine.pretty\")(options \"\")(descr \"a ) b\"))";
  std::ofstream(folder / "fp-lib-table") << "(fp_lib_table\n  " << other << "\n  (lib (name parts)(type KiCad)(uri old))\n)\n";
  const view::BoardView board = viewers_test::ViewOf(kicad_test::PartsDocument());
  ExportResult result = ExportKicad(board, (folder / "parts.kicad_pcb").string());
  ASSERT_TRUE(result.ok) << result.error;
  std::string table = ReadFile(folder / "fp-lib-table");
  EXPECT_EQ(table.rfind("(fp_lib_table\n  " + other + "\n  (lib (name \"parts\")", 0), 0u) << table;
  EXPECT_EQ(Occurrences(table, "(name \"parts\")"), 1u);
  EXPECT_EQ(table.find("old"), std::string::npos);
  // A second board of the same folder joins the table.
  result = ExportKicad(board, (folder / "second.kicad_pcb").string());
  ASSERT_TRUE(result.ok) << result.error;
  table = ReadFile(folder / "fp-lib-table");
  EXPECT_NE(table.find("(name \"parts\")"), std::string::npos);
  EXPECT_NE(table.find("(name \"second\")(type \"KiCad\")(uri \"${KIPRJMOD}/second.pretty\")"), std::string::npos);

  for (const char* broken : {"(fp_lib_table (lib (name x)", "(sym_lib_table)\n", "(fp_lib_table) trailing"}) {
    std::ofstream(folder / "fp-lib-table", std::ios::trunc) << broken;
    result = ExportKicad(board, (folder / "parts.kicad_pcb").string());
    EXPECT_FALSE(result.ok) << broken;
    EXPECT_NE(result.error.find("it is not a footprint library table"), std::string::npos) << result.error;
    EXPECT_EQ(ReadFile(folder / "fp-lib-table"), broken);
  }
  fs::remove_all(folder);
}

TEST(KicadLibrary, FootprintNamesFitFilesAndLibraryIds) {
  EXPECT_EQ(FootprintFileName("DIP14"), "DIP14");
  EXPECT_EQ(FootprintFileName("RB.1/.2"), "RB.1_.2");
  EXPECT_EQ(FootprintFileName("a:b\\c*d?e\"f<g>h|i\tj"), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(FootprintFileName(""), "Component");
  EXPECT_EQ(FootprintFileName("TO-92."), "TO-92_");
  EXPECT_EQ(FootprintFileName("SO 8 "), "SO 8_");
  // At most 200 bytes, cut between characters, never inside one.
  std::string long_name;
  for (int i = 0; i < 150; ++i) long_name += "\xC3\xA9";  // é
  const std::string cut = FootprintFileName(long_name);
  EXPECT_EQ(cut.size(), 200u);
  EXPECT_EQ(cut, long_name.substr(0, 200));
  EXPECT_EQ(FootprintFileName("x" + long_name).size(), 199u);

  // Names that differ only in case are one file on some systems: the second is numbered.
  FootprintLibrary library("board", {});
  EXPECT_EQ(library.Nickname(), "board");
  EXPECT_EQ(FootprintLibrary("a:b", {}).Nickname(), "a_b");
  const auto first = library.Add("dip", "body", "c1");
  const auto second = library.Add("DIP", "body", "c2");  // another pattern: another footprint
  const auto again = library.Add("dip", "body", "c3");
  EXPECT_TRUE(first.second && second.second && !again.second);
  EXPECT_EQ(library.Name(first.first), "dip");
  EXPECT_EQ(library.Name(second.first), "DIP_2");
  EXPECT_EQ(again.first, first.first);
  EXPECT_EQ(library.Known("c3"), first.first);
  EXPECT_FALSE(library.Known("c4").has_value());
}

}  // namespace
