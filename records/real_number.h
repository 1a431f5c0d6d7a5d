// Reading a real number from a token, as std::from_chars does in its general format: the whole
// token must be the number, and one too large or too small for a double (other than a
// subnormal) is an error.
#pragma once

#include <string_view>

// True and `value` set when `text` is a real number; `value` is left alone otherwise.
bool ParseReal(std::string_view text, double& value);

// The same through the C library's strtod, which ParseReal uses where the C++ library has no
// std::from_chars for double (WebAssembly's); every build has it, so tests compare the two.
bool ParseRealWithStrtod(std::string_view text, double& value);
