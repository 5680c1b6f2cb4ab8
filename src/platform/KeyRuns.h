// Where a colour-keyed picture really has pixels: per row, the runs of pixels
// whose colour is not the key. The game's full-screen layers are 90-95% key
// with one to four runs a row, so a keyed draw that follows the runs costs
// what it draws instead of what it covers.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

class Surface;

// Pixels [begin, end) of a row.
struct Span {
    std::int32_t begin, end;
};

class KeyRuns {
public:
    // Analyses every row of s for the key colour keyRgb (0x00RRGGBB; the
    // pixels' top bytes are ignored).
    KeyRuns(const Surface& s, std::uint32_t keyRgb);

    std::uint32_t key() const { return key_; }

    // The row's drawn spans in order, none empty and none touching. A row
    // whose runs are too many and short to be worth following has one span,
    // its drawn bounds, marked dense: it holds key pixels, and a draw tests
    // each pixel inside it.
    const Span* begin(int y) const { return spans_.data() + rowStart_[y]; }
    const Span* end(int y) const { return spans_.data() + rowStart_[y + 1]; }
    bool dense(int y) const { return dense_[y] != 0; }

    std::size_t spanCount() const { return spans_.size(); }

private:
    std::uint32_t key_;
    std::vector<std::uint32_t> rowStart_;  // height + 1 entries into spans_
    std::vector<Span> spans_;
    std::vector<std::uint8_t> dense_;
};

}  // namespace platform
