// Turning drawn canvases into the files the game loads: 24-bit BMPs (with a
// clean magenta key where the picture is keyed) and PNGs with alpha.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "canvas.hpp"

namespace assetgen {

constexpr uint32_t kMagenta = 0xFF00FF;
// The skip button's key as the game reads it (RGB 00 00 49).
constexpr uint32_t kSkipKey = 0x000049;

enum class Format {
    KeyedBmp,   // magenta key: every pixel exact magenta or opaque
    OpaqueBmp,  // no key: composited over white
    Png,        // straight alpha
    PngSkip     // straight alpha, never the skip key colour
};

// Final pixels, 0xAARRGGBB, not premultiplied.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Drawn with alpha, then thresholded: pixels at least half covered keep their
// own colour at full opacity (never blended with magenta), the rest become
// exact magenta. A drawn colour that happens to equal the key is moved off it.
Image toKeyed(const Canvas& canvas);
Image toOpaque(const Canvas& canvas);
// Straight alpha; with avoidSkipKey no pixel keeps RGB 00 00 49.
Image toStraight(const Canvas& canvas, bool avoidSkipKey);

std::vector<uint8_t> encodeBmp24(const Image& image);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool writeBmp(const std::string& path, const Image& image);
bool writePng(const std::string& path, const Image& image);

}  // namespace assetgen
