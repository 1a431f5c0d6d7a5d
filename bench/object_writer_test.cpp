// The streaming object writer of the board document gives exactly the bytes of the JSON tree it
// replaced, for every kind of an imported board, and for the values that need escaping or the
// library's number formatting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "bench/bench_support.h"
#include "host/api/vocabulary.h"
#include "standin/host/object_writer.h"

namespace {

std::string Written(ObjectWriter& writer, std::uint32_t handle) {
  std::string text;
  writer.Append(handle, text);
  return text;
}

class ObjectWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { orv::Server().Reset(); }
};

TEST_F(ObjectWriterTest, EveryObjectOfAnImportMatchesTheTree) {
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
    ASSERT_EQ(Written(writer, handle), ObjectDocument(model, handle).dump()) << "handle " << handle;
  }
  EXPECT_GE(kinds_seen, 12);  // tracks, arcs, vias, pads, fills, texts, polygons, ..., rules
  std::remove(path.c_str());
}

TEST_F(ObjectWriterTest, EscapesAndNumbersMatchTheTree) {
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
    EXPECT_EQ(Written(writer, text), ObjectDocument(model, text).dump());
  }
  for (double value : numbers) {
    model.SetNumber(arc, "StartAngle", value);
    model.SetNumber(text, "Rotation", value);
    EXPECT_EQ(Written(writer, arc), ObjectDocument(model, arc).dump()) << value;
    EXPECT_EQ(Written(writer, text), ObjectDocument(model, text).dump()) << value;
  }
  model.SetNumber(polygon, "PointCount", 3);
  EXPECT_EQ(Written(writer, polygon), ObjectDocument(model, polygon).dump());
  EXPECT_EQ(Written(writer, 0), "null");
}

}  // namespace
