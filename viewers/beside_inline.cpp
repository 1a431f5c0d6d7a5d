// Beside on a build without threads: the work is done at once.
#include "viewers/beside.h"

namespace view {

struct Beside::Thread {};

Beside::Beside(std::function<void()> work) { work(); }

Beside::~Beside() = default;

void Beside::Wait() {}

}  // namespace view
