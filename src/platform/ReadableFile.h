// A file opened for reading only once it has shown itself to be a regular
// file of a size its reader accepts. It is opened without blocking, so a FIFO
// or a device put in its place is refused instead of waited on, and it is
// checked after opening, so nothing can swap it between a look and a read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class ReadableFile {
public:
    enum class State { open, missing, refused };

    // Refuses (with one line on stderr) anything that is not a regular file
    // of at most maxBytes. A missing file is not reported: callers decide.
    ReadableFile(std::string path, std::uint64_t maxBytes);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    State state() const { return state_; }
    bool isOpen() const { return state_ == State::open; }
    const std::string& path() const { return path_; }
    std::uint64_t size() const { return size_; }

    // Up to size bytes from offset; fewer only at the end of the file. A read
    // error refuses the file and gives what was read before it.
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Exactly size bytes from offset, or false.
    bool readExactly(std::uint64_t offset, void* buffer, std::size_t size);

    // Hands the open descriptor to a reader that takes it from here and
    // closes it; this object reads nothing more.
    int releaseDescriptor();

    // The file turned out unusable: closes it and says why, once.
    void refuse(const std::string& reason);

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    State state_ = State::missing;
};

}  // namespace platform
