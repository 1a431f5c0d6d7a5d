// Structural reader for the tests of the board generator: walks a text PCB file record by
// record by the value counts of each format level, counts the records and collects link
// numbers and settings values, and lists every line that does not fit.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace boardgen_test {

// Link numbers of one primitive as written (0 when the record has no such field).
struct Links {
  int64_t net = 0, polygon = 0, coordinate = 0, dimension = 0;
  bool polygon_record = false;  // a PG record: its net is resolved but it joins no net
  bool nested = false;          // a record inside a component
};

struct PcbStructure {
  int level = 0;
  bool has_count_line = false;
  std::array<int64_t, 10> header{};
  std::map<std::string, int64_t> records;  // by keyword; a COMP's designator and comment count as "CS"
  int64_t progress_records = 0;            // records that make a progress step
  int64_t shape6_pads = 0;                 // pad records with shape code 6
  std::vector<Links> links;
  std::vector<std::array<int64_t, 6>> pad_rules;  // values 15, 20, 21, 22, 23, 24 of each pad, in file order
  std::vector<std::array<int64_t, 4>> net_rules;  // width, via size, topology, priority of each net
  std::vector<std::string> defaults_values;       // every value and string line, in order
  std::vector<std::string> options_values;
  std::vector<std::string> errors;  // "line N: what"
  bool crlf_everywhere = true;
};

// The level is taken from the banner.
PcbStructure ReadStructure(std::string_view text);

// Level from a banner line as the importer reads it.
int LevelOfBanner(std::string_view banner);

}  // namespace boardgen_test
