#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {
int writeFault = 0;

bool writeAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}
}  // namespace

std::vector<std::uint8_t> readFile(const std::string& name, std::size_t maxBytes) {
    std::vector<std::uint8_t> out;
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return out;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return out;
    }
    out.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        ssize_t r = ::read(fd, out.data() + got, maxBytes - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    out.resize(got);
    return out;
}

bool writeFileAtomic(const std::string& name, const void* data, std::size_t size, bool durable) {
    // The temporary lives beside the target so the rename never crosses a
    // file system.
    const std::string temp = name + ".tmp";
    int fd = writeFault == 1 ? -1 : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeFault != 2 && writeAll(fd, static_cast<const std::uint8_t*>(data), size);
    ok = ok && writeFault != 3 && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && writeFault != 4 && ::rename(temp.c_str(), name.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

void setWriteFault(int step) { writeFault = step; }

}  // namespace platform
