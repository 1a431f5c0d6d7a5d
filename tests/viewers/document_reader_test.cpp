// The board view: read as a stream from a saved document, where a misspelt or missing field, a
// value of the wrong type and a damaged document are reported, and filled from the model, which
// must give the very view its saved document gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "standin/host/document.h"
#include "standin/orvpcb/model.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"
#include "tests/viewers/view_of.h"
#include "viewers/document_reader.h"
#include "viewers/view_from_model.h"

namespace {

using nlohmann::json;
using test_support::Quote;
using test_support::RunHost;
using viewers_test::Completed;

json Track() {
  return {{"Handle", 7}, {"ObjectId", 4}, {"Layer", 1}, {"Net", 0}, {"Component", 0}, {"Containers", {1}},
          {"X", 0}, {"Y", 0}, {"X2", 100}, {"Y2", 0}, {"Width", 10}};
}

view::DocumentRead Read(const std::string& text) {
  view::BoardView board;
  return view::ReadDocument(text, board);
}

view::DocumentRead ReadObject(const json& object) {
  return Read(json{{"document", "viderave-board"}, {"objects", {object}}}.dump());
}

TEST(DocumentReader, MisspeltOrMissingFieldsAreReportedByName) {
  ASSERT_TRUE(ReadObject(Track()).ok);
  json misspelt = Track();
  misspelt.erase("Width");
  misspelt["Widht"] = 10;
  auto read = ReadObject(misspelt);
  EXPECT_FALSE(read.ok);
  EXPECT_FALSE(read.malformed);
  EXPECT_EQ(read.error, "object 7 (ObjectId 4) has no \"Width\"");

  json no_containers = Track();
  no_containers.erase("Containers");
  EXPECT_EQ(ReadObject(no_containers).error, "object 7 (ObjectId 4) has no \"Containers\"");

  json segment = {{"SegmentKind", 0}, {"X", 0}, {"Y", 0}, {"CentreX", 0}, {"CentreY", 0}, {"Radius", 0},
                  {"StartAngle", 0.0}};  // no EndAngle
  const json polygon = {{"Handle", 9}, {"ObjectId", 10}, {"Layer", 1}, {"Net", 0}, {"Containers", json::array()},
                        {"PointCount", 1}, {"Segments", {segment, segment}}};
  read = ReadObject(polygon);
  EXPECT_NE(read.error.find("has no \"EndAngle\""), std::string::npos) << read.error;

  // Fields the viewers do not read may be anything, and a kind they do not draw needs no more
  // than its handle, kind and containers.
  json extra = Track();
  extra["Widht"] = "anything";
  extra["LayerInfo"] = {{{"deep", {1, 2, {{"x", nullptr}}}}}};
  EXPECT_TRUE(ReadObject(extra).ok);
  EXPECT_TRUE(ReadObject({{"Handle", 3}, {"ObjectId", 15}, {"Containers", json::array()}}).ok);
}

TEST(DocumentReader, ValuesOfTheWrongTypeAreReported) {
  const struct {
    const char* field;
    json value;
    const char* says;
  } kCases[] = {
      {"X", "12", "\"X\" is a string, not a number"},
      {"X", 1.5, "\"X\" is not a whole number"},
      {"Width", nullptr, "\"Width\" is null"},
      {"Layer", true, "\"Layer\" is true or false"},
      {"Y", json::array(), "\"Y\" is a list"},
      {"Containers", 5, "\"Containers\" is a number, not a list"},
      {"Containers", {1.5}, "a container handle is not a whole number"},
      {"Net", {{"a", 1}}, "\"Net\" is an object"},
  };
  for (const auto& c : kCases) {
    json object = Track();
    object[c.field] = c.value;
    const auto read = ReadObject(object);
    EXPECT_FALSE(read.ok) << c.field;
    EXPECT_NE(read.error.find(c.says), std::string::npos) << c.field << ": " << read.error;
  }
  // A whole number is a fine angle.
  json arc = {{"Handle", 2}, {"ObjectId", 1}, {"Layer", 1}, {"Net", 0}, {"Component", 0}, {"Containers", {1}},
              {"X", 0}, {"Y", 0}, {"Radius", 5}, {"Width", 1}, {"StartAngle", 90}, {"EndAngle", 180.5}};
  view::BoardView board;
  ASSERT_TRUE(view::ReadDocument(json{{"document", "viderave-board"}, {"objects", {arc}}}.dump(), board).ok);
  EXPECT_EQ(board.objects[0].start_angle, 90.0);
  EXPECT_EQ(board.objects[0].end_angle, 180.5);
}

TEST(DocumentReader, DamagedAndForeignDocumentsAreRefused) {
  const std::string good = Completed({{"objects", {Track()}}}).dump();
  for (std::size_t cut : {std::size_t{0}, std::size_t{1}, good.size() / 3, good.size() / 2, good.size() - 1}) {
    const auto read = Read(good.substr(0, cut));
    EXPECT_FALSE(read.ok) << cut;
    EXPECT_TRUE(read.malformed) << cut;
    EXPECT_EQ(read.error.rfind("not a JSON document: ", 0), 0u) << read.error;
  }
  // A zero byte ends the text for the JSON reader: what follows it must not be passed over.
  for (const std::string& tail : {std::string("\0", 1), std::string("\0garbage", 8), std::string(" \0 ", 3)}) {
    const auto read = Read(good + tail);
    EXPECT_TRUE(read.malformed) << read.error;
  }
  EXPECT_TRUE(Read(good + " \n\t").ok);
  // Nesting a million deep is read, or refused when left open, without running out of stack.
  const auto deep = Read("{\"document\": \"viderave-board\", \"x\": " + std::string(1000000, '[') +
                         std::string(1000000, ']') + "}");
  EXPECT_TRUE(deep.ok) << deep.error;
  EXPECT_TRUE(Read(std::string(1000000, '[')).malformed);
  EXPECT_FALSE(Read("{\"document\": \"viderave-board\", \"objects\": [1]}").ok);
  EXPECT_FALSE(Read("{\"document\": \"viderave-board\", \"objects\": [[]]}").ok);
  for (const char* foreign : {"[1, 2]", "7", "{\"objects\": []}", "{\"document\": \"other\", \"objects\": []}"}) {
    const auto read = Read(foreign);
    EXPECT_FALSE(read.ok) << foreign;
    EXPECT_EQ(read.error, "not a board document (no \"document\": \"viderave-board\")") << foreign;
  }
  const auto read = Read("{\"document\": \"viderave-board\"}");
  EXPECT_TRUE(read.ok);
  EXPECT_FALSE(read.has_objects);
}

// The file is read a block at a time: objects across block boundaries, and a damaged byte far into
// the file, are read as from the whole text.
TEST(DocumentReader, AFileReadsInBlocksAsTheWholeText) {
  json objects = json::array();
  for (int i = 1; i <= 30000; ++i) {
    json track = Track();
    track["Handle"] = i;
    track["X2"] = i;
    objects.push_back(track);
  }
  const std::string text = Completed({{"objects", objects}}).dump();
  ASSERT_GT(text.size(), std::size_t{3} << 20);
  const auto read_file = [](const std::string& content, view::BoardView& board) {
    std::FILE* file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    const view::DocumentRead read = view::ReadDocument(file, board);
    std::fclose(file);
    return read;
  };
  view::BoardView from_file, from_text;
  ASSERT_TRUE(read_file(text, from_file).ok);
  ASSERT_TRUE(view::ReadDocument(text, from_text).ok);
  ASSERT_EQ(from_file.objects.size(), 30000u);
  EXPECT_EQ(from_file.objects.back().x2, from_text.objects.back().x2);

  std::string damaged = text;
  damaged[damaged.size() - 1000] = '\0';
  view::BoardView ignored;
  const auto read = read_file(damaged, ignored);
  EXPECT_TRUE(read.malformed);
  EXPECT_NE(read.error.find("at byte " + std::to_string(damaged.size() - 1000)), std::string::npos) << read.error;
  EXPECT_TRUE(read_file(text + std::string("\0", 1), ignored).malformed);
}

TEST(DocumentReader, ProgramsRefuseADamagedDocumentWithExitTwo) {
  const std::string board = test_support::UniqueBoardPath("damaged");
  const std::string json_path = board + ".json";
  json document = Completed({{"objects", {Track()}}});
  const std::string text = document.dump();
  for (const std::string& damaged : {text.substr(0, text.size() / 2),
                                     json{{"document", "viderave-board"}, {"objects", {{{"ObjectId", 4}}}}}.dump()}) {
    test_support::WriteFile(json_path, damaged);
    auto run = RunHost("render " + Quote(json_path) + " --svg " + Quote(board + ".svg"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("viderave: cannot draw"), std::string::npos) << run.err;
    run = RunHost("export " + Quote(json_path) + " --kicad " + Quote(board + ".kicad_pcb"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("viderave: cannot export"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(board + ".kicad_pcb"));
  }
}

// Everything of two views, field by field.
void ExpectSameView(const view::BoardView& a, const view::BoardView& b) {
  EXPECT_EQ(a.title, b.title);
  for (std::size_t n = 0; n < a.layers.size(); ++n) {
    EXPECT_EQ(a.layers[n].name, b.layers[n].name) << n;
    EXPECT_EQ(a.layers[n].plane_net_name, b.layers[n].plane_net_name) << n;
  }
  ASSERT_EQ(a.objects.size(), b.objects.size());
  EXPECT_EQ(a.containers, b.containers);
  ASSERT_EQ(a.segments.size(), b.segments.size());
  for (std::size_t i = 0; i < a.segments.size(); ++i) {
    const view::Segment &s = a.segments[i], &t = b.segments[i];
    EXPECT_TRUE(s.kind == t.kind && s.x == t.x && s.y == t.y && s.centre_x == t.centre_x &&
                s.centre_y == t.centre_y && s.radius == t.radius && s.start_angle == t.start_angle &&
                s.end_angle == t.end_angle)
        << i;
  }
  for (std::size_t i = 0; i < a.objects.size(); ++i) {
    const view::Object &o = a.objects[i], &p = b.objects[i];
    SCOPED_TRACE("object " + std::to_string(o.handle));
    EXPECT_EQ(o.handle, p.handle);
    EXPECT_EQ(o.kind, p.kind);
    EXPECT_EQ(o.layer, p.layer);
    EXPECT_EQ(o.low_layer, p.low_layer);
    EXPECT_EQ(o.high_layer, p.high_layer);
    EXPECT_TRUE(o.x == p.x && o.y == p.y && o.x2 == p.x2 && o.y2 == p.y2);
    EXPECT_TRUE(o.width == p.width && o.radius == p.radius && o.size == p.size && o.hole_size == p.hole_size &&
                o.height == p.height && o.point_count == p.point_count);
    EXPECT_EQ(o.x_size, p.x_size);
    EXPECT_EQ(o.y_size, p.y_size);
    EXPECT_EQ(o.shape, p.shape);
    EXPECT_TRUE(o.rotation == p.rotation && o.start_angle == p.start_angle && o.end_angle == p.end_angle);
    EXPECT_TRUE(o.net == p.net && o.component == p.component && o.name_text == p.name_text &&
                o.comment_text == p.comment_text);
    EXPECT_TRUE(o.name_shown == p.name_shown && o.comment_shown == p.comment_shown && o.mirrored == p.mirrored);
    EXPECT_EQ(a.String(o.text), b.String(p.text));
    EXPECT_TRUE(o.first_container == p.first_container && o.container_count == p.container_count);
    EXPECT_TRUE(o.first_segment == p.first_segment && o.segment_count == p.segment_count);
  }
  ASSERT_EQ(a.rules.size(), b.rules.size());
  for (std::size_t i = 0; i < a.rules.size(); ++i) {
    const view::Rule &r = a.rules[i], &s = b.rules[i];
    EXPECT_TRUE(r.name == s.name && r.scope1 == s.scope1 && r.scope2 == s.scope2 && r.rule_kind == s.rule_kind);
    EXPECT_EQ(r.has_values, s.has_values);
    EXPECT_EQ(r.values, s.values);
  }
}

TEST(BoardView, TheModelAndItsSavedDocumentGiveTheSameView) {
  for (const char* example : {"legacy-1.10", "medium-2.10", "small-2.80"}) {
    SCOPED_TRACE(example);
    const std::string text =
        test_support::ReadText(std::string(VIDERAVE_SOURCE_DIR) + "/examples/" + example + ".PCB");
    const test_support::ImportResult imported = test_support::ImportText(text, "same-view");
    ASSERT_TRUE(imported.ok);
    orv::Model& model = orv::Server();
    view::BoardView from_model, from_document;
    std::string error;
    ASSERT_TRUE(view::FillFromModel(model, imported.board, imported.path, from_model, error)) << error;

    std::FILE* saved = std::tmpfile();
    ASSERT_NE(saved, nullptr);
    ASSERT_TRUE(WriteBoardDocument(model, imported.board, imported.path, saved));
    std::rewind(saved);
    const view::DocumentRead read = view::ReadDocument(saved, from_document);
    ASSERT_TRUE(read.ok) << read.error;
    // Handed over one at a time, as `render` reads: the same objects, and none kept.
    std::rewind(saved);
    view::BoardView streamed;
    std::size_t handed = 0;
    const view::DocumentRead each = view::ReadDocument(saved, streamed, [&](const view::Object& o, const view::BoardView& of) {
      ASSERT_LT(handed, from_model.objects.size());
      const view::Object& same = from_model.objects[handed++];
      EXPECT_EQ(o.handle, same.handle);
      EXPECT_EQ(o.container_count, same.container_count);
      EXPECT_EQ(of.String(o.text), from_model.String(same.text));
      if (o.segment_count > 0) {
        EXPECT_EQ(of.SegmentsOf(o)[o.segment_count - 1].x, from_model.SegmentsOf(same)[o.segment_count - 1].x);
      }
    });
    std::fclose(saved);
    ASSERT_TRUE(each.ok) << each.error;
    EXPECT_EQ(handed, from_model.objects.size());
    EXPECT_TRUE(streamed.objects.empty() && streamed.containers.empty() && streamed.segments.empty() && streamed.rules.empty());
    EXPECT_EQ(streamed.title, from_model.title);

    EXPECT_GT(from_model.objects.size(), 10u);
    EXPECT_FALSE(from_model.rules.empty());
    EXPECT_FALSE(from_model.segments.empty());
    ExpectSameView(from_model, from_document);
  }
}

}  // namespace
