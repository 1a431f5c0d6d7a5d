// Buffered writer of value lines: integers and reals separated by one blank, text lines, and
// line ends (LF, or CR LF as DOS tools wrote them). Formats with std::to_chars into a large
// buffer and hands full chunks to a sink, so a 100 MB board costs no per-value stream work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace boardgen {

class LineWriter {
 public:
  // Receives each full chunk and the rest at Flush.
  using Sink = void (*)(void* context, const char* data, std::size_t size);

  LineWriter(Sink sink, void* context, bool crlf);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // One value on the current line, after a blank unless it is the line's first.
  void Int(int64_t value);
  void UInt(uint64_t value);
  // Fixed notation with three decimals, as the old tools wrote angles and grids.
  void Real(double value);
  // Text as it stands, with no blank before it.
  void Text(std::string_view text);
  void EndLine();
  void Line(std::string_view text) {
    Text(text);
    EndLine();
  }
  void Flush();

 private:
  static constexpr std::size_t kCapacity = std::size_t{1} << 20;
  static constexpr std::size_t kLongestValue = 400;  // a double in fixed notation fits

  void Room(std::size_t size) {
    if (kCapacity - used_ < size) Flush();
  }
  void Separate() {
    if (line_open_) buffer_[used_++] = ' ';
    line_open_ = true;
  }

  Sink sink_;
  void* context_;
  bool crlf_;
  bool line_open_ = false;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace boardgen
