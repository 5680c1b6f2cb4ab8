// Shared by the fuzz targets: the readers under test open files by name, so
// each input is written to a file in a private scratch folder that is the
// working directory for the whole run.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzz_support {

// Enters a fresh folder once per process; memory-backed when /dev/shm exists,
// since every execution writes a file.
inline void enterScratchFolder() {
    static const bool entered = [] {
        char shm[] = "/dev/shm/swapsprint-fuzz-XXXXXX";
        char tmp[] = "/tmp/swapsprint-fuzz-XXXXXX";
        const char* dir = ::mkdtemp(shm);
        if (!dir) dir = ::mkdtemp(tmp);
        if (!dir || ::chdir(dir) != 0) std::abort();
        return true;
    }();
    (void)entered;
}

// Replaces the named file with exactly these bytes (or removes it for a null
// input, so "missing" is part of what gets explored).
inline void putFile(const std::string& name, const std::uint8_t* data, std::size_t size,
                    bool present = true) {
    ::unlink(name.c_str());
    if (!present) return;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        ssize_t w = ::write(fd, data + done, size - done);
        if (w <= 0) std::abort();
        done += static_cast<std::size_t>(w);
    }
    ::close(fd);
}

// A broken property: libFuzzer reports the abort with the input that caused it.
inline void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace fuzz_support
