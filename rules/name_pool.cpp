// Open-addressing tables of the classifier: linear probing, kept at most half full.
#include "rules/name_pool.h"

#include <functional>

namespace {

constexpr std::size_t kFirstSlots = 1024;  // a power of two

std::size_t Mix(std::uint64_t key) {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return static_cast<std::size_t>(key);
}

std::size_t HashName(std::string_view name) { return std::hash<std::string_view>()(name); }

}  // namespace

TNamePool::TNamePool() : starts_{0}, slots_(kFirstSlots, 0) {}

std::uint32_t TNamePool::Intern(std::string_view name) {
  const auto hash = static_cast<std::uint32_t>(HashName(name));
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const std::uint64_t slot = slots_[at];
    if (slot == 0) {
      chars_.append(name);
      starts_.push_back(chars_.size());
      const auto made = static_cast<std::uint32_t>(Size());
      slots_[at] = Slot(hash, made);
      if (Size() * 2 > slots_.size()) Grow();
      return made;
    }
    // The stored hash settles almost every other name without reading its characters.
    if (static_cast<std::uint32_t>(slot >> 32) == hash && Name(static_cast<std::uint32_t>(slot)) == name) {
      return static_cast<std::uint32_t>(slot);
    }
  }
}

void TNamePool::Grow() {
  std::vector<std::uint64_t> slots(slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (const std::uint64_t slot : slots_) {
    if (slot == 0) continue;
    std::size_t at = static_cast<std::uint32_t>(slot >> 32) & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = slot;
  }
  slots_ = std::move(slots);
}

TKeySet::TKeySet() : slots_(kFirstSlots, 0) {}

bool TKeySet::Insert(std::uint64_t key) {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = Mix(key) & mask;; at = (at + 1) & mask) {
    if (slots_[at] == key) return false;
    if (slots_[at] == 0) {
      slots_[at] = key;
      if (++count_ * 2 > slots_.size()) Grow();
      return true;
    }
  }
}

void TKeySet::Grow() {
  std::vector<std::uint64_t> slots(slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::uint64_t key : slots_) {
    if (key == 0) continue;
    std::size_t at = Mix(key) & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = key;
  }
  slots_ = std::move(slots);
}
