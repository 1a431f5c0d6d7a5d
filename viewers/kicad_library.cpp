// The board's footprint library and the project's library table.
#include "viewers/kicad_library.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "viewers/kicad_format.h"

namespace kicad {
namespace {

// A 64-bit hash of the bytes, eight at a time (MurmurHash64A's steps, with the seed and the
// multiplier given): two of them with different multipliers make the 128-bit name of a text.
std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed, std::uint64_t multiplier) {
  std::uint64_t hash = seed ^ (bytes.size() * multiplier);
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    word *= multiplier;
    word ^= word >> 47;
    word *= multiplier;
    hash ^= word;
    hash *= multiplier;
  }
  if (at < bytes.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, bytes.size() - at);
    hash ^= word;
    hash *= multiplier;
  }
  hash ^= hash >> 47;
  hash *= multiplier;
  hash ^= hash >> 47;
  return hash;
}

std::array<std::uint64_t, 2> Hash128(std::string_view bytes) {
  return {Hash64(bytes, 0x2545F4914F6CDD1DULL, 0xC6A4A7935BD1E995ULL),
          Hash64(bytes, 0x6A09E667F3BCC909ULL, 0x9E3779B97F4A7C15ULL)};
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// KiCad splits a library id at its first colon, and reads none of these in a name.
bool Unfit(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
}

// Where the s-expression starting with '(' at `at` ends (one past its ')'); npos when it does not.
std::size_t ListEnd(std::string_view text, std::size_t at) {
  int depth = 0;
  for (std::size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') ++i;
      }
      if (i >= text.size()) return std::string_view::npos;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) ++at;
  return at;
}

// The name an entry "(lib (name "x") ...)" gives, unescaped; empty when it gives none.
std::string EntryName(std::string_view entry) {
  const std::size_t at = entry.find("(name");
  if (at == std::string_view::npos) return {};
  std::size_t i = SkipBlanks(entry, at + 5);
  std::string name;
  if (i < entry.size() && entry[i] == '"') {
    for (++i; i < entry.size() && entry[i] != '"'; ++i) {
      if (entry[i] == '\\' && i + 1 < entry.size()) ++i;
      name += entry[i];
    }
  } else {
    for (; i < entry.size() && entry[i] != ')' && entry[i] != ' '; ++i) name += entry[i];
  }
  return name;
}

// The entries of a footprint library table, as written; false when the text is not one.
bool TableEntries(std::string_view text, std::vector<std::string_view>& entries) {
  constexpr std::string_view kHead = "(fp_lib_table";
  std::size_t at = SkipBlanks(text, 0);
  if (text.substr(at, kHead.size()) != kHead) return false;
  for (at = SkipBlanks(text, at + kHead.size()); at < text.size() && text[at] == '('; at = SkipBlanks(text, at)) {
    const std::size_t end = ListEnd(text, at);
    if (end == std::string_view::npos) return false;
    entries.push_back(text.substr(at, end - at));
    at = end;
  }
  return at < text.size() && text[at] == ')' && SkipBlanks(text, at + 1) == text.size();
}

bool WriteText(const std::filesystem::path& path, const std::string& text, std::string& error) {
  std::FILE* out = std::fopen(path.string().c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const int saved = errno;
  if (std::fclose(out) != 0 || !written) {
    error = "cannot write " + path.string() + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

}  // namespace

std::string FootprintFileName(std::string_view pattern) {
  constexpr std::size_t kLongest = 200;
  std::string name;
  for (const char c : pattern) name += Unfit(c) ? '_' : c;
  if (name.size() > kLongest) {
    std::size_t cut = kLongest;
    // Not inside a UTF-8 sequence: back to the byte that starts one.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  if (name.empty()) return "Component";
  // Windows drops a file name's trailing dots and blanks.
  if (name.back() == '.' || name.back() == ' ') name.back() = '_';
  return name;
}

FootprintLibrary::FootprintLibrary(std::string_view nickname, std::filesystem::path folder)
    : folder_(std::move(folder)) {
  for (const char c : nickname) nickname_ += Unfit(c) ? '_' : c;
  if (nickname_.empty()) nickname_ = "Board";
}

std::optional<std::uint32_t> FootprintLibrary::Known(std::string_view contents) const {
  const auto found = by_contents_.find(Hash128(contents));
  if (found == by_contents_.end()) return std::nullopt;
  return found->second;
}

std::pair<std::uint32_t, bool> FootprintLibrary::Add(std::string_view pattern, std::string_view body,
                                                     std::string_view contents) {
  std::string text(pattern);
  text += '\0';
  text += body;
  const auto [found, added] = by_text_.try_emplace(Hash128(text), static_cast<std::uint32_t>(footprints_.size()));
  by_contents_.try_emplace(Hash128(contents), found->second);
  if (!added) return {found->second, false};
  const std::string base = FootprintFileName(pattern);
  Footprint footprint{base, false};
  for (int number = 2; taken_.count(Lower(footprint.name)) != 0; ++number) {
    footprint = {base + "_" + std::to_string(number), true};
  }
  taken_.insert(Lower(footprint.name));
  footprints_.push_back(std::move(footprint));
  return {found->second, true};
}

void FootprintLibrary::Write(std::uint32_t index, std::string_view head, std::string_view body) {
  if (folder_.empty() || !error_.empty()) return;
  std::error_code made;
  std::filesystem::create_directories(folder_, made);
  const std::string& name = footprints_[index].name;
  std::string text = "(footprint " + Quoted(name) + " (version 20211014) (generator viderave)\n  (layer \"F.Cu\")\n";
  text += head;
  text += body;
  text += ")\n";
  WriteText(folder_ / (name + ".kicad_mod"), text, error_);
}

std::vector<std::string> FootprintLibrary::Variants() const {
  std::vector<std::string> names;
  for (const Footprint& footprint : footprints_) {
    if (footprint.numbered) names.push_back(footprint.name);
  }
  return names;
}

bool AddToLibraryTable(const std::filesystem::path& table, std::string_view nickname, std::string_view folder_name,
                       std::string& error) {
  std::string old;
  std::vector<std::string_view> entries;
  std::error_code missing;
  if (std::filesystem::exists(table, missing)) {
    std::ifstream in(table, std::ios::binary);
    old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      error = "cannot read " + table.string();
      return false;
    }
    if (!TableEntries(old, entries)) {
      error = "cannot add the footprint library to " + table.string() + ": it is not a footprint library table";
      return false;
    }
  }
  std::string text = "(fp_lib_table\n";
  for (const std::string_view entry : entries) {
    if (EntryName(entry) == nickname) continue;  // this library, written again
    text += "  ";
    text += entry;
    text += '\n';
  }
  text += "  (lib (name " + Quoted(nickname) + ")(type \"KiCad\")(uri " +
          Quoted("${KIPRJMOD}/" + std::string(folder_name)) + ")(options \"\")(descr \"The board's own footprints\"))\n)\n";
  return WriteText(table, text, error);
}

}  // namespace kicad
