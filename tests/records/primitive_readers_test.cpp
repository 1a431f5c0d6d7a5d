// The FT, FA, FV, FP, FF, FS, FD and FI readers on small records against the stand-in host.
#include <string>

#include "tests/records/record_fixture.h"

namespace {

using TracksAndArcs = RecordTest;

TEST_F(TracksAndArcs, EndPointsScaleByTheLevelsFileUnit) {
  // 1/1000 mil from version 2.00 on, whole mils in version 1.10 files.
  const std::uint32_t new_track = ReadOne(10, "FT\n0 0 1000 2000 2000 1000 300 1 0 0 0\n0 0 0 0 0\n");
  const auto fine = Load<TPcbTrack>(new_track);
  EXPECT_EQ(fine->X, 10000);
  EXPECT_EQ(fine->Y, 20000);
  EXPECT_EQ(fine->X2, 20000);
  EXPECT_EQ(fine->Y2, 10000);
  EXPECT_EQ(fine->Width, 3000);

  const std::uint32_t old_track = ReadOne(1, "FT\n0 0 1000 2000 2000 1000 3 1 0 0 0\n");
  const auto coarse = Load<TPcbTrack>(old_track);
  EXPECT_EQ(coarse->X, 10000000);
  EXPECT_EQ(coarse->Y, 20000000);
  EXPECT_EQ(coarse->X2, 20000000);
  EXPECT_EQ(coarse->Y2, 10000000);
  EXPECT_EQ(coarse->Width, 30000);
}

TEST_F(TracksAndArcs, LevelTenTrackKeepsItsLinkNumbersForTheLinkPass) {
  const std::uint32_t handle = ReadOne(10, "FT\n0 0 1 2 3 4 5 16 0 7 0\n2 0 300 3 4\n");
  const auto track = Load<TPcbTrack>(handle);
  EXPECT_EQ(track->LayerNumber(), 32);  // file layer 16 is the bottom layer
  EXPECT_EQ(track->Net, 7);
  EXPECT_EQ(track->Polygon, 2);
  EXPECT_EQ(track->Tag, 300 & 0xFF);
  EXPECT_EQ(track->Coordinate, 3);
  EXPECT_EQ(track->Dimension, 4);
  EXPECT_EQ(track->Flags, 0);
}

TEST_F(TracksAndArcs, RecordsStayInStepAtEveryLevel) {
  // Each level's layout followed by a second track: the second one must read its own values.
  for (std::int32_t level = 0; level <= 10; ++level) {
    std::string second_line;
    if (level >= 2) second_line = level >= 10 ? "0 0 0 0 0\n" : level >= 9 ? "0 0 0\n" : "0\n";
    const std::string track = "FT\n0 0 1 1 1 1 1 1 0 0 0\n" + second_line;
    std::string arc_second_line;
    if (level >= 2) arc_second_line = level >= 9 ? "0 0\n" : "0\n";
    const std::string arc = "FA\n0 0 1 1 1 0.0 90.0 1 1 0 0\n" + arc_second_line;
    const auto handles =
        ReadRecords(level, track + arc + "FT\n0 0 42 43 44 45 46 34 0 0 0\n" + second_line);
    ASSERT_EQ(handles.size(), 3u) << "level " << level;
    const auto last = Load<TPcbTrack>(handles[2]);
    EXPECT_EQ(last->LayerNumber(), 74) << "level " << level;
    EXPECT_EQ(last->Y2, level <= 1 ? 450000 : 450) << "level " << level;
  }
}

TEST_F(TracksAndArcs, OnlyAZeroToZeroArcBecomesAFullCircle) {
  struct Case {
    const char* angles;
    double start, end;
  };
  const Case kCases[] = {{"0 0", 0, 360}, {"0 0.0001", 0, 0.0001}, {"90 90", 90, 90}, {"-45 400", -45, 400}};
  for (const Case& c : kCases) {
    const std::uint32_t handle =
        ReadOne(9, std::string("FA\n0 0 100 200 50 ") + c.angles + " 10 1 3 0\n4 17\n");
    const auto arc = Load<TPcbArc>(handle);
    EXPECT_EQ(arc->StartAngle, c.start) << c.angles;
    EXPECT_EQ(arc->EndAngle, c.end) << c.angles;
    EXPECT_EQ(arc->Radius, 500);
    EXPECT_EQ(arc->Net, 3);
    EXPECT_EQ(arc->Polygon, 4);
    EXPECT_EQ(arc->Tag, 17);
  }
}

using ViasAndPads = RecordTest;

TEST_F(ViasAndPads, ViaSpanFromThePairCodeOrFromTheLevelTenSpanLayers) {
  const auto coded = Load<TPcbVia>(ReadOne(8, "FV\n0 0 100 100 50 28 0 3 2 0\n"));
  EXPECT_EQ(coded->LowLayer, 5);  // MidLayer4 to MidLayer5
  EXPECT_EQ(coded->HighLayer, 6);
  EXPECT_EQ(coded->Net, 2);
  EXPECT_EQ(coded->Size, 500);

  // Values 16 and 17 decide at level 10, whatever the pair code says.
  const auto spanned = Load<TPcbVia>(ReadOne(10, "FV\n0 0 100 100 50 28 0 3 2 0 0 0 9 0 0 1 16\n"));
  EXPECT_EQ(spanned->LowLayer, 1);
  EXPECT_EQ(spanned->HighLayer, 32);
  EXPECT_EQ(spanned->Tag, 9);

  const auto old = Load<TPcbVia>(ReadOne(0, "FV\n0 0 10 10 50 28 0 9 0 0\n"));
  EXPECT_EQ(old->LowLayer, 1);
  EXPECT_EQ(old->HighLayer, 32);
  EXPECT_EQ(old->Size, 500000);
  EXPECT_EQ(old->HoleSize, 280000);
}

TEST_F(ViasAndPads, AbortStopsViaAndPadBeforeTheyAreStored) {
  context().abort = true;
  const auto handles = ReadRecords(8,
                                   "FV\n0 0 100 100 50 28 0 3 2 0\n"
                                   "FP\n0 0 1 2 60 60 1 60 60 1 60 60 1 30 1 34 0 0\nP\n"
                                   "FT\n0 0 1 1 1 1 1 1 0 0 0\n0\n");
  ASSERT_EQ(handles.size(), 3u);
  EXPECT_EQ(handles[0], 0u);
  EXPECT_EQ(handles[1], 0u);
  EXPECT_NE(handles[2], 0u);  // tracks finish their record whatever the flag
  // The pad was counted as a free pad and classified before the test.
  EXPECT_EQ(context().free_pad_number, 1);
  EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(RuleFamily::kPlaneConnect)), 1);
}

TEST_F(ViasAndPads, FreePadsAreNumberedInFileOrderWhateverTheirNames) {
  const auto handles = ReadRecords(5,
                                   "FP\n0 0 1 2 60 70 1 30 0 1 0 0\nA\n"
                                   "FP\n0 0 1 2 60 70 2 30 0 1 0 0\nB\n"
                                   "FP\n0 0 1 2 60 70 3 30 0 1 0 0\nC\n");
  ASSERT_EQ(handles.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const auto pad = Load<TPcbPad>(handles[static_cast<std::size_t>(i)]);
    EXPECT_EQ(pad->Name.View(), std::to_string(i + 1));
    EXPECT_EQ(pad->Index, i + 1);
    // One size and shape below level 7, copied to all three layer positions.
    EXPECT_EQ(pad->XSizeTop, 600);
    EXPECT_EQ(pad->XSizeMid, 600);
    EXPECT_EQ(pad->XSizeBottom, 600);
    EXPECT_EQ(pad->YSizeBottom, 700);
    EXPECT_EQ(pad->ShapeTop, i + 1);
    EXPECT_EQ(pad->ShapeBottom, i + 1);
  }
}

TEST_F(ViasAndPads, FreePadNumberStopsAt9999) {
  context().free_pad_number = 9999;
  const auto pad = Load<TPcbPad>(ReadOne(5, "FP\n0 0 1 2 60 70 1 30 0 1 0 0\nX\n"));
  EXPECT_EQ(pad->Name.View(), "9999");
  EXPECT_EQ(context().free_pad_number, 9999);
}

TEST_F(ViasAndPads, ComponentPadsKeepTheirNames) {
  Open(8, "0 0 1 2 60 60 1 60 60 1 60 60 1 30 1 34 0 0\n14\n");
  context().component_name.Assign("U1");
  const auto pad = Load<TPcbPad>(ReadPad(context()));
  EXPECT_EQ(pad->Name.View(), "14");
  EXPECT_EQ(context().free_pad_number, 0);
}

TEST_F(ViasAndPads, ShapeSixBelowLevelSevenStoresNothingAndLeavesTheNameLine) {
  const auto handles = ReadRecords(6,
                                   "FP\n0 0 1 2 60 60 6 30 0 1 0 0\nFT\n"  // the name line reads as a keyword
                                   "0 0 1 1 1 1 1 1 0 0 0\n0\n");
  ASSERT_EQ(handles.size(), 2u);
  EXPECT_EQ(handles[0], 0u);
  EXPECT_NE(handles[1], 0u);
  EXPECT_EQ(context().free_pad_number, 0);

  // From level 7 on shape 6 is an ordinary shape.
  const auto pad =
      Load<TPcbPad>(ReadOne(7, "FP\n0 0 1 2 60 60 6 60 60 6 60 60 6 30 0 1 0 0\nP\n"));
  EXPECT_EQ(pad->ShapeMid, 6);
}

TEST_F(ViasAndPads, LevelNinePadsFeedTheClassifierByLayer) {
  struct Case {
    int file_layer;
    int solder, paste, clearance, connect;  // rule counts per family
  };
  const Case kCases[] = {{34, 1, 1, 1, 1}, {1, 1, 1, 0, 1}, {16, 1, 1, 0, 1}, {2, 0, 0, 0, 1}};
  for (const Case& c : kCases) {
    Restart();
    ReadOne(9, "FP\n0 0 1 2 60 60 1 60 60 1 60 60 1 30 2 " + std::to_string(c.file_layer) +
                   " 0 0 45.0 400 500 1000 1000 2000 4 3\nP\n");
    TClassifier& classifier = context().classifier;
    EXPECT_EQ(classifier.RuleCount(static_cast<int>(RuleFamily::kSolderMask)), c.solder) << c.file_layer;
    EXPECT_EQ(classifier.RuleCount(static_cast<int>(RuleFamily::kPasteMask)), c.paste) << c.file_layer;
    EXPECT_EQ(classifier.RuleCount(static_cast<int>(RuleFamily::kPlaneClearance)), c.clearance) << c.file_layer;
    EXPECT_EQ(classifier.RuleCount(static_cast<int>(RuleFamily::kPlaneConnect)), c.connect) << c.file_layer;
  }
}

TEST_F(ViasAndPads, ConnectStyleCodesThatAskForNoConnection) {
  // Codes 0, 3, 6, 9 and 12 make no plane connection; every other code does, at any level.
  for (int code = 0; code <= 14; ++code) {
    Restart();
    ReadOne(6, "FP\n0 0 1 2 60 60 1 30 " + std::to_string(code) + " 34 0 0\nP\n");
    const bool connects = !(code % 3 == 0 && code <= 12);
    EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(RuleFamily::kPlaneConnect)), connects ? 1 : 0)
        << "code " << code;
    EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(RuleFamily::kSolderMask)), 0);
  }
}

TEST_F(ViasAndPads, LevelTenPadReadsRotationTagAndSkipsTheTrailingValues) {
  const auto handles = ReadRecords(10,
                                   "FP\n0 0 1 2 60 61 1 62 63 2 64 65 3 30 1 1 5 0 90.0 400 500 1000 1000 "
                                   "2000 4 7 1 1 1 1 1 1 1\nPAD\n"
                                   "FT\n0 0 1 1 1 1 1 1 0 0 0\n0 0 0 0 0\n");
  ASSERT_EQ(handles.size(), 2u);
  const auto pad = Load<TPcbPad>(handles[0]);
  EXPECT_EQ(pad->Rotation, 90.0);
  EXPECT_EQ(pad->Tag, 7);
  EXPECT_EQ(pad->Net, 5);
  EXPECT_EQ(pad->YSizeMid, 630);
  EXPECT_EQ(pad->ShapeBottom, 3);
  EXPECT_EQ(pad->HoleSize, 300);
  EXPECT_NE(handles[1], 0u);
}

using FillsAndStrings = RecordTest;

TEST_F(FillsAndStrings, FillSecondLineFromLevelThree) {
  const auto fill = Load<TPcbFill>(ReadOne(10, "FF\n0 0 1 2 3 4 1 0\n0 0 45.0\n"));
  EXPECT_EQ(fill->Rotation, 45.0);
  EXPECT_EQ(fill->Polygon, 0);
  EXPECT_EQ(fill->X2, 30);

  // At level 2 the same line is no part of the record and is skipped as an ordinary line.
  const auto handles = ReadRecords(2, "FF\n0 0 1 2 3 4 1 0\n0 0 45.0\nFF\n0 0 5 6 7 8 1 0\n");
  ASSERT_EQ(handles.size(), 2u);
  EXPECT_EQ(Load<TPcbFill>(handles[0])->Rotation, 0.0);
  EXPECT_EQ(Load<TPcbFill>(handles[1])->X, 50);
}

TEST_F(FillsAndStrings, StringWidthDerivedFromTheHeightBelowLevelNine) {
  struct Case {
    std::int32_t level;
    std::int32_t height;  // as written
    std::int32_t width;   // host units
  };
  const Case kCases[] = {
      {8, 60000, 60000},    {8, 450000, 70000},   {8, 700000, 80000}, {8, 4000000, 400000},
      {1, 60, 60000},       {0, 300000, 60000},   {2, 300000, 60000},
  };
  for (const Case& c : kCases) {
    const std::string ignored = c.level >= 1 ? " 0 0 0 0" : "";
    const auto text = Load<TPcbText>(
        ReadOne(c.level, "FS\n0 0 1 2 " + std::to_string(c.height) + " 0.0 0 0 17" + ignored + "\nREF\n"));
    EXPECT_EQ(text->Width, c.width) << "level " << c.level << " height " << c.height;
    EXPECT_EQ(text->LayerNumber(), 33);
    EXPECT_EQ(text->Text.View(), "REF");
  }
}

TEST_F(FillsAndStrings, LevelNineStringTakesItsWidthEvenZero) {
  const auto text = Load<TPcbText>(ReadOne(10, "FS\n0 0 1 2 60000 90.0 1 2 17 0 0 0 0 0 5 1 2\n  padded\n"));
  EXPECT_EQ(text->Width, 0);
  EXPECT_EQ(text->Tag, 5);
  EXPECT_EQ(text->Coordinate, 1);
  EXPECT_EQ(text->Dimension, 2);
  EXPECT_EQ(text->Rotation, 90.0);
  EXPECT_EQ(text->Mirrored, 1);
  EXPECT_EQ(text->FontStyle, 2);
  EXPECT_EQ(text->Text.View(), "  padded");  // leading blanks belong to the text
}

using CoordinatesAndDimensions = RecordTest;

TEST_F(CoordinatesAndDimensions, ScaledByTenOnlyEvenInOldFiles) {
  const auto handles = ReadRecords(1,
                                   "FD\n1500 200 17 1500 2 3 4 5 257\n"
                                   "FI\n100 200 300 400 29 10 20 30 40 50 6\n"
                                   "FD\n1 1 17 0 0 0 0 0 0\n");
  ASSERT_EQ(handles.size(), 3u);
  const auto coordinate = Load<TPcbCoordinate>(handles[0]);
  EXPECT_EQ(coordinate->X, 15000);
  EXPECT_EQ(coordinate->Y, 2000);
  EXPECT_EQ(coordinate->LayerNumber(), 33);
  EXPECT_EQ(coordinate->CoordinateValues, (std::array<std::int32_t, 5>{1500, 2, 3, 4, 5}));
  EXPECT_EQ(coordinate->CoordinateStyle, 1);  // low byte
  EXPECT_EQ(coordinate->Index, 1);

  const auto dimension = Load<TPcbDimension>(handles[1]);
  EXPECT_EQ(dimension->X2, 3000);
  EXPECT_EQ(dimension->Y2, 4000);
  EXPECT_EQ(dimension->LayerNumber(), 57);
  EXPECT_EQ(dimension->DimensionValues, (std::array<std::int32_t, 5>{10, 20, 30, 40, 50}));
  EXPECT_EQ(dimension->DimensionStyle, 6);
  EXPECT_EQ(dimension->Index, 1);

  EXPECT_EQ(Load<TPcbCoordinate>(handles[2])->Index, 2);
  EXPECT_EQ(context().tables.Lookup(TIndexTables::Table::kCoordinate, 2), handles[2]);
  EXPECT_EQ(context().tables.Lookup(TIndexTables::Table::kDimension, 1), handles[1]);
}

}  // namespace
