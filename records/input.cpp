// TInput: buffered reading of the import file with the format's line and token rules.
#include "records/input.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "records/real_number.h"

namespace {

constexpr char kEndOfFile = 0x1A;  // DOS end-of-file mark: the data ends at the first one
constexpr int kSeparatorMax = 32;  // codes 0 to 32 separate tokens

bool IsSeparator(int c) { return c >= 0 && c <= kSeparatorMax; }
bool IsSeparatorByte(char c) { return static_cast<unsigned char>(c) <= kSeparatorMax; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The size of an open file for sizing the buffer, or kBufferSize when the file cannot tell (a
// pipe). The file is left at its start.
std::size_t FileSize(std::FILE* file) {
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0 || size < 0) return TInput::kBufferSize;
  return static_cast<std::size_t>(size);
}

}  // namespace

TInput::TInput() { MakeRoom(0); }

TInput::~TInput() { Close(); }

void TInput::MakeRoom(std::size_t size) {
  // One byte beyond the data, so that the first read already finds its end.
  const std::size_t wanted = std::clamp(size < kBufferSize ? size + 1 : kBufferSize, kSmallestBuffer, kBufferSize);
  if (wanted <= capacity_) return;
  buffer_.reset(new char[wanted]);
  capacity_ = wanted;
}

bool TInput::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  MakeRoom(FileSize(file_));
  eof_ = false;
  // fopen succeeds on a directory; the first read tells.
  if (!Refill() && std::ferror(file_) != 0) {
    Close();
    return false;
  }
  return true;
}

void TInput::OpenText(std::string_view text) {
  Close();
  text_.assign(text);
  MakeRoom(text_.size());
  eof_ = false;
}

void TInput::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  text_.clear();
  text_read_ = 0;
  source_offset_ = 0;
  pos_ = end_ = 0;
  eof_ = true;
}

bool TInput::Refill() {
  if (eof_) return false;
  source_offset_ += static_cast<std::int64_t>(end_);
  pos_ = 0;
  if (file_ != nullptr) {
    end_ = std::fread(buffer_.get(), 1, capacity_, file_);
    if (end_ < capacity_) eof_ = true;
  } else {
    // Text opened from memory is served through the same buffer, one buffer-full at a time.
    const std::size_t offset = text_read_;
    end_ = std::min(capacity_, text_.size() - offset);
    std::memcpy(buffer_.get(), text_.data() + offset, end_);
    text_read_ += end_;
    if (text_read_ >= text_.size()) eof_ = true;
  }
  if (const void* mark = std::memchr(buffer_.get(), kEndOfFile, end_); mark != nullptr) {
    end_ = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer_.get());
    eof_ = true;
  }
  return end_ > 0;
}

bool TInput::AtEnd() { return Peek() < 0; }

void TInput::LineEnd() {
  for (;;) {
    const char* start = buffer_.get() + pos_;
    const void* lf = std::memchr(start, '\n', end_ - pos_);
    if (lf != nullptr) {
      pos_ += static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
      return;
    }
    pos_ = end_;
    if (!Refill()) return;
  }
}

std::size_t TInput::ReadStringChars(char* out, std::size_t limit) {
  std::size_t n = 0;
  // The characters are taken straight from the buffer, which is refilled when it runs out.
  while (n < limit && (pos_ < end_ || Refill())) {
    const char* data = buffer_.get();
    std::size_t at = pos_;
    while (at < end_ && n < limit) {
      const char c = data[at];
      if (c == '\n') {
        pos_ = at;
        return n;
      }
      ++at;
      if (c != '\r') out[n++] = c;  // a CR that is not part of the line end is dropped
    }
    pos_ = at;
  }
  return n;
}

void TInput::ReadLine(ShortString<255>& line) {
  ReadString(line, 255);
  LineEnd();
}

std::string_view TInput::ReadToken(char* scratch, std::size_t limit) {
  for (;;) {
    while (pos_ < end_ && IsSeparatorByte(buffer_[pos_])) ++pos_;
    if (pos_ < end_) break;
    if (!Refill()) return {};
  }
  // Most tokens lie whole in the buffer and are read where they are.
  const char* start = buffer_.get() + pos_;
  const std::size_t span = std::min(end_ - pos_, limit);
  std::size_t n = 0;
  while (n < span && !IsSeparatorByte(start[n])) ++n;
  if (n < end_ - pos_ || n == limit) {
    pos_ += n;
    return {start, n};
  }
  // The token runs to the end of the buffer: gather it across the refill.
  std::memcpy(scratch, start, n);
  pos_ = end_;
  for (int c = Peek(); c >= 0 && !IsSeparator(c) && n < limit; c = Peek()) {
    scratch[n++] = static_cast<char>(c);
    Advance();
  }
  return {scratch, n};
}

template <typename Int>
Int TInput::ParseInteger(const char* token, std::size_t length) {
  using Unsigned = std::make_unsigned_t<Int>;
  // Up to nine decimal digits, with or without a minus: the common case, which cannot overflow.
  if (length <= 10) {
    const bool minus = token[0] == '-';
    const std::size_t first = minus ? 1 : 0;
    if (first < length && length - first <= 9) {
      std::uint32_t value = 0;
      std::size_t i = first;
      for (; i < length; ++i) {
        const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(token[i]) - '0');
        if (digit > 9) break;
        value = value * 10 + digit;
      }
      if (i == length) return minus ? static_cast<Int>(-static_cast<std::int64_t>(value)) : static_cast<Int>(value);
    }
  }
  std::size_t i = 0;
  bool negative = false;
  if (i < length && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < length && token[i] == '$') {
    base = 16;
    ++i;
  } else if (i < length && (token[i] == 'x' || token[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < length && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // Decimal values must fit the signed range; hexadecimal ones may use all the bits.
  const Unsigned limit = base == 16 ? std::numeric_limits<Unsigned>::max()
                                    : static_cast<Unsigned>(std::numeric_limits<Int>::max()) + (negative ? 1 : 0);
  Unsigned value = 0;
  bool any_digit = false;
  for (; i < length; ++i) {
    const int digit = base == 16 ? HexDigit(token[i]) : (token[i] >= '0' && token[i] <= '9' ? token[i] - '0' : -1);
    const bool overflow = digit >= 0 && value > (limit - static_cast<Unsigned>(digit)) / static_cast<Unsigned>(base);
    if (digit < 0 || overflow) {
      // A bad character or a value beyond the type: what was read so far, without its sign.
      read_error_ = true;
      return static_cast<Int>(value);
    }
    value = value * static_cast<Unsigned>(base) + static_cast<Unsigned>(digit);
    any_digit = true;
  }
  if (!any_digit) {
    read_error_ = true;
    return 0;
  }
  return negative ? static_cast<Int>(Unsigned{0} - value) : static_cast<Int>(value);
}

std::int32_t TInput::ReadInt() {
  // Plain decimal tokens of up to nine digits that end inside the buffer are parsed as they are
  // scanned; everything else takes the general path.
  for (;;) {
    while (pos_ < end_ && IsSeparatorByte(buffer_[pos_])) ++pos_;
    if (pos_ < end_ || !Refill()) break;
  }
  if (pos_ < end_) {
    const char* data = buffer_.get();
    const bool minus = data[pos_] == '-';
    const std::size_t digits = pos_ + (minus ? 1 : 0);
    const std::size_t last = std::min(end_, digits + 9);
    std::size_t at = digits;
    std::uint32_t value = 0;
    for (; at < last; ++at) {
      const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(data[at]) - '0');
      if (digit > 9) break;
      value = value * 10 + digit;
    }
    if (at > digits && at < end_ && IsSeparatorByte(data[at])) {
      pos_ = at;
      return minus ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
    }
  }
  char scratch[kIntTokenLength];
  const std::string_view token = ReadToken(scratch, kIntTokenLength);
  if (token.empty()) return 0;  // the end of the data: zero without an error
  return ParseInteger<std::int32_t>(token.data(), token.size());
}

std::int64_t TInput::ReadInt64() {
  char scratch[kIntTokenLength];
  const std::string_view token = ReadToken(scratch, kIntTokenLength);
  if (token.empty()) return 0;
  return ParseInteger<std::int64_t>(token.data(), token.size());
}

double TInput::ReadReal() {
  char scratch[kRealTokenLength];
  const std::string_view token = ReadToken(scratch, kRealTokenLength);
  if (token.empty()) return 0.0;
  const char* first = token.data();
  const char* last = token.data() + token.size();
  if (*first == '+') ++first;
  // Decimal notation only: no "inf", "nan" or hexadecimal floats.
  const bool decimal = first < last && ((*first >= '0' && *first <= '9') || *first == '.' ||
                                        (*first == '-' && first + 1 < last));
  double value = 0.0;
  if (decimal && ParseReal(std::string_view(first, static_cast<std::size_t>(last - first)), value)) return value;
  read_error_ = true;
  return 0.0;
}

std::int64_t TInput::CountRemainingLines() {
  // Counting reads ahead; the position is restored by reading the data again up to it.
  const std::int64_t consumed = Consumed();
  std::int64_t lines = 0;
  bool open_line = false;
  for (;;) {
    const char* start = buffer_.get() + pos_;
    const std::size_t count = end_ - pos_;
    if (count > 0) {
      lines += std::count(start, start + count, '\n');
      open_line = start[count - 1] != '\n';
    }
    pos_ = end_;
    if (!Refill()) break;
  }
  if (open_line) ++lines;
  SeekTo(consumed);
  return lines;
}

void TInput::Rewind() { SeekTo(0); }

std::int64_t TInput::Consumed() const { return source_offset_ + static_cast<std::int64_t>(pos_); }

void TInput::SeekTo(std::int64_t offset) {
  if (file_ != nullptr) std::fseek(file_, 0, SEEK_SET);
  text_read_ = 0;
  source_offset_ = 0;
  pos_ = end_ = 0;
  eof_ = false;
  while (Refill()) {
    if (offset < source_offset_ + static_cast<std::int64_t>(end_)) {
      pos_ = static_cast<std::size_t>(offset - source_offset_);
      return;
    }
    pos_ = end_;
  }
}
