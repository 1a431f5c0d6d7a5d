// The KiCad writers' numbers: the digits must be printf's "%.*f" digits (the files kept from
// earlier exports, and KiCad's own reading, depend on them) however they are made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "viewers/kicad_format.h"

namespace {

std::string PrintfDecimal(double value, int decimals) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

void ExpectPrintfDigits(double value) {
  for (const int decimals : {0, 3, 4, 6}) {
    ASSERT_EQ(kicad::Decimal(value, decimals), PrintfDecimal(value, decimals)) << "value " << value << " places " << decimals;
  }
}

TEST(KicadNumbers, DecimalsAreThoseOfPrintfAtEveryKindOfNumber) {
  // Exact ties (odd multiples of 1/128 and 1/32 fall halfway between six and four places), the
  // numbers next to them, carries through every digit, and signs.
  std::vector<double> values = {0.0, -0.0, 0.5, 1.5, 2.5, 0.0078125, 0.0234375, 0.03125, 0.09375, 999.9999995,
                                999.99999949999, -999.9999996, 9.99995, 0.0000005, -0.0000004, 1e-300,
                                123456.7890125, 4294967295.9999995, 4294967296.5, 1e15 + 0.3, 1e300, -1e300};
  for (int m = -2000; m <= 2000; ++m) {
    values.push_back(m / 128.0);
    values.push_back(m / 32.0 + 1e6);
    values.push_back(std::nextafter(m / 128.0, 1e9));
    values.push_back(std::nextafter(m / 128.0, -1e9));
  }
  // Host lengths as the writer meets them: whole host units to millimetres.
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::int32_t> units(std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max());
  std::uniform_int_distribution<std::int32_t> small(-200000, 200000);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(units(random) * kicad::kMmPerHostUnit);
    values.push_back(small(random) * kicad::kMmPerHostUnit);
  }
  // Any bit pattern of a finite double, and angles.
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_real_distribution<double> angle(-720.0, 720.0);
  for (int i = 0; i < 20000; ++i) {
    double value;
    const std::uint64_t pattern = bits(random);
    std::memcpy(&value, &pattern, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
    values.push_back(angle(random));
  }
  for (const double value : values) ExpectPrintfDigits(value);
}

TEST(KicadNumbers, MillimetresAndDegreesDropTrailingZerosAndNegativeZero) {
  EXPECT_EQ(kicad::Mm(5000000), "12.7");
  EXPECT_EQ(kicad::Mm(-100), "-0.000254");
  EXPECT_EQ(kicad::Mm(-1), "-0.000003");
  EXPECT_EQ(kicad::Degrees(-0.00001), "0");  // rounds to nothing, not to "-0"
  EXPECT_EQ(kicad::Degrees(89.99999), "90");
  EXPECT_EQ(kicad::Degrees(std::numeric_limits<double>::quiet_NaN()), "0");
}

}  // namespace
