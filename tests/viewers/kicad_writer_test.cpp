// The KiCad writer on hand-made documents: the layer table, units and escaping, footprints and
// pads, zones from outlines with arcs, the rules' three destinations, and documents that are
// not what a host writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "viewers/kicad_board.h"
#include "viewers/kicad_export.h"
#include "tests/viewers/sample_document.h"
#include "tests/viewers/view_of.h"

namespace {

using nlohmann::json;
using namespace kicad;

std::string Export(const json& document, ExportCounts* counts = nullptr, RuleTranslation* rules_out = nullptr) {
  const view::BoardView board = viewers_test::ViewOf(document);
  BoardWriter writer(board);
  ExportCounts local;
  const std::string text = writer.Write(counts != nullptr ? *counts : local);
  if (rules_out != nullptr) *rules_out = writer.Rules();
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The three files of an export, as a user gets them.
struct Exported {
  ExportResult result;
  std::string board, project, custom_rules;
};

Exported ExportFiles(const json& document, const std::string& name) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("viderave-kicad-" + name);
  std::filesystem::create_directories(dir);
  const view::BoardView board = viewers_test::ViewOf(document);
  Exported out;
  out.result = ExportKicad(board, (dir / "board.kicad_pcb").string());
  out.board = ReadFile(dir / "board.kicad_pcb");
  out.project = ReadFile(dir / "board.kicad_pro");
  out.custom_rules = ReadFile(dir / "board.kicad_dru");
  std::filesystem::remove_all(dir);
  return out;
}

// Parentheses outside strings balance and close at the end: KiCad's reader needs no more.
bool Balanced(const std::string& text) {
  int depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') ++i;
      else if (c == '"') in_string = false;
      continue;
    }
    if (c == '"') in_string = true;
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return false;
  }
  return depth == 0 && !in_string;
}

std::string LineWith(const std::string& text, const std::string& part) {
  const std::size_t at = text.find(part);
  if (at == std::string::npos) return {};
  const std::size_t start = text.rfind('\n', at) + 1;
  return text.substr(start, text.find('\n', at) - start);
}

// Where the file puts the host's origin on the sheet (mm).
Point SheetOrigin(const std::string& text) {
  std::smatch found;
  if (!std::regex_search(text, found, std::regex(R"(\(aux_axis_origin (\S+) (\S+)\))"))) return {};
  return {std::stod(found[1]), std::stod(found[2])};
}

// A host point (mil, Y up) as the file writes it on the sheet: "x y" in mm.
std::string OnSheet(const std::string& text, double x_mil, double y_mil) {
  const Point origin = SheetOrigin(text);
  return Mm(x_mil * 10000 + std::round(origin.x / kMmPerHostUnit)) + " " +
         Mm(-y_mil * 10000 + std::round(origin.y / kMmPerHostUnit));
}

// The board on the smallest sheet that holds it with 20 mm all round, centred, the host's
// origin on whole mils.
TEST(KicadSheet, TheSmallestSheetHoldsTheBoardCentred) {
  const auto mm = [](double v) { return v * kHostUnitsPerMm; };
  const struct {
    Point min, max;  // host frame, mm
    const char* paper;
  } kCases[] = {
      {{0, 0}, {50, 40}, "\"A4\""},
      {{-100, -50}, {157, 120}, "\"A4\""},           // 297 x 210 exactly with its margin
      {{0, 0}, {257.1, 170}, "\"A3\""},
      {{0, 0}, {100, 300}, "\"A3\" portrait"},      // taller than wide
      {{0, 0}, {1149, 801}, "\"A0\""},
      {{0, 0}, {1150, 100}, "\"User\" 1191.26 142.24"},  // beyond A0: whole 100 mils
      {{0, 0}, {5000, 100}, "\"User\" 1200 142.24"},      // KiCad's largest sheet
  };
  for (const auto& c : kCases) {
    const Sheet sheet = SheetFor(false, {mm(c.min.x), mm(c.min.y)}, {mm(c.max.x), mm(c.max.y)});
    EXPECT_EQ(sheet.paper, c.paper) << c.max.x;
    EXPECT_EQ(std::fmod(sheet.origin.x, 10000), 0) << c.max.x;
    EXPECT_EQ(std::fmod(sheet.origin.y, 10000), 0) << c.max.x;
  }
  // Centred: the extent's middle at the sheet's middle (to half a mil), Y pointing down.
  const Sheet a4 = SheetFor(false, {mm(10), mm(20)}, {mm(110), mm(80)});
  EXPECT_NEAR((a4.origin.x + mm(60)) * kMmPerHostUnit, 297 / 2.0, 0.0127);
  EXPECT_NEAR((a4.origin.y - mm(50)) * kMmPerHostUnit, 210 / 2.0, 0.0127);
  EXPECT_EQ(a4.name, "A4");
  EXPECT_EQ(SheetFor(false, {0, 0}, {mm(100), mm(300)}).name, "A3 portrait");
  // Nothing on the board: the origin in the middle of an A4 sheet.
  const Sheet empty = SheetFor(true, {}, {});
  EXPECT_EQ(empty.paper, "\"A4\"");
  EXPECT_NEAR(empty.origin.x * kMmPerHostUnit, 148.5, 0.0127);
}

TEST(KicadLayers, HostLayersMapOntoKicadLayers) {
  HostLayers used;
  for (const int layer : {1, 5, 32, 40}) used.set(static_cast<std::size_t>(layer));
  const LayerTable table(used, {});
  struct Case {
    std::uint8_t host;
    std::string_view name;
    bool copper;
  };
  constexpr Case kCases[] = {
      {1, "F.Cu", true},        {5, "In1.Cu", true},      {40, "In2.Cu", true},  {32, "B.Cu", true},
      {3, "", false},           {39, "", false},          {33, "F.SilkS", false}, {34, "B.SilkS", false},
      {35, "F.Paste", false},   {36, "B.Paste", false},   {37, "F.Mask", false}, {38, "B.Mask", false},
      {56, "Edge.Cuts", false}, {57, "User.1", false},    {65, "User.9", false}, {72, "Cmts.User", false},
      {73, "Dwgs.User", false}, {74, "", false},          {0, "", false},        {82, "", false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(table.NameOf(c.host), c.name) << int{c.host};
    EXPECT_EQ(table.IsCopper(c.host), c.copper) << int{c.host};
  }
  EXPECT_EQ(table.CopperCount(), 4);
  EXPECT_EQ(table.NameOf(200), "");
  // The plane is a power layer under the host's name; the mid layer a signal layer.
  bool plane_seen = false;
  for (const KicadLayer& layer : table.Layers()) {
    if (layer.name == "In2.Cu") {
      plane_seen = true;
      EXPECT_EQ(layer.type, "power");
      EXPECT_EQ(layer.user_name, "InternalPlane2");
    }
  }
  EXPECT_TRUE(plane_seen);
}

TEST(KicadLayers, OddCopperStacksGetAnEmptyLayerAndThirtyInnerLayersAtMost) {
  HostLayers used;
  used.set(1);
  used.set(9);
  used.set(32);
  const LayerTable three(used, {});
  EXPECT_EQ(three.CopperCount(), 4);  // KiCad refuses 3
  EXPECT_EQ(three.NameOf(9), "In1.Cu");
  EXPECT_EQ(three.StackPosition(32), 3);

  HostLayers all;
  all.set();
  const LayerTable full(all, {});
  EXPECT_EQ(full.CopperCount(), 32);
  EXPECT_EQ(full.NameOf(31), "In30.Cu");
  EXPECT_EQ(full.NameOf(39), "");  // no inner layer left for the planes
}

TEST(KicadFormat, UnitsAnglesAndStrings) {
  EXPECT_EQ(Mm(10000), "0.0254");  // one mil
  EXPECT_EQ(Mm(-3937008), "-10");  // 10 mm to the nanometre
  EXPECT_EQ(Mm(0), "0");
  EXPECT_EQ(Mm(1), "0.000003");  // 2.54 nm
  EXPECT_EQ(MmXY({10000, 10000}), "0.0254 -0.0254");  // Y down
  EXPECT_EQ(MmXY({0, -20000}), "0 0.0508");
  EXPECT_EQ(Degrees(-0.0), "0");
  EXPECT_EQ(Degrees(12.345678), "12.3457");
  EXPECT_EQ(Quoted("GND"), "\"GND\"");
  EXPECT_EQ(Quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(Quoted("x\ny\tz\x01"), "\"x\\ny\\tz \"");
  EXPECT_EQ(Quoted("\xC3\xBC"), "\"\xC3\xBC\"");  // UTF-8 passes
}

TEST(KicadFormat, ArcChordsStayWithinTheChordError) {
  const Point centre{0, 0};
  const double radius = 5.0 * kHostUnitsPerMm;
  const auto points = ArcChords(centre, radius, 0, 90);
  ASSERT_GT(points.size(), 10u);
  EXPECT_NEAR(points.front().x, radius, 1e-6);
  EXPECT_NEAR(points.back().y, radius, 1e-6);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point middle{(points[i - 1].x + points[i].x) / 2, (points[i - 1].y + points[i].y) / 2};
    const double sag = (radius - std::hypot(middle.x, middle.y)) * kMmPerHostUnit;
    EXPECT_LE(sag, kChordErrorMm + 1e-9);
  }
  // Clockwise sweeps run the other way; a radius at the int32 limit stays bounded.
  EXPECT_LT(ArcChords(centre, radius, 90, -90).back().y, 1e-6);
  EXPECT_LE(ArcChords(centre, 2147483647.0, 0, 360).size(), 3601u);
}

TEST(KicadBoard, SampleDocumentWritesEveryKindOfItem) {
  ExportCounts counts;
  const std::string text = Export(kicad_test::SampleDocument(), &counts);
  ASSERT_TRUE(Balanced(text));
  EXPECT_EQ(text.rfind("(kicad_pcb (version 20211014)", 0), 0u);
  // Nets: quotes escaped, UTF-8 kept, the repeated and the empty name made unique.
  EXPECT_NE(text.find("(net 1 \"GND \\\"main\\\"\")"), std::string::npos);
  EXPECT_NE(text.find("(net 2 \"\xC3\x9Cml\xC3\xA4ut\\\\net\")"), std::string::npos);
  EXPECT_NE(text.find("(net 3 \"Net\")"), std::string::npos);
  EXPECT_NE(text.find("(net 4 \"GND \\\"main\\\"_2\")"), std::string::npos);
  // The bottom component at 1000, 2000 mil turned 90 degrees; its pad 100 mil to the right on
  // the board is 100 mil "down" in the footprint's own frame, and keeps its board angle.
  EXPECT_NE(text.find("(footprint \"SO\\\"8\" (layer \"B.Cu\") (at " + OnSheet(text, 1000, 2000) + " 90)"),
            std::string::npos);
  EXPECT_NE(LineWith(text, "(pad \"1\" smd rect (at 0 2.54 90) (size 1.27 0.762) (layers \"B.Cu\" \"B.Paste\""), "");
  EXPECT_NE(LineWith(text, "(pad \"1\" smd").find("(solder_mask_margin 0.0762)"), std::string::npos);
  EXPECT_NE(LineWith(text, "(pad \"2\" thru_hole roundrect").find("(chamfer_ratio 0.25)"), std::string::npos);
  EXPECT_NE(text.find("(fp_text reference \"U\\\"1\""), std::string::npos);
  EXPECT_NE(LineWith(text, "(fp_text value \"74HC00\"").find(" hide "), std::string::npos);
  // A free pad is a footprint of its own; without a hole it cannot be a through-hole pad.
  EXPECT_NE(text.find("(footprint \"Free-7\""), std::string::npos);
  EXPECT_NE(LineWith(text, "(pad \"7\" smd circle").find("(zone_connect 2)"), std::string::npos);
  // The blind via spans the top layer and the used mid layer; the other goes through.
  EXPECT_NE(text.find("(via blind (at " + OnSheet(text, 600, 100) +
                      ") (size 1.016) (drill 0.508) (layers \"F.Cu\" \"In1.Cu\") (net 2))"),
            std::string::npos);
  EXPECT_NE(text.find("(via (at " + OnSheet(text, 700, 100) +
                      ") (size 1.016) (drill 0.508) (layers \"F.Cu\" \"B.Cu\") (net 1))"),
            std::string::npos);
  EXPECT_NE(text.find("(segment (start " + OnSheet(text, 100, 100) + ") (end " + OnSheet(text, 600, 100) +
                      ") (width 0.3048) (layer \"In1.Cu\") (net 4))"),
            std::string::npos);
  EXPECT_NE(text.find("(gr_arc "), std::string::npos);
  EXPECT_NE(text.find("(keepout (tracks not_allowed)"), std::string::npos);
  EXPECT_NE(text.find("\"In2.Cu\" power \"InternalPlane1\""), std::string::npos);
  EXPECT_NE(text.find("(gr_text \"say \\\"hi\\\" \\\\ \xC3\xA9\" (at " + OnSheet(text, 100, 1800) +
                      " 30) (layer \"F.SilkS\")"),
            std::string::npos);
  EXPECT_EQ(counts.footprints, 2);
  EXPECT_EQ(counts.pads, 3);
  EXPECT_EQ(counts.tracks, 1);
  EXPECT_EQ(counts.arcs, 2);  // the full circle as two halves
  EXPECT_EQ(counts.vias, 2);
  EXPECT_EQ(counts.zones, 5);  // fill, polygon, split plane, keep-out, plane
  EXPECT_EQ(counts.nets, 4);
  EXPECT_EQ(counts.left_out, 0);
}

// KiCad 6 draws a footprint arc from its start to its end clockwise on the screen (y down), so
// the three points written must turn that way: a host arc from 0 to 90 degrees (right to top)
// in a component at its centre is written from the top point to the right one. A board arc
// keeps the host's order (KiCad draws it through its mid point).
TEST(KicadBoard, FootprintArcsAreWrittenClockwiseOnTheScreen) {
  constexpr int kMil = 10000;
  json document = kicad_test::SampleDocument();
  json& objects = document["objects"];
  objects.push_back({{"Handle", 40}, {"ObjectId", 9}, {"Kind", "Component"}, {"Pattern", "LED"}, {"X", 3000 * kMil},
                     {"Y", 3000 * kMil}, {"Rotation", 0.0}, {"Layer", 1}, {"NameText", 0}, {"CommentText", 0},
                     {"NameShown", 0}, {"CommentShown", 0}, {"Containers", {1}}});
  objects.push_back({{"Handle", 41}, {"ObjectId", 1}, {"Kind", "Arc"}, {"Layer", 33}, {"X", 3000 * kMil},
                     {"Y", 3000 * kMil}, {"Radius", 100 * kMil}, {"StartAngle", 0.0}, {"EndAngle", 90.0},
                     {"Width", 10 * kMil}, {"Containers", {40}}});
  const std::string text = Export(document);
  ASSERT_TRUE(Balanced(text));
  const std::regex arc(R"(\((fp|gr)_arc \(start (\S+) (\S+)\) \(mid (\S+) (\S+)\) \(end (\S+) (\S+)\))");
  int footprint_arcs = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), arc); it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    double v[6];
    for (int i = 0; i < 6; ++i) v[i] = std::stod(m[i + 2].str());
    // > 0: start, mid, end turn clockwise on a screen whose y points down.
    const double turn = (v[2] - v[0]) * (v[5] - v[3]) - (v[3] - v[1]) * (v[4] - v[2]);
    if (m[1] == "fp") {
      ++footprint_arcs;
      EXPECT_GT(turn, 0) << m[0];
    } else {
      EXPECT_LT(turn, 0) << m[0] << ": the sample's board arc runs counter-clockwise";
    }
  }
  EXPECT_EQ(footprint_arcs, 1);
  EXPECT_NE(text.find("(fp_arc (start 0 -2.54) (mid "), std::string::npos) << text;
  EXPECT_NE(LineWith(text, "(fp_arc (start 0 -2.54)").find("(end 2.54 0)"), std::string::npos);
}

// Every zone is a KiCad 6 zone (its fill not traced with a pen) and keeps the islands of copper
// its fill makes, as the host keeps fills and pours whatever they touch.
TEST(KicadBoard, ZonesAreVersionSixZonesThatKeepTheirIslands) {
  ExportCounts counts;
  const std::string text = Export(kicad_test::SampleDocument(), &counts);
  int zones = 0, thickness = 0, islands = 0, keepouts = 0;
  for (std::size_t at = text.find("  (zone "); at != std::string::npos; at = text.find("  (zone ", at + 1)) {
    const std::string zone = text.substr(at, text.find("\n  )", at) - at);
    ++zones;
    thickness += zone.find("(min_thickness 0.254) (filled_areas_thickness no)") != std::string::npos;
    if (zone.find("(keepout ") != std::string::npos) {
      ++keepouts;
    } else {
      islands += zone.find("(island_removal_mode 1))") != std::string::npos;
    }
  }
  EXPECT_EQ(zones, counts.zones);
  EXPECT_EQ(thickness, zones);
  EXPECT_EQ(keepouts, 1);
  EXPECT_EQ(islands, zones - keepouts);
}

TEST(KicadBoard, WrittenToAFileBlockByBlockTheSameText) {
  const view::BoardView board = viewers_test::ViewOf(kicad_test::SampleDocument());
  ExportCounts whole, streamed;
  const std::string text = BoardWriter(board).Write(whole);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(BoardWriter(board).Write(file, streamed));
  std::rewind(file);
  std::string back;
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) back.append(block, n);
  std::fclose(file);
  EXPECT_EQ(back, text);
  EXPECT_EQ(streamed.footprints, whole.footprints);
  EXPECT_EQ(streamed.zones, whole.zones);
  EXPECT_EQ(streamed.left_out, whole.left_out);
}

// A host special string standing alone says in KiCad what it said on the host, where KiCad 6
// has a variable for it in that place; otherwise it is kept as written.
TEST(KicadBoard, SpecialStringsBecomeTextVariables) {
  EXPECT_EQ(TextVariable(".Designator", true), "${REFERENCE}");
  EXPECT_EQ(TextVariable(".COMMENT", true), "${VALUE}");
  EXPECT_EQ(TextVariable(".Designator", false), "");  // no component on the board
  EXPECT_EQ(TextVariable(".Layer_Name", false), "${LAYER}");
  EXPECT_EQ(TextVariable(".Layer_Name", true), "");   // KiCad would name the footprint's layer
  EXPECT_EQ(TextVariable(".Print_Date", false), "${CURRENT_DATE}");
  for (const char* kept : {".Pcb_File_Name", ".Designator ", "Designator", "x.Comment", ""}) {
    EXPECT_EQ(TextVariable(kept, true), "") << kept;
  }
  json document = kicad_test::SampleDocument();
  auto text = [](int handle, const char* value, json containers) {
    constexpr int kMil = 10000;
    return json{{"Handle", handle}, {"ObjectId", 5}, {"Kind", "Text"}, {"Text", value}, {"Layer", 33},
                {"X", 100 * kMil}, {"Y", 100 * kMil}, {"Height", 60 * kMil}, {"Width", 10 * kMil},
                {"Rotation", 0.0}, {"Mirrored", 0}, {"Containers", containers}};
  };
  document["objects"].push_back(text(90, ".designator", {20}));
  document["objects"].push_back(text(91, ".Layer_Name", {1}));
  document["objects"].push_back(text(92, ".Pcb_File_Name", {1}));
  const std::string written = Export(document);
  EXPECT_NE(written.find("(fp_text user \"${REFERENCE}\""), std::string::npos) << written;
  EXPECT_NE(written.find("(gr_text \"${LAYER}\""), std::string::npos);
  EXPECT_NE(written.find("(gr_text \".Pcb_File_Name\""), std::string::npos);
}

TEST(KicadBoard, OutlineArcsBecomeChordsOnTheirCircle) {
  json document = kicad_test::SampleDocument();
  const std::string text = Export(document);
  const std::size_t zone = text.find("(zone (net 1) (net_name \"GND \\\"main\\\"\") (layer \"F.Cu\") (hatch edge 0.508)\n    (priority 1)");
  ASSERT_NE(zone, std::string::npos);
  const std::string body = text.substr(zone, text.find("\n  )", zone) - zone);
  // The square's right edge is a half circle of 200 mil about (2900, 400) mil.
  const Point origin = SheetOrigin(text);
  const double cx = 2900 * 0.0254 + origin.x, cy = -400 * 0.0254 + origin.y, r = 200 * 0.0254;
  const std::regex xy("\\(xy ([-0-9.]+) ([-0-9.]+)\\)");
  int on_arc = 0, points = 0;
  for (auto it = std::sregex_iterator(body.begin(), body.end(), xy); it != std::sregex_iterator(); ++it) {
    const double x = std::stod((*it)[1]), y = std::stod((*it)[2]);
    ++points;
    if (x > cx + 1e-6) {
      ++on_arc;
      EXPECT_NEAR(std::hypot(x - cx, y - cy), r, 1e-5);
    }
    EXPECT_LE(x, cx + r + 1e-6);  // the arc bulges outwards, never further than its radius
  }
  EXPECT_GT(on_arc, 20);
  EXPECT_EQ(points, on_arc + 4);  // the four corners, on which the arc starts and ends
}

TEST(KicadBoard, PolygonPourPrimitivesAreLeftToTheZoneFiller) {
  json document = kicad_test::SampleDocument();
  // A track of the top-layer polygon, and one that names the polygon from another layer.
  document["objects"].push_back({{"Handle", 90}, {"ObjectId", 4}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"X2", 100},
                                 {"Y2", 0}, {"Width", 100}, {"Containers", {1, 33}}});
  document["objects"].push_back({{"Handle", 91}, {"ObjectId", 4}, {"Layer", 32}, {"X", 0}, {"Y", 0}, {"X2", 100},
                                 {"Y2", 0}, {"Width", 100}, {"Containers", {1, 33}}});
  ExportCounts counts;
  Export(document, &counts);
  EXPECT_EQ(counts.pour_primitives, 1);
  EXPECT_EQ(counts.tracks, 2);
}

TEST(KicadRules, EachRuleGoesToTheNetClassTheCustomRulesOrThePads) {
  const Exported exported = ExportFiles(kicad_test::SampleDocument(), "rules");
  ASSERT_TRUE(exported.result.ok) << exported.result.error;
  RuleTranslation rules = exported.result.rules_written;
  // The custom rules file: the head the first reading made, then the rules read once more.
  EXPECT_EQ(exported.custom_rules.rfind(rules.custom_rules, 0), 0u);
  rules.custom_rules = exported.custom_rules;
  EXPECT_EQ(exported.project, ProjectFile(rules, "board.kicad_pro"));
  EXPECT_EQ(exported.result.rules, 9);
  ASSERT_TRUE(rules.clearance && rules.track_width && rules.via_diameter && rules.via_drill);
  EXPECT_EQ(*rules.clearance, 100000);
  EXPECT_EQ(*rules.via_diameter, 500000);
  EXPECT_EQ(*rules.via_drill, 200000);
  EXPECT_EQ(rules.scoped, 5);
  EXPECT_EQ(rules.as_constraints, 2);
  const json project = json::parse(ProjectFile(rules, "sample.kicad_pro"));
  const json& net_class = project["net_settings"]["classes"][0];
  EXPECT_EQ(net_class["name"], "Default");
  EXPECT_NEAR(net_class["clearance"].get<double>(), 0.254, 1e-9);
  EXPECT_NEAR(net_class["track_width"].get<double>(), 0.2032, 1e-9);
  EXPECT_TRUE(project["board"]["design_settings"]["rules"]["allow_blind_buried_vias"].get<bool>());
  // A quote in a net name cannot be written inside KiCad's '...': it matches as a wildcard.
  EXPECT_NE(rules.custom_rules.find("(rule \"Width_1\"\n  (constraint track_width (min 0.381mm) (max 0.381mm))\n"
                                    "  (condition \"(A.Type == 'Track' || A.Type == 'Arc') && (A.NetName == 'GND ?main?')\"))"),
            std::string::npos)
      << rules.custom_rules;
  EXPECT_NE(rules.custom_rules.find("(rule \"Clearance_1\"\n  (constraint clearance (min 0.3048mm))"), std::string::npos);
  EXPECT_NE(rules.custom_rules.find("# RoutingTopology_1 InNet('GND \"main\"'): routing topology 1"),
            std::string::npos);
  ASSERT_EQ(rules.pads.count("U\"1-1"), 1u);
  EXPECT_EQ(rules.pads["U\"1-1"].solder_mask.value_or(0), 30000);
  ASSERT_TRUE(rules.pads["Free-7"].connect.has_value());
  EXPECT_EQ(rules.pads["Free-7"].connect->zone_connect, 2);  // direct connection: solid
  EXPECT_EQ(rules.pads["Free-7"].connect->thermal_gap, 100000);
  EXPECT_EQ(rules.custom_rules.rfind("(version 1)\n", 0), 0u);
  EXPECT_TRUE(Balanced(rules.custom_rules.substr(0, rules.custom_rules.find('#'))));
}

TEST(KicadRules, ScopesAndLiterals) {
  EXPECT_EQ(ScopeArgument("InNet('VCC')", "InNet"), "VCC");
  EXPECT_EQ(ScopeArgument("InNet('a cut name", "InNet"), "a cut name");  // the host cut "')" off
  EXPECT_EQ(ScopeArgument("HasPad('U1-3')", "InNet"), std::nullopt);
  EXPECT_EQ(ScopeArgument("InNet('')", "InNet"), "");
  EXPECT_EQ(ExpressionLiteral("it's \\ \"x\""), "'it?s ? ?x?'");
}

TEST(KicadBoard, DocumentsThatNoHostWritesStillGiveAWellFormedBoard) {
  const json cases[] = {
      json::object(),
      {{"objects", json::array({{{"ObjectId", 10}, {"Layer", 1}, {"PointCount", 4000000000LL}}})}},
      {{"objects", json::array({{{"ObjectId", 10}, {"Layer", 1}, {"PointCount", 4000000000LL}},
                                {{"ObjectId", 22}, {"Layer", -3}, {"PointCount", 9},
                                 {"Segments", json::array({{{"SegmentKind", 1}, {"X", 0}, {"Y", 0}, {"CentreX", 0},
                                                            {"CentreY", 0}, {"Radius", -5}, {"StartAngle", 0.0},
                                                            {"EndAngle", 1e308}}})}},
                                {{"ObjectId", 4}, {"Layer", 999}, {"X", 9000000000LL}, {"Width", -5}},
                                {{"ObjectId", 1}, {"Layer", 1}, {"Radius", 1000000000000LL}, {"Width", 10},
                                 {"StartAngle", -1e300}, {"EndAngle", 1e308}},
                                {{"ObjectId", 3}, {"LowLayer", -4}, {"HighLayer", 300}, {"Size", 10}},
                                {{"ObjectId", 2}, {"Layer", 74}, {"XSizeTop", 10}, {"YSizeTop", 10},
                                 {"Containers", json::array({42, 42})}},
                                {{"ObjectId", 9}, {"NameText", 12345}, {"Handle", 42}},
                                {{"ObjectId", 16}, {"RuleKind", 0}, {"Scope1", "IsWire"}, {"Scope2", "x"},
                                 {"Constraint", {{"Values", json::array({"none", json::array(), 1e300})}}}}})}},
  };
  for (const json& document : cases) {
    ExportCounts counts;
    const std::string text = Export(document, &counts);
    EXPECT_TRUE(Balanced(text)) << document.dump();
    EXPECT_EQ(text.rfind("(kicad_pcb", 0), 0u);
  }
}

}  // namespace
