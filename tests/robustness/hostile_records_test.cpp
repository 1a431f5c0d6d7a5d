// Hostile record contents, imported whole in this process: outlines with absurd vertex counts,
// more split planes and more old rules than the historical fixed lists held, sequence numbers
// past the 16-bit Index and the 16000-entry owner tables, records cut off by the end of the
// file, and names holding every byte. Each case states the behaviour it pins down.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "host/api/vocabulary.h"
#include "standin/host/text.h"
#include "tests/robustness/pcb_text.h"
#include "tests/robustness/robustness_support.h"
#include "tests/support/run_fixture.h"

namespace {

using robustness::Ints;
using test_support::ObjectsOfKind;


class HostileRecords : public ::testing::Test {
 protected:
  void SetUp() override { robustness::FreshSession(); }
  void TearDown() override { robustness::FreshSession(); }

  // Imports the text after the version 2.80 header; the document is parsed back as a check that
  // whatever the file held, the host can still show the board.
  test_support::ImportResult Import(const std::string& records) {
    const auto result = test_support::ImportText(robustness::kHeader280 + records, "hostile");
    document_ = robustness::DocumentOf(result.board, result.path);
    return result;
  }
  orv::Model& model() { return orv::Server(); }
  double Number(std::uint32_t handle, const char* field) { return model().GetNumber(handle, field); }
  const nlohmann::json& document() const { return document_; }

 private:
  nlohmann::json document_;
};

// The outline array holds segments 0 to 5000. A count beyond it keeps the first 5001 segments and
// still reads the record to its end so the file stays in step; a count beyond what the file holds
// stops at the end of the data (the rest of the file was vertex lines, by the record's own
// count); a negative count reads no vertex and is passed on, an outline without segments.
TEST_F(HostileRecords, PolygonVertexCountsBeyondTheOutlineArray) {
  std::string six_thousand = robustness::PolygonHead(1, 0, 6000);
  for (int i = 0; i <= 6000; ++i) six_thousand += Ints({i * 10, 7});
  six_thousand += "0";
  for (int i = 0; i < 6000; ++i) six_thousand += i == 4999 || i == 5500 ? " 1" : " 0";
  six_thousand += "\n";
  // Arc records of edge 4999 (kept) and edge 5500 (beyond the array: read and dropped).
  six_thousand += "FA\n0 0 100 200 300 45 0 0 0 0 0\n0 0\n" "FA\n0 0 9 9 9 0 90 0 0 0 0\n0 0\n";

  struct Case {
    const char* name;
    std::string polygon;
    int point_count;
    bool track_after_it;  // the record after the outline is read as a record
  } cases[] = {
      {"n = 2147483647 with three vertex lines: cut to 5000, the rest of the file is its outline",
       robustness::PolygonHead(1, 0, 2147483647) + "0 0\n1000 0\n1000 1000\n", 5000, false},
      {"n = -5: no vertex, no flags, PointCount -5", robustness::PolygonHead(1, 0, -5) + "0\n", -5, true},
      {"n = 6000: segments 0 to 5000 kept, all 6001 vertex lines and both arcs read", six_thousand, 5000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    const auto result = Import(c.polygon + robustness::Track(0, 0, 1000, 1000));
    EXPECT_TRUE(result.ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));

    const auto polygons = ObjectsOfKind(result.board, KindCode(ObjectKind::kPolygon));
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(Number(polygons[0], "PointCount"), c.point_count);
    EXPECT_EQ(ObjectsOfKind(result.board, KindCode(ObjectKind::kTrack)).size(), c.track_after_it ? 1u : 0u);

    const auto shown = test_support::OfKind(document(), "Polygon");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]["Segments"].size(), static_cast<std::size_t>(c.point_count < 0 ? 0 : c.point_count + 1));
  }

  const auto result = Import(six_thousand);
  const auto segments = test_support::OfKind(document(), "Polygon").at(0)["Segments"];
  EXPECT_EQ(segments[5000]["X"], 50000 * 10);
  EXPECT_EQ(segments[4999]["SegmentKind"], 1);
  EXPECT_EQ(segments[4999]["CentreX"], 1000);
  EXPECT_EQ(segments[4999]["EndAngle"], 360.0);
}

// SplitPlaneNets grows with the file: a net fed by the 150th split plane is still known as a split
// net and does not take the plane's name, and every split plane keeps its own number.
TEST_F(HostileRecords, MoreThanAHundredAndOneSplitPlanes) {
  constexpr int kPlanes = 150;
  std::string text;
  for (int i = 1; i <= kPlanes; ++i) text += robustness::Square(23, i);
  text += robustness::Track(0, 0, 1, 1, 0, 140);
  for (int i = 1; i <= kPlanes; ++i) text += robustness::NetDef("SPLIT" + std::to_string(i), 23);
  text += robustness::NetDef("WHOLE", 24);
  text += robustness::NetDef("LATE", 23);  // net 152 feeds no split plane: InternalPlane1 is its
  const auto result = Import(text);
  ASSERT_TRUE(result.ok);

  const auto planes = ObjectsOfKind(result.board, KindCode(ObjectKind::kSplitPlane));
  ASSERT_EQ(planes.size(), static_cast<std::size_t>(kPlanes));
  const auto nets = ObjectsOfKind(result.board, KindCode(ObjectKind::kNet));
  ASSERT_EQ(nets.size(), static_cast<std::size_t>(kPlanes + 2));
  for (int i = 0; i < kPlanes; ++i) {
    EXPECT_EQ(Number(planes[i], "Index"), i + 1);
    EXPECT_EQ(static_cast<std::uint32_t>(Number(planes[i], "Net")), nets[i]) << "split plane " << i + 1;
  }
  const auto tracks = ObjectsOfKind(result.board, KindCode(ObjectKind::kTrack));
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(static_cast<std::uint32_t>(Number(tracks[0], "Polygon")), planes[139]);

  const auto& layers = document()["board"]["layers"];
  EXPECT_EQ(layers[38]["PlaneNetName"], "LATE");  // InternalPlane1
  EXPECT_EQ(layers[39]["PlaneNetName"], "WHOLE");
}

// The rule removal list grows with the board: every rule the board held before the import is
// gone, however many, and only the run's own rules remain.
TEST_F(HostileRecords, MoreThanAHundredAndOneRulesBeforeTheImport) {
  const std::string path = test_support::WriteFile(test_support::UniqueBoardPath("rules"),
                                                   std::string(robustness::kHeader280) + robustness::Track(0, 0, 1, 1));
  const std::uint32_t board = model().OpenBoard(path);
  std::vector<std::uint32_t> old_rules = ObjectsOfKind(board, KindCode(ObjectKind::kRule));
  for (int i = 0; i < 150; ++i) {
    const std::uint32_t rule = model().Create(KindCode(ObjectKind::kRule));
    model().SetText(rule, "RuleName", "Old" + std::to_string(i));
    model().AddToContainer(board, rule);
    old_rules.push_back(rule);
  }
  ASSERT_GT(old_rules.size(), 101u);
  ASSERT_TRUE(ImportFile(path));

  for (const std::uint32_t rule : old_rules) EXPECT_FALSE(model().Alive(rule)) << "old rule " << rule;
  const auto rules = model().Members(board);
  int remaining = 0;
  for (const std::uint32_t member : rules) {
    if (model().KindOf(member) != KindCode(ObjectKind::kRule)) continue;
    ++remaining;
    EXPECT_GT(member, old_rules.back());
    EXPECT_EQ(model().GetText(member, "RuleName").rfind("Old", 0), std::string::npos);
  }
  EXPECT_GT(remaining, 0);
}

// 70000 pads and 20000 nets: pad Index values wrap at 16 bits, and only the first 16000 nets are
// in the net table. A pad naming net k <= 16000 joins exactly that net; a pad naming a net past
// the table joins none and its Net is 0, never another net's handle.
TEST_F(HostileRecords, SeventyThousandPadsAndTwentyThousandNets) {
  constexpr int kPads = 70000;
  constexpr int kNets = 20000;
  const auto named_net = [](int pad) { return pad % (kNets + 3); };  // 0 to 20002: none, real, past the last
  std::string text;
  text.reserve(static_cast<std::size_t>(kPads) * 120);
  for (int i = 0; i < kPads; ++i) text += robustness::Pad(i, 0, named_net(i), "P");
  for (int i = 1; i <= kNets; ++i) text += "NETDEF\nN" + std::to_string(i) + "\n0 0 0 0\n(\n)\n{\n}\n0 0 0\n0 0 0\n";
  const auto result = Import(text);
  ASSERT_TRUE(result.ok);

  const auto pads = ObjectsOfKind(result.board, KindCode(ObjectKind::kPad));
  const auto nets = ObjectsOfKind(result.board, KindCode(ObjectKind::kNet));
  ASSERT_EQ(pads.size(), static_cast<std::size_t>(kPads));
  ASSERT_EQ(nets.size(), static_cast<std::size_t>(kNets));
  EXPECT_EQ(Number(pads[65535], "Index"), 0);  // the 65536th pad
  EXPECT_EQ(Number(pads[65536], "Index"), 1);
  EXPECT_EQ(Number(nets[16000], "Index"), 16001);

  std::vector<std::size_t> members(nets.size(), 0);
  for (int i = 0; i < kPads; ++i) {
    const int k = named_net(i);
    const std::uint32_t expected = k >= 1 && k <= 16000 ? nets[static_cast<std::size_t>(k - 1)] : 0;
    ASSERT_EQ(static_cast<std::uint32_t>(Number(pads[i], "Net")), expected) << "pad " << i << " names net " << k;
    if (expected != 0) ++members[static_cast<std::size_t>(k - 1)];
  }
  for (std::size_t n = 0; n < nets.size(); ++n) {
    ASSERT_EQ(model().Members(nets[n]).size(), members[n]) << "net " << n + 1;
  }
}

// Past 65536 nets the 16-bit Index starts again at 1; the 65537th net must not take the first
// net's place in the table, nor count as the net of a split plane that names net 1.
TEST_F(HostileRecords, NetIndexWrapRelinksNothing) {
  constexpr int kNets = 65540;
  std::string text = robustness::Pad(0, 0, 1, "P1") + robustness::Square(23, 1);
  text.reserve(static_cast<std::size_t>(kNets) * 40);
  for (int i = 1; i <= kNets; ++i) {
    text += "NETDEF\nN" + std::to_string(i) + "\n0 0 0 0\n(\n)\n{\n}\n0 0 0\n" + (i == 65537 ? "23" : "0") + " 0 0\n";
  }
  const auto result = Import(text);
  ASSERT_TRUE(result.ok);

  const auto nets = ObjectsOfKind(result.board, KindCode(ObjectKind::kNet));
  ASSERT_EQ(nets.size(), static_cast<std::size_t>(kNets));
  EXPECT_EQ(Number(nets[65536], "Index"), 1);
  const auto pads = ObjectsOfKind(result.board, KindCode(ObjectKind::kPad));
  ASSERT_EQ(pads.size(), 1u);
  EXPECT_EQ(static_cast<std::uint32_t>(Number(pads[0], "Net")), nets[0]);
  EXPECT_EQ(model().Members(nets[0]).size(), 1u);
  EXPECT_TRUE(model().Members(nets[65536]).empty());
  // Net 65537 feeds no split plane (the split plane names net 1), so InternalPlane1 is its.
  EXPECT_EQ(document()["board"]["layers"][38]["PlaneNetName"], "N65537");
}

// A component never closed by ENDCOMP holds everything up to the end of the file: its nested
// records are read into it, free-record keywords inside it open nothing (their records are
// lost, as the format nests them), and the run still ends normally, rules made and links done.
TEST_F(HostileRecords, ComponentWithoutEndcomp) {
  const std::string text = robustness::NetDef("GND") + robustness::ComponentHead("DIP8", "U1") +
                           robustness::Pad(0, 0, 1, "1", "CP") + robustness::Track(0, 0, 10, 10, 1, 0, "CT") +
                           robustness::Track(5, 5, 6, 6, 1) + robustness::NetDef("VCC") +
                           robustness::Pad(9, 9, 1, "2", "CP");
  const auto result = Import(text);
  ASSERT_TRUE(result.ok);

  const auto components = ObjectsOfKind(result.board, KindCode(ObjectKind::kComponent));
  ASSERT_EQ(components.size(), 1u);
  const auto pads = ObjectsOfKind(result.board, KindCode(ObjectKind::kPad));
  const auto tracks = ObjectsOfKind(result.board, KindCode(ObjectKind::kTrack));
  ASSERT_EQ(pads.size(), 2u);
  ASSERT_EQ(tracks.size(), 1u);
  const auto members = model().Members(components[0]);
  EXPECT_EQ(members, (std::vector<std::uint32_t>{pads[0], tracks[0], pads[1]}));
  EXPECT_EQ(ObjectsOfKind(result.board, KindCode(ObjectKind::kNet)).size(), 1u);
  EXPECT_EQ(static_cast<std::uint32_t>(Number(pads[1], "Net")),
            ObjectsOfKind(result.board, KindCode(ObjectKind::kNet))[0]);
  EXPECT_FALSE(test_support::OfKind(document(), "Rule").empty());
}

// A NETDEF cut off inside its member list or its brace block stops at the end of the file: the
// net exists under its number with its name, primitives naming it are linked, and the run ends
// normally instead of waiting for a closing line.
TEST_F(HostileRecords, NetDefEndingInsideItsBlocks) {
  const std::string cut_in_members = "NETDEF\nGND\n10 20 0 0\n(\nU1-1\nU2-";
  const std::string cut_in_braces = "NETDEF\nGND\n10 20 0 0\n(\nU1-1\n)\n{\nx";
  for (const std::string& tail : {cut_in_members, cut_in_braces}) {
    SCOPED_TRACE(tail);
    const auto result = Import(robustness::Pad(0, 0, 1, "P1") + tail);
    ASSERT_TRUE(result.ok);
    const auto nets = ObjectsOfKind(result.board, KindCode(ObjectKind::kNet));
    ASSERT_EQ(nets.size(), 1u);
    EXPECT_EQ(model().GetText(nets[0], "Name"), "GND");
    EXPECT_EQ(Number(nets[0], "Index"), 1);
    const auto pads = ObjectsOfKind(result.board, KindCode(ObjectKind::kPad));
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(Number(pads[0], "Net")), nets[0]);
  }
}

// Names are 8-bit text: bytes 0x80 to 0xFF and NUL are kept as they are in the host, and the
// board document shows them as Latin-1 characters, valid UTF-8 that parses back.
TEST_F(HostileRecords, NamesWithEveryByte) {
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
  const std::string with_nul = std::string("A\0B\0", 4) + "\xFF";
  // A free pad is named by its running number; a component's pad keeps the name of its record.
  const std::string text = robustness::NetDef(high.substr(0, 100)) + robustness::NetDef(with_nul) + "FS\n" +
                           robustness::StringBody(high + with_nul) + robustness::ComponentHead(high, with_nul) +
                           robustness::Pad(0, 0, 1, high.substr(100, 20), "CP") + "ENDCOMP\n";
  const auto result = Import(text);
  ASSERT_TRUE(result.ok);

  const auto nets = ObjectsOfKind(result.board, KindCode(ObjectKind::kNet));
  ASSERT_EQ(nets.size(), 2u);
  EXPECT_EQ(model().GetText(nets[0], "Name"), high.substr(0, 100));
  EXPECT_EQ(model().GetText(nets[1], "Name"), with_nul);
  const auto shown_nets = test_support::OfKind(document(), "Net");
  ASSERT_EQ(shown_nets.size(), 2u);
  EXPECT_EQ(shown_nets[0]["Name"], Latin1ToUtf8(high.substr(0, 100)));
  EXPECT_EQ(shown_nets[1]["Name"], Latin1ToUtf8(with_nul));
  EXPECT_EQ(test_support::OfKind(document(), "Pad").at(0)["Name"], Latin1ToUtf8(high.substr(100, 20)));
  EXPECT_EQ(test_support::OfKind(document(), "Component").at(0)["Pattern"], Latin1ToUtf8(high.substr(0, 250)));

  bool found_text = false;
  for (const auto& shown : test_support::OfKind(document(), "Text")) {
    found_text = found_text || shown["Text"] == Latin1ToUtf8(high + with_nul);
  }
  EXPECT_TRUE(found_text);
}

}  // namespace
