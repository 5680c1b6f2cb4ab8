// Software drawing surfaces and the drawing operations every picture rests on.
// Pixels are 0x00RRGGBB (0xAARRGGBB for pictures with per-pixel alpha).
// Every operation clips to both surfaces: no rectangle, however negative or
// oversized, reads or writes outside a pixel buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Win32Types.h"

namespace platform {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height);  // black (all zero)

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    std::uint32_t* pixels() { return pixels_.data(); }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }

    // Bounds-checked single pixel access; outside reads 0 and writes nothing.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t value);
    void fill(std::uint32_t value);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// COLORREF (0x00BBGGRR) to a surface pixel (0x00RRGGBB) and back.
constexpr std::uint32_t toPixel(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF toColorRef(std::uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// Opaque copy of the w x h source rectangle at (sx, sy) to (dx, dy).
void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy);

// As copyRect, skipping source pixels whose RGB equals key.
void keyedCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
               COLORREF key);

// dst = (src * alpha + dst * (255 - alpha)) / 255 per channel, integer division,
// bit-exact. Source alpha bytes are ignored.
void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                std::uint8_t alpha);

// Paints the rectangle white.
void fillWhite(Surface& dst, int x, int y, int w, int h);

// One-pixel outline on the inside edge of r.
void frameRect(Surface& dst, const RECT& r, COLORREF color);

// Per-pixel alpha (src-over) copy of a 0xAARRGGBB source rectangle. With
// useKey, source pixels whose RGB equals keyRgb (0x00RRGGBB) are not drawn.
void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                    int sy, bool useKey, std::uint32_t keyRgb);

// Draws the w x h source rectangle at (sx, sy) of a 0xAARRGGBB picture so that
// its top-left corner lands on (dx, dy), rotated by angleDegrees clockwise on
// screen about (dx, dy); nearest sampling by inverse mapping, per-pixel alpha.
void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb);

// Turns or mirrors a picture in place; type as the picture rotate/flip values:
// 0 none, 1 turn 90 (clockwise), 2 turn 180, 3 turn 270, 4 mirror horizontally,
// 5 turn 90 and mirror, 6 turn 180 and mirror, 7 turn 270 and mirror.
void rotateFlip(Surface& s, int type);

// Nearest-neighbour rescale (never filtered: filtering would smear colour keys).
Surface scaleNearest(const Surface& src, int width, int height);

}  // namespace platform
