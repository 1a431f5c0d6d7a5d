// Bulk storage of the stand-in server's board model. A board of a million objects touches a few
// hundred megabytes for the first time; here that memory comes in large zeroed blocks (backed by
// huge pages where the system offers them), so that the model pays neither an allocation per
// object nor a page fault per 4 KB.
//
//   ChunkedStore<Object> objects;  Object& o = objects.emplace_back();  objects[handle]
//   ByteArena bytes;               std::uint8_t* record = bytes.Allocate(48);  // zeroed
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace orv {

// A zeroed block of `bytes` (a multiple of kBlockBytes) from the system, or nullptr.
inline constexpr std::size_t kBlockBytes = std::size_t{2} << 20;
void* AllocateBlock(std::size_t bytes);
void FreeBlock(void* block, std::size_t bytes);

// Elements by number in blocks that never move: growing to a million elements copies nothing and
// holds no spare half. Elements are made when added and destroyed by clear().
template <typename T>
class ChunkedStore {
 public:
  ChunkedStore() = default;
  ~ChunkedStore() { clear(); }
  ChunkedStore(const ChunkedStore&) = delete;
  ChunkedStore& operator=(const ChunkedStore&) = delete;

  [[nodiscard]] std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return chunks_[i / kPerChunk][i % kPerChunk]; }
  const T& operator[](std::size_t i) const { return chunks_[i / kPerChunk][i % kPerChunk]; }
  T& emplace_back() {
    if (size_ / kPerChunk == chunks_.size()) {
      void* block = AllocateBlock(kChunkBytes);
      if (block == nullptr) throw std::bad_alloc();
      chunks_.push_back(static_cast<T*>(block));
    }
    T* place = &(*this)[size_];
    new (place) T();
    ++size_;
    return *place;
  }
  void clear() {
    Empty();
    for (T* chunk : chunks_) FreeBlock(chunk, kChunkBytes);
    chunks_.clear();
  }
  // Destroys every element but keeps the blocks for the elements added next.
  void Empty() {
    for (std::size_t i = 0; i < size_; ++i) (*this)[i].~T();
    size_ = 0;
  }

 private:
  // As many elements as fit a block (a division by this constant compiles to a multiplication).
  static constexpr std::size_t kPerChunk = kBlockBytes / sizeof(T);
  static constexpr std::size_t kChunkBytes = kBlockBytes;

  std::vector<T*> chunks_;
  std::size_t size_ = 0;
};

// Zeroed byte runs for object records and texts, carved from blocks and freed all at once.
class ByteArena {
 public:
  ByteArena() = default;
  ~ByteArena() { Clear(); }
  ByteArena(const ByteArena&) = delete;
  ByteArena& operator=(const ByteArena&) = delete;

  // `bytes` zeroed bytes, 8-byte aligned.
  std::uint8_t* Allocate(std::size_t bytes);
  void Clear();
  // Frees every run, but keeps the first block, zeroed again, for the runs allocated next.
  void Empty();

 private:
  std::vector<std::pair<std::uint8_t*, std::size_t>> blocks_;  // the one being filled is last
  std::size_t used_ = 0;                                       // in the last block
};

}  // namespace orv
