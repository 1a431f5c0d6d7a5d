// Sequence numbers and the owner tables that find an owner by its number.
#include "host/object_access.h"
#include "tests/records/record_fixture.h"

namespace {

using Sequence = TIndexTables::Sequence;
using Table = TIndexTables::Table;

using IndexTables = RecordTest;

TEST_F(IndexTables, NextGivesTheLow16BitsOfEachCounter) {
  TIndexTables tables;
  EXPECT_EQ(tables.Next(Sequence::kPad), 1);
  EXPECT_EQ(tables.Next(Sequence::kPad), 2);
  EXPECT_EQ(tables.Next(Sequence::kNet), 1);
  tables.Reset(Sequence::kPad);
  EXPECT_EQ(tables.Next(Sequence::kPad), 1);
  for (int i = 1; i < 65536; ++i) tables.Next(Sequence::kComponent);
  EXPECT_EQ(tables.Next(Sequence::kComponent), 0);  // 65536
  EXPECT_EQ(tables.Next(Sequence::kComponent), 1);  // 65537
  EXPECT_EQ(tables.Count(Sequence::kComponent), 65537);
}

TEST_F(IndexTables, NumbersOutsideTheTableHaveNoEntry) {
  TIndexTables& tables = context().tables;
  for (int i = 1; i < 16000; ++i) tables.Next(Sequence::kNet);
  const std::uint32_t last = MakeNet();   // 16000
  const std::uint32_t beyond = MakeNet();  // 16001
  EXPECT_EQ(tables.Lookup(Table::kNet, 16000), last);
  EXPECT_EQ(tables.Lookup(Table::kNet, 16001), 0u);
  EXPECT_EQ(GetIndex(beyond), 16001);
  EXPECT_EQ(tables.Lookup(Table::kNet, 0), 0u);
  EXPECT_EQ(tables.Lookup(Table::kNet, -1), 0u);
  tables.Enter(Table::kNet, 0);  // tolerated
}

// A table holds only what was entered: numbers never entered, below or above the highest one,
// and the other tables, find nothing.
TEST_F(IndexTables, NumbersNeverEnteredFindNothing) {
  TIndexTables& tables = context().tables;
  for (int i = 1; i < 5; ++i) tables.Next(Sequence::kNet);
  const std::uint32_t fifth = MakeNet();
  EXPECT_EQ(tables.Lookup(Table::kNet, 5), fifth);
  for (const int number : {1, 4, 6, 15999, 16000}) EXPECT_EQ(tables.Lookup(Table::kNet, number), 0u) << number;
  EXPECT_EQ(tables.Lookup(Table::kPolygon, 5), 0u);
}

TEST_F(IndexTables, TheWrappedIndexOfA65537thOwnerDoesNotReplaceTheFirst) {
  TIndexTables& tables = context().tables;
  const std::uint32_t first = MakeNet();
  for (int i = 1; i < 65536; ++i) tables.Next(Sequence::kNet);
  const std::uint32_t wrapped = MakeNet();  // counter 65537, Index 1
  EXPECT_EQ(GetIndex(wrapped), 1);
  EXPECT_EQ(tables.Lookup(Table::kNet, 1), first);
}

}  // namespace
