// The keyword table of the file's records.
#include "design/record_table.h"

#include <array>

#include "design/readers.h"
#include "records/readers.h"

namespace {

struct RecordRow {
  std::string_view keyword;
  std::string_view nested_keyword;  // the keyword inside a component; empty for none
  bool contains_any_case;           // matched anywhere in the line, in any case
  RecordReader read;
};

// The settings sections make no object for the board.
std::uint32_t ReadDefaultsRecord(ReadContext& context) {
  ReadDefaults(context);
  return 0;
}

std::uint32_t ReadOptionsRecord(ReadContext& context) {
  ReadOptions(context);
  return 0;
}

constexpr std::array<RecordRow, 13> kRecords = {{
    {"FV", "CV", false, ReadVia},
    {"FP", "CP", false, ReadPad},
    {"FF", "CF", false, ReadFill},
    {"FA", "CA", false, ReadArc},
    {"FT", "CT", false, ReadTrack},
    {"PG", "", false, ReadPolygon},
    {"FD", "", false, ReadCoordinate},
    {"FI", "", false, ReadDimension},
    {"FS", "CS", false, ReadString},
    {"NETDEF", "", true, ReadNetDef},
    {"COMP", "", false, ReadComponent},
    {"DEFAULTS", "", false, ReadDefaultsRecord},
    {"OPTIONS", "", false, ReadOptionsRecord},
}};

bool ContainsAnyCase(std::string_view line, std::string_view keyword) {
  for (std::size_t start = 0; start + keyword.size() <= line.size(); ++start) {
    bool match = true;
    for (std::size_t i = 0; i < keyword.size() && match; ++i) {
      char c = line[start + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      match = c == keyword[i];
    }
    if (match) return true;
  }
  return false;
}

}  // namespace

RecordReader RecordReaderFor(std::string_view line) {
  for (const RecordRow& row : kRecords) {
    if (row.contains_any_case ? ContainsAnyCase(line, row.keyword) : line == row.keyword) return row.read;
  }
  return nullptr;
}

RecordReader NestedRecordReaderFor(std::string_view line) {
  for (const RecordRow& row : kRecords) {
    if (!row.nested_keyword.empty() && line == row.nested_keyword) return row.read;
  }
  return nullptr;
}
