#include "platform/ReadableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/FileIO.h"

namespace platform {

namespace {

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

}  // namespace

ReadableFile::ReadableFile(std::string path, std::uint64_t maxBytes) : path_(std::move(path)) {
    struct stat link {};
    if (::lstat(path_.c_str(), &link) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return;  // missing: the caller decides
        refuse(std::strerror(errno));
        return;
    }
    // Non-blocking: opening a FIFO or a device must never wait for a writer.
    fd_ = fileOps().open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd_ < 0) {
        const int error = errno;
        refuse(error == ENOENT && S_ISLNK(link.st_mode) ? "a link to nothing" : std::strerror(error));
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        refuse(std::strerror(errno));
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        refuse(kindOf(st.st_mode) + ", not a regular file");
        return;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        refuse(std::to_string(st.st_size) + " bytes, more than such a file can hold (" +
               std::to_string(maxBytes) + ")");
        return;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    state_ = State::open;
}

ReadableFile::~ReadableFile() {
    if (fd_ >= 0) fileOps().close(fd_);
}

std::size_t ReadableFile::readAt(std::uint64_t offset, void* buffer, std::size_t size) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t got = 0;
    while (state_ == State::open && got < size) {
        const ssize_t n = fileOps().pread(fd_, out + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) refuse(std::string("read error (") + std::strerror(errno) + ")");
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool ReadableFile::readExactly(std::uint64_t offset, void* buffer, std::size_t size) {
    return readAt(offset, buffer, size) == size;
}

int ReadableFile::releaseDescriptor() {
    return std::exchange(fd_, -1);
}

void ReadableFile::refuse(const std::string& reason) {
    if (fd_ >= 0) fileOps().close(fd_);
    fd_ = -1;
    if (state_ == State::refused) return;  // said once is enough
    state_ = State::refused;
    reportFile(path_, "refused: " + reason);
}

}  // namespace platform
