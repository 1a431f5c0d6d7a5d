// GoogleTest's Notification for the Windows build, made of a Win32 event: the compiler's win32
// thread model has no std::mutex or std::condition_variable, with which GoogleTest would make
// it. Forced into every GoogleTest translation unit (-include) with GTEST_HAS_NOTIFICATION_.
#pragma once

#include <windows.h>
#undef Yield

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
