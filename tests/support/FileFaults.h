// Stands in for the game's file calls for the guard's life: every call is
// recorded in order, one step can be made to fail (for every file, or for one
// path only), and the one-line reports are kept instead of printed.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class FileFaults {
public:
    enum Step {
        none,
        create,       // creating the temporary file of a save
        write,
        flush,        // flushing a file to disk
        rename,
        folderFlush,  // flushing the folder after the rename
        open,         // opening a file to read it
        read,
    };
    explicit FileFaults(Step failing = none, std::string onlyPath = "", int error = EIO);
    ~FileFaults();
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;

    // "open PATH", "pread PATH", "write PATH", "fsync PATH", "close PATH",
    // "rename FROM TO", in the order they were made.
    const std::vector<std::string>& calls() const { return calls_; }
    std::uint64_t bytesRead() const { return bytesRead_; }
    const std::vector<std::string>& reports() const { return reports_; }
    void clear();

private:
    friend struct FileFaultsCalls;
    bool fails(Step step, const std::string& path);

    Step failing_;
    std::string onlyPath_;
    int error_;
    std::vector<std::string> calls_;
    std::vector<std::string> reports_;
    std::vector<std::string> openFiles_;  // by descriptor
    std::vector<bool> folders_;
    std::uint64_t bytesRead_ = 0;
};

}  // namespace testing_support
