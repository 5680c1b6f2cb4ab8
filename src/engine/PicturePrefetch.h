// Decodes the picture files of a folder (those with the extension of the
// first one asked for: BMP or PNG) on a thread of its own, in spare processor
// time, ahead of the scenes that load them, so that entering a scene takes
// pictures that are ready instead of decoding them in that frame. It starts
// half a second after the first picture was asked for, once that scene has
// loaded its own. BMP
// pictures are analysed there too (the game keys every keyed picture with
// magenta).
//
// What a scene gets is exactly what decoding the file then would give: a
// picture is handed out only if its file is the same one (same inode, size
// and change time) as when it was decoded, and is decoded by the caller
// otherwise.
#pragma once

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
    bool png_ = false;

    std::mutex mutex_;
    std::condition_variable decoded_;
    std::map<std::string, Entry> files_;
    std::vector<std::string> order_;
    bool stop_ = false;
    std::thread worker_;
};
