// The board document's object writer: per-kind key plans and value formatting that match the
// JSON library's output byte for byte.
#include "standin/host/object_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <map>

#include <nlohmann/json.hpp>

#include "standin/host/json_text.h"
#include "standin/orvpcb/packed.h"

namespace {

using json_text::AppendDouble;
using json_text::AppendInteger;
using json_text::AppendString;
using orv::FieldType;

using orv::Load;

// An outline segment's keys in sorted order: CentreX, CentreY, EndAngle, Radius, SegmentKind,
// StartAngle, X, Y.
void AppendSegment(const std::uint8_t* s, std::string& out) {
  out += "{\"CentreX\":";
  AppendInteger(Load<std::int32_t>(s + 9), out);
  out += ",\"CentreY\":";
  AppendInteger(Load<std::int32_t>(s + 13), out);
  out += ",\"EndAngle\":";
  AppendDouble(Load<double>(s + 29), out);
  out += ",\"Radius\":";
  AppendInteger(Load<std::int32_t>(s + 17), out);
  out += ",\"SegmentKind\":";
  AppendInteger(unsigned{s[0]}, out);
  out += ",\"StartAngle\":";
  AppendDouble(Load<double>(s + 21), out);
  out += ",\"X\":";
  AppendInteger(Load<std::int32_t>(s + 1), out);
  out += ",\"Y\":";
  AppendInteger(Load<std::int32_t>(s + 5), out);
  out += '}';
}

}  // namespace

// Where a key's value comes from.
struct ObjectWriter::Entry {
  enum class Source { kHandle, kObjectId, kKind, kContainers, kSlot, kList, kConstraint };
  std::string key;  // quoted, with the colon
  Source source = Source::kSlot;
  std::vector<const orv::FieldSlot*> slots;  // one for kSlot, the elements for kList
  // For kConstraint: the value shown when the object has no constraint record (a field of the
  // same name), or none.
  std::unique_ptr<Entry> otherwise;
};

struct ObjectWriter::Plan {
  std::string kind_text;  // the Kind value, quoted
  std::vector<Entry> entries;  // in key order
};

ObjectWriter::ObjectWriter(orv::Model& model) : model_(model), plans_(orv::kKindCount) {}

ObjectWriter::~ObjectWriter() = default;

// The keys in the order in which the document's object tree assigns them (later assignments
// replace earlier ones), then sorted as the tree sorts them.
const ObjectWriter::Plan& ObjectWriter::PlanOf(std::uint8_t kind) {
  std::unique_ptr<Plan>& plan = plans_[kind];
  if (plan) return *plan;
  plan = std::make_unique<Plan>();
  plan->kind_text = nlohmann::json(orv::KindName(kind)).dump();
  using Source = Entry::Source;
  std::map<std::string, Entry> keys;
  const auto assign = [&keys](const std::string& name, Source source, std::vector<const orv::FieldSlot*> slots) {
    Entry& entry = keys[name];
    entry.key = nlohmann::json(name).dump() + ":";
    entry.source = source;
    entry.slots = std::move(slots);
  };
  assign("Handle", Source::kHandle, {});
  assign("ObjectId", Source::kObjectId, {});
  assign("Kind", Source::kKind, {});
  assign("Containers", Source::kContainers, {});
  std::map<std::string, std::vector<const orv::FieldSlot*>> lists;
  for (const orv::FieldSlot& slot : model_.LayoutOf(kind).slots) {
    const std::size_t hash = slot.def.name.find('#');
    if (hash != std::string::npos) {
      lists[slot.def.name.substr(0, hash)].push_back(&slot);
    } else {
      assign(slot.def.name, Source::kSlot, {&slot});
    }
  }
  for (auto& [name, slots] : lists) assign(name, Source::kList, std::move(slots));
  std::unique_ptr<Entry> otherwise;
  if (const auto found = keys.find("Constraint"); found != keys.end()) {
    otherwise = std::make_unique<Entry>(std::move(found->second));
  }
  assign("Constraint", Source::kConstraint, {});
  keys["Constraint"].otherwise = std::move(otherwise);
  for (auto& [name, entry] : keys) plan->entries.push_back(std::move(entry));
  return *plan;
}

void ObjectWriter::AppendValue(FieldType type, std::uint16_t size, const std::uint8_t* place,
                               std::string& out) const {
  switch (type) {
    case FieldType::kU8:
    case FieldType::kLayerId:
      AppendInteger(unsigned{place[0]}, out);
      break;
    case FieldType::kU16:
      AppendInteger(Load<std::uint16_t>(place), out);
      break;
    case FieldType::kI32:
      AppendInteger(Load<std::int32_t>(place), out);
      break;
    case FieldType::kU32:
      AppendInteger(Load<std::uint32_t>(place), out);
      break;
    case FieldType::kF64:
      AppendDouble(Load<double>(place), out);
      break;
    case FieldType::kString:
      AppendString(model_.StringAt(Load<std::uint32_t>(place)), out);
      break;
    case FieldType::kBytes:
      out += '[';
      for (std::uint16_t i = 0; i < size; ++i) {
        if (i != 0) out += ',';
        AppendInteger(unsigned{place[i]}, out);
      }
      out += ']';
      break;
    case FieldType::kSegments: {
      const std::span<const std::uint8_t> block = model_.SegmentsAt(Load<std::uint32_t>(place));
      out += '[';
      for (std::size_t at = 0; at + orv::kSegmentBytes <= block.size(); at += orv::kSegmentBytes) {
        if (at != 0) out += ',';
        AppendSegment(block.data() + at, out);
      }
      out += ']';
      break;
    }
  }
}

void ObjectWriter::AppendSlot(std::uint32_t handle, const orv::FieldSlot& slot, std::string& out) const {
  if (slot.instances <= 1) {
    AppendValue(slot.def.type, slot.def.size, model_.FieldData(handle, slot), out);
    return;
  }
  out += '[';
  for (std::uint32_t i = 1; i <= slot.instances; ++i) {
    if (i != 1) out += ',';
    AppendValue(slot.def.type, slot.def.size, model_.FieldData(handle, slot, i), out);
  }
  out += ']';
}

// As the document shows a rule's constraint: the function last written and its values, arrays
// spread into the list.
void ObjectWriter::AppendConstraint(const orv::ConstraintRecord& record, std::string& out) const {
  if (record.last_written < 0) {
    out += "null";
    return;
  }
  const orv::Schema& schema = model_.SchemaAt(record.last_written);
  out += "{\"Function\":";
  AppendString(schema.function, out);
  out += ",\"Values\":[";
  const std::span<const std::uint8_t> packed = record.ValuesOf(record.last_written);
  if (!packed.empty()) {
    std::size_t at = 0;
    bool first = true;
    std::string value;
    for (const orv::FieldDef& def : schema.fields) {
      value.clear();
      AppendValue(def.type, def.size, packed.data() + at, value);
      const bool spread = def.type == FieldType::kBytes || def.type == FieldType::kSegments;
      const std::string_view items = spread ? std::string_view(value).substr(1, value.size() - 2) : value;
      if (!items.empty()) {
        if (!first) out += ',';
        out += items;
        first = false;
      }
      at += orv::Width(def);
    }
  }
  out += "]}";
}

void ObjectWriter::Append(std::uint32_t handle, std::string& out) {
  const orv::Object* object = model_.Find(handle);
  if (object == nullptr) {
    out += "null";
    return;
  }
  using Source = Entry::Source;
  const Plan& plan = PlanOf(object->kind);
  out += '{';
  bool first = true;
  for (const Entry& planned : plan.entries) {
    const Entry* entry = &planned;
    if (entry->source == Source::kConstraint && object->constraint == nullptr) {
      entry = entry->otherwise.get();
      if (entry == nullptr) continue;
    }
    if (!first) out += ',';
    first = false;
    out += planned.key;
    switch (entry->source) {
      case Source::kHandle:
        AppendInteger(handle, out);
        break;
      case Source::kObjectId:
        AppendInteger(unsigned{object->kind}, out);
        break;
      case Source::kKind:
        out += plan.kind_text;
        break;
      case Source::kContainers: {
        out += '[';
        bool first_container = true;
        for (const orv::Membership& m : object->containers) {
          if (!first_container) out += ',';
          first_container = false;
          AppendInteger(m.container, out);
        }
        out += ']';
        break;
      }
      case Source::kSlot:
        AppendSlot(handle, *entry->slots.front(), out);
        break;
      case Source::kList:
        out += '[';
        for (std::size_t i = 0; i < entry->slots.size(); ++i) {
          if (i != 0) out += ',';
          AppendSlot(handle, *entry->slots[i], out);
        }
        out += ']';
        break;
      case Source::kConstraint:
        AppendConstraint(*object->constraint, out);
        break;
    }
  }
  out += '}';
}
