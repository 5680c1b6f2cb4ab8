// Decodes the picture files of a folder (those with the extension of the
// first one asked for: BMP or PNG) on a thread of its own, in spare processor
// time, ahead of the scenes that load them, so that entering a scene takes
// pictures that are ready instead of decoding them in that frame. It starts
// half a second after the first picture was asked for, once that scene has
// loaded its own. BMP
// pictures are analysed there too (the game keys every keyed picture with
// magenta).
//
// A picture can also be wanted: decoded at once, before anything taken
// ahead, for a scene that registers it now and draws it later (await).
//
// What a scene gets is exactly what decoding the file then would give: a
// picture is handed out only if its file is the same one (same inode, size
// and change time) as when it was decoded, and is decoded by the caller
// otherwise.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/Surface.h"

class PicturePrefetch {
public:
    // Starts on the folder of firstFile, the largest files first. firstFile
    // itself is left to the caller, who asks for it now.
    explicit PicturePrefetch(const std::string& firstFile);
    ~PicturePrefetch();  // stops after the file in hand
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // The pixels of file at its own size, when it was decoded ahead; nothing
    // when it was not (yet), or the file changed since: the caller decodes
    // it. Each file is handed out once.
    std::optional<platform::Surface> take(const std::string& file);

    // Whether file was decoded ahead and waits to be taken.
    bool ready(const std::string& file);
    // Puts file first in line (firstFile included), to be decoded at once.
    void want(const std::string& file);
    // As take, but waits for a decoding already under way.
    std::optional<platform::Surface> await(const std::string& file);

    bool isPng() const { return png_; }

    // A regular file with a BMP header of a size the decoder accepts and
    // this thread takes on; its own size in width x height.
    static bool bmpHeader(const std::string& file, int& width, int& height);

    // Waits until every file has been decoded or given up.
    void finish();

    // Whether the registries decode ahead: off until the game turns it on
    // (tests that count every file access, for one, want no reader beside
    // their own).
    static void allow(bool on);
    static bool allowed();

private:
    enum class State { waiting, decoding, done, gone };
    struct Entry {
        State state = State::waiting;
        std::optional<platform::Surface> pixels;
        struct stat seen {};
    };

    void run();
    // The next file to decode: wanted ones first; null once stopped.
    const std::string* next(std::unique_lock<std::mutex>& lock);
    std::optional<platform::Surface> handOut(std::unique_lock<std::mutex>& lock,
                                             const std::string& file, bool waitForDecoding);
    bool png_ = false;

    std::mutex mutex_;
    std::condition_variable decoded_;
    std::map<std::string, Entry> files_;
    std::vector<std::string> order_;
    std::vector<std::string> wanted_;  // first in, first decoded
    std::size_t nextAhead_ = 0;
    const std::chrono::steady_clock::time_point aheadFrom_ =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    bool stop_ = false;
    std::thread worker_;
};
