// The picture writer on hand-made document objects: coordinates, arcs, page, layer order,
// components, pads and text that must stay well-formed XML.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "viewers/svg_writer.h"
#include "tests/viewers/svg_reader.h"
#include "tests/viewers/view_of.h"

namespace {

using nlohmann::json;
using svg::SvgWriter;
using svg_test::ReadPictureText;

constexpr std::int64_t kMil = 10000;  // host units per mil

json Track(int handle, int layer, std::int64_t x, std::int64_t y, std::int64_t x2, std::int64_t y2, std::int64_t width = 10 * kMil) {
  return {{"Handle", handle}, {"ObjectId", 4}, {"Kind", "Track"}, {"Layer", layer}, {"Containers", json::array({1})},
          {"X", x}, {"Y", y}, {"X2", x2}, {"Y2", y2}, {"Width", width}};
}

json Arc(int handle, double start, double end) {
  return {{"Handle", handle}, {"ObjectId", 1}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"Radius", 10 * kMil},
          {"Width", 2 * kMil}, {"StartAngle", start}, {"EndAngle", end}};
}

json Text(int handle, int layer, const std::string& text, std::uint32_t component = 0) {
  return {{"Handle", handle}, {"ObjectId", 5}, {"Layer", layer}, {"X", 0}, {"Y", 0}, {"Height", 60 * kMil},
          {"Width", 10 * kMil}, {"Rotation", 0.0}, {"Mirrored", 0}, {"Text", text}, {"Component", component}};
}

std::string Draw(std::initializer_list<json> objects) {
  SvgWriter writer;
  json list = json::array();
  for (const json& object : objects) list.push_back(object);
  writer.AddView(viewers_test::ViewOf({{"objects", list}}));
  return writer.ToString();
}

// The element of one object, as written.
std::string ElementOf(const std::string& svg, int handle) {
  const std::string mark = "data-handle=\"" + std::to_string(handle) + "\"";
  const std::size_t at = svg.find(mark);
  if (at == std::string::npos) return "";
  const std::size_t open = svg.rfind('<', at);
  return svg.substr(open, svg.find('>', at) - open + 1);
}

TEST(SvgWriter, NegatesHostYSoTheBoardIsTheRightWayUp) {
  const std::string svg = Draw({Track(7, 1, 0, 0, 10 * kMil, 20 * kMil, 5 * kMil)});
  EXPECT_EQ(ElementOf(svg, 7),
            "<line data-handle=\"7\" class=\"t\" x1=\"0\" y1=\"0\" x2=\"10\" y2=\"-20\" stroke-width=\"5\"/>");
  // Host units are 1/10000 mil and are written exactly.
  const std::string fine = Draw({Track(8, 1, 12345, -1, 0, 0, 1)});
  EXPECT_NE(ElementOf(fine, 8).find("x1=\"1.2345\" y1=\"0.0001\""), std::string::npos) << fine;
}

TEST(SvgWriter, TurnsCounterClockwiseAsTheBoardDoes) {
  json turned = Text(1, 33, "T");
  turned["X"] = 100 * kMil;
  turned["Rotation"] = 90.0;
  json mirrored = turned;
  mirrored["Mirrored"] = 1;
  const json fill = {{"Handle", 1}, {"ObjectId", 6}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"X2", 20 * kMil},
                     {"Y2", 10 * kMil}, {"Rotation", 45.0}};
  const json octagon = {{"Handle", 1}, {"ObjectId", 2}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"XSizeTop", 80 * kMil},
                        {"YSizeTop", 40 * kMil}, {"ShapeTop", 3}, {"Rotation", 0.0}};
  const std::pair<json, std::string> cases[] = {
      {turned, "<text data-handle=\"1\" class=\"x\" transform=\"translate(100 0) rotate(-90)\" font-size=\"60\">"},
      {mirrored,
       "<text data-handle=\"1\" class=\"x\" transform=\"translate(100 0) rotate(-90) scale(-1 1)\" font-size=\"60\">"},
      {fill, "<rect data-handle=\"1\" class=\"s\" x=\"0\" y=\"-10\" width=\"20\" height=\"10\" "
             "transform=\"rotate(-45 10 -5)\"/>"},
      {octagon, "<polygon data-handle=\"1\" class=\"s\" "
                "points=\"-30,20 30,20 40,10 40,-10 30,-20 -30,-20 -40,-10 -40,10\"/>"},
  };
  for (const auto& [object, element] : cases) EXPECT_EQ(ElementOf(Draw({object}), 1), element) << object.dump();
}

TEST(SvgWriter, ArcsRunCounterClockwiseFromStartToEnd) {
  struct Case {
    double start, end;
    std::string element;
  } cases[] = {
      // Counter-clockwise on the board is counter-clockwise on screen: sweep flag 0.
      {0, 90, "<path data-handle=\"1\" class=\"t\" d=\"M10 0 A10 10 0 0 0 0 -10\" stroke-width=\"2\"/>"},
      {0, 270, "<path data-handle=\"1\" class=\"t\" d=\"M10 0 A10 10 0 1 0 0 10\" stroke-width=\"2\"/>"},
      {270, 90, "<path data-handle=\"1\" class=\"t\" d=\"M0 10 A10 10 0 0 0 0 -10\" stroke-width=\"2\"/>"},
      {-90, 0, "<path data-handle=\"1\" class=\"t\" d=\"M0 10 A10 10 0 0 0 10 0\" stroke-width=\"2\"/>"},
      {0, 360, "<circle data-handle=\"1\" class=\"t\" cx=\"0\" cy=\"0\" r=\"10\" stroke-width=\"2\"/>"},
      {90, 450, "<circle data-handle=\"1\" class=\"t\" cx=\"0\" cy=\"0\" r=\"10\" stroke-width=\"2\"/>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ElementOf(Draw({Arc(1, c.start, c.end)}), 1), c.element) << c.start << " to " << c.end;
  }
}

TEST(SvgWriter, ViewBoxFitsTheDrawingWithAMargin) {
  // A fill of 1000 by 500 mils: a margin of 5% of the longer side on every side, and the longer
  // side of the page 1600 pixels.
  const json fill = {{"Handle", 3}, {"ObjectId", 6}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"X2", 1000 * kMil},
                     {"Y2", 500 * kMil}, {"Rotation", 0.0}};
  const auto picture = ReadPictureText(Draw({fill}));
  ASSERT_TRUE(picture.well_formed) << picture.error;
  EXPECT_EQ(picture.view_box, "-50 -550 1100 600");
  EXPECT_EQ(picture.width, "1600");
  EXPECT_EQ(picture.height, "873");

  // A tall drawing gets the 1600 pixels upright; an empty board still has a page.
  const auto tall = ReadPictureText(Draw({Track(1, 1, 0, 0, 0, 3000 * kMil, 0 + 10 * kMil)}));
  EXPECT_EQ(tall.height, "1600");
  const auto empty = ReadPictureText(Draw({}));
  ASSERT_TRUE(empty.well_formed) << empty.error;
  EXPECT_FALSE(empty.view_box.empty());
}

TEST(SvgWriter, EscapesTextAndDropsWhatXmlCannotHold) {
  const std::string nasty = std::string("<a&b> \"q\" 'x' \x01\x1f\x7f tab\there ") + "\xC3\xA9 \xFF\xC3 \xEF\xBF\xBE end";
  SvgWriter writer;
  writer.SetTitle("board <&> \x02");
  // Built by hand: a JSON text cannot carry malformed UTF-8, a view can.
  view::BoardView board;
  view::Object text;
  text.handle = 5;
  text.kind = KindCode(ObjectKind::kText);
  text.layer = 33;
  text.height = 60 * kMil;
  text.width = 10 * kMil;
  text.text = board.Keep(nasty);
  writer.Add(text, board);
  const std::string svg = writer.ToString();
  const auto picture = ReadPictureText(svg);
  ASSERT_TRUE(picture.well_formed) << picture.error << "\n" << svg;
  EXPECT_NE(svg.find("&lt;a&amp;b&gt; &quot;q&quot; &apos;x&apos;  tab&#9;here \xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD  end"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<title>board &lt;&amp;&gt; </title>"), std::string::npos);
}

TEST(SvgWriter, StacksLayersBottomFirst) {
  // Objects come in any order; the groups follow the board's stack, seen from the top.
  const auto picture = ReadPictureText(Draw({
      Track(1, 1, 0, 0, kMil, kMil),      // TopLayer
      Track(2, 33, 0, 0, kMil, kMil),     // TopOverlay
      Track(3, 57, 0, 0, kMil, kMil),     // Mechanical1
      Track(4, 32, 0, 0, kMil, kMil),     // BottomLayer
      Track(5, 2, 0, 0, kMil, kMil),      // MidLayer1
      Track(6, 3, 0, 0, kMil, kMil),      // MidLayer2
      Track(7, 34, 0, 0, kMil, kMil),     // BottomOverlay
      Track(8, 37, 0, 0, kMil, kMil),     // TopSolder
      Track(9, 56, 0, 0, kMil, kMil),     // KeepOutLayer
      Track(10, 74, 0, 0, kMil, kMil),    // MultiLayer
      Track(11, 1, 0, 0, 2 * kMil, kMil), // TopLayer again
  }));
  ASSERT_TRUE(picture.well_formed) << picture.error;
  const std::vector<std::string> expected = {"BottomOverlay", "BottomLayer", "MidLayer2",  "MidLayer1",
                                             "TopLayer",      "TopSolder",   "TopOverlay", "MultiLayer",
                                             "KeepOutLayer",  "Mechanical1"};
  EXPECT_EQ(picture.layers, expected);
  EXPECT_EQ(picture.Drawn("11")->layer, "TopLayer");
}

TEST(SvgWriter, GathersAComponentsPrimitivesUnderItsDesignator) {
  const json component = {{"Handle", 20}, {"ObjectId", 9}, {"Layer", 1}, {"NameText", 21}, {"CommentText", 22},
                          {"NameShown", 1}, {"CommentShown", 0}};
  json part = Track(23, 33, 0, 0, kMil, kMil);
  part["Containers"] = json::array({20});
  json free_track = Track(24, 33, 0, 0, kMil, kMil);
  json late_part = Track(25, 33, 0, 0, kMil, kMil);
  late_part["Containers"] = json::array({20, 99});
  const auto picture = ReadPictureText(Draw({component, Text(21, 33, "U<1>", 20), Text(22, 33, "comment", 20), part,
                                             free_track, late_part}));
  ASSERT_TRUE(picture.well_formed) << picture.error;
  EXPECT_EQ(picture.titles.at("20"), "U<1>");
  for (const char* member : {"21", "22", "23", "25"}) EXPECT_EQ(picture.Drawn(member)->component, "20") << member;
  EXPECT_EQ(picture.Drawn("24")->component, "-");
  // The comment is not shown, but its element is there.
  EXPECT_EQ(picture.Drawn("22")->css_class, "x hidden");
  EXPECT_EQ(picture.Drawn("21")->css_class, "x");
  // The component itself is a group, not a drawn element.
  EXPECT_EQ(picture.Drawn("20"), nullptr);
}

TEST(SvgWriter, DrawsAMultiLayerPadOnBothSidesWithItsHole) {
  const json pad = {{"Handle", 8}, {"ObjectId", 2}, {"Layer", 74}, {"X", 100 * kMil}, {"Y", 200 * kMil},
                    {"XSizeTop", 60 * kMil}, {"YSizeTop", 40 * kMil}, {"ShapeTop", 2},
                    {"XSizeBottom", 80 * kMil}, {"YSizeBottom", 80 * kMil}, {"ShapeBottom", 1},
                    {"HoleSize", 30 * kMil}, {"Rotation", 90.0}};
  const std::string svg = Draw({pad});
  EXPECT_EQ(ElementOf(svg, 8),
            "<rect data-handle=\"8\" class=\"s\" x=\"70\" y=\"-220\" width=\"60\" height=\"40\" "
            "transform=\"rotate(-90 100 -200)\"/>");
  const auto picture = ReadPictureText(svg);
  ASSERT_TRUE(picture.well_formed) << picture.error;
  ASSERT_EQ(picture.elements.size(), 3u);
  EXPECT_EQ(picture.elements[0].layer, "BottomLayer");
  EXPECT_EQ(picture.elements[0].tag, "circle");  // the round bottom side
  EXPECT_EQ(picture.elements[0].of, "8");
  EXPECT_EQ(picture.elements[1].layer, "MultiLayer");
  EXPECT_EQ(picture.elements[2].layer, "PadHoleLayer");
  EXPECT_EQ(picture.elements[2].of, "8");
  EXPECT_NE(svg.find("<circle data-of=\"8\" class=\"s\" cx=\"100\" cy=\"-200\" r=\"15\"/>"), std::string::npos);
}

TEST(SvgWriter, DrawsViasThroughTheBoardWhateverTheirLayer) {
  // A new via's record may hold NoLayer; its span is LowLayer to HighLayer.
  const json via = {{"Handle", 30}, {"ObjectId", 3}, {"Layer", 0}, {"X", 1100 * kMil}, {"Y", 1200 * kMil},
                    {"Size", 50 * kMil}, {"HoleSize", 28 * kMil}, {"LowLayer", 1}, {"HighLayer", 32}};
  const std::string svg = Draw({via});
  EXPECT_EQ(ElementOf(svg, 30), "<circle data-handle=\"30\" class=\"s\" cx=\"1100\" cy=\"-1200\" r=\"25\"/>");
  const auto picture = ReadPictureText(svg);
  ASSERT_EQ(picture.elements.size(), 2u);
  EXPECT_EQ(picture.elements[0].layer, "MultiLayer");
  EXPECT_EQ(picture.elements[1].layer, "ViaHoleLayer");
  EXPECT_EQ(picture.elements[1].of, "30");
}

TEST(SvgWriter, OutlineArcsJoinTheVerticesTheyMeet) {
  // A D-shaped polygon whose right edge bulges out as a half circle. The file puts the arc on
  // the vertex where the edge starts; an outline with the arc on the vertex where it ends must
  // come out the same.
  auto segment = [](int x, int y, bool arc = false) {
    json s = {{"SegmentKind", arc ? 1 : 0}, {"X", x * kMil}, {"Y", y * kMil}, {"CentreX", 0}, {"CentreY", 0},
              {"Radius", 0}, {"StartAngle", 0.0}, {"EndAngle", 0.0}};
    if (arc) s.update({{"CentreX", 1700 * kMil}, {"CentreY", 1200 * kMil}, {"Radius", 200 * kMil},
                       {"StartAngle", 270.0}, {"EndAngle", 90.0}});
    return s;
  };
  auto polygon = [](json segments) {
    return json{{"Handle", 47}, {"ObjectId", 10}, {"Layer", 32}, {"PointCount", segments.size() - 1},
                {"Segments", segments}};
  };
  const std::string expected =
      "<path data-handle=\"47\" class=\"o\" d=\"M1100 -1000 L1700 -1000 A200 200 0 0 0 1700 -1400 L1100 -1400 Z\"/>";
  const json at_start = json::array({segment(1100, 1000), segment(1700, 1000, true), segment(1700, 1400),
                                     segment(1100, 1400), segment(1100, 1000)});
  const json at_end = json::array({segment(1100, 1000), segment(1700, 1000), segment(1700, 1400, true),
                                   segment(1100, 1400), segment(1100, 1000)});
  EXPECT_EQ(ElementOf(Draw({polygon(at_start)}), 47), expected);
  EXPECT_EQ(ElementOf(Draw({polygon(at_end)}), 47), expected);
}

TEST(SvgWriter, SkipsWhatHasNoPicture) {
  json zero_width = Track(1, 1, 0, 0, kMil, kMil, 0);
  json no_layer = Track(2, 0, 0, 0, kMil, kMil);
  json beyond_table = Track(3, 83, 0, 0, kMil, kMil);
  const json net = {{"Handle", 4}, {"ObjectId", 8}, {"Kind", "Net"}, {"Name", "GND"}};
  const json rule = {{"Handle", 5}, {"ObjectId", 16}, {"Layer", 74}, {"RuleName", "Clearance"}};
  const json empty_text = Text(6, 33, "");
  const json flat_fill = {{"Handle", 7}, {"ObjectId", 6}, {"Layer", 1}, {"X", 0}, {"Y", 0}, {"X2", 0}, {"Y2", kMil}};
  const json via = {{"Handle", 9}, {"ObjectId", 3}, {"Layer", 74}, {"X", 0}, {"Y", 0}, {"Size", 0}, {"HoleSize", kMil}};
  const auto picture = ReadPictureText(Draw({zero_width, no_layer, beyond_table, net, rule, empty_text, flat_fill,
                                             via, Track(10, 1, 0, 0, kMil, kMil)}));
  ASSERT_TRUE(picture.well_formed) << picture.error;
  ASSERT_EQ(picture.elements.size(), 1u);
  EXPECT_EQ(picture.elements[0].handle, "10");
}

TEST(SvgWriter, AbsurdValuesStillMakeAValidPicture) {
  const json odd[] = {
      {{"Handle", 5}, {"ObjectId", 4}, {"Layer", 1}, {"X", 12}, {"Y", -9000000000LL}, {"X2", 9000000000LL},
       {"Y2", INT32_MIN}, {"Width", 1500000000}},
      {{"Handle", 6}, {"ObjectId", 1}, {"Layer", 1}, {"Radius", 2147483647}, {"Width", 1}, {"StartAngle", 1e308},
       {"EndAngle", -1e308}},
      {{"Handle", 7}, {"ObjectId", 10}, {"Layer", 1}, {"PointCount", 1000000}, {"Segments", json::array()}},
      {{"Handle", 8}, {"ObjectId", 5}, {"Layer", 33}, {"Height", 1}, {"Text", "x"}, {"Rotation", -1e300}},
      {{"Handle", 9}, {"ObjectId", 13}, {"Layer", 57}, {"X", 0}, {"Y", 0}, {"X2", 0}, {"Y2", 0}},
      {{"Handle", 10}, {"ObjectId", 2}, {"Layer", 300}, {"XSizeTop", 5}, {"YSizeTop", 5}, {"ShapeTop", -7}},
      {{"Handle", 11}, {"ObjectId", 999}, {"Layer", 1}, {"Containers", json::array()}},
  };
  const auto picture = ReadPictureText(Draw({odd[0], odd[1], odd[2], odd[3], odd[4], odd[5], odd[6]}));
  EXPECT_TRUE(picture.well_formed) << picture.error;
}

}  // namespace
