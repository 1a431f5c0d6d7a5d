// Text pieces of the SVG picture: host lengths as mils, angles, XML-safe text. Host lengths are
// whole 1/10000 mils, so a length in mils is written exactly with at most four decimals.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace svg {

// A value in 1/10000 units (host lengths, or angles scaled by 10000) as a short decimal.
inline void AppendScaled(std::string& out, std::int64_t value) {
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  if (value < 0) out.push_back('-');
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 10000).ptr;
  out.append(digits, end);
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  if (fraction == 0) return;
  char tail[5] = {'.', static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                  static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10)};
  std::size_t length = 5;
  while (tail[length - 1] == '0') --length;
  out.append(tail, length);
}

// Rounds a computed host length (or a scaled angle) to a whole unit; out-of-range values are
// clamped, so a picture of absurd numbers is still a valid picture.
inline std::int64_t Whole(double value) {
  constexpr double kLimit = 1e15;
  if (!(value > -kLimit)) return static_cast<std::int64_t>(-kLimit);
  if (!(value < kLimit)) return static_cast<std::int64_t>(kLimit);
  return std::llround(value);
}

// Host units to mils.
inline void AppendMils(std::string& out, double host) { AppendScaled(out, Whole(host)); }
// Host Y to picture Y: the picture's Y axis points down.
inline void AppendFlippedMils(std::string& out, double host) { AppendScaled(out, Whole(-host)); }
inline void AppendDegrees(std::string& out, double degrees) {
  AppendScaled(out, Whole(std::fmod(degrees, 360.0) * 10000.0));
}

inline void AppendUnsigned(std::string& out, std::uint64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// UTF-8 text as XML character data or attribute value: markup characters escaped, characters
// that XML 1.0 does not allow (most controls, U+FFFE, U+FFFF) dropped, malformed UTF-8 replaced
// by U+FFFD.
inline void AppendEscaped(std::string& out, std::string_view text) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::size_t at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      switch (byte) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default:
          if (byte >= 0x20 && byte != 0x7F) out.push_back(static_cast<char>(byte));
      }
      ++at;
      continue;
    }
    // Length and lowest code point of the sequence this lead byte opens.
    std::size_t length = 0;
    std::uint32_t code = 0, lowest = 0;
    if ((byte & 0xE0) == 0xC0) {
      length = 2, code = byte & 0x1F, lowest = 0x80;
    } else if ((byte & 0xF0) == 0xE0) {
      length = 3, code = byte & 0x0F, lowest = 0x800;
    } else if ((byte & 0xF8) == 0xF0) {
      length = 4, code = byte & 0x07, lowest = 0x10000;
    }
    bool valid = length != 0 && at + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[at + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    valid = valid && code >= lowest && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (!valid) {
      out += kReplacement;
      ++at;
      continue;
    }
    // C1 controls are allowed by XML 1.0 but discouraged; they carry nothing visible.
    const bool shown = code != 0xFFFE && code != 0xFFFF && !(code >= 0x80 && code <= 0x9F);
    if (shown) out.append(text.substr(at, length));
    at += length;
  }
}

}  // namespace svg
