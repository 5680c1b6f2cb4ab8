#include "engine/PicturePrefetch.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <new>

#include "platform/Image.h"
#include "platform/KeyRuns.h"
#include "platform/Paths.h"

namespace {

constexpr std::uint32_t kMagenta = 0x00FF00FF;  // as a pixel

// Larger files are left to the scene, which decodes them straight into the
// size it asks for: a huge file in the folder must not cost its full size here.
constexpr std::int64_t kMaxAheadPixels = 8 * 1024 * 1024;

// Files are named as the scenes name them; they lie in the data folder.
bool statFile(const std::string& name, struct stat& out) {
    return ::stat(platform::dataPath(name).c_str(), &out) == 0 && S_ISREG(out.st_mode);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace

// The picture's own size from its header; the decoder checks the rest.
bool PicturePrefetch::bmpHeader(const std::string& name, int& width, int& height) {
    struct stat seen {};
    if (!statFile(name, seen)) return false;  // never opens a FIFO or a device
    const int fd = ::open(platform::dataPath(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char head[26];
    const bool read = ::read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head);
    ::close(fd);
    if (!read || head[0] != 'B' || head[1] != 'M') return false;
    std::int32_t w, h;
    std::memcpy(&w, head + 18, 4);
    std::memcpy(&h, head + 22, 4);
    if (w <= 0 || h == 0 || h == INT32_MIN || w > platform::kMaxImageSide) return false;
    width = w;
    height = h < 0 ? -h : h;
    return height <= platform::kMaxImageSide && std::int64_t{width} * height <= kMaxAheadPixels;
}

namespace {
std::atomic<bool> allowedAhead{false};
}  // namespace

void PicturePrefetch::allow(bool on) { allowedAhead = on; }

bool PicturePrefetch::allowed() { return allowedAhead; }

PicturePrefetch::PicturePrefetch(const std::string& firstFile) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(firstFile).parent_path();
    const fs::path extension = fs::path(firstFile).extension();
    png_ = extension == ".png";
    if (!png_ && extension != ".bmp") return;
    std::vector<std::pair<std::uintmax_t, std::string>> found;  // size, name
    std::error_code ec;
    const fs::path where = platform::dataPath(folder.empty() ? "." : folder.string());
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != extension) continue;
        std::string name = (folder / it->path().filename()).string();
        if (name == firstFile) continue;
        std::error_code sizeError;
        const std::uintmax_t bytes = it->file_size(sizeError);
        found.emplace_back(sizeError ? 0 : bytes, std::move(name));
    }
    // The largest first: while a scene reads its small pictures one by one,
    // the big ones that would keep it longest are decoded beside it.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (auto& [bytes, name] : found) {
        files_.emplace(name, Entry{});
        order_.push_back(std::move(name));
    }
    if (!order_.empty()) worker_ = std::thread(&PicturePrefetch::run, this);
}

PicturePrefetch::~PicturePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    decoded_.notify_all();
    if (worker_.joinable()) worker_.join();
}

const std::string* PicturePrefetch::next(std::unique_lock<std::mutex>& lock) {
    // Only spare processor time: the game's own thread, the display server
    // showing its first frames and everything else on the machine come first
    // (the game decodes a picture itself when it needs it before this thread
    // got to it). Wanted files come first. The rest waits until the scene
    // that started it has loaded its own pictures (the game starting, as a
    // rule): two readers of one disk and one address space only slow each
    // other down.
    for (;;) {
        if (stop_) return nullptr;
        while (!wanted_.empty()) {
            std::string file = std::move(wanted_.front());
            wanted_.erase(wanted_.begin());
            auto it = files_.find(file);
            if (it != files_.end() && it->second.state == State::waiting) return &it->first;
        }
        if (std::chrono::steady_clock::now() < aheadFrom_) {
            decoded_.wait_until(lock, aheadFrom_, [&] { return stop_ || !wanted_.empty(); });
            continue;
        }
        while (nextAhead_ < order_.size()) {
            auto it = files_.find(order_[nextAhead_++]);
            if (it != files_.end() && it->second.state == State::waiting) return &it->first;
        }
        // All done ahead: kept for the files a later scene wants.
        decoded_.wait(lock, [&] { return stop_ || !wanted_.empty(); });
    }
}

void PicturePrefetch::run() {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
    std::unique_lock<std::mutex> lock(mutex_);
    while (const std::string* file = next(lock)) {
        const std::string name = *file;
        files_[name].state = State::decoding;
        lock.unlock();

        std::optional<platform::Surface> pixels;
        struct stat before {}, after {};
        int width = 0, height = 0;
        if (statFile(name, before) && (png_ || bmpHeader(name, width, height))) {
            try {
                pixels = png_ ? platform::loadPng(name)
                              : platform::loadBmpScaled(name, width, height);
                if (pixels && !pixels->empty() && !png_) {
                    pixels->analyseKey(kMagenta);
                    pixels->compact();
                    // A picture with no key pixels is drawn by plain copies,
                    // which its flat stretches (a sky's bands) speed up.
                    if (const platform::KeyRuns* runs = pixels->keyRuns(kMagenta); runs && runs->opaque())
                        pixels->analyseFlat();
                }
            } catch (const std::bad_alloc&) {
                pixels.reset();
            }
            // Changed while it was read: let the scene read it itself.
            if (!statFile(name, after) || !sameFile(before, after)) pixels.reset();
        }

        lock.lock();
        Entry& entry = files_[name];
        if (entry.state == State::gone) continue;  // the scene read it itself meanwhile
        entry.pixels = std::move(pixels);
        entry.seen = before;
        entry.state = State::done;
        decoded_.notify_all();
    }
}

void PicturePrefetch::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    decoded_.wait(lock, [&] {
        return stop_ || std::none_of(files_.begin(), files_.end(), [](const auto& f) {
                   return f.second.state == State::waiting || f.second.state == State::decoding;
               });
    });
}

bool PicturePrefetch::ready(const std::string& file) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(file);
    return it != files_.end() && it->second.state == State::done;
}

void PicturePrefetch::want(const std::string& file) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [it, added] = files_.try_emplace(file);
        if (it->second.state != State::waiting) return;
        wanted_.push_back(file);
        if (!worker_.joinable()) worker_ = std::thread(&PicturePrefetch::run, this);
    }
    decoded_.notify_all();
}

std::optional<platform::Surface> PicturePrefetch::take(const std::string& file) {
    std::unique_lock<std::mutex> lock(mutex_);
    return handOut(lock, file, false);
}

std::optional<platform::Surface> PicturePrefetch::await(const std::string& file) {
    std::unique_lock<std::mutex> lock(mutex_);
    return handOut(lock, file, true);
}

std::optional<platform::Surface> PicturePrefetch::handOut(std::unique_lock<std::mutex>& lock,
                                                          const std::string& file,
                                                          bool waitForDecoding) {
    auto it = files_.find(file);
    if (it == files_.end()) return std::nullopt;
    Entry& entry = it->second;
    if (waitForDecoding)
        decoded_.wait(lock, [&] { return stop_ || entry.state != State::decoding; });
    // Not ready: the caller decodes it now, rather than wait for a thread
    // that runs only on spare time.
    if (entry.state != State::done) {
        entry.state = State::gone;
        decoded_.notify_all();
        return std::nullopt;
    }
    entry.state = State::gone;
    std::optional<platform::Surface> pixels = std::move(entry.pixels);
    entry.pixels.reset();
    const struct stat seen = entry.seen;
    lock.unlock();

    struct stat now {};
    if (!pixels || !statFile(file, now) || !sameFile(now, seen)) return std::nullopt;
    return pixels;
}
