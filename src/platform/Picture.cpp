#include "platform/Picture.h"

#include <utility>

#include "platform/SurfaceSimd.h"

namespace platform {

namespace {
constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;
}  // namespace

Picture::Picture(Surface pixels, std::optional<std::uint32_t> key, bool findFlat)
    : width_(pixels.width()), height_(pixels.height()), pixels_(std::move(pixels)) {
    if (empty()) return;
    if (key) {
        key_ = *key & kRgbMask;
        runs_ = std::make_unique<const KeyRuns>(pixels_.pixels(), width_, height_, *key_);
    }
    if (findFlat && (!runs_ || runs_->opaque())) flat_ = FlatRows::analyse(pixels_.pixels(), width_, height_);
    // Runs of a picture without key pixels read its own pixels, which stay.
    if (runs_ && runs_->holdsAll() && !runs_->opaque()) pixels_ = Surface();
}

std::shared_ptr<const Picture> Picture::of(Surface pixels) {
    return std::shared_ptr<const Picture>(new Picture(std::move(pixels), std::nullopt, false));
}

std::shared_ptr<const Picture> Picture::freeze(Surface pixels, std::optional<std::uint32_t> key,
                                               bool findFlat) {
    return std::shared_ptr<const Picture>(new Picture(std::move(pixels), key, findFlat));
}

const KeyRuns* Picture::keyRuns(std::uint32_t keyRgb) const {
    return runs_ && runs_->key() == (keyRgb & kRgbMask) ? runs_.get() : nullptr;
}

bool Picture::suits(std::optional<std::uint32_t> key) const {
    if (empty()) return true;
    return key ? keyRuns(*key) != nullptr : !pixels_.empty();
}

std::uint32_t Picture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    if (!pixels_.empty()) return pixels_.pixel(x, y);
    for (const Span* s = runs_->begin(y); s != runs_->end(y); ++s)
        if (x >= s->begin && x < s->end) return runs_->pixels()[s->at + (x - s->begin)];
    return runs_->key();
}

const Surface& Picture::rows(Surface& spare) const {
    if (!pixels_.empty() || empty()) return pixels_;
    spare = Surface::uninitialised(width_, height_);
    runs_->expand(spare.pixels());
    return spare;
}

Surface Picture::copy() const {
    Surface spare;
    const Surface& all = rows(spare);
    return &all == &spare ? std::move(spare) : Surface(all);
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

bool clipped(const Surface& dst, const Picture& src, int dx, int dy, int w, int h, int sx, int sy,
             const Box& within, Blit& b) {
    return clipBlit(dst.width(), dst.height(), src.width(), src.height(), dx, dy, sx, sy, w, h, within, b);
}

}  // namespace

void copyRect(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, const Box& within) {
    if (const FlatRows* flat = src.flatRows()) {
        Blit b{};
        if (!clipped(dst, src, dx, dy, w, h, sx, sy, within, b)) return;
        std::uint32_t* to = dst.row(b.dy) + b.dx;
        for (int y = 0; y < b.h; ++y, to += dst.width()) flat->copyRow(b.sy + y, b.sx, b.sx + b.w, to);
        return;
    }
    Surface spare;
    copyRect(dst, dx, dy, w, h, src.rows(spare), sx, sy, within);
}

void keyedCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, COLORREF key,
               const Box& within) {
    // An analysed picture is drawn by its runs: only drawn pixels are touched.
    if (const KeyRuns* runs = src.keyRuns(toPixel(key))) {
        Blit b{};
        if (clipped(dst, src, dx, dy, w, h, sx, sy, within, b))
            simd::kernels().copyRuns(dst.row(b.dy) + b.dx, dst.width(), *runs, b.sx, b.sy, b.w, b.h);
        return;
    }
    Surface spare;
    keyedCopy(dst, dx, dy, w, h, src.rows(spare), sx, sy, key, within);
}

void alphaBlend(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                std::uint8_t alpha, const Box& within) {
    Surface spare;
    alphaBlend(dst, dx, dy, w, h, src.rows(spare), sx, sy, alpha, within);
}

void keyedBlend(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, COLORREF key,
                std::uint8_t alpha, const Box& within) {
    if (alpha == 0) return;
    if (const KeyRuns* runs = src.keyRuns(toPixel(key))) {
        Blit b{};
        if (clipped(dst, src, dx, dy, w, h, sx, sy, within, b))
            simd::kernels().blendRuns(dst.row(b.dy) + b.dx, dst.width(), *runs, b.sx, b.sy, b.w, b.h, alpha);
        return;
    }
    Surface spare;
    keyedBlend(dst, dx, dy, w, h, src.rows(spare), sx, sy, key, alpha, within);
}

void alphaPixelCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, bool useKey,
                    std::uint32_t keyRgb, const Box& within) {
    Surface spare;
    alphaPixelCopy(dst, dx, dy, w, h, src.rows(spare), sx, sy, useKey, keyRgb, within);
}

void rotatedAlphaCopy(Surface& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                      double angleDegrees, bool useKey, std::uint32_t keyRgb, const Box& within) {
    Surface spare;
    rotatedAlphaCopy(dst, dx, dy, w, h, src.rows(spare), sx, sy, angleDegrees, useKey, keyRgb, within);
}

}  // namespace platform
