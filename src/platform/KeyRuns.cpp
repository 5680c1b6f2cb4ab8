#include "platform/KeyRuns.h"

#include <bit>

#include "platform/Surface.h"
#include "platform/SurfaceSimd.h"

namespace platform {

namespace {

// A run costs about as much to start as this many pixels cost to test, so a
// row with more runs than its drawn bounds are wide over this is drawn by
// testing every pixel inside the bounds instead.
constexpr int kPixelsPerRun = 32;

}  // namespace

KeyRuns::KeyRuns(const Surface& s, std::uint32_t keyRgb) : key_(keyRgb & 0x00FFFFFFu) {
    const int w = s.width(), h = s.height();
    rowStart_.reserve(static_cast<std::size_t>(h) + 1);
    dense_.assign(static_cast<std::size_t>(h), 0);
    std::vector<std::uint64_t> bits(static_cast<std::size_t>(w + 63) / 64);
    const auto drawnBits = simd::kernels().drawnBits;
    for (int y = 0; y < h; ++y) {
        const std::size_t rowFirst = spans_.size();
        rowStart_.push_back(static_cast<std::uint32_t>(rowFirst));
        drawnBits(s.row(y), w, key_, bits.data());
        // Each set bit of change marks a pixel whose state differs from the
        // one before it (the pixel before the row counts as key): runs start
        // and end there by turns.
        bool inRun = false;
        std::uint64_t carry = 0;
        for (std::size_t word = 0; word < bits.size(); ++word) {
            const std::uint64_t v = bits[word];
            std::uint64_t change = v ^ (v << 1 | carry);
            carry = v >> 63;
            while (change) {
                const int x = static_cast<int>(word * 64) + std::countr_zero(change);
                change &= change - 1;
                if (!inRun) spans_.push_back(Span{x, w});
                else spans_.back().end = x;
                inRun = !inRun;
            }
        }
        // Short, many runs: one span over the drawn bounds, tested pixel by pixel.
        const std::size_t count = spans_.size() - rowFirst;
        if (count > 1) {
            const int bounds = spans_.back().end - spans_[rowFirst].begin;
            if (static_cast<std::int64_t>(count) * kPixelsPerRun > bounds) {
                spans_[rowFirst].end = spans_.back().end;
                spans_.resize(rowFirst + 1);
                dense_[y] = 1;
            }
        }
    }
    rowStart_.push_back(static_cast<std::uint32_t>(spans_.size()));
    spans_.shrink_to_fit();
}

}  // namespace platform
