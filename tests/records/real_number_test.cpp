// Real numbers of a token: std::from_chars where the library has it for double, strtod where it
// has not (the WebAssembly build). Both must give the same double, and the same refusals, or the
// browser's import would differ from the native one.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "records/real_number.h"

namespace {

struct Parsed {
  bool ok = false;
  double value = -1.0;
};

Parsed WithLibrary(std::string_view text) {
  Parsed parsed;
  parsed.ok = ParseReal(text, parsed.value);
  return parsed;
}

Parsed WithStrtod(std::string_view text) {
  Parsed parsed;
  parsed.ok = ParseRealWithStrtod(text, parsed.value);
  return parsed;
}

void ExpectSame(std::string_view text) {
  const Parsed library = WithLibrary(text);
  const Parsed strtod = WithStrtod(text);
  EXPECT_EQ(library.ok, strtod.ok) << text;
  if (library.ok && strtod.ok && !std::isnan(library.value)) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(library.value), std::bit_cast<std::uint64_t>(strtod.value)) << text;
  }
  if (!library.ok) {
    EXPECT_EQ(library.value, -1.0) << text << ": a refused token leaves the value alone";
  }
  if (!strtod.ok) {
    EXPECT_EQ(strtod.value, -1.0) << text << ": a refused token leaves the value alone";
  }
}

TEST(RealNumber, AcceptsDecimalNotation) {
  const struct {
    const char* text;
    double value;
  } kCases[] = {{"12.5", 12.5}, {"-0.5", -0.5}, {".5", 0.5}, {"1.", 1.0}, {"1e3", 1000.0},
                {"1E-3", 0.001}, {"00012.5e-0003", 0.0125}, {"-0", -0.0}, {"254000", 254000.0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(WithLibrary(c.text).value, c.value) << c.text;
    EXPECT_EQ(WithStrtod(c.text).value, c.value) << c.text;
    ExpectSame(c.text);
  }
}

TEST(RealNumber, RefusesWhatFromCharsRefuses) {
  for (const char* text : {"", "-", "+1", "-+1", "--1", " 1", "-\t1", "1 ", "1e", "1e+", "1,5", "abc", ".e1", "0x10",
                           "-0x10", "0X1p3", "1e400", "-1e400", "1.7976931348623159e308", "1e-400", "2e-324"}) {
    EXPECT_FALSE(WithLibrary(text).ok) << text;
    ExpectSame(text);
  }
}

TEST(RealNumber, SubnormalsInfinitiesAndNotANumberAsFromChars) {
  for (const char* text : {"1e-310", "4.9e-324", "1e-320", "-inf", "-INF", "-infinity", "inf", "nan", "-nan(12)"}) {
    ExpectSame(text);
  }
  EXPECT_TRUE(WithStrtod("1e-310").ok);
  EXPECT_TRUE(std::isinf(WithStrtod("-inf").value));
}

// Correct rounding of long mantissas and large exponents: any difference in the last bit shows
// as a different coordinate in the document.
TEST(RealNumber, SameDoubleForManyDigits) {
  std::mt19937_64 random(20261210);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 24), exponent(-330, 310), form(0, 3);
  for (int i = 0; i < 20000; ++i) {
    std::string text = form(random) == 0 ? "-" : "";
    const int integer_digits = length(random);
    for (int d = 0; d < integer_digits; ++d) text += static_cast<char>('0' + digit(random));
    if (form(random) != 0) {
      text += '.';
      const int fraction_digits = length(random);
      for (int d = 0; d < fraction_digits; ++d) text += static_cast<char>('0' + digit(random));
    }
    if (form(random) == 0) text += (form(random) < 2 ? "e" : "E") + std::to_string(exponent(random));
    ExpectSame(text);
  }
}

}  // namespace
