// The OPTIONS reader: every value to its place (a section with all values distinct), the option
// slots and colours, routing directions and clearances, and the values it must leave alone.
#include <string>
#include <vector>

#include "records/conventions.h"
#include "tests/design/settings_fixture.h"

namespace {

using settings_test::Distinct;
using settings_test::DistinctLow8;
using settings_test::DistinctReal;
using settings_test::SettingsTest;

std::string Repeat(const std::string& value, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i == 0 ? "" : " ") + value;
  return text;
}

// An OPTIONS section (after its keyword line), then the line "NEXT".
struct OptionsText {
  std::string group1 = "1 2 3 4 5 6 7 8 9";
  std::string group2 = Repeat("0", 51);
  std::string group3 = Repeat("1", 51);
  std::string group4_to_6 = "Printer\nDriver\nPort";
  std::string group7 = "1 2 3 4 5 6 7 0.5 1.5 2.5";
  std::string group8 = "1 2 3 4 5 6 7 8";
  std::vector<std::string> group9 = std::vector<std::string>(42, "1 2 3");
  std::vector<std::string> group10 = std::vector<std::string>(42, "4 5 6");
  std::string group11 = Repeat("1", 42);
  std::string group12 = Repeat("2", 42);
  std::string group13 = "0.5 1.5 2.5 1 2 3 4 5 6 7";
  std::string group14 = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16";
  std::string group15 = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15";
  std::string group16 = "gerber";
  std::string group17 = "1 2 3 4 5 6 7 8 0.5";
  std::string group18 = "skipped";
  std::string group19 = "1 2 1 2 1 2 1 2 1 2 1 2 1 2 1 2";
  std::string group20 = "a\nb\nc";
  std::string group21 = "1 2 3 4 5 6 7";
  std::string group22_23 = "placer 1\nplacer 2";
  std::string group24 = "100000 110000 120000 130000 140000 150000";
  std::string group25 = "rest\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10";

  [[nodiscard]] std::string Text() const {
    std::string text;
    for (const std::string* line : {&group1, &group2, &group3, &group4_to_6, &group7, &group8}) text += *line + "\n";
    for (const auto* lines : {&group9, &group10}) {
      for (const std::string& line : *lines) text += line + "\n";
    }
    for (const std::string* line : {&group11, &group12, &group13, &group14, &group15, &group16, &group17, &group18,
                                    &group19, &group20, &group21, &group22_23, &group24, &group25}) {
      text += *line + "\n";
    }
    return text + "NEXT\n";
  }
};

using OptionsTest = SettingsTest;

// The boards generator numbers the values of the section 1, 2, ... (see DistinctSettingValue).
TEST_F(OptionsTest, DistinctSectionValueByValue) {
  StartRun(10, settings_test::DistinctSection(10, "OPTIONS"));
  ReadOptions(context());

  const char* output[] = {"Output1",  "Output2",  "Output3",  "Output8", "Output9",
                          "Output10", "Output11", "Output24", "Output7"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Host(output[i]), i < 2 ? Distinct(i + 1) : DistinctLow8(i + 1)) << output[i];

  const auto flags_of = [this](const char* field) {
    const orv::FieldSlot* slot = model().LayoutOf(orv::kBoardKind).Find(field);
    const std::uint8_t* bytes = model().FieldData(board(), *slot);
    return std::vector<std::uint8_t>(bytes, bytes + 109);
  };
  const std::vector<std::uint8_t> flip = flags_of("FlipLayers");
  const std::vector<std::uint8_t> plot = flags_of("PlotLayers");
  int k = 10;
  for (int n = 1; n <= 53; ++n) {
    if (n == 36 || n == 51) continue;
    EXPECT_EQ(flip[MapOptionsLayer(n) - 1u], DistinctLow8(k)) << "flip, file layer " << n;
    EXPECT_EQ(plot[MapOptionsLayer(n) - 1u], DistinctLow8(k + 51)) << "plot, file layer " << n;
    ++k;
  }

  EXPECT_EQ(HostText("Printer1"), "S112");
  EXPECT_EQ(HostText("Printer2"), "S113");
  EXPECT_EQ(HostText("Printer3"), "S114");
  for (int v = 4; v <= 9; ++v) EXPECT_EQ(Host("Printer" + std::to_string(v)), DistinctLow8(111 + v)) << v;
  EXPECT_EQ(Host("Printer10"), Distinct(121));
  for (int v = 11; v <= 13; ++v) EXPECT_EQ(Host("Printer" + std::to_string(v)), DistinctReal(111 + v)) << v;
  const orv::FieldSlot* block_slot = model().LayoutOf(orv::kBoardKind).Find("Printer14");
  const std::uint8_t* block = model().FieldData(board(), *block_slot);
  const int block_bytes[] = {1, 6, 2, 5, 4, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(block[block_bytes[i]], DistinctLow8(125 + i)) << "byte " << block_bytes[i];
  EXPECT_EQ(Host("Printer15"), DistinctLow8(131));
  EXPECT_EQ(Host("Printer16"), DistinctLow8(132));

  for (int n = 1; n <= 42; ++n) {
    const std::uint8_t layer = MapFileLayer(n);
    const auto colour = [](int first) {
      return DistinctLow8(first) + 256 * DistinctLow8(first + 1) + 65536 * DistinctLow8(first + 2);
    };
    EXPECT_EQ(Host("Composite1", layer), colour(133 + 3 * (n - 1))) << "file layer " << n;
    EXPECT_EQ(Host("Composite2", layer), colour(259 + 3 * (n - 1))) << "file layer " << n;
    EXPECT_EQ(Host("Composite3", layer), DistinctLow8(385 + n - 1)) << "file layer " << n;
    EXPECT_EQ(Host("Composite4", layer), Distinct(427 + n - 1)) << "file layer " << n;
  }

  for (int v = 17; v <= 19; ++v) EXPECT_EQ(Host("Printer" + std::to_string(v)), DistinctReal(452 + v)) << v;
  EXPECT_EQ(Host("Printer20"), Distinct(472));
  EXPECT_EQ(Host("Printer21"), Distinct(473));
  for (int v = 22; v <= 26; ++v) EXPECT_EQ(Host("Printer" + std::to_string(v)), DistinctLow8(452 + v)) << v;
  for (std::uint32_t pen = 1; pen <= 8; ++pen) {
    EXPECT_EQ(Host("Pen1", pen), Distinct(477 + 2 * static_cast<int>(pen))) << pen;
    EXPECT_EQ(Host("Pen2", pen), Distinct(478 + 2 * static_cast<int>(pen))) << pen;
  }

  const int gerber[] = {1, 2, 6, 7, 15, 4, 8, 9, 10, 11, 12, 18, 17, 14, 16};
  for (int i = 0; i < 15; ++i) {
    const bool wide = gerber[i] >= 8 && gerber[i] != 15 && gerber[i] != 16;
    EXPECT_EQ(Host("Gerber" + std::to_string(gerber[i])), wide ? Distinct(495 + i) : DistinctLow8(495 + i))
        << "Gerber value " << gerber[i];
  }
  EXPECT_EQ(HostText("Gerber13"), "S510");

  for (int n = 1; n <= 16; ++n) {
    EXPECT_EQ(context().routing_directions[MapFileLayer(n) - 1u], DistinctLow8(519 + n)) << "file layer " << n;
  }
  for (int v = 3; v <= 6; ++v) EXPECT_EQ(Host("Placer" + std::to_string(v)), DistinctLow8(536 + v)) << v;
  EXPECT_EQ(HostText("Placer1"), "S543");
  EXPECT_EQ(HostText("Placer2"), "S544");
  for (int c = 0; c < 6; ++c) EXPECT_EQ(context().clearances[static_cast<std::size_t>(c)], Distinct(545 + c)) << c;
}

TEST_F(OptionsTest, ColourPartsAreCutToEightBitsBeforeTheyAreCombined) {
  struct Case {
    std::string line;
    double value;
  };
  const Case cases[] = {
      {"255 0 0", 255}, {"0 0 255", 16711680}, {"256 1 0", 256}, {"-1 0 0", 255}, {"1 2 3", 1 + 512 + 196608}};
  OptionsText text;
  for (std::size_t i = 0; i < std::size(cases); ++i) text.group10[i] = cases[i].line;
  StartRun(10, text.Text());
  ReadOptions(context());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Host("Composite2", MapFileLayer(static_cast<int>(i) + 1)), cases[i].value) << cases[i].line;
  }
}

TEST_F(OptionsTest, RoutingDirectionsGoToTheMappedSignalLayers) {
  OptionsText text;
  text.group19 = "1 1 1 1 1 1 1 1 1 1 1 1 1 1 258 2";
  StartRun(10, text.Text());
  context().routing_directions.fill(0);
  ReadOptions(context());
  for (int layer = 1; layer <= 14; ++layer) EXPECT_EQ(context().routing_directions[layer - 1u], 1) << layer;
  EXPECT_EQ(context().routing_directions[14], 2);  // MidLayer14: low 8 bits of 258
  for (int layer = 16; layer <= 31; ++layer) EXPECT_EQ(context().routing_directions[layer - 1u], 0) << layer;
  EXPECT_EQ(context().routing_directions[31], 2);  // file layer 16 is the bottom layer
}

TEST_F(OptionsTest, ClearancesAreTakenAsWrittenAtEveryLevel) {
  for (const int level : {0, 1, 10}) {
    StartRun(level, OptionsText().Text());
    ReadOptions(context());
    EXPECT_EQ(context().clearances, (std::array<std::int32_t, 6>{100000, 110000, 120000, 130000, 140000, 150000}))
        << level;
    TearDown();
  }
}

// Lines the section skips may hold anything, keywords included; the reader ends after the
// twelfth line end that follows the clearances.
TEST_F(OptionsTest, SkippedLinesMayHoldAnythingAndTheSectionEndsOnTime) {
  OptionsText text;
  text.group18 = "OPTIONS";
  text.group20 = "FT\nDEFAULTS\n\x01\x02 garbage \xff";
  text.group24 += " trailing FT";
  text.group25 = "rest\nFT\nOPTIONS\n\n\n\n\n\n\n\nCOMP";
  StartRun(10, text.Text());
  ReadOptions(context());
  EXPECT_EQ(HostText("Placer1"), "placer 1");
  EXPECT_EQ(context().clearances[5], 150000);
  EXPECT_EQ(NextLine(), "NEXT");
}

TEST_F(OptionsTest, ValuesTheSectionDoesNotNameKeepWhatTheHostHeld) {
  StartRun(10, OptionsText().Text());
  std::vector<std::string> fields = {"Output4", "Output5", "Output6", "Gerber3", "Gerber5", "Gerber19"};
  for (int v = 12; v <= 23; ++v) fields.push_back("Output" + std::to_string(v));
  std::vector<double> before;
  for (const auto& field : fields) before.push_back(Host(field));
  // Host layers no file layer maps to.
  const std::uint32_t unmapped[] = {16, 31, 43, 54, 61, 72};
  std::vector<double> composite_before;
  for (std::uint32_t layer : unmapped) {
    for (const char* f : {"Composite1", "Composite2", "Composite3", "Composite4"}) {
      composite_before.push_back(Host(f, layer));
    }
  }
  const nlohmann::json snapshot = Snapshot();

  ReadOptions(context());

  for (std::size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(Host(fields[i]), before[i]) << fields[i];
  std::size_t at = 0;
  for (std::uint32_t layer : unmapped) {
    for (const char* f : {"Composite1", "Composite2", "Composite3", "Composite4"}) {
      EXPECT_EQ(Host(f, layer), composite_before[at++]) << f << " layer " << layer;
    }
  }
  const nlohmann::json after = Snapshot();
  const auto& block_before = snapshot["PcbApi_QueryBoardPrinterOptions"][13];
  const auto& block_after = after["PcbApi_QueryBoardPrinterOptions"][13];
  for (int byte : {0, 7, 8, 15, 26}) EXPECT_EQ(block_after[byte], block_before[byte]) << "byte " << byte;
  // Slots that no file number reaches (16 to 31, 43 to 54, 63 to 70, 78 to 89, 98 to 105), and
  // those of file numbers 36 and 51, which have no value in the line.
  for (int slot : {16, 31, 43, 54, 63, 70, 72, 78, 89, 98, 105, 107}) {
    EXPECT_EQ(after["PcbApi_QueryBoardOutputOptionsPlotLayers"][slot - 1],
              snapshot["PcbApi_QueryBoardOutputOptionsPlotLayers"][slot - 1])
        << "slot " << slot;
  }
}

TEST_F(OptionsTest, InvalidNumbersDoNotStopTheSection) {
  OptionsText text;
  text.group1 = "12ab -7q 3 4 5 6 7 8 9";
  StartRun(10, text.Text());
  ReadOptions(context());
  EXPECT_EQ(Host("Output1"), 12);
  EXPECT_EQ(Host("Output2"), 7);
  EXPECT_EQ(HostText("Placer2"), "placer 2");
  EXPECT_EQ(NextLine(), "NEXT");
}

}  // namespace
