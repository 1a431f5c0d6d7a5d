// Buffered writer of value lines (see line_writer.h).
#include "boardgen/line_writer.h"

#include <charconv>
#include <cstring>

namespace boardgen {

LineWriter::LineWriter(Sink sink, void* context, bool crlf)
    : sink_(sink), context_(context), crlf_(crlf), buffer_(new char[kCapacity]) {}

LineWriter::~LineWriter() { Flush(); }

void LineWriter::Int(int64_t value) {
  Room(kLongestValue);
  Separate();
  char* start = buffer_.get() + used_;
  used_ = static_cast<std::size_t>(std::to_chars(start, start + kLongestValue, value).ptr - buffer_.get());
}

void LineWriter::UInt(uint64_t value) {
  Room(kLongestValue);
  Separate();
  char* start = buffer_.get() + used_;
  used_ = static_cast<std::size_t>(std::to_chars(start, start + kLongestValue, value).ptr - buffer_.get());
}

void LineWriter::Real(double value) {
  Room(kLongestValue);
  Separate();
  char* start = buffer_.get() + used_;
  auto result = std::to_chars(start, start + kLongestValue - 1, value, std::chars_format::fixed, 3);
  used_ = static_cast<std::size_t>(result.ptr - buffer_.get());
}

void LineWriter::Text(std::string_view text) {
  line_open_ = true;
  if (text.size() > kCapacity / 2) {
    Flush();
    sink_(context_, text.data(), text.size());
    return;
  }
  Room(text.size());
  std::memcpy(buffer_.get() + used_, text.data(), text.size());
  used_ += text.size();
}

void LineWriter::EndLine() {
  Room(2);
  if (crlf_) buffer_[used_++] = '\r';
  buffer_[used_++] = '\n';
  line_open_ = false;
}

void LineWriter::Flush() {
  if (used_ != 0) sink_(context_, buffer_.get(), used_);
  used_ = 0;
}

}  // namespace boardgen
