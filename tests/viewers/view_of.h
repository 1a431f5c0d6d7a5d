// Hand-made board documents for the viewer tests: a test writes each object with only the fields
// it is about; the fields its kind needs besides are completed with zeros, empty strings and
// empty lists, and the whole is read through the document reader, as `render` and `export` read.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "viewers/board_view.h"
#include "viewers/document_reader.h"
#include "viewers/object_builder.h"

namespace viewers_test {

inline nlohmann::json Completed(nlohmann::json document) {
  using nlohmann::json;
  if (!document.contains("document")) document["document"] = "viderave-board";
  if (!document.contains("objects")) document["objects"] = json::array();
  for (json& object : document["objects"]) {
    if (!object.is_object() || !object.contains("ObjectId") || !object["ObjectId"].is_number_integer()) continue;
    const auto kind = object["ObjectId"].get<std::int64_t>();
    if (kind < 0 || kind > 255) continue;
    for (const view::Field field : view::NeededFields(static_cast<std::uint8_t>(kind))) {
      const std::string name(view::NameOf(field));
      if (object.contains(name)) continue;
      switch (view::TypeOf(field)) {
        case view::FieldType::kInteger: object[name] = 0; break;
        case view::FieldType::kReal: object[name] = 0.0; break;
        case view::FieldType::kString: object[name] = ""; break;
        case view::FieldType::kList: object[name] = json::array(); break;
      }
    }
  }
  return document;
}

// The view of a completed document; a failed read fails the test.
inline view::BoardView ViewOf(const nlohmann::json& document) {
  view::BoardView board;
  const view::DocumentRead read = view::ReadDocument(Completed(document).dump(), board);
  EXPECT_TRUE(read.ok) << read.error;
  return board;
}

}  // namespace viewers_test
