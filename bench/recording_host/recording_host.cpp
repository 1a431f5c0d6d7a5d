// The recording host's answer table.
#include "bench/recording_host/recording_host.h"

#include <string_view>
#include <vector>

namespace recording {
namespace {

// An answer that is not a constant: a handle never given before.
constexpr std::int64_t kNewHandle = -1;

// Functions whose answer is not 0 (for record exchanges 0 means done).
struct Special {
  std::string_view name;
  std::int64_t answer;
};
constexpr Special kSpecials[] = {
    {"PcbApi_GetBoardHandleFromFullFileName", 1},
    {"PcbApi_CreateObject", kNewHandle},
    {"PcbApi_CreateRuleObject", kNewHandle},
    {"PcbApi_AddObjectToContainer", 1},
    {"PcbApi_DeleteObjectFromContainer", 1},
    {"PcbApi_CreateIterator", kNewHandle},
};

struct Table {
  Table() : answers(kFunctionCount, 0) {
    for (std::size_t function = 0; function < kFunctionCount; ++function) {
      for (const Special& special : kSpecials) {
        if (special.name == kFunctionNames[function]) answers[function] = special.answer;
      }
    }
  }
  std::vector<std::int64_t> answers;
  std::int64_t calls = 0;
  std::int64_t last_handle = 1;  // the board's
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

std::int64_t AnswerOf(std::size_t function) {
  Table& table = TheTable();
  ++table.calls;
  const std::int64_t answer = table.answers[function];
  return answer == kNewHandle ? ++table.last_handle : answer;
}

}  // namespace recording

std::int64_t RecordingHost_TakeCallCount() {
  recording::Table& table = recording::TheTable();
  const std::int64_t calls = table.calls;
  table.calls = 0;
  return calls;
}
