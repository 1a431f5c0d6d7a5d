// The stand-in PCB server's containers and iterators: who is in what, in join order, and the
// per-(kind, layer) index the iterators yield from, rebuilt only for buckets that changed.
#include <algorithm>

#include "standin/orvpcb/model.h"

namespace orv {
namespace {

std::uint16_t BucketKey(std::uint8_t kind, std::uint8_t layer) {
  return static_cast<std::uint16_t>((kind << 8) | layer);
}

constexpr std::size_t kBucketKeys = std::size_t{1} << 16;

void MarkBucket(MemberList& list, std::uint16_t bucket) {
  if (list.indexed) list.stale[bucket >> 6] |= std::uint64_t{1} << (bucket & 63);
}

bool BucketStale(const MemberList& list, std::uint16_t bucket) {
  return !list.indexed || (list.stale[bucket >> 6] & (std::uint64_t{1} << (bucket & 63))) != 0;
}

}  // namespace

void MembershipList::push_back(Membership membership) {
  if (size_ == capacity_) {
    const std::uint32_t capacity = capacity_ * 2;
    auto* grown = new Membership[capacity];
    std::copy(begin(), end(), grown);
    Release();
    heap_ = grown;
    capacity_ = capacity;
  }
  Data()[size_++] = membership;
}

void MembershipList::erase(const Membership* at) {
  Membership* data = Data();
  const auto index = static_cast<std::size_t>(at - data);
  std::copy(data + index + 1, data + size_, data + index);
  --size_;
}

void MembershipList::RemoveContainer(std::uint32_t container) {
  Membership* kept_end = std::remove_if(begin(), end(), [&](const Membership& m) { return m.container == container; });
  size_ = static_cast<std::uint32_t>(kept_end - begin());
}

void Model::MarkStale(std::uint32_t container_handle, std::uint16_t bucket) {
  // A group's members are yielded by the iterators of the containers the group is in (a
  // component's primitives are board objects), so their indexes go stale with the group's.
  Object* container = Mutable(container_handle);
  if (container == nullptr) return;
  if (container->member_list) MarkBucket(*container->member_list, bucket);
  for (const Membership& outer : container->containers) {
    if (Object* parent = Mutable(outer.container); parent != nullptr && parent->member_list) {
      MarkBucket(*parent->member_list, bucket);
    }
  }
}

void Model::MarkAllStale(std::uint32_t container_handle) {
  Object* container = Mutable(container_handle);
  if (container != nullptr && container->member_list) container->member_list->indexed = false;
}

void Model::LayerChanged(const Object& object, std::uint8_t old_layer) {
  const std::uint16_t before = BucketKey(object.kind, old_layer);
  const std::uint16_t after = BucketKey(object.kind, LayerNumberOf(object));
  for (const Membership& m : object.containers) {
    MarkStale(m.container, before);
    MarkStale(m.container, after);
  }
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
  ++revision_;
  MarkStale(container_handle, BucketKey(object->kind, LayerNumberOf(*object)));
  // A group brings its own members into the container's iterators.
  if (object->member_list) MarkAllStale(container_handle);
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
  ++revision_;
  MarkStale(container_handle, BucketKey(object->kind, LayerNumberOf(*object)));
  if (object->member_list) MarkAllStale(container_handle);
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
      objects_[member].containers.RemoveContainer(handle);
    }
  }
  ++revision_;
  object.alive = false;
  object.data = nullptr;  // the record's bytes stay in the arena until the model is reset
  object.member_list.reset();
  object.constraint = nullptr;  // in the arena, like the record
  object.containers.clear();
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
  list.indexed = true;
  list.stale.assign(kBucketKeys / 64, 0);
}

std::uint32_t Model::CreateIterator(std::uint32_t container_handle, std::uint8_t kind, std::uint8_t method,
                                    std::uint8_t layer_number) {
  const std::uint32_t handle = next_iterator_++;
  Iterator* made = nullptr;
  if (spare_iterator_.empty()) {
    made = &iterators_.emplace(handle, Iterator{}).first->second;
  } else {
    spare_iterator_.key() = handle;
    spare_iterator_.mapped().items.clear();
    spare_iterator_.mapped().position = 0;
    made = &iterators_.insert(std::move(spare_iterator_)).position->second;
    spare_iterator_ = {};
  }
  Iterator& iterator = *made;
  Object* container = Mutable(container_handle);
  if (container != nullptr && container->member_list) {
    MemberList& list = *container->member_list;
    if (method == 2 || kind == 0) {
      for (std::uint32_t member : list.members) {
        if (member == 0) continue;
        if (method == 2 || LayerNumberOf(objects_[member]) == layer_number) iterator.items.push_back(member);
      }
    } else {
      const std::uint16_t key = BucketKey(kind, layer_number);
      if (BucketStale(list, key)) Reindex(container_handle, list);
      const auto bucket = list.by_kind_and_layer.find(key);
      if (bucket != list.by_kind_and_layer.end()) iterator.items.assign(bucket->second.begin(), bucket->second.end());
    }
  }
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

Model::Iterator* Model::FindIterator(std::uint32_t iterator_handle) {
  if (iterator_handle == last_iterator_ && last_iterator_state_ != nullptr) return last_iterator_state_;
  const auto it = iterators_.find(iterator_handle);
  if (it == iterators_.end()) return nullptr;
  last_iterator_ = iterator_handle;
  last_iterator_state_ = &it->second;
  return last_iterator_state_;
}

std::uint32_t Model::FirstObject(std::uint32_t iterator_handle) {
  Iterator* iterator = FindIterator(iterator_handle);
  if (iterator == nullptr) return 0;
  iterator->position = 0;
  return Yield(*iterator);
}

std::uint32_t Model::NextObject(std::uint32_t iterator_handle) {
  Iterator* iterator = FindIterator(iterator_handle);
  if (iterator == nullptr) return 0;
  if (iterator->position < iterator->items.size()) ++iterator->position;
  return Yield(*iterator);
}

bool Model::DestroyIterator(std::uint32_t iterator_handle) {
  if (iterator_handle == last_iterator_) last_iterator_state_ = nullptr;
  auto entry = iterators_.extract(iterator_handle);
  if (entry.empty()) return false;
  spare_iterator_ = std::move(entry);
  return true;
}

}  // namespace orv
