#include "FileFaults.h"

#include <fcntl.h>

#include <utility>

#include "platform/FileIO.h"

namespace testing_support {

namespace {
FileFaults* current = nullptr;
}  // namespace

struct FileFaultsCalls {
    static const std::string& name(int fd) {
        static const std::string unknown = "?";
        auto& f = *current;
        return fd >= 0 && static_cast<std::size_t>(fd) < f.openFiles_.size() ? f.openFiles_[fd] : unknown;
    }
    static bool isFolder(int fd) {
        auto& f = *current;
        return fd >= 0 && static_cast<std::size_t>(fd) < f.folders_.size() && f.folders_[fd];
    }
    static int open(const char* path, int flags, mode_t mode) {
        auto& f = *current;
        f.calls_.push_back(std::string("open ") + path);
        const FileFaults::Step step = (flags & O_CREAT) ? FileFaults::create : FileFaults::open;
        if (!(flags & O_DIRECTORY) && f.fails(step, path)) return -1;
        const int fd = platform::systemFileOps().open(path, flags, mode);
        if (fd >= 0) {
            if (f.openFiles_.size() <= static_cast<std::size_t>(fd)) {
                f.openFiles_.resize(fd + 1);
                f.folders_.resize(fd + 1);
            }
            f.openFiles_[fd] = path;
            f.folders_[fd] = (flags & O_DIRECTORY) != 0;
        }
        return fd;
    }
    static ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset) {
        auto& f = *current;
        f.calls_.push_back("pread " + name(fd));
        if (f.fails(FileFaults::read, name(fd))) return -1;
        const ssize_t n = platform::systemFileOps().pread(fd, buffer, size, offset);
        if (n > 0) f.bytesRead_ += static_cast<std::uint64_t>(n);
        return n;
    }
    static ssize_t write(int fd, const void* buffer, std::size_t size) {
        auto& f = *current;
        f.calls_.push_back("write " + name(fd));
        if (f.fails(FileFaults::write, name(fd))) return -1;
        return platform::systemFileOps().write(fd, buffer, size);
    }
    static int fsync(int fd) {
        auto& f = *current;
        f.calls_.push_back("fsync " + name(fd));
        if (f.fails(isFolder(fd) ? FileFaults::folderFlush : FileFaults::flush, name(fd))) return -1;
        return platform::systemFileOps().fsync(fd);
    }
    static int close(int fd) {
        current->calls_.push_back("close " + name(fd));
        return platform::systemFileOps().close(fd);
    }
    static int rename(const char* from, const char* to) {
        auto& f = *current;
        f.calls_.push_back(std::string("rename ") + from + " " + to);
        if (f.fails(FileFaults::rename, to)) return -1;
        return platform::systemFileOps().rename(from, to);
    }
    static void report(const std::string& line) { current->reports_.push_back(line); }
};

FileFaults::FileFaults(Step failing, std::string onlyPath, int error)
    : failing_(failing), onlyPath_(std::move(onlyPath)), error_(error) {
    current = this;
    platform::fileOps() = {FileFaultsCalls::open,  FileFaultsCalls::pread,  FileFaultsCalls::write,
                           FileFaultsCalls::fsync, FileFaultsCalls::close,  FileFaultsCalls::rename,
                           FileFaultsCalls::report};
}

FileFaults::~FileFaults() {
    platform::fileOps() = platform::systemFileOps();
    current = nullptr;
}

void FileFaults::clear() {
    calls_.clear();
    reports_.clear();
    bytesRead_ = 0;
}

bool FileFaults::fails(Step step, const std::string& path) {
    // A temporary file beside the path counts as the path.
    if (step != failing_ || (!onlyPath_.empty() && path.rfind(onlyPath_, 0) != 0)) return false;
    errno = error_;
    return true;
}

}  // namespace testing_support
