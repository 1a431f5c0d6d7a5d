// Where the standard library converts real numbers (std::from_chars for double), it does;
// WebAssembly's C++ library does not yet, and there the C library's strtod, which rounds
// correctly too, gives the same double once the differences of its grammar are taken off.
#include "records/real_number.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

bool ParseRealWithStrtod(std::string_view text, double& value) {
  const char* digits = !text.empty() && text.front() == '-' ? text.data() + 1 : text.data();
  const std::string_view rest(digits, static_cast<std::size_t>(text.data() + text.size() - digits));
  // from_chars takes no leading blank or plus sign, and reads "0x1p3" as the 0 before the x.
  if (rest.empty() || std::isspace(static_cast<unsigned char>(rest.front())) != 0 || rest.front() == '+' ||
      (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))) {
    return false;
  }
  const std::string terminated(text);
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(terminated.c_str(), &end);
  if (end != terminated.c_str() + terminated.size()) return false;
  // strtod may say ERANGE for a subnormal result too, which from_chars gives as the value.
  if (errno == ERANGE && (std::isinf(parsed) || parsed == 0.0)) return false;
  value = parsed;
  return true;
}

bool ParseReal(std::string_view text, double& value) {
#if defined(__cpp_lib_to_chars)
  const char* last = text.data() + text.size();
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(text.data(), last, parsed, std::chars_format::general);
  if (error != std::errc() || end != last) return false;
  value = parsed;
  return true;
#else
  return ParseRealWithStrtod(text, value);
#endif
}
