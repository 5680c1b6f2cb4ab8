#include "platform/SpareThread.h"

namespace platform {

// The page runs on one thread: the work is left to its caller.
bool SpareThread::start(std::function<void()>) { return false; }

void SpareThread::join() {}

}  // namespace platform
