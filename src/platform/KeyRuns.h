// A colour-keyed picture as its runs of drawn pixels: per row, the runs of
// pixels whose colour is not the key, and those pixels one after another. The
// game's full-screen layers are 90-95% key with one to four runs a row, so a
// keyed draw that follows the runs costs what it draws instead of what it
// covers, and reads its pixels from one compact block.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Pixels [begin, end) of a row, held from pixels()[at] on. A dense span is
// the drawn bounds of a row whose runs are too many and short to be worth
// following: it holds key pixels too, and a draw tests each pixel in it.
struct Span {
    std::int32_t begin, end;
    std::uint32_t at;
    std::uint32_t dense;
};

class KeyRuns {
public:
    // Analyses every row of the width x height pixels for the key colour
    // keyRgb (0x00RRGGBB; the pixels' top bytes are ignored). Runs of a
    // picture without key pixels read the pixels where they are, which must
    // then outlive the runs (a picture holds both).
    KeyRuns(const std::uint32_t* pixels, int width, int height, std::uint32_t keyRgb);

    std::uint32_t key() const { return key_; }

    // The row's drawn spans in order, none empty and none touching; or one
    // dense span.
    const Span* begin(int y) const { return spans_.data() + rowStart_[y]; }
    const Span* end(int y) const { return spans_.data() + rowStart_[y + 1]; }
    const std::uint32_t* pixels() const { return whole_ ? whole_ : pixels_.data(); }
    // Rows outside [top, bottom) draw nothing.
    int top() const { return top_; }
    int bottom() const { return bottom_; }

    // True when every pixel outside the spans is exactly keyRgb (top byte 0,
    // as in every decoded picture): then the runs alone give back the whole
    // picture, and the surface need not keep its own copy.
    bool holdsAll() const { return holdsAll_; }
    // True when no pixel is key; then the picture's own pixels are read.
    bool opaque() const { return opaque_; }
    // Writes the whole width x height picture to out (holdsAll() only).
    void expand(std::uint32_t* out) const;


private:
    int width_, height_;
    std::uint32_t key_;
    int top_ = 0, bottom_ = 0;
    bool holdsAll_ = true;
    bool opaque_ = true;
    std::vector<std::uint32_t> rowStart_;  // height + 1 entries into spans_
    std::vector<Span> spans_;
    std::vector<std::uint32_t> pixels_;
    const std::uint32_t* whole_ = nullptr;
};

}  // namespace platform
