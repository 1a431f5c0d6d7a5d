// Structural reader for the generator tests (see pcb_structure.h).
#include "pcb_structure.h"

#include <charconv>

namespace boardgen_test {
namespace {

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

int64_t ToInt(std::string_view token) {
  int64_t value = 0;
  std::from_chars(token.data(), token.data() + token.size(), value);
  return value;
}

class Reader {
 public:
  Reader(std::string_view text, PcbStructure& out) : out_(out) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
      } else {
        out_.crlf_everywhere = false;
      }
      lines_.push_back(line);
      start = end + 1;
    }
  }

  void Run() {
    if (lines_.empty()) return Error("empty file");
    out_.level = LevelOfBanner(Next());
    level_ = out_.level;
    if (level_ >= 1) {
      const auto counts = Values(10, "header counts");
      out_.has_count_line = counts.size() == 10;
      for (std::size_t i = 0; i < counts.size() && i < 10; ++i) out_.header[i] = ToInt(counts[i]);
    }
    while (pos_ < lines_.size()) {
      const std::string_view keyword = Next();
      ++out_.records[std::string(keyword)];
      if (keyword == "DEFAULTS") {
        Defaults();
      } else if (keyword == "OPTIONS") {
        Options();
      } else if (keyword == "COMP") {
        Component();
      } else if (keyword == "NETDEF") {
        NetDef();
      } else if (!Primitive(keyword)) {
        Error("not a record keyword: " + std::string(keyword));
      }
    }
  }

 private:
  void Error(const std::string& what) { out_.errors.push_back("line " + std::to_string(pos_) + ": " + what); }
  std::string_view Next() {
    if (pos_ >= lines_.size()) {
      Error("unexpected end of file");
      return {};
    }
    return lines_[pos_++];
  }
  std::vector<std::string_view> Values(std::size_t count, const char* what) {
    auto tokens = Tokens(Next());
    if (tokens.size() != count) {
      Error(std::string(what) + ": " + std::to_string(tokens.size()) + " values, expected " + std::to_string(count));
    }
    tokens.resize(count, "0");
    return tokens;
  }
  void Expect(std::string_view text) {
    if (Next() != text) Error("expected " + std::string(text));
  }

  // Returns false for a line that opens no primitive record.
  bool Primitive(std::string_view keyword) {
    const std::string_view kind =
        keyword.size() == 2 && (keyword[0] == 'F' || keyword[0] == 'C') ? keyword.substr(1) : "";
    if (keyword == "PG") {
      Polygon();
    } else if (keyword == "FD") {
      Values(9, "FD");
      out_.links.emplace_back();
    } else if (keyword == "FI") {
      Values(11, "FI");
      out_.links.emplace_back();
    } else if (kind == "T") {
      const auto first = Values(11, "track");
      Links l{ToInt(first[9])};
      if (level_ >= 2) {
        const auto second = Values(1 + (level_ >= 9 ? 2 : 0) + (level_ >= 10 ? 2 : 0), "track line 2");
        l.polygon = ToInt(second[0]);
        if (level_ >= 10) {
          l.coordinate = ToInt(second[3]);
          l.dimension = ToInt(second[4]);
        }
      }
      out_.links.push_back(l);
    } else if (kind == "A") {
      const auto first = Values(11, "arc");
      Links l{ToInt(first[9])};
      if (level_ >= 2) l.polygon = ToInt(Values(1 + (level_ >= 9), "arc line 2")[0]);
      out_.links.push_back(l);
    } else if (kind == "V") {
      const auto values = Values(10 + (level_ >= 9 ? 3 : 0) + (level_ >= 10 ? 4 : 0), "via");
      out_.links.push_back({ToInt(values[8])});
    } else if (kind == "P") {
      const auto values = Values(level_ < 7 ? 12 : 18 + (level_ >= 9 ? 8 : 0) + (level_ >= 10 ? 7 : 0), "pad");
      const bool wide = level_ >= 7;
      if (ToInt(values[6]) == 6) ++out_.shape6_pads;
      out_.links.push_back({ToInt(values[wide ? 16 : 10])});
      std::array<int64_t, 6> rules{ToInt(values[wide ? 14 : 8])};
      if (level_ >= 9) {
        for (int i = 0; i < 5; ++i) rules[1 + i] = ToInt(values[19 + i]);
      }
      out_.pad_rules.push_back(rules);
      Next();  // name
    } else if (kind == "F") {
      const auto first = Values(8, "fill");
      Links l{ToInt(first[7])};
      if (level_ >= 3) l.polygon = ToInt(Values(1 + (level_ >= 9) + (level_ >= 10), "fill line 2")[0]);
      out_.links.push_back(l);
    } else if (kind == "S") {
      StringBody();
    } else {
      return false;
    }
    out_.links.back().nested = keyword[0] == 'C';
    ++out_.progress_records;
    return true;
  }

  void StringBody() {
    const auto values = Values(9 + (level_ >= 1 ? 4 : 0) + (level_ >= 9 ? 2 : 0) + (level_ >= 10 ? 2 : 0), "string");
    Links l;
    if (level_ >= 10) {
      l.coordinate = ToInt(values[15]);
      l.dimension = ToInt(values[16]);
    }
    out_.links.push_back(l);
    Next();  // text
  }

  void Polygon() {
    Values(1, "polygon layer");
    const int64_t net = ToInt(Values(1, "polygon net")[0]);
    Values(4 + (level_ >= 4) + (level_ >= 8), "polygon flags");
    Values(2 + (level_ >= 10 ? 2 : 0), "polygon sizes");
    const int64_t n = ToInt(Values(1, "polygon edges")[0]);
    for (int64_t i = 0; i <= n; ++i) Values(2, "polygon vertex");
    const auto flags = Values(static_cast<std::size_t>(n + 1), "polygon arc flags");
    for (int64_t i = 1; i <= n; ++i) {
      if (flags[static_cast<std::size_t>(i)] == "0") continue;
      Expect("FA");
      Values(11, "polygon arc");
      if (level_ >= 2) Values(1 + (level_ >= 9), "polygon arc line 2");
    }
    Links l{net};
    l.polygon_record = true;
    out_.links.push_back(l);
  }

  void Component() {
    Next();  // pattern
    Values(7 + (level_ >= 1 ? 4 : 0) + (level_ >= 9 ? 3 : 0) + (level_ >= 10), "component");
    for (int i = 0; i < 2; ++i) {
      Expect("CS");
      ++out_.records["CS"];
      StringBody();
      ++out_.progress_records;
    }
    for (;;) {
      const std::string_view keyword = Next();
      if (keyword == "ENDCOMP" || keyword.empty()) break;
      ++out_.records[std::string(keyword)];
      if (keyword[0] != 'C' || !Primitive(keyword)) Error("not a nested keyword: " + std::string(keyword));
    }
    ++out_.progress_records;
  }

  void NetDef() {
    Next();  // name
    std::array<int64_t, 4> rules{};
    if (level_ >= 1) {
      const auto values = Values(4, "net attributes");
      for (int i = 0; i < 4; ++i) rules[i] = ToInt(values[i]);
    }
    out_.net_rules.push_back(rules);
    Expect("(");
    while (pos_ < lines_.size() && lines_[pos_] != ")") ++pos_;
    Expect(")");
    Expect("{");
    while (pos_ < lines_.size() && lines_[pos_] != "}") ++pos_;
    Expect("}");
    if (level_ >= 3) Values(level_ >= 4 ? 3 : 2, "net values");
    if (level_ >= 5) Values(level_ >= 9 ? 3 : 1, "net plane");
    ++out_.progress_records;
  }

  void Collect(std::vector<std::string>& into, std::size_t count, const char* what) {
    for (std::string_view token : Values(count, what)) into.emplace_back(token);
  }

  void Defaults() {
    auto& v = out_.defaults_values;
    for (std::size_t count : {2, 2, 1, 3, 4, 2}) Collect(v, count, "defaults group");
    for (int layer = 1; layer <= 42; ++layer) Collect(v, 1, "defaults layer flag");
    if (level_ >= 4) {
      const std::string_view line = Next();
      const std::size_t blank = line.find(' ');
      v.emplace_back(line.substr(0, blank));
      v.emplace_back(blank == std::string_view::npos ? "" : line.substr(blank + 1));
    }
  }

  void Options() {
    auto& v = out_.options_values;
    for (std::size_t count : {9, 51, 51}) Collect(v, count, "options group");
    for (int i = 0; i < 3; ++i) v.emplace_back(Next());
    Collect(v, 10, "options group 7");
    Collect(v, 8, "options group 8");
    for (int i = 0; i < 84; ++i) Collect(v, 3, "options colour");
    for (std::size_t count : {42, 42, 10, 16, 15}) Collect(v, count, "options group");
    v.emplace_back(Next());
    Collect(v, 9, "options group 17");
    Next();
    Collect(v, 16, "options routing");
    for (int i = 0; i < 3; ++i) Next();
    Collect(v, 7, "options group 21");
    for (int i = 0; i < 2; ++i) v.emplace_back(Next());
    Collect(v, 6, "options clearances");
    for (int i = 0; i < 11; ++i) Next();
  }

  PcbStructure& out_;
  std::vector<std::string_view> lines_;
  std::size_t pos_ = 0;
  int level_ = 0;
};

}  // namespace

int LevelOfBanner(std::string_view banner) {
  static constexpr std::string_view kVersions[] = {"1.10", "2.00", "2.10", "2.20", "2.30",
                                                   "2.40", "2.50", "2.60", "2.70", "2.80"};
  for (int i = 0; i < 10; ++i) {
    if (banner.find("PCB FILE 6 VERSION " + std::string(kVersions[i])) != std::string_view::npos) return i + 1;
  }
  return 0;
}

PcbStructure ReadStructure(std::string_view text) {
  PcbStructure out;
  Reader(text, out).Run();
  return out;
}

}  // namespace boardgen_test
