// The stand-in PCB server's board model: record storage, containers, iterators, boards.
#include "standin/orvpcb/model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/api/layer_id.h"
#include "standin/orvpcb/host_faults.h"
#include "standin/orvpcb/packed.h"

namespace orv {
namespace {

constexpr const char* kKindNames[kKindCount] = {
    "",          "Arc",       "Pad",           "Via",       "Track",         "Text",
    "Fill",      "FromTo",    "Net",           "Component", "Polygon",       "Region",
    "ComponentBody", "Dimension", "Coordinate", "ObjectClass", "Rule",       "ManualFromTo",
    "DifferentialPair", "Violation", "Embedded", "EmbeddedBoard", "SplitPlane", "",
    "",          "",          "BoardOutline",  "",          "",              "",
    "Board",     ""};




void SaveNumber(std::uint8_t* place, FieldType type, double value) {
  switch (type) {
    case FieldType::kU8:
    case FieldType::kLayerId:
      Save<std::uint8_t>(place, static_cast<std::uint8_t>(static_cast<std::int64_t>(value)));
      break;
    case FieldType::kU16:
      Save<std::uint16_t>(place, static_cast<std::uint16_t>(static_cast<std::int64_t>(value)));
      break;
    case FieldType::kI32:
    case FieldType::kU32:
      Save<std::uint32_t>(place, static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
      break;
    case FieldType::kF64:
      Save<double>(place, value);
      break;
    default:
      break;
  }
}

double LoadNumber(const std::uint8_t* place, FieldType type) {
  switch (type) {
    case FieldType::kU8:
    case FieldType::kLayerId:
      return Load<std::uint8_t>(place);
    case FieldType::kU16:
      return Load<std::uint16_t>(place);
    case FieldType::kI32:
      return Load<std::int32_t>(place);
    case FieldType::kU32:
      return Load<std::uint32_t>(place);
    case FieldType::kF64:
      return Load<double>(place);
    default:
      return 0;
  }
}

}  // namespace

std::uint32_t Width(const FieldDef& def) {
  switch (def.type) {
    case FieldType::kU8:
    case FieldType::kLayerId:
      return 1;
    case FieldType::kU16:
      return 2;
    case FieldType::kI32:
    case FieldType::kU32:
    case FieldType::kString:    // id of the string in the pool
    case FieldType::kSegments:  // id of the segment block
      return 4;
    case FieldType::kF64:
      return 8;
    case FieldType::kBytes:
      return def.size;
  }
  return 0;
}

const char* KindName(std::uint8_t kind) { return kind < kKindCount ? kKindNames[kind] : ""; }

const FieldSlot* Layout::Find(std::string_view name) const {
  const auto it = by_name.find(name);
  return it == by_name.end() ? nullptr : &slots[it->second];
}

Model::Model() : kinds_(kKindCount) {
  strings_.emplace_back();
  segments_.emplace_back();
  objects_.emplace_back();  // handle 0 is none
}

int Model::AddSchema(Schema schema, std::vector<std::uint8_t> kinds) {
  schemas_.push_back(std::move(schema));
  schema_kinds_.push_back(std::move(kinds));
  return static_cast<int>(schemas_.size()) - 1;
}

int Model::FindSchema(std::string_view function) const {
  for (std::size_t i = 0; i < schemas_.size(); ++i) {
    if (schemas_[i].function == function) return static_cast<int>(i);
  }
  return -1;
}

void Model::SetInitial(std::uint8_t kind, std::string_view field, double value) {
  if (kind < kKindCount) kinds_[kind].initial_numbers.emplace_back(std::string(field), value);
}

void Model::SetInitialText(std::uint8_t kind, std::string_view field, std::string text) {
  if (kind < kKindCount) kinds_[kind].initial_texts.emplace_back(std::string(field), std::move(text));
}

Model::KindInfo& Model::BuildLayout(std::uint8_t kind) {
  KindInfo& info = kinds_[kind];
  info.finalised = true;
  Layout& layout = info.layout;
  for (std::size_t s = 0; s < schemas_.size(); ++s) {
    const Schema& schema = schemas_[s];
    if (schema.constraint) continue;
    const auto& kinds = schema_kinds_[s];
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) continue;
    for (const FieldDef& def : schema.fields) {
      if (layout.by_name.count(def.name) != 0) continue;
      FieldSlot slot;
      slot.def = def;
      slot.instances = schema.instances;
      slot.stride = Width(def);
      slot.offset = layout.size;
      layout.size += slot.stride * slot.instances;
      layout.by_name.emplace(def.name, layout.slots.size());
      layout.slots.push_back(std::move(slot));
    }
  }
  for (auto& [name, value] : info.initial_numbers) {
    const auto it = layout.by_name.find(name);
    if (it != layout.by_name.end()) layout.slots[it->second].def.initial = value;
  }
  for (auto& [name, text] : info.initial_texts) {
    const auto it = layout.by_name.find(name);
    if (it != layout.by_name.end()) layout.slots[it->second].def.initial_text = text;
  }
  info.initial_text_ids.assign(layout.slots.size(), 0);
  // A new object's record: the numbers that do not start at zero written once here and copied;
  // texts and outlines are made per object.
  std::vector<std::uint8_t> initial(layout.size, 0);
  bool any_number = false;
  for (std::size_t s = 0; s < layout.slots.size(); ++s) {
    const FieldSlot& slot = layout.slots[s];
    if (slot.def.type == FieldType::kSegments || (slot.def.type == FieldType::kString && !slot.def.initial_text.empty())) {
      info.text_and_outline_slots.push_back(s);
      continue;
    }
    if (slot.def.type == FieldType::kString || slot.def.type == FieldType::kBytes) continue;
    if (slot.def.initial == 0 && !std::signbit(slot.def.initial)) continue;  // the arena's zero bytes
    for (std::uint32_t i = 0; i < slot.instances; ++i) {
      SaveNumber(initial.data() + slot.offset + i * slot.stride, slot.def.type, slot.def.initial);
    }
    any_number = true;
  }
  if (any_number) info.initial_record = std::move(initial);
  const auto layer = layout.by_name.find("Layer");
  if (layer != layout.by_name.end()) info.layer_offset = static_cast<int>(layout.slots[layer->second].offset);
  const auto count = layout.by_name.find("PointCount");
  if (count != layout.by_name.end()) info.point_count_slot = static_cast<int>(count->second);
  return info;
}

const Layout& Model::LayoutOf(std::uint8_t kind) {
  static const Layout kEmpty;
  return kind < kKindCount ? Finalise(kind).layout : kEmpty;
}

const Model::FieldOps& Model::BuildOps(int schema_id, std::uint8_t kind) {
  const std::size_t key = static_cast<std::size_t>(schema_id) * kKindCount + kind;
  if (key >= field_ops_.size()) field_ops_.resize(schemas_.size() * kKindCount);
  FieldOps& entry = field_ops_[key];
  const Layout& layout = Finalise(kind).layout;
  const std::vector<FieldDef>& fields = schemas_[static_cast<std::size_t>(schema_id)].fields;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const auto found = layout.by_name.find(fields[f].name);
    if (found == layout.by_name.end()) continue;
    const FieldSlot& slot = layout.slots[found->second];
    entry.ops.push_back({slot.offset, slot.stride, static_cast<std::uint16_t>(f), slot.def.size, slot.def.type});
  }
  const auto rank = [](FieldType type) { return type == FieldType::kSegments ? 1 : 0; };
  std::stable_sort(entry.ops.begin(), entry.ops.end(), [&](const FieldOp& a, const FieldOp& b) {
    return std::pair(rank(a.type), a.type) < std::pair(rank(b.type), b.type);
  });
  for (std::size_t i = 0; i < entry.ops.size();) {
    std::size_t end = i;
    while (end < entry.ops.size() && entry.ops[end].type == entry.ops[i].type) ++end;
    entry.runs.push_back({entry.ops[i].type, static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(end)});
    i = end;
  }
  entry.ready = true;
  return entry;
}

std::uint32_t Model::NewString(std::string_view text) {
  if (text.empty()) return 0;
  Text& entry = strings_.emplace_back();
  entry.capacity = static_cast<std::uint32_t>((text.size() + 7) & ~std::size_t{7});
  entry.chars = reinterpret_cast<char*>(texts_.Allocate(entry.capacity));
  entry.size = static_cast<std::uint32_t>(text.size());
  std::memcpy(entry.chars, text.data(), text.size());
  return static_cast<std::uint32_t>(strings_.size() - 1);
}

std::uint32_t Model::NewSharedString(std::string_view text) {
  const std::uint32_t id = NewString(text);
  if (id != 0) strings_[id].capacity = 0;  // no room of its own: a write makes the object a copy
  return id;
}

void Model::StoreString(std::uint8_t* place, std::string_view text) {
  const std::uint32_t id = Load<std::uint32_t>(place);
  Text* const entry = id == 0 ? nullptr : &strings_[id];
  if (entry == nullptr || entry->capacity == 0) {  // no text yet, or a shared one: the object's own
    Save<std::uint32_t>(place, NewString(text));
    return;
  }
  if (text.size() > entry->capacity) {
    // A longer text gets new room; the old characters stay unused until the model is reset.
    entry->capacity = static_cast<std::uint32_t>((text.size() + 7) & ~std::size_t{7});
    entry->chars = reinterpret_cast<char*>(texts_.Allocate(entry->capacity));
  }
  if (!text.empty()) std::memmove(entry->chars, text.data(), text.size());
  entry->size = static_cast<std::uint32_t>(text.size());
}

std::uint32_t Model::Create(std::uint8_t kind) {
  if (kind >= kKindCount) return 0;
  KindInfo& info = Finalise(kind);
  ++revision_;
  const auto handle = static_cast<std::uint32_t>(objects_.size());
  Object& object = objects_.emplace_back();
  object.kind = kind;
  object.alive = true;
  object.data = records_.Allocate(info.layout.size);
  if (!info.initial_record.empty()) std::memcpy(object.data, info.initial_record.data(), info.initial_record.size());
  for (const std::size_t s : info.text_and_outline_slots) {
    const FieldSlot& slot = info.layout.slots[s];
    for (std::uint32_t i = 0; i < slot.instances; ++i) {
      std::uint8_t* place = object.data + slot.offset + i * slot.stride;
      if (slot.def.type == FieldType::kString) {
        // Every new object of the kind starts with the same text (a rule's scopes are "All"):
        // one shared string, until an object writes its own.
        std::uint32_t& shared = info.initial_text_ids[s];
        if (shared == 0) shared = NewSharedString(slot.def.initial_text);
        Save<std::uint32_t>(place, shared);
      } else {
        segments_.emplace_back();
        Save<std::uint32_t>(place, static_cast<std::uint32_t>(segments_.size() - 1));
      }
    }
  }
  return handle;
}

std::uint8_t Model::LayerNumberOf(const Object& object) const {
  const int offset = kinds_[object.kind].layer_offset;
  return offset < 0 ? 0 : object.data[offset];
}

template <std::size_t kWidth>
void Model::CopyFields(const FieldOp* first, const FieldOp* last, std::uint8_t* data, std::size_t instance,
                       void* const* pointers, bool load) {
  for (const FieldOp* op = first; op < last; ++op) {
    auto* outside = static_cast<std::uint8_t*>(pointers[op->field]);
    if (outside == nullptr) continue;
    std::uint8_t* place = data + op->offset + instance * op->stride;
    if (load) {
      std::memcpy(outside, place, kWidth);
    } else {
      std::memcpy(place, outside, kWidth);
    }
  }
}

void Model::ExchangeField(const KindInfo& info, const Object& object, const FieldOp& op, std::uint8_t* place,
                          std::uint8_t* outside, bool load) {
  switch (op.type) {
    case FieldType::kBytes:
      if (load) {
        std::memcpy(outside, place, op.size);
      } else {
        std::memcpy(place, outside, op.size);
      }
      break;
    case FieldType::kLayerId:
      if (load) {
        Save<std::uint32_t>(outside, layer_id::FromNumber(*place));
      } else {
        *place = layer_id::ToNumber(Load<std::uint32_t>(outside));
      }
      break;
    case FieldType::kString:
      if (load) {
        const std::string_view text = StringAt(Load<std::uint32_t>(place));
        const std::size_t n = std::min<std::size_t>(text.size(), op.size);
        outside[0] = static_cast<std::uint8_t>(n);
        if (n != 0) std::memcpy(outside + 1, text.data(), n);
      } else {
        const std::size_t n = std::min<std::size_t>(outside[0], op.size);
        StoreString(place, std::string_view(reinterpret_cast<const char*>(outside + 1), n));
      }
      break;
    case FieldType::kSegments: {
      Outline& outline = segments_[Load<std::uint32_t>(place)];
      if (load) {
        if (outline.size != 0) std::memcpy(outside, outline.bytes, outline.size);
      } else {
        std::int64_t count = 0;
        if (info.point_count_slot >= 0) {
          const FieldSlot& count_slot = info.layout.slots[static_cast<std::size_t>(info.point_count_slot)];
          count = static_cast<std::int64_t>(LoadNumber(object.data + count_slot.offset, count_slot.def.type));
        }
        // Entries 0 to PointCount are meaningful; a count outside the array keeps what fits.
        const std::size_t entries = static_cast<std::size_t>(std::clamp<std::int64_t>(count + 1, 0, kMaxSegments));
        const auto size = static_cast<std::uint32_t>(entries * kSegmentBytes);
        if (size > outline.capacity) {
          // Room for twice as much, so that an outline stored again and again as it grows costs
          // a few times its final size at most, not the sum of every size it passed through.
          outline.capacity = std::max<std::uint32_t>(size, std::min<std::uint32_t>(
                                                               outline.capacity * 2, kMaxSegments * kSegmentBytes));
          outline.bytes = records_.Allocate(outline.capacity);
        }
        if (size != 0) std::memcpy(outline.bytes, outside, size);
        outline.size = size;
      }
      break;
    }
    default:  // numbers are copied by the caller
      break;
  }
}

std::int32_t Model::Exchange(int schema_id, std::uint8_t dir, std::uint32_t handle, std::uint32_t index,
                             void* const* pointers) {
  if (schema_id < 0 || schema_id >= SchemaCount()) return 0;
  const Schema& schema = schemas_[static_cast<std::size_t>(schema_id)];
  Object* object = Mutable(handle);
  if (object == nullptr) return 0;
  if (Faults().Fails(dir != 0 ? HostCall::kLoad : HostCall::kStore, schema.function.c_str(), handle)) {
    return RefusedExchange(schema, dir, handle, index);
  }
  if (schema.constraint) return ExchangeConstraint(schema_id, dir, handle, *object, pointers);
  std::uint32_t instance = 0;
  if (schema.instances > 1) {
    if (index < 1 || index > schema.instances) return 0;
    instance = index - 1;
  }
  const KindInfo& info = kinds_[object->kind];  // finalised when the object was made
  const FieldOps& entry = OpsFor(schema_id, object->kind);
  const bool load = dir != 0;
  const std::uint8_t old_layer = load ? 0 : LayerNumberOf(*object);
  std::uint8_t* const data = object->data;
  for (const FieldOps::Run& run : entry.runs) {
    const FieldOp* const first = entry.ops.data() + run.begin;
    const FieldOp* const last = entry.ops.data() + run.end;
    switch (run.type) {
      case FieldType::kU8:
        CopyFields<1>(first, last, data, instance, pointers, load);
        break;
      case FieldType::kU16:
        CopyFields<2>(first, last, data, instance, pointers, load);
        break;
      case FieldType::kI32:
      case FieldType::kU32:
        CopyFields<4>(first, last, data, instance, pointers, load);
        break;
      case FieldType::kF64:
        CopyFields<8>(first, last, data, instance, pointers, load);
        break;
      default:
        for (const FieldOp* op = first; op < last; ++op) {
          auto* outside = static_cast<std::uint8_t*>(pointers[op->field]);
          if (outside == nullptr) continue;
          ExchangeField(info, *object, *op, data + op->offset + instance * op->stride, outside, load);
        }
        break;
    }
  }
  if (!load) {
    ++revision_;
    if (LayerNumberOf(*object) != old_layer) LayerChanged(*object, old_layer);
  }
  if (Tracing()) {
    std::string line = schema.function + "(" + std::to_string(dir) + ", " + std::to_string(handle);
    if (schema.instances > 1) line += ", " + std::to_string(index);
    TraceLine(line + ") -> 0");
  }
  return 0;
}

// A load or store made to fail: the host's answer is 1 and nothing is copied either way.
std::int32_t Model::RefusedExchange(const Schema& schema, std::uint8_t dir, std::uint32_t handle, std::uint32_t index) {
  if (Tracing()) {
    std::string line = schema.function + "(" + std::to_string(dir) + ", " + std::to_string(handle);
    if (schema.instances > 1) line += ", " + std::to_string(index);
    TraceLine(line + ") -> 1");
  }
  return 1;
}

std::int32_t Model::ExchangeConstraint(int schema_id, std::uint8_t dir, std::uint32_t handle, Object& object,
                                       void* const* pointers) {
  const Schema& schema = schemas_[static_cast<std::size_t>(schema_id)];
  if (object.constraint == nullptr) {
    object.constraint = new (records_.Allocate(sizeof(ConstraintRecord))) ConstraintRecord();
  }
  ConstraintRecord& record = *object.constraint;
  ConstraintRecord::Values* values = nullptr;
  for (std::uint32_t i = 0; i < record.count; ++i) {
    if (record.entries[i].schema_id == schema_id) values = &record.entries[i];
  }
  if (values == nullptr) {
    if (record.count == record.capacity) {
      const std::uint32_t capacity = std::max<std::uint32_t>(2, record.capacity * 2);
      auto* entries = reinterpret_cast<ConstraintRecord::Values*>(
          records_.Allocate(capacity * sizeof(ConstraintRecord::Values)));
      std::copy(record.entries, record.entries + record.count, entries);
      record.entries = entries;
      record.capacity = capacity;
    }
    // The rule's values as the host's defaults give them.
    std::size_t size = 0;
    for (const FieldDef& def : schema.fields) size += Width(def);
    values = &record.entries[record.count++];
    *values = {schema_id, static_cast<std::uint32_t>(size), records_.Allocate(size)};
    std::size_t at = 0;
    for (const FieldDef& def : schema.fields) {
      if (def.type != FieldType::kBytes) SaveNumber(values->packed + at, def.type, def.initial);
      at += Width(def);
    }
  }
  std::uint8_t* const packed = values->packed;
  std::size_t at = 0;
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
    const std::uint32_t width = Width(schema.fields[f]);
    if (pointers[f] != nullptr) {
      if (dir != 0) {
        std::memcpy(pointers[f], packed + at, width);
      } else {
        std::memcpy(packed + at, pointers[f], width);
      }
    }
    at += width;
  }
  if (dir == 0) {
    object.constraint->last_written = schema_id;
    ++revision_;
  }
  if (Tracing()) {
    TraceLine(schema.function + "(" + std::to_string(dir) + ", " + std::to_string(handle) + ") -> 0");
  }
  return 0;
}

const ConstraintRecord* Model::ConstraintOf(std::uint32_t handle) const {
  const Object* object = Find(handle);
  return object == nullptr ? nullptr : object->constraint;
}

const std::uint8_t* Model::FieldData(std::uint32_t handle, const FieldSlot& slot, std::uint32_t instance) const {
  const Object* object = Find(handle);
  if (object == nullptr || instance < 1 || instance > slot.instances) return nullptr;
  return object->data + slot.offset + (instance - 1) * slot.stride;
}

double Model::GetNumber(std::uint32_t handle, std::string_view field, std::uint32_t instance) const {
  const Object* object = Find(handle);
  if (object == nullptr) return 0;
  const FieldSlot* slot = kinds_[object->kind].layout.Find(field);
  if (slot == nullptr) return 0;
  const std::uint8_t* place = FieldData(handle, *slot, instance);
  return place == nullptr ? 0 : LoadNumber(place, slot->def.type);
}

std::string Model::GetText(std::uint32_t handle, std::string_view field, std::uint32_t instance) const {
  const Object* object = Find(handle);
  if (object == nullptr) return {};
  const FieldSlot* slot = kinds_[object->kind].layout.Find(field);
  if (slot == nullptr || slot->def.type != FieldType::kString) return {};
  const std::uint8_t* place = FieldData(handle, *slot, instance);
  return place == nullptr ? std::string() : std::string(StringAt(Load<std::uint32_t>(place)));
}

void Model::SetNumber(std::uint32_t handle, std::string_view field, double value, std::uint32_t instance) {
  Object* object = Mutable(handle);
  if (object == nullptr) return;
  const FieldSlot* slot = Finalise(object->kind).layout.Find(field);
  if (slot == nullptr || instance < 1 || instance > slot->instances) return;
  const std::uint8_t old_layer = LayerNumberOf(*object);
  SaveNumber(object->data + slot->offset + (instance - 1) * slot->stride, slot->def.type, value);
  ++revision_;
  if (LayerNumberOf(*object) != old_layer) LayerChanged(*object, old_layer);
}

void Model::SetText(std::uint32_t handle, std::string_view field, std::string_view text, std::uint32_t instance) {
  Object* object = Mutable(handle);
  if (object == nullptr) return;
  const FieldSlot* slot = Finalise(object->kind).layout.Find(field);
  if (slot == nullptr || slot->def.type != FieldType::kString || instance < 1 || instance > slot->instances) return;
  StoreString(object->data + slot->offset + (instance - 1) * slot->stride, text.substr(0, slot->def.size));
  ++revision_;
}

// ---- boards

std::uint32_t Model::OpenBoard(std::string_view full_file_name) {
  const std::uint32_t board = Create(kBoardKind);
  boards_.emplace_back(std::string(full_file_name), board);
  for (auto& initialise : board_initialisers) initialise(*this, board);
  return board;
}

std::uint32_t Model::BoardByFileName(std::string_view full_file_name) const {
  for (const auto& [name, handle] : boards_) {
    if (name == full_file_name && Alive(handle)) return handle;
  }
  return 0;
}

std::string Model::BoardFileName(std::uint32_t board) const {
  for (const auto& [name, handle] : boards_) {
    if (handle == board) return name;
  }
  return {};
}

void Model::Reset() {
  ++revision_;
  // The storage blocks stay for the next board: a process that imports file after file (the
  // fuzz target) would otherwise map, fault in and unmap them again for every file.
  objects_.Empty();
  objects_.emplace_back();  // handle 0 is none
  records_.Empty();
  strings_.Empty();
  strings_.emplace_back();
  texts_.Empty();
  for (KindInfo& info : kinds_) std::fill(info.initial_text_ids.begin(), info.initial_text_ids.end(), 0);
  segments_.clear();
  segments_.emplace_back();
  iterators_.clear();
  last_iterator_state_ = nullptr;
  boards_.clear();
  progress = ProgressRecord{};
  commands.clear();
}

void Model::TraceLine(std::string_view line) {
  if (trace_ == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), trace_);
  std::fputc('\n', trace_);
}

Model& Server() {
  static Model& model = [] () -> Model& {
    static Model instance;
    RegisterSchemas(instance);
    return instance;
  }();
  return model;
}

}  // namespace orv
