// The host's progress bar and the user's abort (Escape, then a confirmation).
#pragma once

#include <cstdint>
#include <string_view>

class TInput;
struct ReadContext;

// Sizes the bar from the header counts (level 1 and above: the sum of the second and the fourth
// to tenth counts) or, at level 0, from the number of lines after the banner, and starts it with
// the caption "Loading <file><caption_suffix>". Leaves the input at the first record line.
void ProgressStart(TInput& input, std::string_view file_name, std::int32_t format_level,
                   std::string_view caption_suffix);

// One step of the bar.
void ProgressStep();

// Drains the thread's message queue: Escape (key-down or system key-down) asks the user to
// confirm and Yes sets the flag; every other message goes straight to its window. A poll that
// starts with the flag set takes nothing.
void PollAbort(bool& abort);

// What every record reader does right after the host has created its object.
void StepAndPoll(ReadContext& context);

void ProgressFinish();
