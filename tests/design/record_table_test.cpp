// The keyword table: which lines open which record, outside and inside a component.
#include <gtest/gtest.h>

#include <string_view>

#include "design/readers.h"
#include "design/record_table.h"
#include "records/readers.h"

namespace {

struct KeywordCase {
  std::string_view line;
  RecordReader free;    // outside a component
  RecordReader nested;  // inside a component
};

// Free keywords are whole capital lines; a net definition is found anywhere in any case; the
// primitives a footprint may hold keep their free readers under their C keywords, and nothing
// else opens inside a component.
constexpr KeywordCase kCases[] = {
    {"FV", ReadVia, nullptr},
    {"CV", nullptr, ReadVia},
    {"FP", ReadPad, nullptr},
    {"CP", nullptr, ReadPad},
    {"FF", ReadFill, nullptr},
    {"CF", nullptr, ReadFill},
    {"FA", ReadArc, nullptr},
    {"CA", nullptr, ReadArc},
    {"FT", ReadTrack, nullptr},
    {"CT", nullptr, ReadTrack},
    {"FS", ReadString, nullptr},
    {"CS", nullptr, ReadString},
    {"PG", ReadPolygon, nullptr},
    {"FD", ReadCoordinate, nullptr},
    {"FI", ReadDimension, nullptr},
    {"COMP", ReadComponent, nullptr},
    {"NETDEF", ReadNetDef, nullptr},
    {"  netdef 12", ReadNetDef, nullptr},
    {"XNetDeFY", ReadNetDef, nullptr},
    {"NETDE", nullptr, nullptr},
    {"ft", nullptr, nullptr},
    {"FT ", nullptr, nullptr},
    {" CT", nullptr, nullptr},
    {"ENDCOMP", nullptr, nullptr},
    {"", nullptr, nullptr},
};

TEST(RecordTable, EachLineOpensItsRecordOrNone) {
  for (const KeywordCase& c : kCases) {
    EXPECT_EQ(RecordReaderFor(c.line), c.free) << '"' << c.line << '"';
    EXPECT_EQ(NestedRecordReaderFor(c.line), c.nested) << '"' << c.line << '"';
  }
}

TEST(RecordTable, SettingsSectionsHaveReadersThatMakeNoObject) {
  EXPECT_NE(RecordReaderFor("DEFAULTS"), nullptr);
  EXPECT_NE(RecordReaderFor("OPTIONS"), nullptr);
  EXPECT_EQ(NestedRecordReaderFor("DEFAULTS"), nullptr);
  EXPECT_EQ(RecordReaderFor("defaults"), nullptr);
}

}  // namespace
