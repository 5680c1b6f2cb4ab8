// A frame drawn again only where it changed must show, every frame, exactly
// what drawing the whole frame gives, and the boxes it reports changed must
// hold every pixel that changed: checked against a canvas that draws at
// once and one that draws whole frames, over runs of frames that repeat with
// small changes, as the game's do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <stdlib.h>
#include <utility>
#include <vector>

#include "platform/Canvas.h"

using platform::Canvas;
using platform::Picture;
using platform::Surface;

namespace {

constexpr int kW = 90, kH = 53;  // cells cut through at the right and bottom edges
constexpr std::uint32_t kKey = 0x00FF00FF;

Surface noise(std::mt19937& rng, int w, int h, std::uint32_t top = 0, bool keyed = false) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.setPixel(x, y, keyed && (x / 5 + y / 3) % 3 == 0 ? kKey : (rng() & 0xFFFFFF) | top << 24);
    return s;
}

struct Params {
    int kind, x, y, w, h, sx, sy, alpha;
};

// Places and sizes often on or one off a multiple of 8, where the frame's
// bookkeeping draws its lines.
int edgy(std::mt19937& rng, int range, int from) {
    const int v = int(rng() % range) + from;
    return rng() % 2 ? v : v / 8 * 8 + int(rng() % 3) - 1;
}

Params randomParams(std::mt19937& rng, int kinds) {
    return Params{int(rng() % kinds), edgy(rng, 110, -10), edgy(rng, 70, -10), edgy(rng, 60, 0),
                  edgy(rng, 40, 0),   int(rng() % 20) - 2, int(rng() % 12) - 2, int(rng() % 256)};
}

}  // namespace

TEST(Canvas, FramesDrawnOnlyWhereTheyChangedShowWhatWholeFramesShow) {
    std::mt19937 rng(7);
    const Surface background = noise(rng, kW, kH);
    const auto wholeBackground = Picture::of(background);
    const auto loadedBackground = Picture::freeze(background, kKey);  // kept in its runs, as loaded pictures are
    const auto keyed = Picture::freeze(noise(rng, 50, 30, 0, true), kKey);
    const auto solid = Picture::freeze(noise(rng, 40, 30), kKey);  // no key pixels: an opaque layer
    const auto plain = Picture::of(noise(rng, 50, 30, 0, true));  // keyed but never analysed
    const auto withAlpha = Picture::of(noise(rng, 30, 20, 0x80));
    Canvas changing(noise(rng, 40, 30, 0, true));  // a canvas drawn from, changed between frames
    std::uint32_t plateColour = 0x00334455;  // a plate filled anew each frame, as the option panel's
    std::vector<std::uint8_t> ink(41 * 9);
    for (auto& c : ink) c = std::uint8_t(rng());
    using Step = std::function<void(Canvas&, const Params&)>;
    const std::vector<Step> steps{
        [&](Canvas& d, const Params& p) { platform::copyRect(d, p.x, p.y, p.w, p.h, *solid, p.sx, p.sy); },
        [&](Canvas& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, *keyed, p.sx, p.sy, MAGENTA); },
        [&](Canvas& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, *solid, p.sx, p.sy, MAGENTA); },
        [&](Canvas& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, *changing.picture(), p.sx, p.sy, MAGENTA); },
        [&](Canvas& d, const Params& p) { platform::keyedBlend(d, p.x, p.y, p.w, p.h, *keyed, p.sx, p.sy, MAGENTA, std::uint8_t(p.alpha)); },
        [&](Canvas& d, const Params& p) { platform::keyedBlend(d, p.x, p.y, p.w, p.h, *plain, p.sx, p.sy, MAGENTA, std::uint8_t(p.alpha)); },
        [&](Canvas& d, const Params& p) { platform::alphaBlend(d, p.x, p.y, p.w, p.h, *changing.picture(), p.sx, p.sy, std::uint8_t(p.alpha)); },
        [&](Canvas& d, const Params& p) { platform::alphaPixelCopy(d, p.x, p.y, p.w, p.h, *withAlpha, p.sx, p.sy, p.alpha % 2, 0x80FF00FF); },
        [&](Canvas& d, const Params& p) { platform::rotatedAlphaCopy(d, p.x, p.y, p.w % 30, p.h % 20, *withAlpha, p.sx, p.sy, p.alpha * 1.5, false, 0); },
        [&](Canvas& d, const Params& p) { platform::coverageBlend(d, p.x, p.y, ink.data(), 41, 9, RGB(p.alpha, 40, 200)); },
        [&](Canvas& d, const Params& p) {
            Surface plate(20, 10);
            plate.fill(plateColour);
            platform::alphaBlend(d, p.x, p.y, 20, 10, *Picture::of(std::move(plate)), 0, 0, std::uint8_t(p.alpha));
        },
        [&](Canvas& d, const Params& p) { platform::fillWhite(d, p.x, p.y, p.w, p.h); },
        [&](Canvas& d, const Params& p) { platform::frameRect(d, RECT{p.x, p.y, p.x + p.w, p.y + p.h}, RGB(p.alpha, 1, 2)); },
        // The game's own frame start: a white page, then the background whole.
        [&](Canvas& d, const Params& p) { platform::fillWhite(d, 0, 0, kW, kH); platform::copyRect(d, 0, 0, kW, kH, p.alpha % 2 ? *wholeBackground : *loadedBackground, 0, 0); },
        [&](Canvas& d, const Params& p) { platform::alphaBlend(d, 0, p.y, kW, kH, *wholeBackground, 0, 0, 50); },
    };
    const int kinds = int(steps.size());
    const int kBackground = kinds - 2;

    // frame: drawn again where it changed; whole: the same with damage
    // tracking switched off; model: every draw done at once.
    Canvas frame(kW, kH), whole(kW, kH), model(kW, kH);
    Surface window(kW, kH);  // what the window shows: the last frame's changed boxes
    const auto finishWhole = [&] {
        setenv("SWAPSPRINT_WHOLE_FRAMES", "1", 1);
        whole.finish();
        unsetenv("SWAPSPRINT_WHOLE_FRAMES");
    };
    std::vector<Params> scene;
    for (int i = 0; i < 12; ++i) scene.push_back(randomParams(rng, kinds));
    for (int round = 0; round < 4000; ++round) {
        // Mostly the same frame again, with a draw or two moved, changed, added or dropped.
        for (int change = int(rng() % 3); change > 0; --change) {
            const std::size_t i = rng() % scene.size();
            switch (rng() % 5) {
                case 0: scene[i].x += int(rng() % 3) - 1; break;
                case 1: scene[i].alpha = int(rng() % 256); break;
                case 2: scene[i] = randomParams(rng, kinds); break;
                case 3: if (scene.size() > 2) scene.erase(scene.begin() + i); break;
                default: scene.insert(scene.begin() + i, randomParams(rng, kinds)); break;
            }
        }
        // Pictures changed between frames: in place, refilled, text that says something else.
        if (rng() % 6 == 0) changing.changePixels().setPixel(int(rng() % 40), int(rng() % 30), rng() & 0xFFFFFF);
        if (rng() % 6 == 0) plateColour ^= 1;
        if (rng() % 6 == 0) ink[rng() % ink.size()] ^= 0x40;
        // The pixels changed other than by a draw, now and then: one pixel, or all.
        if (rng() % 40 == 0) {
            const int x = int(rng() % kW);
            for (Canvas* c : {&frame, &whole, &model}) c->changePixels().setPixel(x, 3, 0x00ABCDEF);
        } else if (rng() % 40 == 0) {
            for (Canvas* c : {&frame, &whole, &model}) c->changePixels() = background;
        }
        if (rng() % 40 == 0) window = frame.pixels();  // the window shown whole (exposed, resized)
        frame.begin();
        whole.begin();
        // Most frames start whole, as the game's do; others draw over the last.
        if (rng() % 4 != 0) {
            const Params start{kBackground, 0, 0, 0, 0, 0, 0, int(rng() % 8 == 0)};
            for (Canvas* c : {&frame, &whole, &model}) steps[kBackground](*c, start);
        }
        for (const Params& p : scene)
            for (Canvas* c : {&frame, &whole, &model}) steps[p.kind](*c, p);
        frame.finish();
        finishWhole();
        for (const platform::Box& b : frame.changed())
            platform::copyRect(window, b.x0, b.y0, b.x1 - b.x0, b.y1 - b.y0, frame.pixels(), b.x0, b.y0);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                ASSERT_EQ(frame.pixel(x, y), model.pixel(x, y)) << "round " << round << " at " << x << "," << y;
                ASSERT_EQ(whole.pixel(x, y), model.pixel(x, y)) << "round " << round << " at " << x << "," << y;
                ASSERT_EQ(window.pixel(x, y), model.pixel(x, y)) << "round " << round << " at " << x << "," << y;
            }
    }
}

// An opaque draw hides what is under it only where it covers: whatever edge
// it ends on, a change under the pixels it leaves shows in the next frame.
TEST(Canvas, AChangeUnderPixelsAnOpaqueDrawLeavesShows) {
    std::mt19937 rng(3);
    const auto solid = Picture::freeze(noise(rng, kW, kH), std::nullopt, true);
    Canvas frame(kW, kH);
    std::uint32_t under = 1;
    for (int edge = 1; edge < kW + kH; ++edge) {
        if (edge == kW) continue;
        const bool across = edge < kW;  // ends at column edge, or at row edge - kW
        for (int frameNo = 0; frameNo < 2; ++frameNo, ++under) {
            Surface page(kW, kH);
            page.fill(under);
            frame.begin();
            platform::copyRect(frame, 0, 0, kW, kH, *Picture::of(std::move(page)), 0, 0);
            platform::copyRect(frame, 0, 0, across ? edge : kW, across ? kH : edge - kW, *solid, 0, 0);
            frame.finish();
            const int x = across ? edge : 0, y = across ? 0 : edge - kW;
            ASSERT_EQ(frame.pixel(x, y), under) << edge;
            const int lastX = std::max(x - 1, 0), lastY = std::max(y - 1, 0);
            ASSERT_EQ(frame.pixel(lastX, lastY), solid->pixel(lastX, lastY)) << edge;
        }
    }
}

// A canvas drawn from gives what it holds at the draw: a change after a
// picture of it was taken shows in the next one and leaves the taken one as
// it was; a frame's draws show once the frame is finished.
TEST(Canvas, APictureOfACanvasFollowsItsChanges) {
    Canvas source(Surface(4, 2));
    const auto before = source.picture();
    EXPECT_EQ(source.picture(), before);  // unchanged: the same picture
    source.changePixels().setPixel(1, 1, 0x123456);
    EXPECT_EQ(before->pixel(1, 1), 0u);
    EXPECT_EQ(source.picture()->pixel(1, 1), 0x123456u);
    platform::fillWhite(source, 0, 0, 1, 1);  // drawn at once
    EXPECT_EQ(source.picture()->pixel(0, 0), 0xFFFFFFu);
    source.begin();
    platform::fillWhite(source, 3, 0, 1, 1);
    EXPECT_EQ(source.picture()->pixel(3, 0), 0u);
    source.finish();
    EXPECT_EQ(source.picture()->pixel(3, 0), 0xFFFFFFu);
}
