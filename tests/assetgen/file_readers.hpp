// Small readers for the generated files: 24-bit BMP, PNG (libpng) and the
// MP3/WAV sounds (libmp3lame's decoder), enough to check what the game loads.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace assetcheck {

std::string gameDir();
std::optional<std::vector<uint8_t>> readBytes(const std::string& path);

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;  // 0xAARRGGBB; BMPs are fully opaque
    uint32_t at(int x, int y) const { return argb[size_t(y) * width + x]; }
    uint32_t rgb(int x, int y) const { return at(x, y) & 0xFFFFFF; }
};

// Only uncompressed 24-bit BMPs are accepted.
std::optional<Picture> readBmp24(const std::string& path);
std::optional<Picture> readPng(const std::string& path);

struct Sound {
    int sampleRate = 0;
    int channels = 0;
    int bitrateKbps = 0;  // 0 for WAV
    size_t frames = 0;    // decoded samples per channel
    double seconds() const { return sampleRate ? double(frames) / sampleRate : 0.0; }
};

std::optional<Sound> decodeMp3(const std::string& path);
std::optional<Sound> readWav(const std::string& path);

}  // namespace assetcheck
