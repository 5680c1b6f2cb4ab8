// Software drawing surfaces and the one drawing pipeline every picture rests
// on: clipping, the exact blend arithmetic and the choice of processor
// kernels all live here (kernels in SurfaceSimd, the keyed-picture analysis in
// KeyRuns). Pixels are 0x00RRGGBB (0xAARRGGBB for pictures with per-pixel
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

class KeyRuns;
class FlatRows;
struct Blit;

// Copies share their pixels until one of them changes (so a whole frame
// copied to the window costs nothing).
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

    // Any access that may change pixels drops the keyed analysis below, so a
    // picture drawn into after it was analysed is never drawn from stale runs,
    // and gives this surface pixels of its own. (So write through a pointer
    // from these only before the surface is next analysed or copied.)
    std::uint32_t* pixels() { return changed(), pixels_.get(); }
    const std::uint32_t* pixels() const { return held(), pixels_.get(); }
    std::uint32_t* row(int y) { return changed(), pixels_.get() + std::size_t(y) * width_; }
    const std::uint32_t* row(int y) const {
        return held(), pixels_.get() + std::size_t(y) * width_;
    }

    // Bounds-checked single pixel access; outside reads 0 and writes nothing.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t value);
    void fill(std::uint32_t value);

    // Records where the pixels whose RGB is not keyRgb (0x00RRGGBB) lie, so
    // keyed copies and keyed blends from this surface touch only those. Done
    // once for a picture that is drawn keyed and not changed afterwards.
    void analyseKey(std::uint32_t keyRgb);
    // The analysis for keyRgb, or null when there is none or the pixels may
    // have changed since it was made.
    const KeyRuns* keyRuns(std::uint32_t keyRgb) const;
    // When the runs and their key give back every pixel (as for every decoded
    // picture), keeps the pixels only there; they come back, from the runs,
    // on the first access other than a keyed draw.
    void compact();
    // Drops the analysis (and nothing else: the pixels stay as they are).
    void forgetKeyRuns();
    // Records the rows' long stretches of one colour, so plain copies from
    // this surface fill them rather than read them; kept only where they are
    // most of the picture. Like the key's runs, never used once the pixels
    // may have changed.
    void analyseFlat();
    const FlatRows* flatRows() const { return flat_ && flatChanges_ == changes_ ? flat_.get() : nullptr; }
    // Pixels kept only in the runs come back into this surface now: for a
    // picture whose copies will read its pixels, so that they are brought
    // back once, here, and not in every copy.
    void bringBackFromRuns() const {
        if (!pixels_ && runs_) bringBack();
    }

    // Equal keys of surfaces alive at once mean equal pixels: while a copy
    // holds the pixels, the surface they came from cannot change them in place.
    std::uint64_t contentKey() const;

    // Counts the accesses that may have changed pixels: equal counts mean
    // unchanged pixels.
    std::uint64_t changes() const { return changes_; }


private:
    Surface(int width, int height, bool zeroed);
    // The pixels are in pixels_ (maybe shared with copies), or only in
    // runs_; held() brings them into pixels_.
    void held() const {
        if (!pixels_ && runs_) bringBack();
    }
    void changed() {
        held();
        runs_.reset();  // first: the runs may hold the pixels too
        if (pixels_.use_count() > 1) unshare();
        ++changes_;
    }
    void bringBack() const;
    void unshare();

    int width_ = 0;
    int height_ = 0;
    mutable std::shared_ptr<std::uint32_t[]> pixels_;
    // Immutable once made, so copies of the surface share it.
    std::shared_ptr<const KeyRuns> runs_;
    // Valid while changes_ is still flatChanges_.
    std::shared_ptr<const FlatRows> flat_;
    std::uint64_t flatChanges_ = 0;
    std::uint64_t changes_ = 0;
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
