// What every draw goes to: a surface, and, for the frame, a record of the
// frame's draws. Between begin() and finish() draws are kept as commands, not
// done; finish() compares each 32 x 16 cell's commands with the last frame's
// and draws the commands again only over the cells that changed, which are
// then all the window has to show. Outside a frame (and for every picture's
// own canvas) draws are done at once.
//
// A kind of draw is one command type below: its bounds, whether it covers
// them whole, its hash and its drawing are written together.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <variant>
#include <vector>

#include "platform/Box.h"
#include "platform/Picture.h"
#include "platform/Surface.h"
#include "platform/Win32Types.h"

namespace platform {

namespace draw {

// A text's coverage mask as a command keeps it, with the hash of its bytes.
struct Mask {
    std::vector<std::uint8_t> bytes;
    std::uint64_t hash = 0;
};

// The commands that read a picture hold it: it is frozen, so what they draw
// is what it was when they were recorded. Blits are clipped to the frame and
// the picture when recorded.
struct Copy {
    Blit at;
    std::shared_ptr<const Picture> src;
    Box bounds() const;
    bool opaque() const { return true; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

struct KeyedCopy {
    Blit at;
    std::shared_ptr<const Picture> src;
    std::uint32_t key = 0;  // 0x00RRGGBB
    bool covers = false;    // the picture has no key pixels: every pixel is set
    Box bounds() const;
    bool opaque() const { return covers; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

struct Blend {
    Blit at;
    std::shared_ptr<const Picture> src;
    std::uint8_t alpha = 0;
    Box bounds() const;
    bool opaque() const { return false; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

struct KeyedBlend {
    Blit at;
    std::shared_ptr<const Picture> src;
    std::uint32_t key = 0;
    std::uint8_t alpha = 0;
    Box bounds() const;
    bool opaque() const { return false; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

struct PixelAlpha {
    Blit at;
    std::shared_ptr<const Picture> src;
    bool useKey = false;
    std::uint32_t key = 0;
    Box bounds() const;
    bool opaque() const { return false; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

// at is the place asked (not clipped: the turn is about its corner).
struct Rotated {
    Blit at;
    std::shared_ptr<const Picture> src;
    double angle = 0;
    bool useKey = false;
    std::uint32_t key = 0;
    Box box;  // its footprint on the frame
    Box bounds() const { return box; }
    bool opaque() const { return false; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

// Only the part of the mask on the frame is kept; at.w x at.h at (at.dx, at.dy).
struct Coverage {
    Blit at;
    std::shared_ptr<const Mask> mask;
    COLORREF ink = 0;
    Box bounds() const;
    bool opaque() const { return false; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

struct Fill {
    Box box;  // clipped to the frame
    std::uint32_t pixel = 0;
    Box bounds() const { return box; }
    bool opaque() const { return true; }
    std::uint64_t hash() const;
    void drawOn(Surface& frame, const Box& within) const;
};

using Command = std::variant<Copy, KeyedCopy, Blend, KeyedBlend, PixelAlpha, Rotated, Coverage, Fill>;

}  // namespace draw

class Canvas {
public:
    static constexpr int kCellWidth = 32, kCellHeight = 16;

    Canvas() = default;
    Canvas(int width, int height) : pixels_(width, height) {}
    explicit Canvas(Surface pixels) : pixels_(std::move(pixels)) {}

    int width() const { return pixels_.width(); }
    int height() const { return pixels_.height(); }
    bool empty() const { return pixels_.empty(); }
    std::uint32_t pixel(int x, int y) const { return pixels_.pixel(x, y); }
    // The pixels as the last finished frame (or the last direct draw) left them.
    const Surface& pixels() const { return pixels_; }
    // For changing the pixels other than by a draw: the next frame is then
    // drawn whole.
    Surface& changePixels() {
        known_ = false;
        taken_.reset();
        return pixels_;
    }
    // The pixels frozen, for drawing this canvas onto another: made again
    // only after they change.
    std::shared_ptr<const Picture> picture();

    // Starts keeping draws as commands.
    void begin();
    bool recording() const { return recording_; }
    void record(draw::Command&& command);
    // Draws the frame's commands over the cells that changed since the last
    // frame (over all of it after a direct change, a change of size, or when
    // the SWAPSPRINT_WHOLE_FRAMES environment variable is set), and stops
    // keeping draws.
    void finish();
    // The boxes the last finish() drew: all the window has to show again.
    std::span<const Box> changed() const { return changed_; }

    // The part [x0, x1) x [y0, y1) of a w-wide coverage mask, kept for a
    // command: a text's halo draws one mask nine times, so the last one kept
    // is shared when the bytes are the same.
    std::shared_ptr<const draw::Mask> keepMask(const std::uint8_t* coverage, int w, int x0, int y0,
                                               int x1, int y1);

private:
    struct Cell {
        std::uint64_t hash = 0;
        // The last command to cover the cell opaquely (the ones before it
        // are hidden), or -1 when what was under the commands shows through.
        int from = -1;
    };
    struct Area {
        Box box;
        int from;
    };
    void hashCells();
    void addAreas(std::vector<Area>& areas) const;

    Surface pixels_;
    std::shared_ptr<const Picture> taken_;  // the pixels as picture() last froze them
    bool recording_ = false;
    bool known_ = false;  // the pixels are what the last frame's commands drew
    std::vector<draw::Command> commands_;
    std::vector<std::uint64_t> hashes_;
    // The last frame's commands: they keep the pictures they drew from, so no
    // picture of theirs can change in place, or its memory be reused by
    // another, while the cells that drew them are compared.
    std::vector<draw::Command> lastCommands_;
    std::vector<Cell> cells_, lastCells_;
    std::vector<Box> changed_;
    std::shared_ptr<const draw::Mask> lastMask_;
    int lastMaskWidth_ = 0;
    int columns_ = 0, bands_ = 0;
};

// The drawing operations of Surface.h onto a canvas: recorded while it
// records, else done at once. Sources are frozen pictures.
void copyRect(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy);
void keyedCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
               COLORREF key);
void alphaBlend(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                std::uint8_t alpha);
void keyedBlend(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                COLORREF key, std::uint8_t alpha);
void fillWhite(Canvas& dst, int x, int y, int w, int h);
void frameRect(Canvas& dst, const RECT& r, COLORREF color);
void alphaPixelCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                    bool useKey, std::uint32_t keyRgb);
void coverageBlend(Canvas& dst, long long dx, long long dy, const std::uint8_t* coverage, int w,
                   int h, COLORREF color);
void rotatedAlphaCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb);

}  // namespace platform
