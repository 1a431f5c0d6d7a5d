// TInput: the import run's one open file and the value syntax every record shares.
//
//   TInput input;
//   if (!input.Open(path)) ...;
//   ShortString<255> line; input.ReadLine(line);      // keyword lines
//   int32_t x = input.ReadInt(); input.LineEnd();      // value groups
//
// Lines end at LF; a CR right before the LF belongs to the line end, a CR anywhere else is
// dropped from strings (and separates tokens). The input ends at its last byte or at the first
// byte 0x1A, whichever comes first. Integer tokens are at most 32 characters (a longer run of
// non-separators is cut, the rest forms the next token), real tokens at most 64; separators are
// the characters 0 to 32. The file is read through a buffer of up to 1 MiB, sized by the file so
// that a small file does not pay for the whole; no token allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "host/short_string.h"

class TInput {
 public:
  static constexpr std::size_t kBufferSize = 1 << 20;  // the largest buffer
  static constexpr std::size_t kSmallestBuffer = 4096;
  static constexpr std::size_t kIntTokenLength = 32;
  static constexpr std::size_t kRealTokenLength = 64;

  TInput();
  ~TInput();
  TInput(const TInput&) = delete;
  TInput& operator=(const TInput&) = delete;

  // Opens a file read-only; false when it cannot be opened (a directory, no such file...).
  bool Open(const std::string& path);
  // Reads from memory instead of a file (tests, fuzzing). The text is copied.
  void OpenText(std::string_view text);
  void Close();

  // True at the end of the data (or at a byte 0x1A).
  [[nodiscard]] bool AtEnd();

  // The rest of the current line, at most 255 characters kept; then past the line end.
  void ReadLine(ShortString<255>& line);
  // Discards everything up to and including the next line end.
  void LineEnd();
  // The rest of the current physical line cut to at most `limit` characters (CRs dropped); the
  // position stays on that line, so a LineEnd() follows. At the end of the data: empty.
  template <std::size_t N>
  void ReadString(ShortString<N>& out, std::size_t limit = N) {
    char chars[N];
    const std::size_t n = ReadStringChars(chars, limit < N ? limit : N);
    out.Assign(std::string_view(chars, n));
  }

  // One integer token. A character that fits no integer syntax, or a value beyond 32 bits, gives
  // the magnitude read so far without its sign and sets the read-error state. At the end of the
  // data: 0, no error.
  std::int32_t ReadInt();
  std::int64_t ReadInt64();
  // One real token in decimal notation with optional fraction and exponent; a token that does not
  // convert gives 0.0 and sets the read-error state. At the end of the data: 0.0, no error.
  double ReadReal();

  // The read-error state: set by a bad token, kept until taken; taking it clears it.
  bool TakeReadError() {
    const bool error = read_error_;
    read_error_ = false;
    return error;
  }
  [[nodiscard]] bool ReadErrorPending() const { return read_error_; }

  // Counts the lines from the current position to the end (a last line without a line end
  // counts), without moving.
  std::int64_t CountRemainingLines();
  // Back to the first byte of the data.
  void Rewind();

 private:
  // The next byte, or -1 at the end; Advance() moves past it.
  int Peek() {
    if (pos_ < end_) return static_cast<unsigned char>(buffer_[pos_]);
    return Refill() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
  }
  void Advance() { ++pos_; }
  bool Refill();
  // The next token, at most `limit` characters: a view of the buffer, or of `scratch` (limit
  // bytes) when the token crosses a refill. Empty at the end of the data.
  std::string_view ReadToken(char* scratch, std::size_t limit);
  std::size_t ReadStringChars(char* out, std::size_t limit);
  template <typename Int>
  Int ParseInteger(const char* token, std::size_t length);
  [[nodiscard]] std::int64_t Consumed() const;  // bytes of the data before the position
  void SeekTo(std::int64_t offset);
  // A buffer for data of `size` bytes (all of it, up to kBufferSize), kept when large enough.
  void MakeRoom(std::size_t size);

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;     // of buffer_
  std::string text_;             // the data when opened from memory
  std::size_t text_read_ = 0;    // bytes of text_ moved into the buffer so far
  std::int64_t source_offset_ = 0;  // offset in the data of buffer_[0]
  std::size_t pos_ = 0;          // in buffer_
  std::size_t end_ = 0;          // valid bytes in buffer_
  bool eof_ = true;              // nothing more to read from the source
  bool read_error_ = false;
};
