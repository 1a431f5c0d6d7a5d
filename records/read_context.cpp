// A new run's context: nothing numbered yet, and the board defaults a file without an options
// section keeps.
#include "records/read_context.h"

namespace {

constexpr std::uint8_t kTopDirection = 1;
constexpr std::uint8_t kBottomDirection = 2;
constexpr std::int32_t kDefaultClearance = 50000;  // 5 mil

}  // namespace

ReadContext::ReadContext(TInput& input, std::int32_t format_level, TPcbBoard& board, TClassifier& classifier,
                         TComponentLayerWarnings& warnings)
    : input(input), board(board), classifier(classifier), warnings(warnings) {
  SetFormatLevel(format_level);
  routing_directions.front() = kTopDirection;
  routing_directions.back() = kBottomDirection;
  clearances.fill(kDefaultClearance);
}
