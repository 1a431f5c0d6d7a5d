// Values of the board document written as text, byte for byte as the JSON library writes them,
// without building the library's tree: the object writer and the board section share them.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "standin/host/text.h"

namespace json_text {

template <typename Integer>
void AppendInteger(Integer value, std::string& out) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Whole numbers below 10^15 print as their digits and ".0", as the library prints them. Other
// finite values (fractions, huge values, -0) go through the library's own shortest-digits
// conversion, the one its serializer writes a double with, into a buffer on the stack (a tree and
// a string per value cost more than the value's digits); NaN and infinities are null in JSON.
inline void AppendDouble(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
    AppendInteger(static_cast<std::int64_t>(value), out);
    out += ".0";
    return;
  }
  char digits[64];  // the size of the serializer's number buffer
  out.append(digits, nlohmann::detail::to_chars(digits, digits + sizeof digits, value));
}

// Printable ASCII without quotes or backslashes is written as it is; anything else is converted
// (Latin-1 to UTF-8) and escaped by the library.
inline void AppendString(std::string_view text, std::string& out) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '"' || c == '\\') {
      out += nlohmann::json(Latin1ToUtf8(text)).dump();
      return;
    }
  }
  out += '"';
  out.append(text);
  out += '"';
}

}  // namespace json_text
