// Banner recognition and the format level.
#include "plugin/header.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "records/input.h"

namespace {

struct Version {
  std::string_view banner;
  std::string_view caption_suffix;
};

// Index = format level. Tested in this order; the first contained text wins, so
// "VERSION 2.805" reads as 2.80 and an unlisted version falls back to level 0.
constexpr std::array<Version, 11> kVersions = {{
    {"", " (Text)"},
    {"PCB FILE 6 VERSION 1.10", " (Text 1.1)"},
    {"PCB FILE 6 VERSION 2.00", " (Text 2.0)"},
    {"PCB FILE 6 VERSION 2.10", " (Text 2.1)"},
    {"PCB FILE 6 VERSION 2.20", " (Text 2.2)"},
    {"PCB FILE 6 VERSION 2.30", " (Text 2.3)"},
    {"PCB FILE 6 VERSION 2.40", " (Text 2.4)"},
    {"PCB FILE 6 VERSION 2.50", " (Text 2.5)"},
    {"PCB FILE 6 VERSION 2.60", " (Text 2.6)"},
    {"PCB FILE 6 VERSION 2.70", " (Text 2.7)"},
    {"PCB FILE 6 VERSION 2.80", " (Text 2.8)"},
}};

constexpr std::size_t kLineLimit = 255;

std::string UpperCased(std::string_view line) {
  std::string upper(line.substr(0, kLineLimit));
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

bool IsBanner(std::string_view line) { return UpperCased(line).find(kBannerText) != std::string::npos; }

std::int32_t FormatLevelOfBanner(std::string_view banner) {
  const std::string upper = UpperCased(banner);
  if (upper.find(kBannerText) == std::string::npos) return 0;
  for (std::size_t level = 1; level < kVersions.size(); ++level) {
    if (upper.find(kVersions[level].banner) != std::string::npos) return static_cast<std::int32_t>(level);
  }
  return 0;
}

std::string_view CaptionSuffix(std::int32_t level) {
  return level >= 0 && level <= 10 ? kVersions[static_cast<std::size_t>(level)].caption_suffix : kVersions[0].caption_suffix;
}

bool RecognisedFile(const std::string& path) {
  TInput input;
  if (!input.Open(path)) return false;
  ShortString<255> line;
  input.ReadLine(line);
  return IsBanner(line.View());
}
