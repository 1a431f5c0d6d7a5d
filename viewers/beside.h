// Work done beside the caller: on a thread of its own where the build has threads, else at once,
// before the constructor returns (the Windows build's MinGW compiler of the win32 thread model
// and the WebAssembly build have none). Either way the work is done when Wait or the destructor
// returns, so what it writes may be read then.
//
//   Beside rules([&] { read = TranslateRules(source, settings, error); });
//   ...                  // other work, touching nothing the rules' work touches
//   rules.Wait();        // settings may be read from here on
#pragma once

#include <functional>
#include <memory>

namespace view {

class Beside {
 public:
  explicit Beside(std::function<void()> work);
  ~Beside();
  Beside(const Beside&) = delete;
  Beside& operator=(const Beside&) = delete;

  void Wait();

 private:
  struct Thread;
  std::unique_ptr<Thread> thread_;
};

}  // namespace view
