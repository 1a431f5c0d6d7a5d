// Banner recognition and format levels.
#include <gtest/gtest.h>

#include "plugin/header.h"

namespace {

TEST(Banner, LevelsFollowTheVersionTable) {
  const struct {
    const char* banner;
    std::int32_t level;
  } kCases[] = {
      {"PCB FILE 6", 0},
      {"PCB FILE 6 VERSION 1.10", 1},
      {"pcb file 6 version 1.10", 1},
      {"PCB FILE 6 VERSION 2.00", 2},
      {"PCB FILE 6 VERSION 2.10", 3},
      {"PCB FILE 6 VERSION 2.20", 4},
      {"PCB FILE 6 VERSION 2.30", 5},
      {"PCB FILE 6 VERSION 2.40", 6},
      {"PCB FILE 6 VERSION 2.50", 7},
      {"PCB FILE 6 VERSION 2.60", 8},
      {"PCB FILE 6 VERSION 2.70", 9},
      {"PCB FILE 6 VERSION 2.80", 10},
      {"  xx PCB FILE 6 VERSION 2.80 yy", 10},
      {"PCB FILE 6 VERSION 2.805", 10},
      {"PCB FILE 6 VERSION 2.90", 0},
      {"PCB FILE 6 VERSION 1.00", 0},
      {"PCB FILE 5 VERSION 2.80", 0},
  };
  for (const auto& c : kCases) EXPECT_EQ(FormatLevelOfBanner(c.banner), c.level) << c.banner;
}

TEST(Banner, OnlyTheFirst255CharactersCount) {
  EXPECT_TRUE(IsBanner(std::string(245, ' ') + "PCB FILE 6"));
  EXPECT_FALSE(IsBanner(std::string(246, ' ') + "PCB FILE 6"));
  EXPECT_EQ(FormatLevelOfBanner(std::string(240, ' ') + "PCB FILE 6 VERSION 2.80"), 0);
}

TEST(Banner, CaptionSuffixes) {
  EXPECT_EQ(CaptionSuffix(0), " (Text)");
  EXPECT_EQ(CaptionSuffix(1), " (Text 1.1)");
  EXPECT_EQ(CaptionSuffix(10), " (Text 2.8)");
}

}  // namespace
