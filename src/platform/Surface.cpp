#include "platform/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/SurfaceSimd.h"

namespace platform {

// ---------------------------------------------------------------------------
// Surface

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u) {}

std::uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return row(y)[x];
}

void Surface::setPixel(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    row(y)[x] = value;
}

void Surface::fill(std::uint32_t value) {
    std::fill(pixels_.begin(), pixels_.end(), value);
}

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

// ---------------------------------------------------------------------------
// Clipping. Everything is worked out in 64 bits so that no caller-supplied
// rectangle, however large or negative, can overflow on its way in.

struct Blit {
    int dx, dy, sx, sy, w, h;
};

// Clips a w x h copy from (sx, sy) in src to (dx, dy) in dst against both
// surfaces. False when nothing is left to draw.
bool clipBlit(const Surface& dst, const Surface& src, int dx, int dy, int w, int h, int sx, int sy,
              Blit& out) {
    long long DX = dx, DY = dy, W = w, H = h, SX = sx, SY = sy;
    if (W <= 0 || H <= 0 || dst.empty() || src.empty()) return false;
    // clang-format off
    if (SX < 0) { DX -= SX; W += SX; SX = 0; }
    if (SY < 0) { DY -= SY; H += SY; SY = 0; }
    if (DX < 0) { SX -= DX; W += DX; DX = 0; }
    if (DY < 0) { SY -= DY; H += DY; DY = 0; }
    // clang-format on
    W = std::min({W, src.width() - SX, dst.width() - DX});
    H = std::min({H, src.height() - SY, dst.height() - DY});
    if (W <= 0 || H <= 0) return false;
    out = Blit{static_cast<int>(DX), static_cast<int>(DY), static_cast<int>(SX),
               static_cast<int>(SY), static_cast<int>(W),  static_cast<int>(H)};
    return true;
}

// Fills the half-open box [x0, x1) x [y0, y1), clipped to s.
void fillBox(Surface& s, long long x0, long long y0, long long x1, long long y1,
             std::uint32_t value) {
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min(x1, static_cast<long long>(s.width()));
    y1 = std::min(y1, static_cast<long long>(s.height()));
    if (x0 >= x1 || y0 >= y1) return;
    for (long long y = y0; y < y1; ++y) {
        std::uint32_t* p = s.row(static_cast<int>(y));
        std::fill(p + x0, p + x1, value);
    }
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
    Surface part(b.w, b.h);
    for (int y = 0; y < b.h; ++y)
        std::memcpy(part.row(y), src.row(b.sy + y) + b.sx, sizeof(std::uint32_t) * b.w);
    return part;
}

// Runs kernel(dstRow, srcRow, width) over every row of a clipped blit.
template <class Kernel>
void eachRow(Surface& dst, const Surface& src, int dx, int dy, int w, int h, int sx, int sy,
             Kernel kernel) {
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, b)) return;
    if (overlaps(dst, src, b)) {
        const Surface part = cutOut(src, b);
        for (int y = 0; y < b.h; ++y) kernel(dst.row(b.dy + y) + b.dx, part.row(y), b.w);
        return;
    }
    for (int y = 0; y < b.h; ++y) kernel(dst.row(b.dy + y) + b.dx, src.row(b.sy + y) + b.sx, b.w);
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing operations

void copyRect(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
    Blit b{};
    if (!clipBlit(dst, src, dx, dy, w, h, sx, sy, b)) return;
    const std::size_t rowBytes = sizeof(std::uint32_t) * b.w;
    // Whole rows of equally wide surfaces are one block of memory.
    if (b.w == dst.width() && b.w == src.width() && &dst != &src) {
        std::memcpy(dst.row(b.dy), src.row(b.sy), rowBytes * b.h);
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
               COLORREF key) {
    const std::uint32_t k = toPixel(key) & kRgbMask;
    auto kernel = simd::haveAvx2() ? simd::keyedRowAvx2 : simd::keyedRowSse2;
    eachRow(dst, src, dx, dy, w, h, sx, sy,
            [&](std::uint32_t* d, const std::uint32_t* s, int n) { kernel(d, s, n, k); });
}

void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                std::uint8_t alpha) {
    // Alpha 0 is exactly "leave dst"; skipping it also keeps dst's top bytes.
    if (alpha == 0) return;
    auto kernel = simd::haveAvx512bw() ? simd::blendRowAvx512
                  : simd::haveAvx2()   ? simd::blendRowAvx2
                                       : simd::blendRowSse2;
    eachRow(dst, src, dx, dy, w, h, sx, sy,
            [&](std::uint32_t* d, const std::uint32_t* s, int n) { kernel(d, s, n, alpha); });
}

void fillWhite(Surface& dst, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    fillBox(dst, x, y, static_cast<long long>(x) + w, static_cast<long long>(y) + h, 0x00FFFFFFu);
}

void frameRect(Surface& dst, const RECT& r, COLORREF color) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    const std::uint32_t p = toPixel(color);
    const long long l = r.left, t = r.top, rt = r.right, b = r.bottom;
    fillBox(dst, l, t, rt, t + 1, p);   // top
    fillBox(dst, l, b - 1, rt, b, p);   // bottom
    fillBox(dst, l, t, l + 1, b, p);    // left
    fillBox(dst, rt - 1, t, rt, b, p);  // right
}

void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                    bool useKey, std::uint32_t keyRgb) {
    const std::uint32_t k = keyRgb & kRgbMask;
    eachRow(dst, src, dx, dy, w, h, sx, sy, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        simd::alphaRowSse2(d, s, n, useKey, k);
    });
}

void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                      int sy, double angleDegrees, bool useKey, std::uint32_t keyRgb) {
    if (w <= 0 || h <= 0 || dst.empty() || src.empty() || !std::isfinite(angleDegrees)) return;
    double turn = std::fmod(angleDegrees, 360.0);
    if (turn < 0) turn += 360.0;
    if (turn == 0.0) {
        alphaPixelCopy(dst, dx, dy, w, h, src, sx, sy, useKey, keyRgb);
        return;
    }
    // Quarter turns get exact sines, so their footprints land on whole pixels.
    double c, s;
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
    const long long x0 = std::max(0LL, dx + static_cast<long long>(std::floor(minX)));
    const long long y0 = std::max(0LL, dy + static_cast<long long>(std::floor(minY)));
    const long long x1 =
        std::min<long long>(dst.width(), dx + static_cast<long long>(std::ceil(maxX)));
    const long long y1 =
        std::min<long long>(dst.height(), dy + static_cast<long long>(std::ceil(maxY)));
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
    Surface out(turned ? h : w, turned ? w : h);
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
    Surface out(width, height);
    if (src.empty()) return out;
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

}  // namespace platform
