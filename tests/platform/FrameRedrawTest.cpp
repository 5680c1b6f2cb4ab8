// A frame drawn again only where it changed must show, every frame, exactly
// what drawing the whole frame gives: checked against an ordinary surface
// that takes the same draws, over runs of frames that repeat with small
// changes, as the game's do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "platform/Surface.h"

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

TEST(FrameRedraw, FramesDrawnOnlyWhereTheyChangedShowWhatWholeFramesShow) {
    std::mt19937 rng(7);
    const Surface background = noise(rng, kW, kH);
    Surface loadedBackground = background;  // kept in its runs, as loaded pictures are
    loadedBackground.analyseKey(kKey);
    loadedBackground.compact();
    Surface keyed = noise(rng, 50, 30, 0, true);
    keyed.analyseKey(kKey);
    Surface solid = noise(rng, 40, 30);
    solid.analyseKey(kKey);  // no key pixels: an opaque layer
    const Surface plain = noise(rng, 50, 30, 0, true);  // keyed but never analysed
    const Surface withAlpha = noise(rng, 30, 20, 0x80);
    Surface changing = noise(rng, 40, 30, 0, true);  // changed in place between frames
    std::uint32_t plateColour = 0x00334455;  // a plate filled anew each frame, as the option panel's
    std::vector<std::uint8_t> ink(41 * 9);
    for (auto& c : ink) c = std::uint8_t(rng());
    using Step = std::function<void(Surface&, const Params&)>;
    const std::vector<Step> steps{
        [&](Surface& d, const Params& p) { platform::copyRect(d, p.x, p.y, p.w, p.h, solid, p.sx, p.sy); },
        [&](Surface& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, keyed, p.sx, p.sy, MAGENTA); },
        [&](Surface& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, solid, p.sx, p.sy, MAGENTA); },
        [&](Surface& d, const Params& p) { platform::keyedCopy(d, p.x, p.y, p.w, p.h, changing, p.sx, p.sy, MAGENTA); },
        [&](Surface& d, const Params& p) { platform::keyedBlend(d, p.x, p.y, p.w, p.h, keyed, p.sx, p.sy, MAGENTA, std::uint8_t(p.alpha)); },
        [&](Surface& d, const Params& p) { platform::keyedBlend(d, p.x, p.y, p.w, p.h, plain, p.sx, p.sy, MAGENTA, std::uint8_t(p.alpha)); },
        [&](Surface& d, const Params& p) { platform::alphaBlend(d, p.x, p.y, p.w, p.h, changing, p.sx, p.sy, std::uint8_t(p.alpha)); },
        [&](Surface& d, const Params& p) { platform::alphaPixelCopy(d, p.x, p.y, p.w, p.h, withAlpha, p.sx, p.sy, p.alpha % 2, 0x80FF00FF); },
        [&](Surface& d, const Params& p) { platform::rotatedAlphaCopy(d, p.x, p.y, p.w % 30, p.h % 20, withAlpha, p.sx, p.sy, p.alpha * 1.5, false, 0); },
        [&](Surface& d, const Params& p) { platform::coverageBlend(d, p.x, p.y, ink.data(), 41, 9, RGB(p.alpha, 40, 200)); },
        [&](Surface& d, const Params& p) {
            Surface plate(20, 10);
            plate.fill(plateColour);
            platform::alphaBlend(d, p.x, p.y, 20, 10, plate, 0, 0, std::uint8_t(p.alpha));
        },
        [&](Surface& d, const Params& p) { platform::fillWhite(d, p.x, p.y, p.w, p.h); },
        [&](Surface& d, const Params& p) { platform::copyRect(d, p.x, p.y, p.w, p.h, d, p.sx, p.sy); },
        [&](Surface& d, const Params& p) { platform::frameRect(d, RECT{p.x, p.y, p.x + p.w, p.y + p.h}, RGB(p.alpha, 1, 2)); },
        // The game's own frame start: a white page, then the background whole.
        [&](Surface& d, const Params& p) { platform::fillWhite(d, 0, 0, kW, kH); platform::copyRect(d, 0, 0, kW, kH, p.alpha % 2 ? background : loadedBackground, 0, 0); },
        [&](Surface& d, const Params& p) { platform::alphaBlend(d, 0, p.y, kW, kH, background, 0, 0, 50); },
        [&](Surface& d, const Params& p) { d.fill(0x00010203u * std::uint32_t(p.alpha)); },
    };
    const int kinds = int(steps.size());
    const int kBackground = kinds - 3;

    Surface frame(kW, kH), model(kW, kH), window(kW, kH);
    frame.markFrame();
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
        if (rng() % 6 == 0) changing.setPixel(int(rng() % 40), int(rng() % 30), rng() & 0xFFFFFF);
        if (rng() % 6 == 0) plateColour ^= 1;
        if (rng() % 6 == 0) ink[rng() % ink.size()] ^= 0x40;
        // Most frames start whole, as the game's do; others draw over the last.
        const bool startsWhole = rng() % 4 != 0;
        if (startsWhole) {
            const Params start{kBackground, 0, 0, 0, 0, 0, 0, int(rng() % 8 == 0)};
            steps[kBackground](frame, start);
            steps[kBackground](model, start);
        }
        for (std::size_t i = 0; i < scene.size(); ++i) {
            steps[scene[i].kind](frame, scene[i]);
            steps[scene[i].kind](model, scene[i]);
            switch (rng() % 40) {
                case 0:  // a read halfway
                    ASSERT_EQ(frame.pixel(scene[i].x, scene[i].y), model.pixel(scene[i].x, scene[i].y)) << round;
                    break;
                case 1: {  // a pixel written directly
                    const int x = int(rng() % kW);
                    frame.setPixel(x, 3, 0x00ABCDEF);
                    model.setPixel(x, 3, 0x00ABCDEF);
                    break;
                }
                case 2:  // the frame replaced whole, by a copy or a move
                    if (rng() % 2) frame = background; else frame = Surface(background);
                    model = background;
                    break;
                default:
                    break;
            }
        }
        // Shown as the game shows it: copied whole into the window's surface.
        platform::copyRect(window, 0, 0, kW, kH, frame, 0, 0);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(window.pixel(x, y), model.pixel(x, y)) << "round " << round << " at " << x << "," << y;
    }
}

// An opaque draw hides what is under it only where it covers: whatever edge
// it ends on, a change under the pixels it leaves shows in the next frame.
TEST(FrameRedraw, AChangeUnderPixelsAnOpaqueDrawLeavesShows) {
    std::mt19937 rng(3);
    const Surface solid = noise(rng, kW, kH);
    Surface frame(kW, kH);
    frame.markFrame();
    std::uint32_t under = 1;
    for (int edge = 1; edge < kW + kH; ++edge) {
        if (edge == kW) continue;
        const bool across = edge < kW;  // ends at column edge, or at row edge - kW
        for (int frameNo = 0; frameNo < 2; ++frameNo, ++under) {
            frame.fill(under);
            platform::copyRect(frame, 0, 0, across ? edge : kW, across ? kH : edge - kW, solid, 0, 0);
            const int x = across ? edge : 0, y = across ? 0 : edge - kW;
            ASSERT_EQ(frame.pixel(x, y), under) << edge;
            const int lastX = std::max(x - 1, 0), lastY = std::max(y - 1, 0);
            ASSERT_EQ(frame.pixel(lastX, lastY), solid.pixel(lastX, lastY)) << edge;
        }
    }
}
