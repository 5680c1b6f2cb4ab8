#include "platform/FlatRows.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A cache line of one colour: shorter flat stretches are copied like any pixels.
constexpr int kShortestFlat = 16;

}  // namespace

std::shared_ptr<const FlatRows> FlatRows::analyse(const std::uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return nullptr;
    auto rows = std::make_shared<FlatRows>();
    rows->rowStart_.reserve(static_cast<std::size_t>(height) + 1);
    std::size_t flatPixels = 0;
    for (int y = 0; y < height; ++y) {
        rows->rowStart_.push_back(static_cast<std::uint32_t>(rows->stretches_.size()));
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        int varied = 0;  // where the pending varied stretch begins
        for (int x = 0; x < width;) {
            int end = x + 1;
            while (end < width && row[end] == row[x]) ++end;
            if (end - x >= kShortestFlat) {
                if (varied < x) rows->addVaried(row, varied, x);
                rows->stretches_.push_back(Stretch{x, end, row[x], true});
                flatPixels += static_cast<std::size_t>(end - x);
                varied = end;
            }
            x = end;
        }
        if (varied < width) rows->addVaried(row, varied, width);
    }
    rows->rowStart_.push_back(static_cast<std::uint32_t>(rows->stretches_.size()));
    // Worth it when at least half the pixels need not be read.
    if (flatPixels * 2 < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return nullptr;
    return rows;
}

void FlatRows::addVaried(const std::uint32_t* row, int begin, int end) {
    stretches_.push_back(Stretch{begin, end, static_cast<std::uint32_t>(pixels_.size()), false});
    pixels_.insert(pixels_.end(), row + begin, row + end);
}

void FlatRows::copyRow(int y, int x0, int x1, std::uint32_t* to) const {
    const Stretch* s = stretches_.data() + rowStart_[static_cast<std::size_t>(y)];
    const Stretch* end = stretches_.data() + rowStart_[static_cast<std::size_t>(y) + 1];
    while (s != end && s->end <= x0) ++s;
    for (; s != end && s->begin < x1; ++s) {
        const int from = std::max(s->begin, x0), until = std::min(s->end, x1);
        if (s->flat)
            std::fill_n(to + (from - x0), until - from, s->value);
        else
            std::memcpy(to + (from - x0), pixels_.data() + s->value + (from - s->begin),
                        static_cast<std::size_t>(until - from) * sizeof(std::uint32_t));
    }
}

}  // namespace platform
