#include "platform/Canvas.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

#include "platform/KeyRuns.h"

namespace platform {

namespace {

std::uint64_t spread(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// One step of a running hash: for either argument fixed, a one-to-one map of
// the other. Cheap, as it runs for every field of every command and for every
// cell a command covers; each command's hash is spread once at its end.
std::uint64_t mix(std::uint64_t h, std::uint64_t v) { return std::rotl((h ^ v) * 0x9E3779B97F4A7C15ull, 27); }

// The kind, the place and the picture, which every blit command hashes.
std::uint64_t blitHash(std::uint64_t kind, const Blit& at, const std::shared_ptr<const Picture>& src) {
    std::uint64_t h = kind;
    for (int v : {at.dx, at.dy, at.sx, at.sy, at.w, at.h}) h = mix(h, static_cast<std::uint32_t>(v));
    return mix(h, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(src.get())));
}

Box boxOf(const Blit& b) { return Box{b.dx, b.dy, b.dx + b.w, b.dy + b.h}; }

bool meets(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

bool wholeFramesAsked() { return std::getenv("SWAPSPRINT_WHOLE_FRAMES") != nullptr; }

}  // namespace

namespace draw {

Box Copy::bounds() const { return boxOf(at); }
std::uint64_t Copy::hash() const { return spread(blitHash(1, at, src)); }
void Copy::drawOn(Surface& frame, const Box& within) const {
    copyRect(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, within);
}

Box KeyedCopy::bounds() const { return boxOf(at); }
std::uint64_t KeyedCopy::hash() const { return spread(mix(blitHash(2, at, src), key)); }
void KeyedCopy::drawOn(Surface& frame, const Box& within) const {
    keyedCopy(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, toColorRef(key), within);
}

Box Blend::bounds() const { return boxOf(at); }
std::uint64_t Blend::hash() const { return spread(mix(blitHash(3, at, src), alpha)); }
void Blend::drawOn(Surface& frame, const Box& within) const {
    alphaBlend(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, alpha, within);
}

Box KeyedBlend::bounds() const { return boxOf(at); }
std::uint64_t KeyedBlend::hash() const {
    return spread(mix(mix(blitHash(4, at, src), key), alpha));
}
void KeyedBlend::drawOn(Surface& frame, const Box& within) const {
    keyedBlend(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, toColorRef(key), alpha, within);
}

Box PixelAlpha::bounds() const { return boxOf(at); }
std::uint64_t PixelAlpha::hash() const {
    return spread(mix(blitHash(5, at, src), (std::uint64_t{key} << 1) | (useKey ? 1u : 0u)));
}
void PixelAlpha::drawOn(Surface& frame, const Box& within) const {
    alphaPixelCopy(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, useKey, key, within);
}

std::uint64_t Rotated::hash() const {
    std::uint64_t angleBits = 0;
    static_assert(sizeof angleBits == sizeof angle);
    std::memcpy(&angleBits, &angle, sizeof angleBits);
    return spread(mix(mix(blitHash(6, at, src), angleBits), (std::uint64_t{key} << 1) | (useKey ? 1u : 0u)));
}
void Rotated::drawOn(Surface& frame, const Box& within) const {
    rotatedAlphaCopy(frame, at.dx, at.dy, at.w, at.h, *src, at.sx, at.sy, angle, useKey, key, within);
}

Box Coverage::bounds() const { return boxOf(at); }
std::uint64_t Coverage::hash() const {
    std::uint64_t h = 7;
    for (int v : {at.dx, at.dy, at.w, at.h}) h = mix(h, static_cast<std::uint32_t>(v));
    return spread(mix(mix(h, ink), mask->hash));
}
void Coverage::drawOn(Surface& frame, const Box& within) const {
    coverageBlend(frame, at.dx, at.dy, mask->bytes.data(), at.w, at.h, ink, within);
}

std::uint64_t Fill::hash() const {
    std::uint64_t h = 8;
    for (int v : {box.x0, box.y0, box.x1, box.y1}) h = mix(h, static_cast<std::uint32_t>(v));
    return spread(mix(h, pixel));
}
void Fill::drawOn(Surface& frame, const Box& within) const { fillBox(frame, box, pixel, within); }

}  // namespace draw

// ---------------------------------------------------------------------------
// The frame's record

std::shared_ptr<const Picture> Canvas::picture() {
    if (!taken_) taken_ = Picture::of(pixels_);
    return taken_;
}

void Canvas::begin() {
    commands_.clear();
    hashes_.clear();
    recording_ = true;
}

void Canvas::record(draw::Command&& command) {
    hashes_.push_back(std::visit([](const auto& c) { return c.hash(); }, command));
    commands_.push_back(std::move(command));
}

std::shared_ptr<const draw::Mask> Canvas::keepMask(const std::uint8_t* coverage, int w, int x0, int y0, int x1,
                                                   int y1) {
    const int width = x1 - x0, height = y1 - y0;
    const std::size_t row = static_cast<std::size_t>(width);
    const auto part = [&](int y) { return coverage + static_cast<std::size_t>(y0 + y) * w + x0; };
    if (lastMask_ && lastMaskWidth_ == width && lastMask_->bytes.size() == row * height) {
        bool same = true;
        for (int y = 0; y < height && same; ++y) same = std::memcmp(part(y), lastMask_->bytes.data() + y * row, row) == 0;
        if (same) return lastMask_;
    }
    auto mask = std::make_shared<draw::Mask>();
    mask->bytes.resize(row * height);
    for (int y = 0; y < height; ++y) std::memcpy(mask->bytes.data() + y * row, part(y), row);
    const std::string_view bytes(reinterpret_cast<const char*>(mask->bytes.data()), mask->bytes.size());
    mask->hash = spread(std::hash<std::string_view>{}(bytes) ^ (std::uint64_t(std::uint32_t(width)) << 32));
    lastMask_ = mask;
    lastMaskWidth_ = width;
    return mask;
}

void Canvas::hashCells() {
    const int frameWidth = width(), frameHeight = height();
    cells_.assign(static_cast<std::size_t>(columns_) * bands_, Cell{});
    for (std::size_t n = 0; n < commands_.size(); ++n) {
        const auto [b, opaque] =
            std::visit([](const auto& c) { return std::pair{c.bounds(), c.opaque()}; }, commands_[n]);
        for (int band = b.y0 / kCellHeight; band <= (b.y1 - 1) / kCellHeight; ++band) {
            const int top = band * kCellHeight, bottom = std::min(top + kCellHeight, frameHeight);
            for (int c = b.x0 / kCellWidth; c <= (b.x1 - 1) / kCellWidth; ++c) {
                Cell& cell = cells_[static_cast<std::size_t>(band) * columns_ + c];
                const int left = c * kCellWidth, right = std::min(left + kCellWidth, frameWidth);
                if (opaque && b.x0 <= left && b.x1 >= right && b.y0 <= top && b.y1 >= bottom) {
                    cell.hash = hashes_[n];
                    cell.from = static_cast<int>(n);
                } else {
                    cell.hash = mix(cell.hash, hashes_[n]);
                }
            }
        }
    }
}

void Canvas::addAreas(std::vector<Area>& areas) const {
    // Runs of changed cells along each band, split where the command they
    // start from differs, joined with the run above when it spans the same
    // columns.
    const int frameWidth = width(), frameHeight = height();
    for (int band = 0; band < bands_; ++band) {
        const std::size_t thisBand = areas.size();
        const int top = band * kCellHeight;
        for (int c = 0; c < columns_;) {
            const std::size_t i = static_cast<std::size_t>(band) * columns_ + c;
            const Cell& cell = cells_[i];
            const bool changed = cell.from < 0 || cell.hash != lastCells_[i].hash;
            if (!changed) {
                ++c;
                continue;
            }
            int end = c + 1;
            while (end < columns_) {
                const Cell& next = cells_[i + (end - c)];
                if (next.from != cell.from || (next.from >= 0 && next.hash == lastCells_[i + (end - c)].hash)) break;
                ++end;
            }
            const int x0 = c * kCellWidth, x1 = std::min(end * kCellWidth, frameWidth);
            const int y1 = std::min(top + kCellHeight, frameHeight);
            const int from = std::max(cell.from, 0);
            bool joined = false;
            for (std::size_t a = 0; a < thisBand && !joined; ++a) {
                Area& up = areas[a];
                if (up.box.x0 == x0 && up.box.x1 == x1 && up.box.y1 == top && up.from == from) {
                    up.box.y1 = y1;
                    joined = true;
                }
            }
            if (!joined) areas.push_back(Area{Box{x0, top, x1, y1}, from});
            c = end;
        }
    }
}

void Canvas::finish() {
    taken_.reset();
    if (!recording_) return;
    recording_ = false;
    changed_.clear();
    // A frame that drew nothing leaves the pixels, and the record, as they were.
    if (commands_.empty()) return;
    const int columns = (width() + kCellWidth - 1) / kCellWidth;
    const int bands = (height() + kCellHeight - 1) / kCellHeight;
    const bool sameFrame = known_ && columns == columns_ && bands == bands_ && !wholeFramesAsked();
    columns_ = columns;
    bands_ = bands;
    hashCells();

    std::vector<Area> areas;
    if (sameFrame) {
        addAreas(areas);
    } else {
        areas.push_back(Area{Box{0, 0, width(), height()}, 0});
    }
    for (const Area& area : areas) {
        for (std::size_t n = static_cast<std::size_t>(area.from); n < commands_.size(); ++n) {
            std::visit(
                [&](const auto& c) {
                    if (meets(c.bounds(), area.box)) c.drawOn(pixels_, area.box);
                },
                commands_[n]);
        }
        changed_.push_back(area.box);
    }
    lastCells_.swap(cells_);
    lastCommands_.swap(commands_);
    commands_.clear();
    hashes_.clear();
    known_ = true;
}

// ---------------------------------------------------------------------------
// Drawing onto a canvas

namespace {

// The blit clipped to the canvas and the picture; false when nothing is left.
bool clipped(const Canvas& dst, const Picture& src, int dx, int dy, int w, int h, int sx, int sy, Blit& b) {
    return clipBlit(dst.width(), dst.height(), src.width(), src.height(), dx, dy, sx, sy, w, h, b);
}

std::shared_ptr<const Picture> held(const Picture& src) { return src.shared_from_this(); }

}  // namespace

void copyRect(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy) {
    if (!dst.recording()) return copyRect(dst.changePixels(), dx, dy, w, h, src, sx, sy);
    Blit b{};
    if (clipped(dst, src, dx, dy, w, h, sx, sy, b)) dst.record(draw::Copy{b, held(src)});
}

void keyedCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, COLORREF key) {
    if (!dst.recording()) return keyedCopy(dst.changePixels(), dx, dy, w, h, src, sx, sy, key);
    Blit b{};
    if (!clipped(dst, src, dx, dy, w, h, sx, sy, b)) return;
    const std::uint32_t k = toPixel(key) & 0x00FFFFFFu;
    const KeyRuns* runs = src.keyRuns(k);
    dst.record(draw::KeyedCopy{b, held(src), k, runs && runs->opaque()});
}

void alphaBlend(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                std::uint8_t alpha) {
    if (!dst.recording()) return alphaBlend(dst.changePixels(), dx, dy, w, h, src, sx, sy, alpha);
    Blit b{};
    if (alpha != 0 && clipped(dst, src, dx, dy, w, h, sx, sy, b)) dst.record(draw::Blend{b, held(src), alpha});
}

void keyedBlend(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, COLORREF key,
                std::uint8_t alpha) {
    if (!dst.recording()) return keyedBlend(dst.changePixels(), dx, dy, w, h, src, sx, sy, key, alpha);
    Blit b{};
    if (alpha == 0 || !clipped(dst, src, dx, dy, w, h, sx, sy, b)) return;
    const std::uint32_t k = toPixel(key) & 0x00FFFFFFu;
    dst.record(draw::KeyedBlend{b, held(src), k, alpha});
}

namespace {
void recordFill(Canvas& dst, const Box& box, std::uint32_t pixel) {
    const Box on{std::max(box.x0, 0), std::max(box.y0, 0), std::min(box.x1, dst.width()),
                 std::min(box.y1, dst.height())};
    if (!on.empty()) dst.record(draw::Fill{on, pixel});
}
}  // namespace

void fillWhite(Canvas& dst, int x, int y, int w, int h) {
    if (!dst.recording()) return fillWhite(dst.changePixels(), x, y, w, h);
    if (w <= 0 || h <= 0) return;
    const auto at = [](long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
    recordFill(dst, Box{x, y, at(static_cast<long long>(x) + w), at(static_cast<long long>(y) + h)}, 0x00FFFFFFu);
}

void frameRect(Canvas& dst, const RECT& r, COLORREF color) {
    if (!dst.recording()) return frameRect(dst.changePixels(), r, color);
    for (const Box& edge : frameEdges(r)) recordFill(dst, edge, toPixel(color));
}

void alphaPixelCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy, bool useKey,
                    std::uint32_t keyRgb) {
    if (!dst.recording()) return alphaPixelCopy(dst.changePixels(), dx, dy, w, h, src, sx, sy, useKey, keyRgb);
    Blit b{};
    if (clipped(dst, src, dx, dy, w, h, sx, sy, b))
        dst.record(draw::PixelAlpha{b, held(src), useKey, keyRgb & 0x00FFFFFFu});
}

void coverageBlend(Canvas& dst, long long dx, long long dy, const std::uint8_t* coverage, int w, int h,
                   COLORREF color) {
    if (!dst.recording()) return coverageBlend(dst.changePixels(), dx, dy, coverage, w, h, color);
    if (!coverage || w <= 0 || h <= 0) return;
    // Only the part on the frame is kept, as a mask of its own; 64-bit edges,
    // so a position near the int limits clips rather than wraps.
    const long long x0 = std::max(0LL, -dx), y0 = std::max(0LL, -dy);
    const long long x1 = std::min<long long>(w, dst.width() - dx), y1 = std::min<long long>(h, dst.height() - dy);
    if (x0 >= x1 || y0 >= y1) return;
    const Blit at{int(dx + x0), int(dy + y0), 0, 0, int(x1 - x0), int(y1 - y0)};
    dst.record(draw::Coverage{at, dst.keepMask(coverage, w, int(x0), int(y0), int(x1), int(y1)), color});
}

void rotatedAlphaCopy(Canvas& dst, int dx, int dy, int w, int h, const Picture& src, int sx, int sy,
                      double angleDegrees, bool useKey, std::uint32_t keyRgb) {
    if (!dst.recording())
        return rotatedAlphaCopy(dst.changePixels(), dx, dy, w, h, src, sx, sy, angleDegrees, useKey, keyRgb);
    if (w <= 0 || h <= 0 || dst.empty() || src.empty() || !std::isfinite(angleDegrees)) return;
    // No turn at all is a plain per-pixel alpha copy, as drawn at once.
    if (std::fmod(angleDegrees, 360.0) == 0.0) return alphaPixelCopy(dst, dx, dy, w, h, src, sx, sy, useKey, keyRgb);
    Box box;
    if (!rotatedBounds(dx, dy, w, h, angleDegrees, Box{0, 0, dst.width(), dst.height()}, box)) return;
    dst.record(draw::Rotated{Blit{dx, dy, sx, sy, w, h}, held(src), angleDegrees, useKey,
                             keyRgb & 0x00FFFFFFu, box});
}

}  // namespace platform
