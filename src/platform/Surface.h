// Software drawing surfaces and the one drawing pipeline every picture rests
// on: clipping, the exact blend arithmetic and the choice of processor
// kernels all live here (kernels in SurfaceSimd; drawing a frozen picture by
// its analysis in Picture). Pixels are 0x00RRGGBB (0xAARRGGBB for pictures with per-pixel
// alpha). Every operation clips to both surfaces: no rectangle, however
// negative or oversized, reads or writes outside a pixel buffer.
#pragma once

#include <cstddef>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Box.h"
#include "platform/Win32Types.h"

namespace platform {

struct Blit;

// Gives a surface's buffer back to the pool of big buffers (Surface.cpp).
struct GiveBackPixels {
    std::size_t size = 0;
    void operator()(std::uint32_t* p) const;
};

// A plain pixel buffer: what decoding, turning and scaling make, and what a
// canvas draws into. A copy is a copy of every pixel. Pictures, once loaded,
// are frozen into a Picture (Picture.h), which also knows how best to draw them.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height);  // black (all zero)
    // Pixels left unset, for a caller that writes every one of them next.
    static Surface uninitialised(int width, int height);

    Surface(const Surface& other);
    Surface& operator=(const Surface& other);
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }

    std::uint32_t* pixels() { return pixels_.get(); }
    const std::uint32_t* pixels() const { return pixels_.get(); }
    std::uint32_t* row(int y) { return pixels_.get() + std::size_t(y) * width_; }
    const std::uint32_t* row(int y) const { return pixels_.get() + std::size_t(y) * width_; }

    // Bounds-checked single pixel access; outside reads 0 and writes nothing.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t value);
    void fill(std::uint32_t value);

private:
    Surface(int width, int height, bool zeroed);

    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<std::uint32_t[], GiveBackPixels> pixels_;
};

// COLORREF (0x00BBGGRR) to a surface pixel (0x00RRGGBB) and back.
constexpr std::uint32_t toPixel(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF toColorRef(std::uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// Drawing operations change only pixels within their last argument, a box
// (the cells of a frame being drawn again, say); by default, anywhere.
inline constexpr Box kEverywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

// A blit rectangle that lies wholly inside its source and destination.
struct Blit {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

// Clips the w x h rectangle at (sx, sy) of a srcW x srcH source, drawn at
// (dx, dy) on a dstW x dstH destination. Source pixels outside the source
// shift the destination with them, as a blit does. Wide arithmetic, so frame
// indexes that overflow an int after multiplying by the cell size are safe.
// False when nothing is left to draw.
bool clipBlit(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
              std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, Blit& out);
// The same, then cut to within.
bool clipBlit(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
              std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, const Box& within,
              Blit& out);

// Opaque copy of the w x h source rectangle at (sx, sy) to (dx, dy).
void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, const Box& within = kEverywhere);

// As copyRect, skipping source pixels whose RGB equals key.
void keyedCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
               COLORREF key, const Box& within = kEverywhere);

// dst = (src * alpha + dst * (255 - alpha)) / 255 per channel, integer division,
// bit-exact; the result's top byte is 0. Source alpha bytes are ignored.
void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                std::uint8_t alpha, const Box& within = kEverywhere);

// alphaBlend for the source pixels whose RGB is not key; the others leave the
// destination exactly as it was. This is what copying the destination aside,
// drawing the keyed picture over the copy and blending the copy back gives,
// without the two extra passes.
void keyedBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                COLORREF key, std::uint8_t alpha, const Box& within = kEverywhere);

// Sets every pixel of box (clipped) to one value.
void fillBox(Surface& dst, const Box& box, std::uint32_t pixel, const Box& within = kEverywhere);

// Paints the rectangle white.
void fillWhite(Surface& dst, int x, int y, int w, int h);

// The four one-pixel edges on the inside of r, as boxes (some may be empty).
std::array<Box, 4> frameEdges(const RECT& r);
// One-pixel outline on the inside edge of r.
void frameRect(Surface& dst, const RECT& r, COLORREF color);

// Per-pixel alpha (src-over) copy of a 0xAARRGGBB source rectangle. With
// useKey, source pixels whose RGB equals keyRgb (0x00RRGGBB) are not drawn.
void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                    int sy, bool useKey, std::uint32_t keyRgb, const Box& within = kEverywhere);

// Ink of one colour through a w x h coverage mask (one byte a pixel, 0..255)
// placed at (dx, dy): dst = (ink * c + dst * (255 - c)) / 255 per channel;
// the destination's top byte is kept. (Antialiased text.)
void coverageBlend(Surface& dst, long long dx, long long dy, const std::uint8_t* coverage, int w,
                   int h, COLORREF color, const Box& within = kEverywhere);

// Draws the w x h source rectangle at (sx, sy) of a 0xAARRGGBB picture so that
// its top-left corner lands on (dx, dy), rotated by angleDegrees clockwise on
// screen about (dx, dy); nearest sampling by inverse mapping, per-pixel alpha.
void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb, const Box& within = kEverywhere);
// The pixels a w x h picture turned by angleDegrees about (dx, dy) may cover,
// within limit; false when none (or the angle is not a number).
bool rotatedBounds(int dx, int dy, int w, int h, double angleDegrees, const Box& limit, Box& out);

// Turns or mirrors a picture in place; type as the picture rotate/flip values:
// 0 none, 1 turn 90 (clockwise), 2 turn 180, 3 turn 270, 4 mirror horizontally,
// 5 turn 90 and mirror, 6 turn 180 and mirror, 7 turn 270 and mirror.
void rotateFlip(Surface& s, int type);

// Nearest-neighbour rescale (never filtered: filtering would smear colour keys).
Surface scaleNearest(const Surface& src, int width, int height);

// n pixels of a 24-bit BMP row (blue, green, red bytes) to 0x00RRGGBB.
void bgrToPixels(std::uint32_t* dst, const std::uint8_t* bgr, int n);

}  // namespace platform
