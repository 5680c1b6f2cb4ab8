#include "platform/KeyRuns.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/SurfaceSimd.h"

namespace platform {

namespace {

// A run costs about as much to start as this many pixels cost to test, so a
// row with more runs than its drawn bounds are wide over this is drawn by
// testing every pixel inside the bounds instead.
constexpr int kPixelsPerRun = 32;

}  // namespace

KeyRuns::KeyRuns(const std::uint32_t* pixels, int width, int height,
                 std::uint32_t keyRgb)
    : width_(width), height_(height), key_(keyRgb & 0x00FFFFFFu) {
    const int w = width_, h = height_;
    rowStart_.reserve(static_cast<std::size_t>(h) + 1);
    std::vector<std::uint64_t> bits(static_cast<std::size_t>(w + 63) / 64);
    const auto drawnBits = simd::kernels().drawnBits;
    std::size_t drawnTotal = 0;
    for (int y = 0; y < h; ++y) {
        const std::size_t rowFirst = spans_.size();
        rowStart_.push_back(static_cast<std::uint32_t>(rowFirst));
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * w;
        const int exactKeys = drawnBits(row, w, key_, bits.data());
        // Each set bit of change marks a pixel whose state differs from the
        // one before it (the pixel before the row counts as key): runs start
        // and end there by turns.
        bool inRun = false;
        std::uint64_t carry = 0;
        int drawn = 0;
        for (std::size_t word = 0; word < bits.size(); ++word) {
            const std::uint64_t v = bits[word];
            drawn += std::popcount(v);
            std::uint64_t change = v ^ (v << 1 | carry);
            carry = v >> 63;
            while (change) {
                const int x = static_cast<int>(word * 64) + std::countr_zero(change);
                change &= change - 1;
                if (!inRun) spans_.push_back(Span{x, w, 0, 0});
                else spans_.back().end = x;
                inRun = !inRun;
            }
        }
        if (exactKeys != w - drawn) holdsAll_ = false;
        if (drawn != w) opaque_ = false;
        // Short, many runs: one span over the drawn bounds, tested pixel by pixel.
        const std::size_t count = spans_.size() - rowFirst;
        if (count > 1) {
            const int bounds = spans_.back().end - spans_[rowFirst].begin;
            if (static_cast<std::int64_t>(count) * kPixelsPerRun > bounds) {
                spans_[rowFirst].end = spans_.back().end;
                spans_[rowFirst].dense = 1;
                spans_.resize(rowFirst + 1);
            }
        }
        for (std::size_t i = rowFirst; i < spans_.size(); ++i)
            drawnTotal += static_cast<std::size_t>(spans_[i].end - spans_[i].begin);
        if (spans_.size() > rowFirst) {
            if (top_ == bottom_) top_ = y;
            bottom_ = y + 1;
        }
    }
    rowStart_.push_back(static_cast<std::uint32_t>(spans_.size()));
    spans_.shrink_to_fit();

    // The spans' pixels, row after row, so a draw reads one compact block;
    // without key pixels that block is the picture itself.
    if (opaque_) whole_ = pixels;
    else pixels_.resize(drawnTotal);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y)
        for (Span* r = spans_.data() + rowStart_[y]; r != spans_.data() + rowStart_[y + 1]; ++r) {
            r->at = static_cast<std::uint32_t>(at);
            if (!whole_)
                std::memcpy(pixels_.data() + at,
                            pixels + static_cast<std::size_t>(y) * w + r->begin,
                            sizeof(std::uint32_t) * static_cast<std::size_t>(r->end - r->begin));
            at += static_cast<std::size_t>(r->end - r->begin);
        }
}

void KeyRuns::expand(std::uint32_t* out) const {
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = out + static_cast<std::size_t>(y) * width_;
        std::fill_n(row, width_, key_);
        for (const Span* r = begin(y); r != end(y); ++r)
            std::memcpy(row + r->begin, pixels() + r->at,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(r->end - r->begin));
    }
}

}  // namespace platform
