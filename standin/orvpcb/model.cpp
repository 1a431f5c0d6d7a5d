// The stand-in PCB server's board model: record storage, containers, iterators, boards.
#include "standin/orvpcb/model.h"

#include <algorithm>
#include <cstring>

#include "host/api/layer_id.h"

namespace orv {
namespace {

constexpr const char* kKindNames[kKindCount] = {
    "",          "Arc",       "Pad",           "Via",       "Track",         "Text",
    "Fill",      "FromTo",    "Net",           "Component", "Polygon",       "Region",
    "ComponentBody", "Dimension", "Coordinate", "ObjectClass", "Rule",       "ManualFromTo",
    "DifferentialPair", "Violation", "Embedded", "EmbeddedBoard", "SplitPlane", "",
    "",          "",          "BoardOutline",  "",          "",              "",
    "Board",     ""};

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

template <typename T>
T Load(const std::uint8_t* place) {
  T value;
  std::memcpy(&value, place, sizeof value);
  return value;
}

template <typename T>
void Save(std::uint8_t* place, T value) {
  std::memcpy(place, &value, sizeof value);
}

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

std::uint16_t BucketKey(std::uint8_t kind, std::uint8_t layer) {
  return static_cast<std::uint16_t>((kind << 8) | layer);
}

}  // namespace

const char* KindName(std::uint8_t kind) { return kind < kKindCount ? kKindNames[kind] : ""; }

const FieldSlot* Layout::Find(std::string_view name) const {
  const auto it = by_name.find(std::string(name));
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

Model::KindInfo& Model::Finalise(std::uint8_t kind) {
  KindInfo& info = kinds_[kind];
  if (info.finalised) return info;
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
  const auto layer = layout.by_name.find("Layer");
  if (layer != layout.by_name.end()) info.layer_slot = static_cast<int>(layer->second);
  const auto count = layout.by_name.find("PointCount");
  if (count != layout.by_name.end()) info.point_count_slot = static_cast<int>(count->second);
  return info;
}

const Layout& Model::LayoutOf(std::uint8_t kind) {
  static const Layout kEmpty;
  return kind < kKindCount ? Finalise(kind).layout : kEmpty;
}

const std::vector<int>& Model::SlotsFor(int schema_id, std::uint8_t kind) {
  const std::uint32_t key = static_cast<std::uint32_t>(schema_id) * 256u + kind;
  auto it = slots_for_.find(key);
  if (it != slots_for_.end()) return it->second;
  const Layout& layout = Finalise(kind).layout;
  std::vector<int> slots;
  for (const FieldDef& def : schemas_[static_cast<std::size_t>(schema_id)].fields) {
    const auto found = layout.by_name.find(def.name);
    slots.push_back(found == layout.by_name.end() ? -1 : static_cast<int>(found->second));
  }
  return slots_for_.emplace(key, std::move(slots)).first->second;
}

std::uint32_t Model::NewString(std::string_view text) {
  if (text.empty()) return 0;
  strings_.emplace_back(text);
  return static_cast<std::uint32_t>(strings_.size() - 1);
}

void Model::StoreString(std::uint8_t* place, std::string_view text) {
  const std::uint32_t id = Load<std::uint32_t>(place);
  if (id != 0) {
    strings_[id].assign(text);
  } else {
    Save<std::uint32_t>(place, NewString(text));
  }
}

std::uint32_t Model::Create(std::uint8_t kind) {
  if (kind >= kKindCount) return 0;
  const KindInfo& info = Finalise(kind);
  Object object;
  object.kind = kind;
  object.alive = true;
  object.data = std::make_unique<std::uint8_t[]>(std::max<std::uint32_t>(info.layout.size, 1));
  for (const FieldSlot& slot : info.layout.slots) {
    for (std::uint32_t i = 0; i < slot.instances; ++i) {
      std::uint8_t* place = object.data.get() + slot.offset + i * slot.stride;
      if (slot.def.type == FieldType::kString) {
        Save<std::uint32_t>(place, NewString(slot.def.initial_text));
      } else if (slot.def.type == FieldType::kSegments) {
        segments_.emplace_back();
        Save<std::uint32_t>(place, static_cast<std::uint32_t>(segments_.size() - 1));
      } else if (slot.def.type != FieldType::kBytes) {
        SaveNumber(place, slot.def.type, slot.def.initial);
      }
    }
  }
  objects_.push_back(std::move(object));
  return static_cast<std::uint32_t>(objects_.size() - 1);
}

Object* Model::Mutable(std::uint32_t handle) {
  if (handle == 0 || handle >= objects_.size() || !objects_[handle].alive) return nullptr;
  return &objects_[handle];
}

const Object* Model::Find(std::uint32_t handle) const {
  if (handle == 0 || handle >= objects_.size() || !objects_[handle].alive) return nullptr;
  return &objects_[handle];
}

bool Model::Alive(std::uint32_t handle) const { return Find(handle) != nullptr; }

std::uint8_t Model::KindOf(std::uint32_t handle) const {
  const Object* object = Find(handle);
  return object == nullptr ? 0 : object->kind;
}

std::uint8_t Model::LayerNumberOf(const Object& object) const {
  const KindInfo& info = kinds_[object.kind];
  if (info.layer_slot < 0) return 0;
  return object.data[info.layout.slots[static_cast<std::size_t>(info.layer_slot)].offset];
}

std::int32_t Model::Exchange(int schema_id, std::uint8_t dir, std::uint32_t handle, std::uint32_t index,
                             void* const* pointers) {
  if (schema_id < 0 || schema_id >= SchemaCount()) return 0;
  const Schema& schema = schemas_[static_cast<std::size_t>(schema_id)];
  Object* object = Mutable(handle);
  if (object == nullptr) return 0;
  if (schema.constraint) return ExchangeConstraint(schema_id, dir, *object, pointers);
  std::uint32_t instance = 0;
  if (schema.instances > 1) {
    if (index < 1 || index > schema.instances) return 0;
    instance = index - 1;
  }
  KindInfo& info = Finalise(object->kind);
  const std::vector<int>& slots = SlotsFor(schema_id, object->kind);
  const std::uint8_t old_layer = LayerNumberOf(*object);
  const bool load = dir != 0;
  for (std::size_t f = 0; f < slots.size(); ++f) {
    if (slots[f] < 0 || pointers[f] == nullptr) continue;
    const FieldSlot& slot = info.layout.slots[static_cast<std::size_t>(slots[f])];
    std::uint8_t* place = object->data.get() + slot.offset + instance * slot.stride;
    auto* outside = static_cast<std::uint8_t*>(pointers[f]);
    switch (slot.def.type) {
      case FieldType::kLayerId:
        if (load) {
          Save<std::uint32_t>(outside, layer_id::FromNumber(*place));
        } else {
          *place = layer_id::ToNumber(Load<std::uint32_t>(outside));
        }
        break;
      case FieldType::kString:
        if (load) {
          const std::string& text = strings_[Load<std::uint32_t>(place)];
          const std::size_t n = std::min<std::size_t>(text.size(), slot.def.size);
          outside[0] = static_cast<std::uint8_t>(n);
          std::memcpy(outside + 1, text.data(), n);
        } else {
          const std::size_t n = std::min<std::size_t>(outside[0], slot.def.size);
          StoreString(place, std::string_view(reinterpret_cast<const char*>(outside + 1), n));
        }
        break;
      case FieldType::kSegments: {
        std::vector<std::uint8_t>& block = segments_[Load<std::uint32_t>(place)];
        if (load) {
          if (!block.empty()) std::memcpy(outside, block.data(), block.size());
        } else {
          std::int64_t count = 0;
          if (info.point_count_slot >= 0) {
            const FieldSlot& count_slot = info.layout.slots[static_cast<std::size_t>(info.point_count_slot)];
            count = static_cast<std::int64_t>(LoadNumber(object->data.get() + count_slot.offset, count_slot.def.type));
          }
          // Entries 0 to PointCount are meaningful; a count outside the array keeps what fits.
          const std::size_t entries = static_cast<std::size_t>(std::clamp<std::int64_t>(count + 1, 0, kMaxSegments));
          block.assign(outside, outside + entries * kSegmentBytes);
        }
        break;
      }
      default:
        if (load) {
          std::memcpy(outside, place, slot.stride);
        } else {
          std::memcpy(place, outside, slot.stride);
        }
        break;
    }
  }
  if (!load && LayerNumberOf(*object) != old_layer) LayerChanged(*object);
  if (Tracing()) {
    std::string line = schema.function + "(" + std::to_string(dir) + ", " + std::to_string(handle);
    if (schema.instances > 1) line += ", " + std::to_string(index);
    TraceLine(line + ") -> 0");
  }
  return 0;
}

std::int32_t Model::ExchangeConstraint(int schema_id, std::uint8_t dir, Object& object, void* const* pointers) {
  const Schema& schema = schemas_[static_cast<std::size_t>(schema_id)];
  if (!object.constraint) object.constraint = std::make_unique<ConstraintRecord>();
  std::vector<std::uint8_t>& packed = object.constraint->values[schema_id];
  if (packed.empty()) {  // the rule's values as the host's defaults give them
    for (const FieldDef& def : schema.fields) {
      const std::size_t at = packed.size();
      packed.resize(at + Width(def));
      if (def.type != FieldType::kBytes) SaveNumber(packed.data() + at, def.type, def.initial);
    }
  }
  std::size_t at = 0;
  for (std::size_t f = 0; f < schema.fields.size(); ++f) {
    const std::uint32_t width = Width(schema.fields[f]);
    if (pointers[f] != nullptr) {
      if (dir != 0) {
        std::memcpy(pointers[f], packed.data() + at, width);
      } else {
        std::memcpy(packed.data() + at, pointers[f], width);
      }
    }
    at += width;
  }
  if (dir == 0) object.constraint->last_written = schema_id;
  if (Tracing()) {
    TraceLine(schema.function + "(" + std::to_string(dir) + ", " + std::to_string(&object - objects_.data()) +
              ") -> 0");
  }
  return 0;
}

const ConstraintRecord* Model::ConstraintOf(std::uint32_t handle) const {
  const Object* object = Find(handle);
  return object == nullptr ? nullptr : object->constraint.get();
}

const std::uint8_t* Model::FieldData(std::uint32_t handle, const FieldSlot& slot, std::uint32_t instance) const {
  const Object* object = Find(handle);
  if (object == nullptr || instance < 1 || instance > slot.instances) return nullptr;
  return object->data.get() + slot.offset + (instance - 1) * slot.stride;
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
  return place == nullptr ? std::string() : strings_[Load<std::uint32_t>(place)];
}

void Model::SetNumber(std::uint32_t handle, std::string_view field, double value, std::uint32_t instance) {
  Object* object = Mutable(handle);
  if (object == nullptr) return;
  const FieldSlot* slot = Finalise(object->kind).layout.Find(field);
  if (slot == nullptr || instance < 1 || instance > slot->instances) return;
  const std::uint8_t old_layer = LayerNumberOf(*object);
  SaveNumber(object->data.get() + slot->offset + (instance - 1) * slot->stride, slot->def.type, value);
  if (LayerNumberOf(*object) != old_layer) LayerChanged(*object);
}

void Model::SetText(std::uint32_t handle, std::string_view field, std::string_view text, std::uint32_t instance) {
  Object* object = Mutable(handle);
  if (object == nullptr) return;
  const FieldSlot* slot = Finalise(object->kind).layout.Find(field);
  if (slot == nullptr || slot->def.type != FieldType::kString || instance < 1 || instance > slot->instances) return;
  StoreString(object->data.get() + slot->offset + (instance - 1) * slot->stride, text.substr(0, slot->def.size));
}

// ---- containers

void Model::Touch(std::uint32_t container_handle) {
  // A group's members are yielded by the iterators of the containers the group is in (a
  // component's primitives are board objects), so their indexes go stale with the group's.
  Object* container = Mutable(container_handle);
  if (container == nullptr) return;
  if (container->member_list) ++container->member_list->version;
  for (const Membership& outer : container->containers) {
    if (Object* parent = Mutable(outer.container); parent != nullptr && parent->member_list) {
      ++parent->member_list->version;
    }
  }
}

void Model::LayerChanged(Object& object) {
  for (const Membership& m : object.containers) Touch(m.container);
}

bool Model::AddToContainer(std::uint32_t container_handle, std::uint32_t object_handle) {
  Object* container = Mutable(container_handle);
  Object* object = Mutable(object_handle);
  if (container == nullptr || object == nullptr || container_handle == object_handle) return false;
  for (const Membership& m : object->containers) {
    if (m.container == container_handle) return true;
  }
  if (!container->member_list) container->member_list = std::make_unique<MemberList>();
  MemberList& list = *container->member_list;
  object->containers.push_back({container_handle, static_cast<std::uint32_t>(list.members.size())});
  list.members.push_back(object_handle);
  ++list.live;
  Touch(container_handle);
  return true;
}

bool Model::DeleteFromContainer(std::uint32_t container_handle, std::uint32_t object_handle) {
  Object* container = Mutable(container_handle);
  Object* object = Mutable(object_handle);
  if (container == nullptr || object == nullptr || !container->member_list) return false;
  auto it = std::find_if(object->containers.begin(), object->containers.end(),
                         [&](const Membership& m) { return m.container == container_handle; });
  if (it == object->containers.end()) return false;
  MemberList& list = *container->member_list;
  list.members[it->position] = 0;
  --list.live;
  Touch(container_handle);
  object->containers.erase(it);
  // Compact once most of the list is holes, so that removing many members stays linear.
  if (list.members.size() > 64 && list.live * 2 < list.members.size()) {
    std::vector<std::uint32_t> kept;
    kept.reserve(list.live);
    for (std::uint32_t member : list.members) {
      if (member == 0) continue;
      for (Membership& m : objects_[member].containers) {
        if (m.container == container_handle) m.position = static_cast<std::uint32_t>(kept.size());
      }
      kept.push_back(member);
    }
    list.members = std::move(kept);
  }
  if (object->containers.empty()) Destroy(object_handle);
  return true;
}

void Model::Destroy(std::uint32_t handle) {
  Object& object = objects_[handle];
  if (object.member_list) {
    for (std::uint32_t member : object.member_list->members) {
      if (member == 0 || !objects_[member].alive) continue;
      auto& memberships = objects_[member].containers;
      memberships.erase(std::remove_if(memberships.begin(), memberships.end(),
                                       [&](const Membership& m) { return m.container == handle; }),
                        memberships.end());
    }
  }
  object.alive = false;
  object.data.reset();
  object.member_list.reset();
  object.constraint.reset();
  object.containers.clear();
  object.containers.shrink_to_fit();
}

std::vector<std::uint32_t> Model::Members(std::uint32_t container) const {
  std::vector<std::uint32_t> result;
  const Object* object = Find(container);
  if (object == nullptr || !object->member_list) return result;
  for (std::uint32_t member : object->member_list->members) {
    if (member != 0) result.push_back(member);
  }
  return result;
}

void Model::Reindex(std::uint32_t container_handle, MemberList& list) {
  list.by_kind_and_layer.clear();
  for (std::uint32_t member : list.members) {
    if (member == 0) continue;
    const Object& object = objects_[member];
    list.by_kind_and_layer[BucketKey(object.kind, LayerNumberOf(object))].push_back(member);
    // The primitives of a group in this container (a component on the board) are yielded too,
    // right after their group, unless they are direct members themselves.
    if (!object.member_list) continue;
    for (std::uint32_t inner : object.member_list->members) {
      if (inner == 0) continue;
      const Object& nested = objects_[inner];
      const bool direct = std::any_of(nested.containers.begin(), nested.containers.end(),
                                      [&](const Membership& m) { return m.container == container_handle; });
      if (!direct) list.by_kind_and_layer[BucketKey(nested.kind, LayerNumberOf(nested))].push_back(inner);
    }
  }
  list.indexed_version = list.version;
}

std::uint32_t Model::CreateIterator(std::uint32_t container_handle, std::uint8_t kind, std::uint8_t method,
                                    std::uint8_t layer_number) {
  Iterator iterator;
  Object* container = Mutable(container_handle);
  if (container != nullptr && container->member_list) {
    MemberList& list = *container->member_list;
    if (method == 2 || kind == 0) {
      for (std::uint32_t member : list.members) {
        if (member == 0) continue;
        if (method == 2 || LayerNumberOf(objects_[member]) == layer_number) iterator.items.push_back(member);
      }
    } else {
      if (list.indexed_version != list.version) Reindex(container_handle, list);
      const auto bucket = list.by_kind_and_layer.find(BucketKey(kind, layer_number));
      if (bucket != list.by_kind_and_layer.end()) iterator.items = bucket->second;
    }
  }
  const std::uint32_t handle = next_iterator_++;
  iterators_.emplace(handle, std::move(iterator));
  return handle;
}

std::uint32_t Model::Yield(Iterator& iterator) {
  while (iterator.position < iterator.items.size()) {
    const std::uint32_t handle = iterator.items[iterator.position];
    if (Alive(handle)) return handle;
    ++iterator.position;
  }
  return 0;
}

std::uint32_t Model::FirstObject(std::uint32_t iterator_handle) {
  const auto it = iterators_.find(iterator_handle);
  if (it == iterators_.end()) return 0;
  it->second.position = 0;
  return Yield(it->second);
}

std::uint32_t Model::NextObject(std::uint32_t iterator_handle) {
  const auto it = iterators_.find(iterator_handle);
  if (it == iterators_.end()) return 0;
  if (it->second.position < it->second.items.size()) ++it->second.position;
  return Yield(it->second);
}

bool Model::DestroyIterator(std::uint32_t iterator_handle) { return iterators_.erase(iterator_handle) != 0; }

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
  objects_.clear();
  objects_.emplace_back();  // handle 0 is none
  strings_.clear();
  strings_.emplace_back();
  segments_.clear();
  segments_.emplace_back();
  iterators_.clear();
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
