// Picture decoding. Failures give an empty optional; nothing is ever read or
// allocated past what the file really holds.
#pragma once

#include <optional>
#include <string>

#include "platform/Surface.h"

namespace platform {

// Largest picture dimension accepted from a file header.
constexpr int kMaxImageSide = 16384;

// A BMP file decoded to 0x00RRGGBB and scaled to width x height by nearest
// neighbour (never filtered: filtering would smear the colour key).
std::optional<Surface> loadBmpScaled(const std::string& path, int width, int height);

// What a BMP file's headers say, checked as loadBmpScaled checks them: the
// picture's own size, and whether its pixels are sure to decode (an
// uncompressed picture whose file holds every row it claims; run-length data
// shows only when it is decoded). Nothing, with one line on stderr, when the
// decoder would refuse the file.
struct BmpSize {
    int width = 0, height = 0;
    bool certain = false;
};
std::optional<BmpSize> bmpSize(const std::string& path);

// A PNG file decoded to 0xAARRGGBB at its own size.
std::optional<Surface> loadPng(const std::string& path);

// Writes a surface as a 24-bit PNG (alpha ignored); for screenshots and tests.
bool savePng(const Surface& s, const std::string& path);

}  // namespace platform
