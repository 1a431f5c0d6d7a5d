// The host keeps 8-bit text; documents are UTF-8. Bytes are read as Latin-1, so every byte,
// NUL and 0x80 to 0xFF included, maps to one character and the document stays valid.
#pragma once

#include <string>
#include <string_view>

inline std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}
