// Tests of the board generator: determinism, header, record layouts per level, counts and links
// against the summary, settings values, rule value cycling, the --size mix, the example board.
#include "boardgen/board_generator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "boardgen/record_writer.h"
#include "pcb_structure.h"

namespace boardgen {
namespace {

using boardgen_test::PcbStructure;
using boardgen_test::ReadStructure;

// A board with at least one record of every kind.
BoardRecipe EveryKind(int level) {
  BoardRecipe recipe;
  recipe.level = level;
  recipe.seed = 7;
  recipe.tracks = 40;
  recipe.arcs = 12;
  recipe.vias = 10;
  recipe.pads = 9;
  recipe.fills = 8;
  recipe.strings = 11;
  recipe.polygons = 3;
  recipe.split_planes = 2;
  recipe.coordinates = 2;
  recipe.dimensions = 3;
  recipe.shape6_pads = 2;
  recipe.components = Components(5, {.pads = 4, .tracks = 4, .arcs = 1, .vias = 1, .fills = 1, .strings = 1});
  recipe.nets = 6;
  recipe.polygon_vertices = 12;
  recipe.defaults = true;
  recipe.options = true;
  recipe.links.dangling_percent = 25;
  return recipe;
}

std::string Text(const BoardRecipe& recipe, BoardSummary* summary = nullptr) {
  std::string text;
  const BoardSummary s = Generate(recipe, text);
  if (summary != nullptr) *summary = s;
  return text;
}

TEST(BoardGenerator, SameSeedSameBoardOtherSeedOtherBoard) {
  BoardRecipe recipe = EveryKind(10);
  const std::string first = Text(recipe);
  EXPECT_EQ(first, Text(recipe));
  std::ostringstream stream;
  Generate(recipe, stream);
  EXPECT_EQ(first, stream.str());
  recipe.seed = 8;
  EXPECT_NE(first, Text(recipe));
}

TEST(BoardGenerator, BannerAndCountLineAtEveryLevel) {
  static constexpr const char* kBanners[] = {"PCB FILE 6",
                                             "PCB FILE 6 VERSION 1.10",
                                             "PCB FILE 6 VERSION 2.00",
                                             "PCB FILE 6 VERSION 2.10",
                                             "PCB FILE 6 VERSION 2.20",
                                             "PCB FILE 6 VERSION 2.30",
                                             "PCB FILE 6 VERSION 2.40",
                                             "PCB FILE 6 VERSION 2.50",
                                             "PCB FILE 6 VERSION 2.60",
                                             "PCB FILE 6 VERSION 2.70",
                                             "PCB FILE 6 VERSION 2.80"};
  for (int level = 0; level <= 10; ++level) {
    SCOPED_TRACE(level);
    BoardSummary summary;
    const std::string text = Text(EveryKind(level), &summary);
    EXPECT_EQ(text.substr(0, text.find('\n')), kBanners[level]);
    const PcbStructure file = ReadStructure(text);
    EXPECT_EQ(file.level, level);
    EXPECT_EQ(file.has_count_line, level >= 1);
    if (level == 0) {
      EXPECT_EQ(text.substr(text.find('\n') + 1, 9), "DEFAULTS\n");
      continue;
    }
    // The importer's progress total: counts 2 and 4 to 10, one step per record it reads.
    int64_t total = file.header[1];
    for (int i = 3; i < 10; ++i) total += file.header[i];
    EXPECT_EQ(total, file.progress_records);
    EXPECT_EQ(total, summary.progress_steps);
    EXPECT_EQ(file.header[0], 5);
    EXPECT_EQ(file.header[2], 6);
  }
}

int64_t Count(const PcbStructure& file, const char* keyword) {
  const auto found = file.records.find(keyword);
  return found == file.records.end() ? 0 : found->second;
}

// The links that the import's link pass makes, worked out from the numbers in the file.
BoardSummary LinksInFile(const PcbStructure& file) {
  const auto valid = [](int64_t number, int64_t records) {
    return number >= 1 && number <= std::min<int64_t>(records, 16000);
  };
  const int64_t nets = Count(file, "NETDEF"), polygons = Count(file, "PG");
  const int64_t coordinates = Count(file, "FD"), dimensions = Count(file, "FI");
  BoardSummary s;
  for (const boardgen_test::Links& l : file.links) {
    s.dangling += (l.net != 0 && !valid(l.net, nets)) + (l.polygon != 0 && !valid(l.polygon, polygons)) +
                  (l.coordinate != 0 && !valid(l.coordinate, coordinates)) +
                  (l.dimension != 0 && !valid(l.dimension, dimensions));
    if (l.polygon_record) {
      s.polygons_with_net += valid(l.net, nets);
      continue;
    }
    if (valid(l.polygon, polygons)) {
      ++s.in_polygon;
    } else if (valid(l.net, nets)) {
      ++(l.nested ? s.nested_in_net : s.in_net);
    }
    s.in_coordinate += valid(l.coordinate, coordinates);
    s.in_dimension += valid(l.dimension, dimensions);
  }
  return s;
}

// The records and links of a file agree with what the summary promised.
void ExpectFileMatchesSummary(const PcbStructure& file, const BoardSummary& summary, int level) {
  ASSERT_TRUE(file.errors.empty()) << file.errors.size() << " errors, first: " << file.errors.front();
  EXPECT_EQ(summary.tracks, Count(file, "FT") + Count(file, "CT"));
  EXPECT_EQ(summary.arcs, Count(file, "FA") + Count(file, "CA"));
  EXPECT_EQ(summary.vias, Count(file, "FV") + Count(file, "CV"));
  EXPECT_EQ(summary.pads + summary.uncreated_pads, Count(file, "FP") + Count(file, "CP"));
  EXPECT_EQ(summary.uncreated_pads, level < 7 ? file.shape6_pads : 0);
  EXPECT_EQ(summary.fills, Count(file, "FF") + Count(file, "CF"));
  EXPECT_EQ(summary.texts, Count(file, "FS") + Count(file, "CS"));
  EXPECT_EQ(summary.polygons + summary.split_planes, Count(file, "PG"));
  EXPECT_EQ(summary.coordinates, Count(file, "FD"));
  EXPECT_EQ(summary.dimensions, Count(file, "FI"));
  EXPECT_EQ(summary.components, Count(file, "COMP"));
  EXPECT_EQ(summary.nets, Count(file, "NETDEF"));
  EXPECT_EQ(summary.progress_steps, file.progress_records);
  EXPECT_EQ(summary.primitive_records, file.progress_records - summary.components - summary.nets);
  const BoardSummary links = LinksInFile(file);
  EXPECT_EQ(summary.in_net, links.in_net);
  EXPECT_EQ(summary.nested_in_net, links.nested_in_net);
  EXPECT_EQ(summary.in_polygon, links.in_polygon);
  EXPECT_EQ(summary.in_coordinate, links.in_coordinate);
  EXPECT_EQ(summary.in_dimension, links.in_dimension);
  EXPECT_EQ(summary.polygons_with_net, links.polygons_with_net);
  EXPECT_EQ(summary.dangling, links.dangling);
}

TEST(BoardGenerator, RecordsFollowTheLevelTablesAndTheSummary) {
  for (int level = 0; level <= 10; ++level) {
    SCOPED_TRACE(level);
    const BoardRecipe recipe = EveryKind(level);
    BoardSummary summary;
    const PcbStructure file = ReadStructure(Text(recipe, &summary));
    ExpectFileMatchesSummary(file, summary, level);
    EXPECT_EQ(Count(file, "FT"), recipe.tracks);
    EXPECT_EQ(Count(file, "CT"), 20);
    EXPECT_EQ(Count(file, "CS"), 15);  // one nested string, designator and comment per component
    EXPECT_EQ(file.shape6_pads, 2);
    EXPECT_GT(summary.in_net, 0);
    EXPECT_GT(summary.nested_in_net, 0);
    EXPECT_GT(summary.dangling, 0);
    EXPECT_EQ(summary.in_polygon > 0, level >= 2);
    EXPECT_EQ(summary.in_coordinate > 0 && summary.in_dimension > 0, level >= 10);
    EXPECT_EQ(Summarize(recipe).in_net, summary.in_net);
  }
}

struct LayoutCase {
  const char* what;
  int level;
  void (*write)(RecordWriter&);
  const char* text;
};

const TrackRecord kTrack{1000000, 2000000, 3000000, 2000000, 10000, 1, 3, 2, 4, 5, 7};
const PadRecord kPad{100000,
                     200000,
                     30000,
                     {60000, 50000, 40000},
                     {60000, 50000, 40000},
                     {1, 2, 3},
                     2,
                     34,
                     4,
                     1,
                     90.0,
                     4000,
                     -1000,
                     10000,
                     12000,
                     20000,
                     4,
                     "7"};
const ViaRecord kVia{100000, 200000, 50000, 28000, 3, 1, 16, 2, 1};
const StringRecord kString{1000000, 500000, 60000, 8000, 90.0, 1, 0, 18, 0, 1, 2, "REV A"};
const FillRecord kFill{100000, 200000, 300000, 400000, 16, 1, 2, 0, 45.0};
const PolygonVertex kOutline[] = {
    {0, 0}, {100000, 0, true, 100000, 50000, 50000, 270.0, 90.0}, {100000, 100000}, {0, 0}};
const PolygonRecord kPolygon{16, 1, 2, {true, false, true, false, true}, 20000, 12000, 3000, kOutline};
const std::string_view kMembers[] = {"U1-1"};
const NetRecord kNet{"GND", 10000, 50000, 1, 2, 23, 5000000000u, kMembers};

const LayoutCase kLayouts[] = {
    {"track", 1, [](RecordWriter& w) { w.Track(kTrack, false); }, "FT\n0 0 1000 2000 3000 2000 10 1 0 3 0\n"},
    {"track", 2, [](RecordWriter& w) { w.Track(kTrack, false); },
     "FT\n0 0 1000000 2000000 3000000 2000000 10000 1 0 3 0\n2\n"},
    {"track", 10, [](RecordWriter& w) { w.Track(kTrack, true); },
     "CT\n0 0 1000000 2000000 3000000 2000000 10000 1 0 3 0\n2 0 7 4 5\n"},
    {"pad", 6, [](RecordWriter& w) { w.Pad(kPad, false); }, "FP\n0 0 100000 200000 60000 60000 1 30000 2 34 4 0\n7\n"},
    {"pad", 7, [](RecordWriter& w) { w.Pad(kPad, false); },
     "FP\n0 0 100000 200000 60000 60000 1 50000 50000 2 40000 40000 3 30000 2 34 4 0\n7\n"},
    {"pad", 10, [](RecordWriter& w) { w.Pad(kPad, true); },
     "CP\n0 0 100000 200000 60000 60000 1 50000 50000 2 40000 40000 3 30000 2 34 4 0 90.000 4000 -1000 10000 12000 "
     "20000 4 1"
     " 0 0 0 0 0 0 0\n7\n"},
    {"via", 8, [](RecordWriter& w) { w.Via(kVia, false); }, "FV\n0 0 100000 200000 50000 28000 0 3 2 0\n"},
    {"via", 10, [](RecordWriter& w) { w.Via(kVia, false); },
     "FV\n0 0 100000 200000 50000 28000 0 3 2 0 0 0 1 0 0 1 16\n"},
    {"string", 0, [](RecordWriter& w) { w.String(kString, false); }, "FS\n0 0 1000 500 60 90.000 1 0 18\nREV A\n"},
    {"string", 9, [](RecordWriter& w) { w.String(kString, false); },
     "FS\n0 0 1000000 500000 60000 90.000 1 0 18 0 0 0 0 8000 0\nREV A\n"},
    {"fill", 2, [](RecordWriter& w) { w.Fill(kFill, false); }, "FF\n0 0 100000 200000 300000 400000 16 1\n"},
    {"fill", 10, [](RecordWriter& w) { w.Fill(kFill, false); },
     "FF\n0 0 100000 200000 300000 400000 16 1\n2 0 45.000\n"},
    {"polygon", 1, [](RecordWriter& w) { w.Polygon(kPolygon); },
     "PG\n16\n1\n1 0 1 0\n20000 12000\n3\n0 0\n100000 0\n100000 100000\n0 0\n0 0 1 0\n"
     "FA\n0 0 100000 50000 50000 270.000 90.000 12000 16 1 0\n"},
    {"polygon", 10, [](RecordWriter& w) { w.Polygon(kPolygon); },
     "PG\n16\n1\n1 0 1 0 0 1\n20000 12000 3000 0\n3\n0 0\n100000 0\n100000 100000\n0 0\n0 0 1 0\n"
     "FA\n0 0 100000 50000 50000 270.000 90.000 12000 16 1 0\n2 0\n"},
    {"net", 0, [](RecordWriter& w) { w.NetDef(kNet); }, "NETDEF\nGND\n(\nU1-1\n)\n{\n}\n"},
    {"net", 4, [](RecordWriter& w) { w.NetDef(kNet); }, "NETDEF\nGND\n10000 50000 1 2\n(\nU1-1\n)\n{\n}\n0 0 0\n"},
    {"net", 9, [](RecordWriter& w) { w.NetDef(kNet); },
     "NETDEF\nGND\n10000 50000 1 2\n(\nU1-1\n)\n{\n}\n0 0 0\n23 5000000000 0\n"},
};

TEST(BoardGenerator, RecordLayoutsPerLevel) {
  for (const LayoutCase& c : kLayouts) {
    std::string text;
    {
      LineWriter out([](void* context, const char* data,
                        std::size_t size) { static_cast<std::string*>(context)->append(data, size); },
                     &text, false);
      RecordWriter records(out, c.level);
      c.write(records);
    }
    EXPECT_EQ(text, c.text) << c.what << " at level " << c.level;
  }
}

std::string Expected(int64_t value) { return std::to_string(value); }
std::string ExpectedReal(int k) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", DistinctSettingReal(k));
  return buffer;
}

TEST(BoardGenerator, DistinctSettingsFollowTheDocumentedFormula) {
  for (int level : {1, 10}) {
    SCOPED_TRACE(level);
    BoardRecipe recipe;
    recipe.level = level;
    recipe.defaults = recipe.options = recipe.distinct_settings = true;
    const PcbStructure file = ReadStructure(Text(recipe));
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();

    const std::vector<std::string>& d = file.defaults_values;
    ASSERT_EQ(d.size(), level >= 4 ? 58u : 56u);
    for (int k = 1; k <= static_cast<int>(d.size()); ++k) {
      const bool real = (k >= 9 && k <= 12) || k == 14;
      const bool flag = k >= 15 && k <= 57;
      std::string expected = real ? ExpectedReal(k) : Expected(DistinctSettingValue(k));
      if (flag && k % 2 == 0) expected = "0";
      if (k == 58) expected = "S58";
      EXPECT_EQ(d[k - 1], expected) << "DEFAULTS position " << k;
    }

    const std::vector<std::string>& o = file.options_values;
    ASSERT_EQ(o.size(), 550u);
    const std::set<int> strings = {112, 113, 114, 510, 543, 544};
    const std::set<int> reals = {122, 123, 124, 469, 470, 471, 519};
    for (int k = 1; k <= 550; ++k) {
      const std::string expected = strings.contains(k) ? "S" + std::to_string(k)
                                   : reals.contains(k) ? ExpectedReal(k)
                                                       : Expected(DistinctSettingValue(k));
      EXPECT_EQ(o[k - 1], expected) << "OPTIONS position " << k;
    }
  }
}

TEST(BoardGenerator, OptionValuesGiveClearancesAndRoutingDirections) {
  BoardRecipe recipe;
  recipe.options = true;
  recipe.option_values.clearances = {80000, 90000, 100000, 110000, 120000, 130000};
  recipe.option_values.routing_directions = {2, 1, 0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const PcbStructure file = ReadStructure(Text(recipe));
  ASSERT_EQ(file.options_values.size(), 550u);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(file.options_values[519 + i], Expected(recipe.option_values.routing_directions[i]));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(file.options_values[544 + i], Expected(recipe.option_values.clearances[i]));
}

TEST(BoardGenerator, PadAndNetRuleValuesAreCycledInFileOrder) {
  BoardRecipe recipe;
  recipe.level = 9;
  recipe.pads = 5;
  recipe.components = Components(3, {.pads = 4});
  recipe.nets = 7;
  recipe.pad_rules.solder_mask = {1000, 2000, 3000};
  recipe.pad_rules.paste_mask = {-500, 0};
  recipe.pad_rules.plane_clearance = {15000};
  recipe.pad_rules.connect = {{1, 100, 200, 3}, {13, 400, 500, 6}};
  recipe.net_rules.width = {8000, 9000};
  recipe.net_rules.via_size = {40000};
  recipe.net_rules.topology = {0, 3, 6};
  recipe.net_rules.priority = {1, 2, 3, 4};
  const PcbStructure file = ReadStructure(Text(recipe));
  ASSERT_TRUE(file.errors.empty()) << file.errors.front();
  ASSERT_EQ(file.pad_rules.size(), 17u);
  for (std::size_t j = 0; j < file.pad_rules.size(); ++j) {
    const PadConnect& connect = recipe.pad_rules.connect[j % 2];
    const std::array<int64_t, 6> expected = {connect.style_code,
                                             recipe.pad_rules.solder_mask[j % 3],
                                             recipe.pad_rules.paste_mask[j % 2],
                                             connect.value1,
                                             connect.value2,
                                             15000};
    EXPECT_EQ(file.pad_rules[j], expected) << "pad " << j;
  }
  ASSERT_EQ(file.net_rules.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    const std::array<int64_t, 4> expected = {recipe.net_rules.width[i % 2], 40000, recipe.net_rules.topology[i % 3],
                                             recipe.net_rules.priority[i % 4]};
    EXPECT_EQ(file.net_rules[i], expected) << "net " << i;
  }
}

TEST(BoardGenerator, SizeGivesAboutThatManyPrimitives) {
  for (int64_t n : {1000, 10000, 100000, 1000000}) {
    const BoardSummary summary = Summarize(RealisticBoard(n));
    EXPECT_NEAR(static_cast<double>(summary.primitive_records), static_cast<double>(n), n * 0.1) << n;
  }
  for (int level : {3, 10}) {
    SCOPED_TRACE(level);
    BoardSummary summary;
    const PcbStructure file = ReadStructure(Text(RealisticBoard(20000, level, 3), &summary));
    ExpectFileMatchesSummary(file, summary, level);
    EXPECT_GT(summary.components, 100);
    EXPECT_EQ(Count(file, "DEFAULTS") + Count(file, "OPTIONS"), 2);
  }
}

TEST(BoardGenerator, DosLineEndsOnRequest) {
  BoardRecipe recipe = EveryKind(10);
  EXPECT_EQ(Text(recipe).find('\r'), std::string::npos);
  recipe.crlf = true;
  const PcbStructure file = ReadStructure(Text(recipe));
  EXPECT_TRUE(file.crlf_everywhere);
  EXPECT_TRUE(file.errors.empty());
}

TEST(BoardGenerator, RefusesRecipesOutOfRange) {
  BoardRecipe recipe;
  recipe.level = 11;
  std::string text;
  EXPECT_THROW(Generate(recipe, text), std::invalid_argument);
  recipe.level = 10;
  recipe.polygon_vertices = 2;
  EXPECT_THROW(Summarize(recipe), std::invalid_argument);
}

// The hand-written example must be a valid version 2.80 board written by a DOS tool.
TEST(ExampleBoards, Small280IsValid) {
  std::ifstream in(std::filesystem::path(VIDERAVE_SOURCE_DIR) / "examples" / "small-2.80.PCB", std::ios::binary);
  ASSERT_TRUE(in);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const PcbStructure file = ReadStructure(text);
  EXPECT_EQ(file.level, 10);
  EXPECT_TRUE(file.crlf_everywhere);
  EXPECT_TRUE(file.errors.empty()) << file.errors.front();
  int64_t total = file.header[1];
  for (int i = 3; i < 10; ++i) total += file.header[i];
  EXPECT_EQ(total, file.progress_records);
  for (const char* keyword : {"FT", "FA", "FV", "FP", "FF", "FS", "PG", "FD", "FI", "COMP", "CP", "CT", "CA", "CS",
                              "NETDEF", "DEFAULTS", "OPTIONS"}) {
    EXPECT_GE(Count(file, keyword), 1) << keyword;
  }
  EXPECT_EQ(file.options_values.size(), 550u);
  EXPECT_EQ(file.defaults_values.size(), 58u);
}

TEST(BoardGeneratorCommand, WritesASizedBoardAndRejectsBadUsage) {
  const std::filesystem::path command = std::filesystem::path(VIDERAVE_BINARY_DIR) / "boardgen";
  if (!std::filesystem::exists(command)) GTEST_SKIP() << "boardgen command not built";
  const std::filesystem::path output = std::filesystem::temp_directory_path() / "boardgen_command_test.PCB";
  const std::string run = command.string() + " --size 3000 --level 8 --seed 4 -o " + output.string();
  ASSERT_EQ(std::system(run.c_str()), 0);
  std::ifstream in(output, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, Text(RealisticBoard(3000, 8, 4)));
  std::filesystem::remove(output);

  const std::string bad = command.string() + " --level 11 >/dev/null 2>&1";
  const int status = std::system(bad.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace boardgen
