#include "engine/pngPicture.h"

#include <gtest/gtest.h>

#include <climits>

#include "EngineTestFiles.h"
#include "engine/pngPictureRegistry.h"

using testing_support::makeSurface;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

class PngPictureTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const platform::Surface& pixels) {
        const std::string path = dir.file(name);
        testing_support::writeBytes(path, testing_support::pngBytes(pixels));
        return path;
    }
    static platform::Surface white(int w, int h) {
        platform::Surface s(w, h);
        s.fill(kWhite);
        return s;
    }
    static std::uint32_t mix(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8)
            out |= ((((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a)) / 255) << shift;
        return out;
    }
    void TearDown() override { pngPictureRegistry::destroy(); }

    TempDir dir;
};

TEST_F(PngPictureTest, DrawsWithEachPixelsAlphaAndAKeyReadAsARGB) {
    // Opaque, half, clear; then the key colour 0x000049 and its byte-swapped
    // twin 0x490000, which a key read as 0x00BBGGRR would hide instead.
    const std::uint32_t row[] = {0xFFC03010, 0x80C03010, 0x00C03010, 0xFF000049, 0xFF490000};
    const std::string path = write("alpha.png", makeSurface(5, 1, [&](int x, int) { return row[x]; }));

    pngPicture p;
    ASSERT_EQ(p.init(path.c_str(), 5, 5, true, 0xFF000049u, 0), S_OK);
    EXPECT_EQ(p.info->width, 5u);
    EXPECT_EQ(p.info->x, 5.0f);
    platform::Surface dst = white(6, 1);
    p.render(&dst, 1, 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), kWhite);
    EXPECT_EQ(dst.pixel(1, 0), 0x00C03010u);
    EXPECT_EQ(dst.pixel(2, 0), mix(0xC03010, kWhite, 0x80));
    EXPECT_EQ(dst.pixel(3, 0), kWhite);
    EXPECT_EQ(dst.pixel(4, 0), kWhite);        // keyed on RGB, whatever the key's top byte
    EXPECT_EQ(dst.pixel(5, 0), 0x00490000u);

    pngPicture unkeyed;
    unkeyed.init(path.c_str(), false, 0xFF000049u, 0);
    dst = white(6, 1);
    unkeyed.render(&dst, 1, 0, 0);
    EXPECT_EQ(dst.pixel(4, 0), 0x00000049u);
}

// A 4 x 2 picture whose every pixel is distinct, so where each lands shows
// the direction of the turn.
platform::Surface numbered(int w, int h) {
    return makeSurface(w, h, [w](int x, int y) { return 0xFF000000u | (0x10 * (y * w + x + 1)); });
}

TEST_F(PngPictureTest, QuarterTurnCoversTheAreaLeftOfAndBelowThePoint) {
    const platform::Surface pic = numbered(4, 2);
    pngPicture p;
    p.init(write("turn.png", pic).c_str(), false, 0, 0);
    platform::Surface dst = white(20, 20);
    p.render(&dst, 10, 10, 90);
    // w x h = 4 x 2 at (10, 10) turned 90: exactly (8, 10) to (10, 14).
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 8 && x < 10 && y >= 10 && y < 14;
            EXPECT_EQ(dst.pixel(x, y) != kWhite, inside) << x << "," << y;
        }
    // Clockwise on screen: the top row now runs down the column left of the
    // point, the top-left pixel at the top.
    for (int u = 0; u < 4; ++u) {
        EXPECT_EQ(dst.pixel(9, 10 + u), pic.pixel(u, 0) & kWhite) << u;
        EXPECT_EQ(dst.pixel(8, 10 + u), pic.pixel(u, 1) & kWhite) << u;
    }
    // A full turn is no turn.
    platform::Surface once = white(20, 20), full = white(20, 20);
    p.render(&once, 3, 4, 0);
    p.render(&full, 3, 4, 360);
    EXPECT_TRUE(std::equal(once.pixels(), once.pixels() + 400, full.pixels()));
}

TEST_F(PngPictureTest, RotateFlipTurnsBeforeInitMeasuresButAfterInitFramesDoes) {
    const std::string path = write("wide.png", numbered(40, 20));
    pngPicture turned;
    turned.init(path.c_str(), false, 0, 1);
    EXPECT_EQ(turned.info->width, 20u);
    EXPECT_EQ(turned.info->height, 40u);
    ASSERT_NE(turned.image, nullptr);
    EXPECT_EQ(turned.image->width(), 20);

    pngPicture frames;
    frames.initFrames(path.c_str(), 256, 128, 4, 2, false, 0, 1);
    EXPECT_EQ(frames.info->width, 40u);  // the unturned size and grid
    EXPECT_EQ(frames.info->height, 20u);
    EXPECT_EQ(frames.info->frameWidth, 10u);
    EXPECT_EQ(frames.info->frameHeight, 10u);
    EXPECT_EQ(frames.info->maxFrameX, 3);
    EXPECT_EQ(frames.info->maxFrameY, 1);
    EXPECT_EQ(frames.image->width(), 20);  // while the pixels are turned
    EXPECT_EQ(frames.info->x, 256.0f);
}

TEST_F(PngPictureTest, FrameRenderClampsAboveAndDrawsNothingBelow) {
    const platform::Surface pic = numbered(6, 4);  // 3 x 2 cells of 2 x 2
    pngPicture p;
    p.initFrames(write("cells.png", pic).c_str(), 0, 0, 3, 2, false, 0, 0);
    p.info->currentFrameX = 9;
    p.info->currentFrameY = 1;
    platform::Surface dst = white(4, 4);
    p.frameRender(&dst, 1, 1);
    EXPECT_EQ(p.info->currentFrameX, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(dst.pixel(1 + x, 1 + y), pic.pixel(4 + x, 2 + y) & kWhite);
    EXPECT_EQ(dst.pixel(3, 1), kWhite);
    EXPECT_EQ(dst.pixel(0, 0), kWhite);

    const platform::Surface before = dst;
    p.info->currentFrameX = -1;
    p.frameRender(&dst, 1, 1);
    p.info->currentFrameX = INT_MIN;
    p.info->currentFrameY = INT_MIN;
    p.frameRender(&dst, 0, 0);
    EXPECT_TRUE(std::equal(dst.pixels(), dst.pixels() + 16, before.pixels()));
}

TEST_F(PngPictureTest, RegistryKeepsFirstPicturesAndMissingFilesDrawNothing) {
    const std::string path = write("home.png", numbered(3, 3));
    pngPictureRegistry* reg = pngPictureRegistry::get();
    pngPicture* home = reg->addPicture("home", path.c_str(), false, 0, 0);
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(reg->addPicture("home", path.c_str(), 7, 7, false, 0, 1), home);
    EXPECT_EQ(reg->addFramePicture("home", path.c_str(), 0, 0, 3, 3, false, 0, 0), home);
    EXPECT_EQ(home->info->x, 0.0f);
    EXPECT_EQ(home->info->maxFrameX, 0);

    // A file that is not there still registers a picture; it draws nothing.
    pngPicture* skip = reg->addPicture("skip", dir.file("none.png").c_str(), 5, 5, true, 0x49, 0);
    ASSERT_NE(skip, nullptr);
    EXPECT_EQ(reg->findPicture("skip"), skip);
    EXPECT_EQ(skip->info->width, 0u);
    EXPECT_EQ(reg->size(), 2u);
    platform::Surface dst = white(8, 8);
    reg->render("skip", &dst, 0, 0, 0);
    reg->render("skip", &dst, 4, 4, 45);
    skip->frameRender(&dst, 0, 0);
    reg->render("nobody", &dst, 0, 0, 0);
    EXPECT_TRUE(std::all_of(dst.pixels(), dst.pixels() + 64, [](std::uint32_t p) { return p == kWhite; }));
    reg->render("home", &dst, 0, 0, 0);
    EXPECT_NE(dst.pixel(0, 0), kWhite);

    reg->releaseAll();
    EXPECT_EQ(reg->findPicture("home"), nullptr);
    EXPECT_EQ(reg->size(), 0u);
}

}  // namespace
