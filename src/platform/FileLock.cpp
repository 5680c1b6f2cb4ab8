#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/FileIO.h"

namespace platform {

namespace {

// A save holds the lock for a few milliseconds; a holder that keeps it far
// longer is stuck or hostile, and must not freeze the game.
constexpr int kAttempts = 200;
constexpr auto kPause = std::chrono::milliseconds(5);

}  // namespace

FileLock::FileLock(const std::string& path) {
    fd_ = fileOps().open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        if (errno != EACCES && errno != EROFS) reportFile(path, std::string("not used: ") + std::strerror(errno));
        return;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        std::this_thread::sleep_for(kPause);
    }
    reportFile(path, "another game keeps it locked; going on without it");
}

FileLock::~FileLock() {
    if (fd_ >= 0) fileOps().close(fd_);  // closing releases the lock
}

}  // namespace platform
