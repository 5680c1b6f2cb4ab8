#include "platform/AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/Paths.h"

namespace platform {

std::unique_ptr<AudioFile> AudioFile::open(const std::string& path, std::string* why) {
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever.
    int fd = ::open(dataPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return nullptr;
    }
    struct stat st {};
    const char* problem = nullptr;
    if (::fstat(fd, &st) != 0)
        problem = "cannot be examined";
    else if (!S_ISREG(st.st_mode))
        problem = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file";
    else if (st.st_size <= 0)
        problem = "is empty";
    else if (st.st_size > kMaxSoundFileBytes)
        problem = "is larger than 16 MB";
    if (problem) {
        ::close(fd);
        *why = problem;
        return nullptr;
    }
    std::unique_ptr<AudioFile> file(new AudioFile(path, fd, st.st_size));
    unsigned char head[12] = {};
    if (file->readAt(0, head, sizeof head) == sizeof head && std::memcmp(head, "RIFF", 4) == 0 &&
        std::memcmp(head + 8, "WAVE", 4) == 0)
        file->format_ = SoundFormat::Wav;
    return file;
}

AudioFile::AudioFile(std::string path, int fd, std::int64_t size)
    : path_(std::move(path)), fd_(fd), size_(size) {}

AudioFile::~AudioFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t AudioFile::readAt(std::int64_t offset, void* into, std::size_t count) const {
    if (offset < 0 || offset >= size_) return 0;
    count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
    std::size_t got = 0;
    while (got < count) {
        ssize_t n = ::pread(fd_, static_cast<char*>(into) + got, count - got, offset + static_cast<std::int64_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

void reportBadSound(const std::string& path, const std::string& why) {
    static std::mutex lock;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> hold(lock);
    if (!reported.insert(path).second) return;
    std::fprintf(stderr, "swapsprint: sound %s: %s\n", path.c_str(), why.c_str());
}

}  // namespace platform
