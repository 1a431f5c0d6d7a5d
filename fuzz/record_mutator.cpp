// Mutations that know the file's structure, beside libFuzzer's byte mutations: records (a keyword
// line and the value lines after it) are inserted, deleted, duplicated, moved and spliced between
// inputs as units, the banner's format level is changed, and numbers are replaced by the values
// readers get wrong (0, -1, the 16- and 32-bit limits, huge and tiny reals, counts larger than any
// file). Byte mutations still run on every few inputs, so damaged lines are tried too.
// (`import_fuzzer_bytes` is the same target without this file, to compare the coverage each
// reaches in the same time: fuzz/compare-mutators.sh.)
#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t max_size);

namespace {

constexpr std::array<std::string_view, 20> kKeywords = {
    "FT", "FA", "FV", "FP", "FF", "FS", "PG", "FD", "FI", "COMP",
    "ENDCOMP", "CP", "CT", "CA", "CV", "CF", "CS", "NETDEF", "DEFAULTS", "OPTIONS"};

constexpr std::array<std::string_view, 11> kBanners = {
    "PCB FILE 6",
    "PCB FILE 6 VERSION 1.10",
    "PCB FILE 6 VERSION 2.00",
    "PCB FILE 6 VERSION 2.10",
    "PCB FILE 6 VERSION 2.20",
    "PCB FILE 6 VERSION 2.30",
    "PCB FILE 6 VERSION 2.40",
    "PCB FILE 6 VERSION 2.50",
    "PCB FILE 6 VERSION 2.60",
    "PCB FILE 6 VERSION 2.70",
    "PCB FILE 6 VERSION 2.80"};

// Values at the edges of what the readers take: field widths, signs, reals beyond any length, and
// counts (polygon vertices, components' records) larger than a file can hold.
constexpr std::array<std::string_view, 17> kBoundaryNumbers = {
    "0",          "-1",          "1",           "127",        "255",       "256",
    "32767",      "-32768",      "65535",       "65536",      "2147483647", "-2147483648",
    "4294967295", "99999999999", "1e308",       "-1e308",     "1e-308"};

bool IsKeywordLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  return std::find(kKeywords.begin(), kKeywords.end(), line) != kKeywords.end();
}

// An input cut into its head (banner and counts: everything before the first record) and its
// records, each with its own line ends, so that joining the parts gives the input back.
struct Parts {
  std::string head;
  std::vector<std::string> records;

  explicit Parts(std::string_view text) {
    std::size_t at = 0;
    std::string* current = &head;
    while (at < text.size()) {
      std::size_t end = text.find('\n', at);
      end = end == std::string_view::npos ? text.size() : end + 1;
      const std::string_view line = text.substr(at, end - at);
      std::string_view bare = line;
      if (!bare.empty() && bare.back() == '\n') bare.remove_suffix(1);
      if (at > 0 && IsKeywordLine(bare)) {
        records.emplace_back();
        current = &records.back();
      }
      current->append(line);
      at = end;
    }
  }

  [[nodiscard]] std::string Join() const {
    std::string text = head;
    for (const std::string& record : records) text += record;
    return text;
  }
};

using Random = std::minstd_rand;

std::size_t Below(Random& random, std::size_t n) { return n == 0 ? 0 : random() % n; }

// The banner line replaced by another format level's, line end kept.
void ChangeLevel(Parts& parts, Random& random) {
  const std::size_t end = parts.head.find_first_of("\r\n");
  parts.head.replace(0, end == std::string::npos ? parts.head.size() : end, kBanners[Below(random, kBanners.size())]);
}

// One number of the text (a run of digits with its sign, dot and exponent) replaced by a boundary
// value. Returns false where the text has no number.
bool ReplaceNumber(std::string& text, Random& random) {
  std::vector<std::pair<std::size_t, std::size_t>> numbers;
  for (std::size_t at = 0; at < text.size();) {
    if (std::isdigit(static_cast<unsigned char>(text[at])) == 0) {
      ++at;
      continue;
    }
    std::size_t start = at > 0 && text[at - 1] == '-' ? at - 1 : at;
    while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) != 0 || text[at] == '.' ||
                                text[at] == 'e' || text[at] == 'E')) {
      ++at;
    }
    numbers.emplace_back(start, at - start);
  }
  if (numbers.empty()) return false;
  const auto [start, length] = numbers[Below(random, numbers.size())];
  text.replace(start, length, kBoundaryNumbers[Below(random, kBoundaryNumbers.size())]);
  return true;
}

bool MutateRecords(Parts& parts, Random& random) {
  auto& records = parts.records;
  switch (Below(random, 6)) {
    case 0:  // delete
      if (records.empty()) return false;
      records.erase(records.begin() + static_cast<std::ptrdiff_t>(Below(random, records.size())));
      return true;
    case 1: {  // duplicate in place
      if (records.empty()) return false;
      const std::size_t at = Below(random, records.size());
      records.insert(records.begin() + static_cast<std::ptrdiff_t>(at), records[at]);
      return true;
    }
    case 2: {  // move
      if (records.size() < 2) return false;
      const std::size_t from = Below(random, records.size());
      std::string record = std::move(records[from]);
      records.erase(records.begin() + static_cast<std::ptrdiff_t>(from));
      records.insert(records.begin() + static_cast<std::ptrdiff_t>(Below(random, records.size() + 1)),
                     std::move(record));
      return true;
    }
    case 3:
      ChangeLevel(parts, random);
      return true;
    case 4:  // a number of the counts line or of a record
      if (records.empty()) return ReplaceNumber(parts.head, random);
      return ReplaceNumber(records[Below(random, records.size())], random);
    default: {  // a keyword line of one kind read as another's
      if (records.empty()) return false;
      std::string& record = records[Below(random, records.size())];
      const std::size_t end = record.find_first_of("\r\n");
      record.replace(0, end == std::string::npos ? record.size() : end, kKeywords[Below(random, kKeywords.size())]);
      return true;
    }
  }
}

std::size_t Store(const std::string& text, std::uint8_t* data, std::size_t max_size) {
  const std::size_t size = std::min(text.size(), max_size);
  std::memcpy(data, text.data(), size);
  return size;
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t max_size,
                                               unsigned int seed) {
  Random random(seed);
  // One input in four still goes through the byte mutations: damaged lines matter too.
  if (Below(random, 4) == 0) return LLVMFuzzerMutate(data, size, max_size);
  Parts parts(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!MutateRecords(parts, random)) return LLVMFuzzerMutate(data, size, max_size);
  return Store(parts.Join(), data, max_size);
}

extern "C" std::size_t LLVMFuzzerCustomCrossOver(const std::uint8_t* data1, std::size_t size1,
                                                 const std::uint8_t* data2, std::size_t size2, std::uint8_t* out,
                                                 std::size_t max_out_size, unsigned int seed) {
  Random random(seed);
  Parts first(std::string_view(reinterpret_cast<const char*>(data1), size1));
  const Parts second(std::string_view(reinterpret_cast<const char*>(data2), size2));
  if (second.records.empty()) return Store(first.Join(), out, max_out_size);
  if (Below(random, 2) == 0) {
    // Splice: the first input's records up to a point, then the second's from a point.
    first.records.resize(Below(random, first.records.size() + 1));
    const std::size_t from = Below(random, second.records.size());
    first.records.insert(first.records.end(), second.records.begin() + static_cast<std::ptrdiff_t>(from),
                         second.records.end());
  } else {
    // One record of the second input put somewhere in the first.
    first.records.insert(first.records.begin() + static_cast<std::ptrdiff_t>(Below(random, first.records.size() + 1)),
                         second.records[Below(random, second.records.size())]);
  }
  return Store(first.Join(), out, max_out_size);
}
