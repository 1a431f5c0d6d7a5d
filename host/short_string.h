// Counted strings as the host exchanges them: one length byte followed by up to Capacity
// 8-bit characters. File names, input lines, names of nets, pads and components and all
// captions take this form; a longer value is cut at the capacity, never overflowing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t Capacity>
class ShortString {
  static_assert(Capacity >= 1 && Capacity <= 255, "a counted string holds at most 255 characters");

 public:
  static constexpr std::size_t kCapacity = Capacity;

  ShortString() = default;
  explicit ShortString(std::string_view text) { Assign(text); }

  // Copies at most Capacity characters of text.
  void Assign(std::string_view text) {
    length_ = static_cast<std::uint8_t>(std::min(text.size(), Capacity));
    if (length_ != 0) std::memcpy(chars_, text.data(), length_);  // an empty view may have no data
  }
  // Appends as much of text as still fits.
  void Append(std::string_view text) {
    const std::size_t length = Length();  // a host may have written a length beyond the capacity
    const std::size_t n = std::min(text.size(), Capacity - length);
    length_ = static_cast<std::uint8_t>(length + n);
    if (n != 0) std::memcpy(chars_ + length, text.data(), n);
  }
  void Clear() { length_ = 0; }

  [[nodiscard]] std::string_view View() const { return {chars_, Length()}; }
  [[nodiscard]] std::string Str() const { return std::string(View()); }
  [[nodiscard]] std::size_t Length() const { return std::min<std::size_t>(length_, Capacity); }
  [[nodiscard]] bool Empty() const { return Length() == 0; }

  // The address handed to the host: the length byte, followed by the characters.
  [[nodiscard]] std::uint8_t* Raw() { return &length_; }
  [[nodiscard]] const std::uint8_t* Raw() const { return &length_; }

  bool operator==(const ShortString& other) const { return View() == other.View(); }
  bool operator==(std::string_view other) const { return View() == other; }

 private:
  std::uint8_t length_ = 0;
  char chars_[Capacity] = {};
};

// Reads a counted string given by address (a host argument) without trusting more than its
// length byte says; a null address reads as empty.
inline std::string_view CountedView(const std::uint8_t* counted) {
  if (counted == nullptr) return {};
  return {reinterpret_cast<const char*>(counted + 1), counted[0]};
}

// Writes text as a counted string of the given capacity at address out (a host argument).
inline void WriteCounted(std::uint8_t* out, std::size_t capacity, std::string_view text) {
  if (out == nullptr) return;
  const std::size_t n = std::min({text.size(), capacity, std::size_t{255}});
  out[0] = static_cast<std::uint8_t>(n);
  if (n != 0) std::memcpy(out + 1, text.data(), n);
}
