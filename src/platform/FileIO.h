// The game's small files, read and written whole, and the rules every file
// the game touches keeps: a reader opens without blocking and checks what it
// opened before reading; a save replaces the file atomically and durably.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The file calls readers and saves go through. Tests replace entries to make
// a step fail or to record the order of the calls; the game's table holds
// the system's own calls.
struct FileOps {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void* buffer, std::size_t size, off_t offset);
    ssize_t (*write)(int fd, const void* buffer, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    // Where the one-line reports go; the game's writes them to stderr.
    void (*report)(const std::string& line);
};
FileOps& fileOps();
// The system's calls, for a test that wraps them.
const FileOps& systemFileOps();

// One line on stderr: "swapsprint: PATH: PROBLEM". A line said in the last
// few seconds is not said again, so a save retried every frame reports once.
void reportFile(const std::string& path, const std::string& problem);

enum class FileState {
    ok,
    missing,     // nothing at all by that name
    unreadable,  // something is there but cannot be read: never treat it as absent
};

struct FileBytes {
    FileState state = FileState::missing;
    std::vector<std::uint8_t> bytes;
};

// Up to maxBytes from the start of the file. Anything but a readable regular
// file (a folder, a FIFO, a device, a link to nothing, a read error) is
// unreadable, and said so on stderr.
FileBytes readFile(const std::string& name, std::size_t maxBytes);

// Replaces the file atomically: a temporary file of this process's own is
// created beside it, written, flushed and renamed over it, then the folder is
// flushed, so a crash, a power cut or a full disk never leaves a half-written
// file. A link is written through to its target, which keeps its mode. A
// read-only file is left as it is. False (the old file untouched, one line on
// stderr) on any failure. durable = false skips both flushes, for files
// rewritten every frame.
bool writeFileAtomic(const std::string& name, const void* data, std::size_t size,
                     bool durable = true);

// What a path names right now, enough to tell whether the file changed since
// it was last looked at.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStamp(const std::string& path);

}  // namespace platform
