#include "platform/WindowPicture.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// The first window pixel (of a picture shown n pixels wide) whose centre
// falls on picture pixel p or later, for a picture of size pixels: the
// inverse of the nearest pixel toPicture picks, so boxes meet without gaps.
int firstWindowPixel(int p, int n, int size) {
    const std::int64_t over = 2 * static_cast<std::int64_t>(p) * n - size;
    if (over <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(n, (over + 2 * size - 1) / (2 * size)));
}

int pictureOf(int d, int n, int size) {
    return static_cast<int>((2 * static_cast<std::int64_t>(d) + 1) * size / (2 * n));
}

std::uint32_t* rowAt(std::uint8_t* to, int pitch, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(y) * pitch) + x;
}

}  // namespace

bool WindowPicture::fit(int w, int h) {
    if (w == areaW_ && h == areaH_) return false;
    areaW_ = w;
    areaH_ = h;
    shown_ = fitPicture(w, h, picW_, picH_);
    times_ = wholeMultiple(shown_, picW_, picH_) ? shown_.w / picW_ : 0;
    columns_.resize(static_cast<std::size_t>(std::max(shown_.w, 0)));
    for (int d = 0; d < shown_.w; ++d) columns_[d] = pictureOf(d, shown_.w, picW_);
    return true;
}

Viewport WindowPicture::windowBox(Box b) const {
    b.x0 = std::max(b.x0, 0);
    b.y0 = std::max(b.y0, 0);
    b.x1 = std::min(b.x1, picW_);
    b.y1 = std::min(b.y1, picH_);
    if (b.empty() || shown_.w <= 0) return {};
    const int x0 = firstWindowPixel(b.x0, shown_.w, picW_), x1 = firstWindowPixel(b.x1, shown_.w, picW_);
    const int y0 = firstWindowPixel(b.y0, shown_.h, picH_), y1 = firstWindowPixel(b.y1, shown_.h, picH_);
    if (x1 <= x0 || y1 <= y0) return {};
    return Viewport{shown_.x + x0, shown_.y + y0, x1 - x0, y1 - y0};
}

Viewport WindowPicture::draw(const Surface& frame, Box b, std::uint8_t* to, int pitch) const {
    const Viewport r = windowBox(b);
    if (r.w <= 0 || r.h <= 0) return r;
    const int dx0 = r.x - shown_.x, dy0 = r.y - shown_.y;
    const std::size_t rowBytes = static_cast<std::size_t>(r.w) * 4;
    if (times_ == 1) {
        // 1x: the frame's rows as they are.
        for (int y = 0; y < r.h; ++y) std::memcpy(rowAt(to, pitch, r.x, r.y + y), frame.row(dy0 + y) + dx0, rowBytes);
        return r;
    }
    // Each picture row widened once, then copied to the window rows that show
    // it too: every whole multiple, and rows repeated at any other scale.
    int widened = -1;
    for (int y = 0; y < r.h; ++y) {
        const int py = times_ ? (dy0 + y) / times_ : pictureOf(dy0 + y, shown_.h, picH_);
        std::uint32_t* out = rowAt(to, pitch, r.x, r.y + y);
        if (py == widened) {
            std::memcpy(out, rowAt(to, pitch, r.x, r.y + y - 1), rowBytes);
            continue;
        }
        const std::uint32_t* from = frame.row(py);
        if (times_) {
            const std::uint32_t* first = from + dx0 / times_;
            for (int x = 0; x < r.w; x += times_) std::fill_n(out + x, times_, first[x / times_]);
        } else {
            const int* column = columns_.data() + dx0;
            for (int x = 0; x < r.w; ++x) out[x] = from[column[x]];
        }
        widened = py;
    }
    return r;
}

void WindowPicture::fillBars(std::uint8_t* to, int pitch) const {
    const Viewport& s = shown_;
    const Viewport bars[] = {{0, 0, areaW_, s.y},
                             {0, s.y + s.h, areaW_, areaH_ - s.y - s.h},
                             {0, s.y, s.x, s.h},
                             {s.x + s.w, s.y, areaW_ - s.x - s.w, s.h}};
    for (const Viewport& bar : bars) {
        for (int y = 0; y < bar.h && bar.w > 0; ++y) std::fill_n(rowAt(to, pitch, bar.x, bar.y + y), bar.w, 0u);
    }
}

}  // namespace platform
