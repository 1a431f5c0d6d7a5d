// Progress bar and abort poll.
#include "records/progress.h"

#include <array>

#include "host/core_calls.h"
#include "host/system_services.h"
#include "records/input.h"
#include "records/read_context.h"

void ProgressStart(TInput& input, std::string_view file_name, std::int32_t format_level,
                   std::string_view caption_suffix) {
  std::int32_t total = 0;
  if (format_level >= 1) {
    std::array<std::int32_t, 10> counts{};
    for (std::int32_t& count : counts) count = input.ReadInt();
    input.LineEnd();
    // The first and third counts are not records the import steps through.
    // Unsigned sums wrap as the host's 32-bit arithmetic would, without overflow faults.
    std::uint32_t sum = static_cast<std::uint32_t>(counts[1]);
    for (std::size_t i = 3; i < counts.size(); ++i) sum += static_cast<std::uint32_t>(counts[i]);
    total = static_cast<std::int32_t>(sum);
  } else {
    const std::int64_t lines = input.CountRemainingLines();
    total = static_cast<std::int32_t>(lines > INT32_MAX ? INT32_MAX : lines);
  }
  ShortString<255> caption("Loading ");
  caption.Append(file_name);
  caption.Append(caption_suffix);
  host::PcbApi_Percent_Init(caption.Raw(), total);
}

void ProgressStep() { host::PcbApi_Percent_Update(); }

void PollAbort(bool& abort) {
  if (abort) return;
  MSG message{};
  while (system_services::TakeMessage(message)) {
    const bool key_down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (key_down && message.wParam == VK_ESCAPE) {
      const int answer = system_services::ShowMessageBox(system_services::DesktopWindow(), "Confirm Abort Process",
                                                         "Confirm", MB_YESNO);
      if (answer == IDYES) abort = true;
    } else {
      system_services::DeliverMessage(message);
    }
  }
}

void StepAndPoll(ReadContext& context) {
  ProgressStep();
  PollAbort(context.abort);
}

void ProgressFinish() { host::PcbApi_Percent_Finish(); }
