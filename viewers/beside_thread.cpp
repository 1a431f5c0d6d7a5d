// Beside on a build with threads.
#include <system_error>
#include <thread>

#include "viewers/beside.h"

namespace view {

struct Beside::Thread {
  std::thread thread;
};

Beside::Beside(std::function<void()> work) {
  try {
    thread_ = std::make_unique<Thread>(Thread{std::thread(work)});
  } catch (const std::system_error&) {
    work();  // no thread to be had (a process at its limit): the work is done here instead
  }
}

Beside::~Beside() { Wait(); }

void Beside::Wait() {
  if (thread_ != nullptr && thread_->thread.joinable()) thread_->thread.join();
}

}  // namespace view
