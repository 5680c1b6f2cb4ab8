#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <utility>

#include "platform/ReadableFile.h"
#include "platform/SavedFiles.h"

namespace platform {

namespace {

int systemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

// Repeats of a line within this many seconds are dropped.
constexpr double kRepeatSeconds = 10;

void writeToStderr(const std::string& line) {
    using Clock = std::chrono::steady_clock;
    // Pictures are also read on the picture loader's thread (engine/PictureLoader).
    static std::mutex guard;
    std::lock_guard<std::mutex> lock(guard);
    static std::deque<std::pair<std::string, Clock::time_point>> recent;
    const auto now = Clock::now();
    while (!recent.empty() &&
           std::chrono::duration<double>(now - recent.front().second).count() > kRepeatSeconds)
        recent.pop_front();
    if (std::any_of(recent.begin(), recent.end(), [&](const auto& r) { return r.first == line; }))
        return;
    recent.emplace_back(line, now);
    std::fprintf(stderr, "%s\n", line.c_str());
}

constexpr FileOps kSystemOps = {systemOpen, ::pread, ::write, ::fsync, ::close, ::rename, writeToStderr};

FileOps& table() {
    static FileOps ops = kSystemOps;
    return ops;
}

std::string errorText(int error) { return std::strerror(error); }

bool writeAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = fileOps().write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is only on disk once the folder holding it is.
bool syncFolder(const std::string& folder) {
    const int fd = fileOps().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = fileOps().fsync(fd) == 0;
    const int error = errno;
    fileOps().close(fd);
    errno = error;
    return ok;
}

// Creates a temporary file of this process's own beside target: exclusively,
// so nothing planted at the name (a link above all) is ever written through.
int createTemporary(const std::string& target, mode_t mode, std::string& temp) {
    const std::string stem = target + ".tmp." + std::to_string(::getpid());
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = attempt == 0 ? stem : stem + "." + std::to_string(attempt);
        const int fd = fileOps().open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

FileOps& fileOps() { return table(); }

const FileOps& systemFileOps() { return kSystemOps; }

void reportFile(const std::string& path, const std::string& problem) {
    fileOps().report("swapsprint: " + path + ": " + problem);
}

FileBytes readFile(const std::string& name, std::size_t maxBytes) {
    FileBytes out;
    ReadableFile file(name, std::numeric_limits<std::uint64_t>::max());
    if (file.state() == ReadableFile::State::missing) return out;
    out.state = FileState::unreadable;
    if (!file.isOpen()) return out;
    out.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, file.size())));
    out.bytes.resize(file.readAt(0, out.bytes.data(), out.bytes.size()));
    if (file.isOpen()) out.state = FileState::ok;
    return out;
}

bool writeFileAtomic(const std::string& name, const void* data, std::size_t size, bool durable) {
    auto fail = [&](const std::string& why) {
        reportFile(name, "not saved: " + why);
        return false;
    };
    // A link is written through: its target is what gets replaced.
    std::string target = name;
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(name.c_str(), nullptr);
        if (!real) return fail(errno == ENOENT ? "it is a link to nothing" : errorText(errno));
        target = real;
        std::free(real);
    }
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(errorText(errno));
    if (exists && !S_ISREG(st.st_mode)) return fail("something other than a regular file stands in its place");
    if (exists && ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        return fail("the file is read-only, so it is left as it is");

    const mode_t mode = exists ? (st.st_mode & 07777) : 0644;
    std::string temp;
    const int fd = createTemporary(target, mode, temp);
    if (fd < 0) return fail("cannot create a file beside it (" + errorText(errno) + ")");
    if (exists) {
        // The replacement keeps the file's mode (not narrowed by the umask) and owner.
        ::fchmod(fd, mode);
        [[maybe_unused]] const int owned = ::geteuid() == 0 ? ::fchown(fd, st.st_uid, st.st_gid) : 0;
    }
    std::string problem;
    if (!writeAll(fd, static_cast<const std::uint8_t*>(data), size))
        problem = "writing failed (" + errorText(errno) + ")";
    else if (durable && fileOps().fsync(fd) != 0)
        problem = "flushing to disk failed (" + errorText(errno) + ")";
    if (fileOps().close(fd) != 0 && problem.empty()) problem = "closing failed (" + errorText(errno) + ")";
    if (problem.empty() && fileOps().rename(temp.c_str(), target.c_str()) != 0)
        problem = "replacing it failed (" + errorText(errno) + ")";
    if (!problem.empty()) {
        ::unlink(temp.c_str());
        return fail(problem);
    }
    if (durable && !syncFolder(folderOf(target)))
        reportFile(name, "saved, but its folder could not be flushed to disk (" + errorText(errno) + ")");
    keepSavedFiles();
    return true;
}

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified = std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = std::int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

}  // namespace platform
