#include "engine/PictureLoader.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <new>

#include "platform/Image.h"
#include "platform/Paths.h"

namespace {

// Larger files are left to the scene, which decodes them straight into the
// size it asks for: a huge file in the folder must not cost its full size here.
constexpr std::int64_t kMaxAheadPixels = 8 * 1024 * 1024;

std::atomic<bool> allowedWorker{false};

bool isPng(const std::string& file) { return file.ends_with(".png"); }

// Files are named as the scenes name them; they lie in the data folder.
platform::FileStamp stampOf(const std::string& file) {
    return platform::fileStamp(platform::dataPath(file));
}

// Decoded as a scene would decode it, and frozen for drawing: a keyed
// picture by its runs of drawn pixels and, on the worker's spare time, one
// without key pixels (a sky) also by its flat stretches, which its plain
// copies then fill. Width 0 is the file's own size.
std::shared_ptr<const platform::Picture> decode(const std::string& file, int width, int height,
                                                std::optional<std::uint32_t> key, bool spare) {
    try {
        std::optional<platform::Surface> pixels;
        if (isPng(file)) {
            pixels = platform::loadPng(file);
        } else {
            if (width == 0) {
                const auto head = platform::bmpSize(file);
                if (!head) return nullptr;
                width = head->width;
                height = head->height;
            }
            pixels = platform::loadBmpScaled(file, width, height);
        }
        if (!pixels || pixels->empty()) return nullptr;
        // Per-pixel alpha pictures are never drawn by a key's runs.
        if (isPng(file)) return platform::Picture::of(std::move(*pixels));
        return platform::Picture::freeze(std::move(*pixels), key, spare && key);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The picture as drawing with key needs it: decoded ahead for another key (or
// none), it is frozen again for this one.
std::shared_ptr<const platform::Picture> suited(std::shared_ptr<const platform::Picture> picture,
                                                std::optional<std::uint32_t> key) {
    if (!picture || picture->suits(key)) return picture;
    try {
        return platform::Picture::freeze(picture->copy(), key);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

void PictureLoader::allow(bool on) { allowedWorker = on; }

bool PictureLoader::allowed() { return allowedWorker; }

PictureLoader::PictureLoader(const std::string& firstFile) {
    if (!allowed()) return;
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(firstFile).parent_path();
    const fs::path extension = fs::path(firstFile).extension();
    std::vector<std::pair<std::uintmax_t, std::string>> found;  // size, name
    if (extension == ".bmp" || extension == ".png") {
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
    }
    // The largest first: while a scene reads its small pictures one by one,
    // the big ones that would keep it longest are decoded beside it.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (auto& [bytes, name] : found) {
        files_.try_emplace(name);
        ahead_.push_back(std::move(name));
    }
    working_ = worker_.start([this] { run(); });
}

PictureLoader::~PictureLoader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

const std::string* PictureLoader::next(std::unique_lock<std::mutex>& lock) {
    for (;;) {
        if (stop_) return nullptr;
        while (!asked_.empty()) {
            const std::string file = std::move(asked_.front());
            asked_.pop_front();
            auto it = files_.find(file);
            if (it != files_.end() && it->second.state == State::waiting) return &it->first;
        }
        // The rest waits until the scene that asked first has its own
        // pictures: two readers of one disk only slow each other down.
        if (std::chrono::steady_clock::now() < aheadFrom_) {
            changed_.wait_until(lock, aheadFrom_, [&] { return stop_ || !asked_.empty(); });
            continue;
        }
        while (nextAhead_ < ahead_.size()) {
            auto it = files_.find(ahead_[nextAhead_++]);
            if (it != files_.end() && it->second.state == State::waiting) return &it->first;
        }
        changed_.notify_all();  // for finish()
        // All done ahead: kept for the files later scenes ask for.
        changed_.wait(lock, [&] { return stop_ || !asked_.empty(); });
    }
}

void PictureLoader::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (const std::string* name = next(lock)) {
        const std::string file = *name;
        Entry& entry = files_[file];
        entry.state = State::decoding;
        int width = entry.width, height = entry.height;
        const bool own = width == 0;
        const std::optional<std::uint32_t> key = own ? lastKey_ : entry.key;
        lock.unlock();

        const platform::FileStamp before = stampOf(file);
        bool tried = true;
        if (own && !isPng(file)) {
            // Ahead of its ask: only at a size worth holding.
            if (const auto head = platform::bmpSize(file)) {
                tried = std::int64_t{head->width} * head->height <= kMaxAheadPixels;
                width = head->width;
                height = head->height;
            }
        }
        auto pixels = tried ? decode(file, width, height, key, true) : nullptr;
        // Changed while it was read: the stamp cannot match, so the scene
        // reads it itself.
        const bool steady = stampOf(file) == before;

        lock.lock();
        entry.state = tried ? State::done : State::waiting;
        entry.own = own;
        entry.pixels = steady ? std::move(pixels) : nullptr;
        entry.stamp = steady ? before : platform::FileStamp{};
        changed_.notify_all();
    }
}

std::optional<std::shared_ptr<const platform::Picture>> PictureLoader::kept(const Entry& entry,
                                                                            const std::string& file,
                                                                            int width, int height) {
    if (entry.state != State::done || !entry.stamp.exists || stampOf(file) != entry.stamp)
        return std::nullopt;
    if (!entry.pixels || isPng(file)) return entry.pixels;  // a failure holds for any size
    if (entry.pixels->width() == width && entry.pixels->height() == height) return entry.pixels;
    if (!entry.own) return std::nullopt;
    // Decoded ahead at its own size: scaled as the decoder scales a file.
    try {
        platform::Surface spare;
        return platform::Picture::freeze(platform::scaleNearest(entry.pixels->rows(spare), width, height),
                                         entry.pixels->key());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool PictureLoader::ask(const std::string& file, int width, int height,
                        std::optional<std::uint32_t> key) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (key) lastKey_ = key;
        auto it = files_.find(file);
        if (it != files_.end()) {
            // The worker's answer, when it is on the file, is the one to give.
            changed_.wait(lock, [&] { return it->second.state != State::decoding; });
            const Entry& entry = it->second;
            if (entry.state == State::done && entry.stamp.exists && stampOf(file) == entry.stamp &&
                (!entry.pixels || entry.own || (entry.pixels->width() == width && entry.pixels->height() == height)))
                return entry.pixels != nullptr;
        }
    }
    const platform::FileStamp before = stampOf(file);
    const auto head = platform::bmpSize(file);
    if (head && !head->certain) return take(file, width, height, key) != nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = files_[file];
    if (!head) {  // refused by its headers: not read again while unchanged
        if (entry.state == State::decoding) return false;
        entry = Entry{};
        entry.state = State::done;
        entry.stamp = stampOf(file) == before ? before : platform::FileStamp{};
        return false;
    }
    if (entry.state == State::decoding) return true;
    entry = Entry{};
    entry.width = width;
    entry.height = height;
    entry.key = key;
    if (working_) asked_.push_back(file);
    changed_.notify_all();
    return true;
}

std::shared_ptr<const platform::Picture> PictureLoader::take(const std::string& file, int width,
                                                             int height,
                                                             std::optional<std::uint32_t> key) {
    std::unique_lock<std::mutex> lock(mutex_);
    Entry& entry = files_[file];
    changed_.wait(lock, [&] { return entry.state != State::decoding; });
    if (auto pixels = kept(entry, file, width, height)) {
        lock.unlock();
        return suited(std::move(*pixels), key);
    }
    // Not there (yet): decoded here rather than wait for a thread that runs
    // only on spare time.
    entry.state = State::decoding;
    lock.unlock();
    const platform::FileStamp before = stampOf(file);
    auto pixels = decode(file, width, height, key, false);
    const bool steady = stampOf(file) == before;
    lock.lock();
    entry.state = State::done;
    entry.width = width;
    entry.height = height;
    entry.key = key;
    entry.own = false;
    entry.pixels = pixels;
    entry.stamp = steady ? before : platform::FileStamp{};
    changed_.notify_all();
    return pixels;
}

void PictureLoader::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!working_) return;
    changed_.wait(lock, [&] {
        return stop_ || (asked_.empty() && nextAhead_ == ahead_.size() &&
                         std::none_of(files_.begin(), files_.end(), [](const auto& f) {
                             return f.second.state == State::decoding;
                         }));
    });
}
