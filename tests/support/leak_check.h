// The leak sanitizer asked in the middle of a test: LeakCheck() reports what has been lost so
// far (its report goes to standard error) and returns how many leaks it found; 0 in builds
// without the sanitizer.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define VIDERAVE_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIDERAVE_LEAK_CHECKER 1
#endif
#endif
#if defined(VIDERAVE_LEAK_CHECKER)
#include <sanitizer/lsan_interface.h>
#endif

namespace test_support {

inline int LeakCheck() {
#if defined(VIDERAVE_LEAK_CHECKER)
  return __lsan_do_recoverable_leak_check();
#else
  return 0;
#endif
}

}  // namespace test_support
