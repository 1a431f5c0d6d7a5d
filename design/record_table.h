// The file's record keywords and their readers: one table for the record loop, the records
// nested in a component and the tests.
//
//   if (const RecordReader read = RecordReaderFor(line.View())) context.board.AddObject(read(context));
//
// A free record's keyword line is the keyword alone, in capitals (FT, COMP, OPTIONS...); a net
// definition is any line that contains NETDEF in any case. Inside a component the primitive
// records keep the bodies of the free ones under their own keywords (CT for FT, CP for FP...).
#pragma once

#include <cstdint>
#include <string_view>

struct ReadContext;

// A reader's result is the handle of the object it stored for the board, 0 for none.
using RecordReader = std::uint32_t (*)(ReadContext& context);

// The reader of a keyword line outside any component; nullptr for every other line.
RecordReader RecordReaderFor(std::string_view line);
// The reader of a keyword line inside a component; nullptr for every other line.
RecordReader NestedRecordReaderFor(std::string_view line);
