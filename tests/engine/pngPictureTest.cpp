#include "engine/pngPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>

#include "engine/pngPictureRegistry.h"
#include "support/TestFiles.h"

using platform::Surface;
using testing_support::makeSurface;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

Surface white(int w, int h) {
    Surface s(w, h);
    s.fill(kWhite);
    return s;
}

// Every pixel distinct and opaque, so where each lands shows the turn.
Surface numbered(int w, int h) {
    return makeSurface(w, h, [w](int x, int y) { return 0xFF000000u | (0x10 * (y * w + x + 1)); });
}

class PngPictureTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const Surface& pixels) {
        return dir.write(name, testing_support::pngBytes(pixels));
    }
    void TearDown() override { pngPictureRegistry::destroy(); }
    testing_support::TempDir dir;
};

TEST_F(PngPictureTest, TheKeyIsReadAsARGBAndComparedOnItsColourOnly) {
    // Opaque, clear, the key 0x000049 and its byte-swapped twin, which a key
    // read as 0x00BBGGRR would hide instead.
    const std::uint32_t row[] = {0xFFC03010, 0x00C03010, 0xFF000049, 0xFF490000};
    const std::string path = write("key.png", makeSurface(4, 1, [&](int x, int) { return row[x]; }));
    for (bool keyed : {true, false}) {
        pngPicture p;
        ASSERT_EQ(p.init(path.c_str(), 5, 5, keyed, 0xFF000049u, 0), S_OK);
        EXPECT_EQ(p.info->x, 5.0f);
        platform::Canvas dst(white(5, 1));
        p.render(&dst, 1, 0, 0);
        const std::uint32_t want[] = {kWhite, 0xC03010, kWhite, keyed ? kWhite : 0x49, 0x490000};
        EXPECT_TRUE(std::equal(want, want + 5, dst.pixels().pixels())) << keyed;
    }
}

TEST_F(PngPictureTest, RotateFlipTurnsBeforeInitMeasuresButAfterInitFramesDoes) {
    const std::string path = write("wide.png", numbered(40, 20));
    pngPicture turned, frames;
    turned.init(path.c_str(), false, 0, 1);
    frames.initFrames(path.c_str(), 256, 128, 4, 2, false, 0, 1);
    EXPECT_EQ(std::tuple(turned.info->width, turned.info->height, turned.image->width()), std::tuple(20u, 40u, 20));
    // The unturned size and grid, while the pixels are turned.
    EXPECT_EQ(std::tuple(frames.info->width, frames.info->height, frames.info->frameWidth, frames.info->frameHeight),
              std::tuple(40u, 20u, 10u, 10u));
    EXPECT_EQ(std::pair(frames.info->maxFrameX, frames.image->width()), std::pair(3, 20));
}

TEST_F(PngPictureTest, FrameRenderClampsAboveAndDrawsNothingBelow) {
    const Surface pic = numbered(6, 4);  // 3 x 2 cells of 2 x 2
    pngPicture p;
    p.initFrames(write("cells.png", pic).c_str(), 0, 0, 3, 2, false, 0, 0);
    platform::Canvas dst(white(4, 4));
    Surface want = white(4, 4);
    platform::alphaPixelCopy(want, 1, 1, 2, 2, pic, 4, 2, false, 0);
    for (auto [fx, fy] : {std::pair{9, 1}, {-1, 0}, {INT_MIN, INT_MIN}}) {
        p.info->currentFrameX = fx;
        p.info->currentFrameY = fy;
        p.frameRender(&dst, 1, 1);
        EXPECT_TRUE(testing_support::same(dst, want)) << fx;
    }
    EXPECT_EQ(p.info->currentFrameX, INT_MIN);  // clamped from above only
}

TEST_F(PngPictureTest, TheRegistryKeepsFirstPicturesAndMissingOrBrokenFilesDrawNothing) {
    const std::string path = write("home.png", numbered(3, 3));
    pngPictureRegistry* reg = pngPictureRegistry::get();
    pngPicture* home = reg->addPicture("home", path.c_str(), false, 0, 0);
    EXPECT_EQ(reg->addPicture("home", path.c_str(), 7, 7, false, 0, 1), home);
    EXPECT_EQ(reg->addFramePicture("home", path.c_str(), 0, 0, 3, 3, false, 0, 0), home);
    EXPECT_TRUE(home && home->info->x == 0 && home->info->maxFrameX == 0);
    // A file that is not there or not a picture still registers; it draws nothing.
    platform::Canvas dst(white(8, 8));
    for (const std::string& file : {dir.file("none.png"), dir.write("broken.png", testing_support::Bytes(100, 0xA5))}) {
        pngPicture* skip = reg->addFramePicture(file, file.c_str(), 5, 5, 2, 2, true, 0x49, 1);
        ASSERT_TRUE(skip && reg->findPicture(file) == skip);
        EXPECT_EQ(skip->info->width, 0u);
        skip->info->currentFrameX = 1;
        skip->frameRender(&dst, 0, 0);
        reg->render(file, &dst, 4, 4, 45);
        reg->render(file, &dst, 0, 0, 0);
    }
    // One file under several keys is decoded once while it is unchanged.
    const std::string special = write("special.png", numbered(4, 2));
    pngPicture* first = reg->addFramePicture("11", special.c_str(), 0, 0, 2, 1, false, 0, 0);
    pngPicture* second = reg->addFramePicture("12", special.c_str(), 0, 0, 2, 1, false, 0, 0);
    EXPECT_TRUE(first->image && second->image == first->image);
    reg->render("nobody", &dst, 0, 0, 0);
    EXPECT_TRUE(testing_support::same(dst, white(8, 8)));
    EXPECT_EQ(reg->size(), 5u);
    reg->releaseAll();
    EXPECT_EQ(reg->findPicture("home"), nullptr);
}

}  // namespace
