// The input class: lines, tokens and the read-error state.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "records/input.h"

namespace {

TInput& From(TInput& input, std::string_view text) {
  input.OpenText(text);
  return input;
}

struct IntCase {
  const char* text;
  std::int32_t value;
  bool error;
};

TEST(InputTokens, IntegerSyntax) {
  constexpr IntCase kCases[] = {
      {"$1F", 31, false},      {"0x1F", 31, false},       {"X1f", 31, false},       {"x10", 16, false},
      {"0X10", 16, false},     {"-12", -12, false},       {"+7", 7, false},         {"-12z", 12, true},
      {"12ab", 12, true},      {"-7q", 7, true},          {"abc", 0, true},         {"-", 0, true},
      {"$", 0, true},          {"2147483647", 2147483647, false},                   {"-2147483648", INT32_MIN, false},
      {"2147483648", 214748364, true},                    {"$FFFFFFFF", -1, false}, {"1.5", 1, true},
  };
  for (const IntCase& c : kCases) {
    TInput input;
    EXPECT_EQ(From(input, c.text).ReadInt(), c.value) << c.text;
    EXPECT_EQ(input.TakeReadError(), c.error) << c.text;
    EXPECT_FALSE(input.TakeReadError()) << "taking clears the state: " << c.text;
  }
}

TEST(InputTokens, LongRunsAreCutIntoTokensOf32) {
  TInput input;
  const std::string forty(40, '1');
  From(input, forty + " 5");
  input.ReadInt();  // 32 ones overflow: the token is cut, whatever its value
  input.TakeReadError();
  EXPECT_EQ(input.ReadInt(), 11111111);  // the last 8 characters form the next token
  EXPECT_EQ(input.ReadInt(), 5);
}

TEST(InputTokens, SeparatorsAreControlCharactersAndBlank) {
  TInput input;
  From(input, "1\t2\x01\x1f" "3\r\n  4\n\n5");
  for (int expected = 1; expected <= 5; ++expected) EXPECT_EQ(input.ReadInt(), expected);
  EXPECT_FALSE(input.TakeReadError());
}

TEST(InputTokens, EndOfDataReadsZeroWithoutError) {
  TInput input;
  From(input, "7");
  EXPECT_EQ(input.ReadInt(), 7);
  EXPECT_EQ(input.ReadInt(), 0);
  EXPECT_EQ(input.ReadReal(), 0.0);
  EXPECT_EQ(input.ReadInt64(), 0);
  ShortString<20> text("x");
  input.ReadString(text);
  EXPECT_TRUE(text.Empty());
  EXPECT_FALSE(input.TakeReadError());
  EXPECT_TRUE(input.AtEnd());
}

TEST(InputTokens, Reals) {
  TInput input;
  From(input, "1.5 -0.25 3e2 +2 .5 abc 1.5x 90");
  EXPECT_EQ(input.ReadReal(), 1.5);
  EXPECT_EQ(input.ReadReal(), -0.25);
  EXPECT_EQ(input.ReadReal(), 300.0);
  EXPECT_EQ(input.ReadReal(), 2.0);
  EXPECT_EQ(input.ReadReal(), 0.5);
  EXPECT_FALSE(input.TakeReadError());
  EXPECT_EQ(input.ReadReal(), 0.0);
  EXPECT_TRUE(input.TakeReadError());
  EXPECT_EQ(input.ReadReal(), 0.0);
  EXPECT_TRUE(input.TakeReadError());
  EXPECT_EQ(input.ReadReal(), 90.0);
}

TEST(InputTokens, Int64KeepsWideValues) {
  TInput input;
  From(input, "4294967297 -9223372036854775808");
  EXPECT_EQ(input.ReadInt64(), 4294967297LL);
  EXPECT_EQ(input.ReadInt64(), INT64_MIN);
  EXPECT_FALSE(input.TakeReadError());
}

TEST(InputLines, LineEndsCrAndEndOfFileMark) {
  TInput input;
  From(input, "FV\r\nA\rB\nlast");
  ShortString<255> line;
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "FV");
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "AB");  // a CR that ends no line is dropped
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "last");
  EXPECT_TRUE(input.AtEnd());

  From(input, "one\ntw\x1Ao\nthree\n");
  input.ReadLine(line);
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "tw");
  EXPECT_TRUE(input.AtEnd());
}

TEST(InputLines, LongLinesAreCutAndTheRestDiscarded) {
  TInput input;
  const std::string long_line(300, 'a');
  From(input, long_line + "\nnext\n");
  ShortString<255> line;
  input.ReadLine(line);
  EXPECT_EQ(line.Length(), 255u);
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "next");
}

TEST(InputLines, StringsKeepLeadingBlanksAndStopAtTheLineEnd) {
  TInput input;
  From(input, "  pad name that is long\r\n7\n");
  ShortString<20> name;
  input.ReadString(name);
  EXPECT_EQ(name.View(), "  pad name that is l");
  input.LineEnd();
  EXPECT_EQ(input.ReadInt(), 7);
}

TEST(InputLines, ValuesSpanLinesAndLineEndDiscardsTheRest) {
  TInput input;
  From(input, "1 2\n3 4 5\n6\n");
  EXPECT_EQ(input.ReadInt(), 1);
  EXPECT_EQ(input.ReadInt(), 2);
  EXPECT_EQ(input.ReadInt(), 3);
  input.LineEnd();
  EXPECT_EQ(input.ReadInt(), 6);
}

TEST(InputLines, CountingLinesKeepsThePosition) {
  TInput input;
  From(input, "banner\na\nb\nc");
  ShortString<255> line;
  input.ReadLine(line);
  EXPECT_EQ(input.CountRemainingLines(), 3);
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "a");
  input.Rewind();
  input.ReadLine(line);
  EXPECT_EQ(line.View(), "banner");
}

TEST(InputLines, BufferBoundariesAreInvisible) {
  // Values and lines that straddle the reader's buffer read as anywhere else.
  std::string text;
  while (text.size() < TInput::kBufferSize + 100) text += "12345 678\n";
  TInput input;
  From(input, text);
  std::int64_t sum = 0;
  int lines = 0;
  while (!input.AtEnd()) {
    sum += input.ReadInt();
    sum += input.ReadInt();
    input.LineEnd();
    ++lines;
  }
  EXPECT_EQ(sum, static_cast<std::int64_t>(lines) * (12345 + 678));
  EXPECT_FALSE(input.TakeReadError());
  input.Rewind();
  EXPECT_EQ(input.CountRemainingLines(), lines);
}

// Every token and line of the input, with the line count seen from the start, as one text.
std::string ReadAll(TInput& input) {
  std::string seen = std::to_string(input.CountRemainingLines()) + ":";
  ShortString<255> line;
  while (!input.AtEnd()) {
    seen += std::to_string(input.ReadInt()) + ",";
    input.ReadLine(line);
    seen += line.Str() + ";";
  }
  return seen;
}

std::string NumberedLines(std::size_t bytes) {
  std::string text;
  for (int n = 0; text.size() < bytes; ++n) text += std::to_string(n) + " line " + std::to_string(n) + "\n";
  text.resize(bytes);  // the last line may be cut, without its line end
  return text;
}

// A file of the running test's own in the temporary folder.
std::string TempPath() {
  return ::testing::TempDir() + "viderave-input-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The buffer is sized by the file: files just below, at and above the smallest buffer, and
// beyond the largest, read exactly as the same text from memory.
TEST(InputFiles, FilesOfEverySizeReadAsTheirText) {
  const std::string path = TempPath();
  for (const std::size_t bytes : {std::size_t{0}, std::size_t{1}, TInput::kSmallestBuffer - 1, TInput::kSmallestBuffer,
                                  TInput::kSmallestBuffer + 1, TInput::kBufferSize + 5000}) {
    SCOPED_TRACE(bytes);
    const std::string text = NumberedLines(bytes);
    std::ofstream(path, std::ios::binary) << text;
    TInput from_file;
    ASSERT_TRUE(from_file.Open(path));
    TInput from_text;
    from_text.OpenText(text);
    EXPECT_EQ(ReadAll(from_file), ReadAll(from_text));
  }
  std::remove(path.c_str());
}

#if !defined(_WIN32)
// A pipe cannot tell its size: it is read through the largest buffer, to its end.
TEST(InputFiles, APipeIsReadToItsEnd) {
  const std::string path = TempPath();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const std::string text = NumberedLines(TInput::kBufferSize + 3000);
  std::thread writer([&path, &text] { std::ofstream(path, std::ios::binary) << text; });
  TInput input;
  const bool opened = input.Open(path);
  std::string seen;
  ShortString<255> line;
  while (opened && !input.AtEnd()) {  // a pipe is read once: no counting ahead
    seen += std::to_string(input.ReadInt()) + ",";
    input.ReadLine(line);
    seen += line.Str() + ";";
  }
  writer.join();
  std::remove(path.c_str());
  ASSERT_TRUE(opened);
  TInput whole;
  whole.OpenText(text);
  std::string expected;
  while (!whole.AtEnd()) {
    expected += std::to_string(whole.ReadInt()) + ",";
    whole.ReadLine(line);
    expected += line.Str() + ";";
  }
  EXPECT_EQ(seen, expected);
}
#endif

TEST(InputFiles, DirectoriesAndMissingFilesDoNotOpen) {
  TInput input;
  EXPECT_FALSE(input.Open("/"));
  EXPECT_FALSE(input.Open("/nonexistent/board.PCB"));
  EXPECT_TRUE(input.AtEnd());
}

}  // namespace
