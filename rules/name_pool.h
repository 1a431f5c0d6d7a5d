// Compact sets for the classifier, which holds a name per pad and per net for each of its
// families (hundreds of thousands on a large board):
//   TNamePool: every distinct name once, under a dense number 1, 2, 3 ...
//   TKeySet:   a set of non-zero 64-bit keys (family, group and name number packed together).
// Both are open-addressing tables in flat arrays: no allocation per name, constant time per
// lookup, and a few bytes per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TNamePool {
 public:
  TNamePool();
  // The name's number, given on its first sight.
  std::uint32_t Intern(std::string_view name);
  [[nodiscard]] std::string_view Name(std::uint32_t id) const {
    return std::string_view(chars_).substr(starts_[id - 1], starts_[id] - starts_[id - 1]);
  }
  [[nodiscard]] std::size_t Size() const { return starts_.size() - 1; }

 private:
  void Grow();
  static std::uint64_t Slot(std::uint32_t hash, std::uint32_t id) { return (std::uint64_t{hash} << 32) | id; }

  std::string chars_;                 // the names back to back
  std::vector<std::size_t> starts_;   // name k spans starts_[k - 1] to starts_[k]
  // By hash: the name's hash (low 32 bits, which also place it) over its number; 0 is a free slot.
  std::vector<std::uint64_t> slots_;
};

class TKeySet {
 public:
  TKeySet();
  // Adds a key (never 0); false when it was there already.
  bool Insert(std::uint64_t key);

 private:
  void Grow();

  std::vector<std::uint64_t> slots_;  // 0 is a free slot
  std::size_t count_ = 0;
};
