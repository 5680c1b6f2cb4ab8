// An exclusive advisory lock on a lock file beside a stored file, held for
// the life of the object, so two games in one folder take turns to read,
// merge and write it.
#pragma once

#include <string>

namespace platform {

class FileLock {
public:
    // Waits a short while for another holder; a lock file that cannot be made
    // (a read-only folder, a link planted at its name) leaves the lock unheld,
    // and the caller goes on without it.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

}  // namespace platform
