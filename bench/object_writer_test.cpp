// The streaming object writer of the board document: every kind of an imported board, and the
// values that need escaping or the library's number formatting, come out as the JSON library
// itself would write them (parsed and written again, the same bytes), holding the model's values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/bench_support.h"
#include "host/api/vocabulary.h"
#include "standin/host/object_writer.h"
#include "standin/host/text.h"

namespace {

using nlohmann::json;

std::string Written(ObjectWriter& writer, std::uint32_t handle) {
  std::string text;
  writer.Append(handle, text);
  return text;
}

// Keys in the library's order, its escapes and its numbers: written again, the same bytes.
json Canonical(const std::string& text) {
  json parsed = json::parse(text);
  EXPECT_EQ(parsed.dump(), text);
  return parsed;
}

// Every field of the kind is there, "Name#k" fields and fields of several instances as lists,
// and the single values are the model's.
void ExpectModelValues(orv::Model& model, std::uint32_t handle, const json& doc) {
  const orv::Object* object = model.Find(handle);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(doc["Handle"], handle);
  EXPECT_EQ(doc["ObjectId"], object->kind);
  EXPECT_EQ(doc["Kind"], orv::KindName(object->kind));
  ASSERT_EQ(doc["Containers"].size(), object->containers.size());
  std::set<std::string> keys = {"Handle", "ObjectId", "Kind", "Containers"};
  if (object->constraint != nullptr) keys.insert("Constraint");
  for (const orv::FieldSlot& slot : model.LayoutOf(object->kind).slots) {
    const std::string& name = slot.def.name;
    const std::string key = name.substr(0, name.find('#'));
    keys.insert(key);
    ASSERT_TRUE(doc.contains(key)) << key;
    if (slot.instances != 1 || key != name) {
      EXPECT_TRUE(doc[key].is_array()) << key;
      continue;
    }
    using orv::FieldType;
    switch (slot.def.type) {
      case FieldType::kString: EXPECT_EQ(doc[key], Latin1ToUtf8(model.GetText(handle, name))) << key; break;
      case FieldType::kBytes:
      case FieldType::kSegments: EXPECT_TRUE(doc[key].is_array()) << key; break;
      default: {
        const double value = model.GetNumber(handle, name);
        if (std::isfinite(value)) {
          EXPECT_EQ(doc[key].get<double>(), value) << key;
        } else {
          EXPECT_TRUE(doc[key].is_null()) << key;  // JSON has no NaN nor infinity
        }
      }
    }
  }
  EXPECT_EQ(doc.size(), keys.size());
}

class ObjectWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { orv::Server().Reset(); }
};

TEST_F(ObjectWriterTest, EveryObjectOfAnImportIsTheLibrarysTextOfTheModelsValues) {
  const std::string path = ::testing::TempDir() + "viderave-object-writer.PCB";
  const std::uint32_t board = bench::ImportBoard(3000, path);
  ASSERT_NE(board, 0u);
  orv::Model& model = orv::Server();
  ObjectWriter writer(model);
  int kinds_seen = 0;
  bool seen[orv::kKindCount] = {};
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (!model.Alive(handle)) continue;
    const std::uint8_t kind = model.KindOf(handle);
    if (!seen[kind]) ++kinds_seen;
    seen[kind] = true;
    SCOPED_TRACE("handle " + std::to_string(handle));
    ExpectModelValues(model, handle, Canonical(Written(writer, handle)));
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GE(kinds_seen, 12);  // tracks, arcs, vias, pads, fills, texts, polygons, ..., rules
  std::remove(path.c_str());
}

TEST_F(ObjectWriterTest, EscapesAndNumbersAreTheLibrarys) {
  orv::Model& model = orv::Server();
  bench::FreshBoard();
  ObjectWriter writer(model);
  const std::uint32_t text = model.Create(KindCode(ObjectKind::kText));
  const std::uint32_t arc = model.Create(KindCode(ObjectKind::kArc));
  const std::uint32_t polygon = model.Create(KindCode(ObjectKind::kPolygon));
  const std::string odd[] = {"",      "plain", "quote \" and \\ backslash", "tab\tnew\nline\r",
                             "\x01\x1f", "\x7f",  "Latin-1 \xe9\xff\x80",     std::string("nul\0byte", 8)};
  const double numbers[] = {0.0,  -0.0, 90.0, -270.0, 12.5, 1.0 / 3.0, 1e15, 1e16, -1e300,
                            5e-324, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
  for (const std::string& value : odd) {
    model.SetText(text, "Text", value);
    const json doc = Canonical(Written(writer, text));
    EXPECT_EQ(doc["Text"], Latin1ToUtf8(value));
  }
  for (double value : numbers) {
    model.SetNumber(arc, "StartAngle", value);
    model.SetNumber(text, "Rotation", value);
    SCOPED_TRACE(value);
    ExpectModelValues(model, arc, Canonical(Written(writer, arc)));
    ExpectModelValues(model, text, Canonical(Written(writer, text)));
  }
  model.SetNumber(polygon, "PointCount", 3);
  ExpectModelValues(model, polygon, Canonical(Written(writer, polygon)));
  EXPECT_EQ(Written(writer, 0), "null");
}

}  // namespace
