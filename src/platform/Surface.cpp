#include "platform/Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "platform/SurfaceSimd.h"

namespace platform {

// ---------------------------------------------------------------------------
// Surface

namespace {

std::size_t areaOf(int width, int height) {
    return static_cast<std::size_t>(std::max(width, 0)) *
           static_cast<std::size_t>(std::max(height, 0));
}

// The last two big pixel buffers given back are kept for the next surfaces of
// their size: a frame's worth of fresh memory costs hundreds of page faults,
// and a frame that starts with a whole picture shares it, then takes pixels
// of its own at its next draw. (The picture loader's worker makes and frees
// surfaces too.)
class BufferPool {
public:
    static constexpr std::size_t kSmallest = std::size_t{1} << 18;  // pixels

    std::uint32_t* take(std::size_t n) {
        if (n < kSmallest) return nullptr;
        std::lock_guard<std::mutex> lock(mutex_);
        for (Kept& k : kept_)
            if (k.pixels && k.size == n) return std::exchange(k.pixels, nullptr);
        return nullptr;
    }
    void give(std::uint32_t* p, std::size_t n) {
        if (n >= kSmallest) {
            std::lock_guard<std::mutex> lock(mutex_);
            Kept& oldest = kept_[next_];
            next_ = (next_ + 1) % kept_.size();
            std::free(oldest.pixels);
            oldest = Kept{p, n};
            return;
        }
        std::free(p);
    }

private:
    struct Kept {
        std::uint32_t* pixels = nullptr;
        std::size_t size = 0;
    };
    std::mutex mutex_;
    std::array<Kept, 2> kept_;
    std::size_t next_ = 0;
};

BufferPool& pool() {
    static BufferPool* kept = new BufferPool;  // outlives every surface, even static ones
    return *kept;
}

std::uint32_t* allocate(std::size_t n, bool zeroed) {
    if (n == 0) return nullptr;
    std::uint32_t* p = pool().take(n);
    if (p && zeroed) std::fill_n(p, n, 0u);
    // calloc takes fresh pages from the system already zero, so a big black
    // surface costs no fill; a surface about to be overwritten gets none.
    if (!p) p = static_cast<std::uint32_t*>(zeroed ? std::calloc(n, sizeof(std::uint32_t))
                                                   : std::malloc(n * sizeof(std::uint32_t)));
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

void GiveBackPixels::operator()(std::uint32_t* p) const { pool().give(p, size); }

Surface::Surface(int width, int height, bool zeroed)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(allocate(areaOf(width_, height_), zeroed), GiveBackPixels{areaOf(width_, height_)}) {}

Surface::Surface(int width, int height) : Surface(width, height, true) {}

Surface Surface::uninitialised(int width, int height) { return Surface(width, height, false); }

Surface::Surface(const Surface& other) : Surface(other.width_, other.height_, false) {
    if (pixels_) std::memcpy(pixels_.get(), other.pixels_.get(), areaOf(width_, height_) * sizeof(std::uint32_t));
}

Surface& Surface::operator=(const Surface& other) {
    if (this != &other) *this = Surface(other);
    return *this;
}

Surface::Surface(Surface&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)) {}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        pixels_ = std::move(other.pixels_);
    }
    return *this;
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return row(y)[x];
}

void Surface::setPixel(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    row(y)[x] = value;
}

void Surface::fill(std::uint32_t value) {
    if (!empty()) std::fill_n(pixels(), areaOf(width_, height_), value);
}

// ---------------------------------------------------------------------------
// Clipping. Everything is worked out in 64 bits so that no caller-supplied
// rectangle, however large or negative, can overflow on its way in.

bool clipBlit(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
              std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, Blit& out) {
    if (w <= 0 || h <= 0 || dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0) return false;
    // Anything this far out is off both surfaces; stops the sums below from
    // overflowing even 64 bits.
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    if (dx <= -kFar || dy <= -kFar || sx <= -kFar || sy <= -kFar || dx >= kFar || dy >= kFar ||
        sx >= kFar || sy >= kFar)
        return false;
    w = std::min(w, kFar);
    h = std::min(h, kFar);
    // clang-format off
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    // clang-format on
    w = std::min({w, srcW - sx, dstW - dx});
    h = std::min({h, srcH - sy, dstH - dy});
    if (w <= 0 || h <= 0) return false;
    out = Blit{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
               static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};
    return true;
}

bool clipBlit(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
              std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, const Box& within,
              Blit& out) {
    if (!clipBlit(dstW, dstH, srcW, srcH, dx, dy, sx, sy, w, h, out)) return false;
    const int x0 = std::max(out.dx, within.x0), y0 = std::max(out.dy, within.y0);
    const int x1 = std::min(out.dx + out.w, within.x1), y1 = std::min(out.dy + out.h, within.y1);
    if (x0 >= x1 || y0 >= y1) return false;
    out = Blit{x0, y0, out.sx + x0 - out.dx, out.sy + y0 - out.dy, x1 - x0, y1 - y0};
    return true;
}

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

bool clipBlit(const Surface& dst, const Surface& src, int dx, int dy, int w, int h, int sx, int sy,
              const Box& within, Blit& out) {
    return clipBlit(dst.width(), dst.height(), src.width(), src.height(), dx, dy, sx, sy, w, h, within, out);
}

// The part of dst a draw within a box may change.
Box drawable(const Surface& dst, const Box& within) {
    return Box{std::max(0, within.x0), std::max(0, within.y0), std::min(dst.width(), within.x1),
               std::min(dst.height(), within.y1)};
}

// Fills the half-open box [x0, x1) x [y0, y1), clipped to s and within.
void fillSpan(Surface& s, long long x0, long long y0, long long x1, long long y1,
              std::uint32_t value, const Box& within) {
    const Box limit = drawable(s, within);
    x0 = std::max<long long>(x0, limit.x0);
    y0 = std::max<long long>(y0, limit.y0);
    x1 = std::min<long long>(x1, limit.x1);
    y1 = std::min<long long>(y1, limit.y1);
    if (x0 >= x1 || y0 >= y1) return;
    // Whole rows are one block of memory.
    if (x0 == 0 && x1 == s.width()) {
        std::fill_n(s.row(static_cast<int>(y0)), static_cast<std::size_t>((y1 - y0) * x1), value);
        return;
    }
    std::uint32_t* p = s.row(static_cast<int>(y0));
    for (long long y = y0; y < y1; ++y, p += s.width()) std::fill(p + x0, p + x1, value);
}

// When a surface is drawn onto itself with overlapping rectangles, the row
// kernels below would read pixels they already wrote; such draws work from a
// copy of the source rectangle instead. The game never does this, but a caller
// may, and it must not corrupt memory.
bool overlaps(const Surface& dst, const Surface& src, const Blit& b) {
    if (&dst != &src) return false;
    return b.dx < b.sx + b.w && b.sx < b.dx + b.w && b.dy < b.sy + b.h && b.sy < b.dy + b.h;
}

Surface cutOut(const Surface& src, const Blit& b) {
    Surface part = Surface::uninitialised(b.w, b.h);
    for (int y = 0; y < b.h; ++y)
        std::memcpy(part.row(y), src.row(b.sy + y) + b.sx, sizeof(std::uint32_t) * b.w);
    return part;
}

// Runs kernel(dstRow, srcRow, width) over every row of a clipped blit.
template <class Kernel>
void eachRow(Surface& dst, const Surface& src, const Blit& b, Kernel kernel) {
    if (overlaps(dst, src, b)) {
        const Surface part = cutOut(src, b);
        for (int y = 0; y < b.h; ++y) kernel(dst.row(b.dy + y) + b.dx, part.row(y), b.w);
        return;
    }
    std::uint32_t* to = dst.row(b.dy);
    for (int y = 0; y < b.h; ++y, to += dst.width()) kernel(to + b.dx, src.row(b.sy + y) + b.sx, b.w);
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing operations

void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, const Box& within) {
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
    const std::size_t rowBytes = sizeof(std::uint32_t) * b.w;
    // Whole rows of equally wide surfaces are one block of memory.
    if (b.w == dst.width() && b.w == src.width() && &dst != &src) {
        std::memcpy(dst.row(b.dy), src.row(b.sy), rowBytes * b.h);
        return;
    }
    if (&dst != &src) {
        std::uint32_t* to = dst.row(b.dy) + b.dx;
        for (int y = 0; y < b.h; ++y, to += dst.width()) std::memcpy(to, src.row(b.sy + y) + b.sx, rowBytes);
        return;
    }
    // memmove and the row order keep a copy within one surface correct.
    if (&dst == &src && b.dy > b.sy) {
        for (int y = b.h - 1; y >= 0; --y)
            std::memmove(dst.row(b.dy + y) + b.dx, src.row(b.sy + y) + b.sx, rowBytes);
    } else {
        for (int y = 0; y < b.h; ++y)
            std::memmove(dst.row(b.dy + y) + b.dx, src.row(b.sy + y) + b.sx, rowBytes);
    }
}

void keyedCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
               COLORREF key, const Box& within) {
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
    const std::uint32_t k = toPixel(key) & kRgbMask;
    const auto keyedRow = simd::kernels().keyedRow;
    const auto keyed = [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        keyedRow(d, s, n, k);
    };
    eachRow(dst, src, b, keyed);
}

void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                std::uint8_t alpha, const Box& within) {
    // Alpha 0 is exactly "leave dst"; skipping it also keeps dst's top bytes.
    if (alpha == 0) return;
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
    const auto blendRow = simd::kernels().blendRow;
    eachRow(dst, src, b,
            [&](std::uint32_t* d, const std::uint32_t* s, int n) { blendRow(d, s, n, alpha); });
}

void keyedBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                COLORREF key, std::uint8_t alpha, const Box& within) {
    if (alpha == 0) return;
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
    const std::uint32_t k = toPixel(key) & kRgbMask;
    const auto keyedBlendRow = simd::kernels().keyedBlendRow;
    const auto keyed = [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        keyedBlendRow(d, s, n, alpha, k);
    };
    eachRow(dst, src, b, keyed);
}

void fillBox(Surface& dst, const Box& box, std::uint32_t pixel, const Box& within) {
    fillSpan(dst, box.x0, box.y0, box.x1, box.y1, pixel, within);
}

void fillWhite(Surface& dst, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    fillSpan(dst, x, y, static_cast<long long>(x) + w, static_cast<long long>(y) + h, 0x00FFFFFFu,
             kEverywhere);
}

std::array<Box, 4> frameEdges(const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return {};
    // An edge one past the int range would wrap: it is off every surface
    // anyway, so it is clamped there.
    const auto at = [](long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
    const long long l = r.left, t = r.top, rt = r.right, b = r.bottom;
    return {Box{at(l), at(t), at(rt), at(t + 1)},    // top
            Box{at(l), at(b - 1), at(rt), at(b)},    // bottom
            Box{at(l), at(t), at(l + 1), at(b)},     // left
            Box{at(rt - 1), at(t), at(rt), at(b)}};  // right
}

void frameRect(Surface& dst, const RECT& r, COLORREF color) {
    for (const Box& edge : frameEdges(r)) fillBox(dst, edge, toPixel(color));
}

void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                    bool useKey, std::uint32_t keyRgb, const Box& within) {
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
    const std::uint32_t k = keyRgb & kRgbMask;
    eachRow(dst, src, b, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        simd::alphaRowSse2(d, s, n, useKey, k);
    });
}

void coverageBlend(Surface& dst, long long dx, long long dy, const std::uint8_t* coverage, int w,
                   int h, COLORREF color, const Box& within) {
    if (!coverage || w <= 0 || h <= 0) return;
    // 64-bit edges: a position near the int limits must clip, not wrap.
    const Box limit = drawable(dst, within);
    const long long x0 = std::max(0LL, limit.x0 - dx), y0 = std::max(0LL, limit.y0 - dy);
    const long long x1 = std::min<long long>(w, limit.x1 - dx);
    const long long y1 = std::min<long long>(h, limit.y1 - dy);
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint32_t ink = toPixel(color);
    std::uint32_t* out = dst.row(static_cast<int>(dy + y0)) + dx + x0;
    for (long long y = y0; y < y1; ++y, out += dst.width())
        simd::coverageRowSse2(out, coverage + y * w + x0, static_cast<int>(x1 - x0), ink);
}

namespace {

// cos and sin of a clockwise turn in [0, 360); quarter turns get exact
// values, so their footprints land on whole pixels.
void sinesOf(double turn, double& c, double& s) {
    // clang-format off
    if (turn == 90.0) { c = 0; s = 1; }
    else if (turn == 180.0) { c = -1; s = 0; }
    else if (turn == 270.0) { c = 0; s = -1; }
    else {
        const double rad = turn * 3.14159265358979323846 / 180.0;
        c = std::cos(rad);
        s = std::sin(rad);
    }
    // clang-format on
}

double turnOf(double angleDegrees) {
    const double turn = std::fmod(angleDegrees, 360.0);
    return turn < 0 ? turn + 360.0 : turn;
}

}  // namespace

bool rotatedBounds(int dx, int dy, int w, int h, double angleDegrees, const Box& limit, Box& out) {
    if (w <= 0 || h <= 0 || !std::isfinite(angleDegrees)) return false;
    double c, s;
    sinesOf(turnOf(angleDegrees), c, s);
    // Picture point (u, v) lands on (dx + u*c - v*s, dy + u*s + v*c): with y
    // growing downward that turns clockwise on screen.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    const double cornerU[] = {0.0, double(w), 0.0, double(w)};
    const double cornerV[] = {0.0, 0.0, double(h), double(h)};
    for (int i = 0; i < 4; ++i) {
        const double x = cornerU[i] * c - cornerV[i] * s, y = cornerU[i] * s + cornerV[i] * c;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    const long long x0 = std::max<long long>(limit.x0, dx + static_cast<long long>(std::floor(minX)));
    const long long y0 = std::max<long long>(limit.y0, dy + static_cast<long long>(std::floor(minY)));
    const long long x1 = std::min<long long>(limit.x1, dx + static_cast<long long>(std::ceil(maxX)));
    const long long y1 = std::min<long long>(limit.y1, dy + static_cast<long long>(std::ceil(maxY)));
    if (x0 >= x1 || y0 >= y1) return false;
    out = Box{int(x0), int(y0), int(x1), int(y1)};
    return true;
}

void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb,
                      const Box& within) {
    if (w <= 0 || h <= 0 || dst.empty() || src.empty() || !std::isfinite(angleDegrees)) return;
    const double turn = turnOf(angleDegrees);
    if (turn == 0.0) {
        alphaPixelCopy(dst, dx, dy, w, h, src, sx, sy, useKey, keyRgb, within);
        return;
    }
    double c, s;
    sinesOf(turn, c, s);
    Box box;
    if (!rotatedBounds(dx, dy, w, h, angleDegrees, drawable(dst, within), box)) return;
    const long long x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
    const std::uint32_t k = keyRgb & kRgbMask;

    // Each destination pixel centre maps back into the picture; the source
    // pixel it falls in is drawn if it lies in both the rectangle and src.
    for (long long y = y0; y < y1; ++y) {
        std::uint32_t* out = dst.row(static_cast<int>(y));
        const double ry = static_cast<double>(y - dy) + 0.5;
        for (long long x = x0; x < x1; ++x) {
            const double rx = static_cast<double>(x - dx) + 0.5;
            const double u = std::floor(rx * c + ry * s), v = std::floor(ry * c - rx * s);
            if (u < 0 || v < 0 || u >= w || v >= h) continue;
            const long long px = sx + static_cast<long long>(u),
                            py = sy + static_cast<long long>(v);
            if (px < 0 || py < 0 || px >= src.width() || py >= src.height()) continue;
            const std::uint32_t sp = src.row(static_cast<int>(py))[px];
            const bool hidden = useKey && (sp & kRgbMask) == k;
            out[x] = simd::mixPixel(sp, out[x], hidden ? 0 : sp >> 24);
        }
    }
}

void rotateFlip(Surface& s, int type) {
    if (type <= 0 || type > 7 || s.empty()) return;
    const int w = s.width(), h = s.height();
    const bool turned = type == 1 || type == 3 || type == 5 || type == 7;
    Surface out = Surface::uninitialised(turned ? h : w, turned ? w : h);
    for (int y = 0; y < out.height(); ++y) {
        std::uint32_t* row = out.row(y);
        for (int x = 0; x < out.width(); ++x) {
            // Where the new pixel (x, y) was in the old picture.
            int ox = x, oy = y;
            // clang-format off
            switch (type) {
                case 1: ox = y;         oy = h - 1 - x; break;  // 90 clockwise
                case 2: ox = w - 1 - x; oy = h - 1 - y; break;  // 180
                case 3: ox = w - 1 - y; oy = x;         break;  // 270 clockwise
                case 4: ox = w - 1 - x; oy = y;         break;  // mirror left-right
                case 5: ox = y;         oy = x;         break;  // 90, then mirror
                case 6: ox = x;         oy = h - 1 - y; break;  // 180, then mirror: upside down
                case 7: ox = w - 1 - y; oy = h - 1 - x; break;  // 270, then mirror
                default: break;
            }
            // clang-format on
            row[x] = s.row(oy)[ox];
        }
    }
    s = std::move(out);
}

Surface scaleNearest(const Surface& src, int width, int height) {
    if (width <= 0 || height <= 0) return Surface();
    if (src.empty()) return Surface(width, height);
    Surface out = Surface::uninitialised(width, height);
    std::vector<int> column(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        column[x] = static_cast<int>(static_cast<long long>(x) * src.width() / width);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in =
            src.row(static_cast<int>(static_cast<long long>(y) * src.height() / height));
        std::uint32_t* row = out.row(y);
        for (int x = 0; x < width; ++x) row[x] = in[column[x]];
    }
    return out;
}

void bgrToPixels(std::uint32_t* dst, const std::uint8_t* bgr, int n) {
    if (n > 0) simd::kernels().bgrRow(dst, bgr, n);
}

}  // namespace platform
