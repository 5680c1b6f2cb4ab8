// A thread for work done in spare processor time only: the game's own thread,
// the display server showing its frames and everything else on the machine
// come first. The page has one thread: there start() starts nothing and says
// so, and the caller does the work itself when it needs it done.
#pragma once

#include <functional>
#include <thread>

namespace platform {

class SpareThread {
public:
    SpareThread() = default;
    ~SpareThread() { join(); }
    SpareThread(const SpareThread&) = delete;
    SpareThread& operator=(const SpareThread&) = delete;

    // False when no thread was started (none to spare, or one runs already).
    bool start(std::function<void()> work);
    // Waits for the work to end; the caller has told it to stop.
    void join();

private:
    std::thread thread_;
};

}  // namespace platform
