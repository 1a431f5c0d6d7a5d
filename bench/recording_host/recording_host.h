// A minimal host for measuring the plug-in alone: a PCB server module (built as libOrvPcb.so in a
// folder of its own) whose every function counts its call and returns a fixed answer from a flat
// table. Nothing is kept: created objects get fresh handles, record exchanges leave the caller's
// record as it is, iterators find nothing. What an import costs against it is the plug-in's own
// reading, wrapping and calling, apart from any board model.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/abi.h"
#include "host/api/board.h"
#include "host/api/core.h"
#include "host/api/objects.h"
#include "host/api/rules.h"

namespace recording {

// Made with the functions (recording_host_stubs.cpp, written at build time).
extern const char* const kFunctionNames[];
extern const std::size_t kFunctionCount;

// Counts a call of function number `function` and gives its answer.
std::int64_t AnswerOf(std::size_t function);

template <typename Result>
Result Answer(std::size_t function) {
  return static_cast<Result>(AnswerOf(function));
}

}  // namespace recording

extern "C" {
// Host calls answered since the module was loaded or since the last call of this function.
VIDERAVE_EXPORT std::int64_t RecordingHost_TakeCallCount();
}
