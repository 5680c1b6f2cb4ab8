#include "platform/FrameRedraw.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

namespace platform {

namespace {

std::uint64_t spread(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// One step of a running hash: for either argument fixed, a one-to-one map of
// the other. Cheap, as it runs for every field of every draw and for every
// cell a draw covers; each draw's hash is spread once at its end.
std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    return std::rotl((h ^ v) * 0x9E3779B97F4A7C15ull, 27);
}

std::uint64_t hashOf(const FrameDraw& d) {
    std::uint64_t h = static_cast<std::uint64_t>(d.kind);
    for (int v : {d.at.dx, d.at.dy, d.at.sx, d.at.sy, d.at.w, d.at.h, d.box.x0, d.box.y0, d.box.x1, d.box.y1})
        h = mix(h, static_cast<std::uint32_t>(v));
    h = mix(h, d.value);
    h = mix(h, (std::uint64_t{d.alpha} << 8) | (d.useKey ? 1u : 0u));
    std::uint64_t angleBits = 0;
    static_assert(sizeof angleBits == sizeof d.angle);
    std::memcpy(&angleBits, &d.angle, sizeof angleBits);
    h = mix(h, angleBits);
    if (!d.src.empty()) h = mix(h, d.src.contentKey());
    if (d.coverage) h = mix(h, d.coverage->hash);
    return spread(h);
}

bool meets(const Box& a, const Box& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// Draws over the frame limited to a box while it lives; the frame's draws are
// done, not noted, meanwhile.
class Replay {
public:
    Replay(Surface& frame, bool& replaying) : frame_(frame), replaying_(replaying) { replaying_ = true; }
    ~Replay() {
        frame_.limitDrawing(std::nullopt);
        replaying_ = false;
    }
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

private:
    Surface& frame_;
    bool& replaying_;
};

}  // namespace

void FrameRedraw::note(FrameDraw&& draw) {
    hashes_.push_back(hashOf(draw));
    draws_.push_back(std::move(draw));
}

std::shared_ptr<const NotedMask> FrameRedraw::keepMask(const std::uint8_t* coverage, int w, int x0, int y0,
                                                      int x1, int y1) {
    const int width = x1 - x0, height = y1 - y0;
    const std::size_t row = static_cast<std::size_t>(width);
    const auto part = [&](int y) { return coverage + static_cast<std::size_t>(y0 + y) * w + x0; };
    if (lastMask_ && lastMaskWidth_ == width && lastMask_->bytes.size() == row * height) {
        bool same = true;
        for (int y = 0; y < height && same; ++y) same = std::memcmp(part(y), lastMask_->bytes.data() + y * row, row) == 0;
        if (same) return lastMask_;
    }
    auto mask = std::make_shared<NotedMask>();
    mask->bytes.resize(row * height);
    for (int y = 0; y < height; ++y) std::memcpy(mask->bytes.data() + y * row, part(y), row);
    const std::string_view bytes(reinterpret_cast<const char*>(mask->bytes.data()), mask->bytes.size());
    mask->hash = spread(std::hash<std::string_view>{}(bytes) ^ (std::uint64_t(std::uint32_t(width)) << 32));
    lastMask_ = mask;
    lastMaskWidth_ = width;
    return mask;
}

void FrameRedraw::drop() {
    draws_.clear();
    hashes_.clear();
    known_ = false;
}

void FrameRedraw::addAreas(const std::vector<Cell>& cells, std::vector<Area>& areas) const {
    // Runs of changed cells along each band, split where the draw they start
    // from differs, joined with the run above when it spans the same columns.
    for (int band = 0; band < bands_; ++band) {
        const std::size_t thisBand = areas.size();
        const int top = band * kCellHeight;
        for (int c = 0; c < columns_;) {
            const std::size_t i = static_cast<std::size_t>(band) * columns_ + c;
            const Cell& cell = cells[i];
            const bool changed = cell.from < 0 || cell.hash != lastCells_[i].hash;
            if (!changed) {
                ++c;
                continue;
            }
            int end = c + 1;
            while (end < columns_) {
                const Cell& next = cells[i + (end - c)];
                if (next.from != cell.from || (next.from >= 0 && next.hash == lastCells_[i + (end - c)].hash)) break;
                ++end;
            }
            const int x0 = c * kCellWidth, x1 = std::min(end * kCellWidth, frameWidth_);
            const int y1 = std::min(top + kCellHeight, frameHeight_);
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

void FrameRedraw::redraw(Surface& frame) {
    if (draws_.empty() || replaying_) return;
    const int columns = (frame.width() + kCellWidth - 1) / kCellWidth;
    const int bands = (frame.height() + kCellHeight - 1) / kCellHeight;
    const bool sameFrame = known_ && columns == columns_ && bands == bands_ &&
                           frame.width() == frameWidth_ && frame.height() == frameHeight_ &&
                           frame.changes() == changesAfter_;
    known_ = false;
    columns_ = columns;
    bands_ = bands;
    frameWidth_ = frame.width();
    frameHeight_ = frame.height();

    std::vector<Cell>& cells = cells_;
    cells.assign(static_cast<std::size_t>(columns) * bands, Cell{});
    for (std::size_t n = 0; n < draws_.size(); ++n) {
        const FrameDraw& d = draws_[n];
        const Box& b = d.box;
        for (int band = b.y0 / kCellHeight; band <= (b.y1 - 1) / kCellHeight; ++band) {
            const int top = band * kCellHeight, bottom = std::min(top + kCellHeight, frameHeight_);
            for (int c = b.x0 / kCellWidth; c <= (b.x1 - 1) / kCellWidth; ++c) {
                Cell& cell = cells[static_cast<std::size_t>(band) * columns + c];
                const int left = c * kCellWidth, right = std::min(left + kCellWidth, frameWidth_);
                if (d.opaque && b.x0 <= left && b.x1 >= right && b.y0 <= top && b.y1 >= bottom) {
                    cell.hash = hashes_[n];
                    cell.from = static_cast<int>(n);
                } else {
                    cell.hash = mix(cell.hash, hashes_[n]);
                }
            }
        }
    }

    std::vector<Area> areas;
    if (sameFrame) {
        addAreas(cells, areas);
    } else {
        areas.push_back(Area{Box{0, 0, frameWidth_, frameHeight_}, 0});
    }
    {
        Replay replay(frame, replaying_);
        for (const Area& area : areas) {
            const bool whole = area.box.x0 == 0 && area.box.y0 == 0 && area.box.x1 == frameWidth_ &&
                               area.box.y1 == frameHeight_;
            frame.limitDrawing(whole ? std::nullopt : std::optional<Box>(area.box));
            for (std::size_t n = static_cast<std::size_t>(area.from); n < draws_.size(); ++n)
                if (meets(draws_[n].box, area.box)) drawNoted(frame, draws_[n]);
        }
    }
    lastCells_.swap(cells_);
    lastDraws_.swap(draws_);
    draws_.clear();
    hashes_.clear();
    changesAfter_ = frame.changes();
    known_ = true;
}

}  // namespace platform
