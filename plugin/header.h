// The banner of a text PCB file: recognition of the family and its format level.
//
// "PCB FILE 6 VERSION 2.80" is level 10, "PCB FILE 6" alone level 0; levels 0 and 1 (the old
// format) give lengths in mils.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kBannerText = "PCB FILE 6";

// True when the upper-cased line contains "PCB FILE 6" anywhere.
bool IsBanner(std::string_view line);

// The format level (0 to 10) of a banner line; only its first 255 characters count.
std::int32_t FormatLevelOfBanner(std::string_view banner);

// The progress caption suffix of a level: " (Text 2.8)" for 10, " (Text)" for 0.
std::string_view CaptionSuffix(std::int32_t level);

// Recognition: the first line of the file (255 characters at most) names the family.
bool RecognisedFile(const std::string& path);
