// Writes the board document's objects as text straight from the model: the bytes the JSON
// library would write for the object's tree, without building a tree per object (a board of a
// million objects has a document of half a gigabyte). Keys come in the order the tree would sort
// them, worked out once per kind; strings and numbers that need more than plain copying (escapes,
// non-ASCII bytes, fractional doubles) are handed to the JSON library's serializer.
//
//   ObjectWriter writer(model);
//   std::string text;
//   writer.Append(handle, text);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "standin/orvpcb/model.h"

class ObjectWriter {
 public:
  explicit ObjectWriter(orv::Model& model);
  ~ObjectWriter();
  ObjectWriter(const ObjectWriter&) = delete;
  ObjectWriter& operator=(const ObjectWriter&) = delete;

  // Appends the object's JSON text ("null" for a handle with no live object).
  void Append(std::uint32_t handle, std::string& out);

 private:
  struct Entry;
  struct Plan;
  const Plan& PlanOf(std::uint8_t kind);
  void AppendValue(orv::FieldType type, std::uint16_t size, const std::uint8_t* place, std::string& out) const;
  void AppendSlot(std::uint32_t handle, const orv::FieldSlot& slot, std::string& out) const;
  void AppendConstraint(const orv::ConstraintRecord& record, std::string& out) const;

  orv::Model& model_;
  std::vector<std::unique_ptr<Plan>> plans_;  // by kind
};
