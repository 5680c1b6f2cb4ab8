// Sound files turned into what the mixer plays: 16-bit stereo frames at
// 44100 Hz, interleaved left, right. MP3 is decoded piece by piece straight
// from the file (libmpg123); WAV through SDL, whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioFile.h"

namespace platform {

inline constexpr int kMixRate = 44100;

class AudioDecoder {
public:
    // A decoder at the file's first frame, or nullptr with the reason in why
    // when the file holds nothing we can play.
    static std::unique_ptr<AudioDecoder> open(std::shared_ptr<const AudioFile> file, std::string* why);
    virtual ~AudioDecoder() = default;

    // Up to frames frames into out (2 x frames values); fewer only at the
    // end. 0 means the end: a clean one when error() is empty.
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
    // Back to the first frame, for a sound that loops.
    virtual bool rewind() = 0;
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// A short sound decoded whole, at most maxFrames frames (a longer one is cut
// there, with the reason in why). Empty, with the reason, when nothing decodes.
std::vector<std::int16_t> decodeWhole(const std::shared_ptr<const AudioFile>& file, std::size_t maxFrames,
                                      std::string* why);

}  // namespace platform
