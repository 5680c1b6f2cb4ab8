// Writing sounds: 16-bit PCM WAV, and MP3 at 128 kbps through libmp3lame.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 44100;

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = 0) : left(frames, 0.f), right(frames, 0.f) {}
    size_t frames() const { return left.size(); }
};

std::vector<uint8_t> encodeWav16(const Stereo& sound);
// CBR 128 kbps joint stereo, with the encoder's info frame first so players
// can drop the encoder delay and padding (needed for seamless loops).
std::vector<uint8_t> encodeMp3(const Stereo& sound);

}  // namespace assetgen
