// A picture once loaded: its pixels and what drawing them needs to know,
// worked out once when it is frozen and never changed after. Everything that
// draws it shares it; its address is its identity (a frame's commands hold
// the pictures they drew, so no other picture can take an address while the
// frames are compared).
//
// A keyed picture is drawn by its runs of drawn pixels (KeyRuns), and when
// those give back every pixel they are all it keeps; a picture of mostly
// flat rows may be copied by its flat stretches (FlatRows).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Box.h"
#include "platform/FlatRows.h"
#include "platform/KeyRuns.h"
#include "platform/Surface.h"
#include "platform/Win32Types.h"

namespace platform {

class Picture : public std::enable_shared_from_this<Picture> {
public:
    // The pixels as they are, for a picture drawn once or twice (a plate, a
    // canvas's pixels taken as a source).
    static std::shared_ptr<const Picture> of(Surface pixels);
    // Analysed for drawing: with a key (0x00RRGGBB), by its runs; with
    // findFlat, a picture without key pixels also by its flat stretches.
    static std::shared_ptr<const Picture> freeze(Surface pixels, std::optional<std::uint32_t> key,
                                                 bool findFlat = false);

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    std::optional<std::uint32_t> key() const { return key_; }
    // The runs for keyRgb, or null when it was not frozen with that key.
    const KeyRuns* keyRuns(std::uint32_t keyRgb) const;
    const FlatRows* flatRows() const { return flat_.get(); }
    // True when drawing with key (or without one) needs nothing made anew:
    // the runs for that key, or, without a key, pixels of its own.
    bool suits(std::optional<std::uint32_t> key) const;

    // Bounds-checked; outside reads 0.
    std::uint32_t pixel(int x, int y) const;
    // Its pixels as a surface: its own, or, when only the runs hold them,
    // spare filled from the runs.
    const Surface& rows(Surface& spare) const;
    // Every pixel, in a new buffer.
    Surface copy() const;

private:
    Picture(Surface pixels, std::optional<std::uint32_t> key, bool findFlat);

    int width_ = 0, height_ = 0;
    std::optional<std::uint32_t> key_;
    Surface pixels_;  // empty when the runs hold every pixel
    std::unique_ptr<const KeyRuns> runs_;
    std::shared_ptr<const FlatRows> flat_;
};

// The drawing operations of Surface.h from a frozen picture: the same pixels
// as from its plain pixels, drawn by its runs and stretches where it has them.
void copyRect(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
              const Box& within = kEverywhere);
void keyedCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
               COLORREF key, const Box& within = kEverywhere);
void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                std::uint8_t alpha, const Box& within = kEverywhere);
void keyedBlend(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                COLORREF key, std::uint8_t alpha, const Box& within = kEverywhere);
void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx,
                    int sy, bool useKey, std::uint32_t keyRgb, const Box& within = kEverywhere);
void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb,
                      const Box& within = kEverywhere);

}  // namespace platform
