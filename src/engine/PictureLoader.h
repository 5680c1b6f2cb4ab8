// The one way the registries get a file's pixels: ask for the file (at a
// size), later take it. A worker thread decodes what was asked, in the order
// asked, and in spare time the folder's other pictures of the same kind (the
// ones later scenes ask for), so that a scene takes pictures that are ready
// instead of decoding them in its frame.
//
// What is taken is exactly what decoding the file then would give: pixels
// decoded before are handed out only while the file is the same one (same
// inode, size and change times), and take decodes the file itself when the
// worker has not got to it, when it changed, or when there is no worker (the
// page, the tests). Every file's pixels are kept once decoded, so a file
// loaded under many keys is decoded once; a file that failed is not read
// again until it changes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileIO.h"
#include "platform/SpareThread.h"
#include "platform/Picture.h"

class PictureLoader {
public:
    // With a worker (where allowed), that starts on the asked files at once
    // and on the rest of firstFile's folder, the largest first, half a second
    // later, once the scene that asked first has what it draws first.
    explicit PictureLoader(const std::string& firstFile);
    ~PictureLoader();  // stops after the file in hand
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    // Puts a BMP file in line, to be scaled to width x height and analysed
    // for key (0x00RRGGBB) when it has one. False when the file cannot give
    // that picture, whoever looks first: its headers say so, or, where the
    // headers cannot promise the pixels (run-length data), decoding it here
    // failed.
    bool ask(const std::string& file, int width, int height, std::optional<std::uint32_t> key);

    // A BMP file's picture at width x height, a PNG file's at its own size
    // (width and height 0), frozen for drawing with key (or without); null
    // when the file does not decode. Waits for a decoding under way.
    std::shared_ptr<const platform::Picture> take(const std::string& file, int width, int height,
                                                  std::optional<std::uint32_t> key);

    // Waits until the worker has tried every file in line (for tests).
    void finish();

    // Whether loaders have a worker: off until the game turns it on (tests
    // that count every file access, for one, want no reader beside their own).
    static void allow(bool on);
    static bool allowed();

private:
    enum class State { waiting, decoding, done };
    struct Entry {
        State state = State::waiting;
        int width = 0, height = 0;  // as asked; 0: the file's own size
        bool own = false;           // pixels decoded ahead, at the file's own size
        std::optional<std::uint32_t> key;
        std::shared_ptr<const platform::Picture> pixels;  // null: the file did not decode
        platform::FileStamp stamp;                        // the file as it was decoded
    };

    void run();
    // The next file to decode: asked ones first; null once stopped.
    const std::string* next(std::unique_lock<std::mutex>& lock);
    // The entry's pixels at width x height, while they are still the file's.
    static std::optional<std::shared_ptr<const platform::Picture>> kept(const Entry& entry,
                                                                        const std::string& file,
                                                                        int width, int height);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Entry> files_;
    std::deque<std::string> asked_;
    std::vector<std::string> ahead_;
    std::size_t nextAhead_ = 0;
    // The key pictures are analysed for ahead of their ask: the last one a
    // caller asked with (none before the first).
    std::optional<std::uint32_t> lastKey_;
    const std::chrono::steady_clock::time_point aheadFrom_ =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    bool stop_ = false;
    bool working_ = false;
    platform::SpareThread worker_;
};
