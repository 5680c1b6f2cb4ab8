// Frames drawn again only where they changed. Draws into the frame surface
// are noted, not done; when the frame is next read (shown, copied), each cell
// of the frame whose draws are the very ones of the last frame, over nothing
// but what they themselves drew, keeps its pixels, and the noted draws are
// done, clipped, only over the other cells. Play's board, its background and
// the veil over it are then drawn once, not sixty times a second.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Surface.h"

namespace platform {

// A text's coverage mask as a noted draw keeps it, with the hash of its bytes.
struct NotedMask {
    std::vector<std::uint8_t> bytes;
    std::uint64_t hash = 0;
};

// One draw into the frame, kept to be done later: its source is a copy of
// the picture (sharing its pixels, so a change to the picture later makes
// the picture pixels of its own and leaves this one as it was drawn).
struct FrameDraw {
    enum class Kind : std::uint8_t { Copy, KeyedCopy, Blend, KeyedBlend, PixelAlpha, Rotated, Coverage, Fill };
    Kind kind = Kind::Fill;
    // The pixels it may change, within the frame.
    Box box;
    // True when it sets every pixel of box whatever was under it.
    bool opaque = false;
    // Where it draws: the clipped blit, or (rotated, coverage) the place asked.
    Blit at;
    Surface src;
    std::uint32_t value = 0;  // the key (0x00RRGGBB), the fill pixel or the ink
    std::uint8_t alpha = 0;
    bool useKey = false;
    double angle = 0;
    std::shared_ptr<const NotedMask> coverage;

    // A box filled with one pixel value.
    static FrameDraw filled(Box box, std::uint32_t pixel) {
        FrameDraw d;
        d.box = box;
        d.opaque = true;
        d.value = pixel;
        return d;
    }
};

class FrameRedraw {
public:
    static constexpr int kCellWidth = 32, kCellHeight = 16;

    void note(FrameDraw&& draw);
    // The part [x0, x1) x [y0, y1) of a w-wide coverage mask, kept for a noted
    // draw: a text's halo draws one mask nine times, so the last one kept is
    // shared when the bytes are the same.
    std::shared_ptr<const NotedMask> keepMask(const std::uint8_t* coverage, int w, int x0, int y0, int x1, int y1);
    bool pending() const { return !draws_.empty(); }
    bool replaying() const { return replaying_; }
    // Something changed the frame other than a noted draw: the next redraw
    // covers every cell.
    void forget() { known_ = false; }
    // Drops the draws not yet done: the frame is about to be replaced whole.
    void drop();
    // Does the noted draws over the cells that changed since the last time.
    void redraw(Surface& frame);

private:
    struct Cell {
        std::uint64_t hash = 0;
        // The last draw to cover the cell opaquely (the ones before it are
        // hidden), or -1 when what was under the draws shows through.
        int from = -1;
    };
    struct Area {
        Box box;
        int from;
    };
    void addAreas(const std::vector<Cell>& cells, std::vector<Area>& areas) const;

    std::vector<FrameDraw> draws_;
    std::vector<std::uint64_t> hashes_;
    // The last frame's draws: they keep the pictures they drew from, so no
    // picture of theirs can change in place or be freed while the cells that
    // drew them are compared.
    std::vector<FrameDraw> lastDraws_;
    std::vector<Cell> lastCells_;
    std::vector<Cell> cells_;  // this frame's, kept for its memory
    std::shared_ptr<const NotedMask> lastMask_;
    int lastMaskWidth_ = 0;
    int columns_ = 0, bands_ = 0, frameWidth_ = 0, frameHeight_ = 0;
    std::uint64_t changesAfter_ = 0;
    bool known_ = false;
    bool replaying_ = false;
};

// Does one noted draw over the frame, within the frame's drawing limit.
void drawNoted(Surface& frame, const FrameDraw& draw);

}  // namespace platform
