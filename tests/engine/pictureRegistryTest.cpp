#include "engine/pictureRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "FileFaults.h"
#include "engine/pngPictureRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "support/TestFiles.h"

using testing_support::bmpBytes;
using testing_support::makeSurface;

namespace {

class PictureRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { pictureRegistry::destroy(); }
    void TearDown() override { pictureRegistry::destroy(); }

    testing_support::TempDir dir;
    const std::string good = dir.write("good.bmp", bmpBytes(makeSurface(4, 2, [](int x, int y) { return 0x00102030u * (x + y + 1); })));
    const std::string other = dir.write("other.bmp", bmpBytes(platform::Surface(2, 2)));
    const std::string missing = dir.file("missing.bmp");
};

TEST_F(PictureRegistryTest, AnExistingKeyReturnsTheFirstPictureWhateverTheArguments) {
    pictureRegistry* reg = pictureRegistry::get();
    bitmapPicture* first = reg->addFramePicture("marlo", good.c_str(), 40, 20, 4, 2, true, MAGENTA);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(reg->addPicture("marlo", other.c_str(), 8, 8, false, 0), first);
    EXPECT_EQ(reg->addPicture("marlo", missing.c_str(), 5.0f, 6.0f, 8, 8, false, 0), first);
    EXPECT_EQ(reg->addBlankPicture("marlo", 3, 3), first);
    EXPECT_EQ(reg->addFramePicture("marlo", other.c_str(), 9, 9, 1, 1, false, 0), first);
    // Nothing of the later calls reached the picture.
    EXPECT_EQ(std::tuple(first->getFrameWidth(), first->getX(), first->getMemDC()->width(), reg->size()),
              std::tuple(10, 0.0f, 40, 1u));
    EXPECT_EQ(reg->findPicture("Marlo"), nullptr);  // keys are case-sensitive
}

TEST_F(PictureRegistryTest, AFailedAddRegistersNothingAndLeavesTheKeyFree) {
    pictureRegistry* reg = pictureRegistry::get();
    const std::string broken = dir.write("broken.bmp", bmpBytes(platform::Surface(4, 2), {.claimW = 100000, .claimH = 100000}));
    for (const std::string& file : {missing, broken, dir.folder("folder.bmp")})
        EXPECT_EQ(reg->addPicture("bg", file.c_str(), 600, 1024, true, MAGENTA), nullptr) << file;
    EXPECT_EQ(reg->addPicture("bg", good.c_str(), 100000, 100000, false, 0), nullptr);
    EXPECT_EQ(reg->addPicture("bg", good.c_str(), -16, 8, false, 0), nullptr);
    EXPECT_EQ(reg->addFramePicture("bg", good.c_str(), 40, 20, 0, 1, true, MAGENTA), nullptr);
    EXPECT_EQ(reg->addBlankPicture("bg", -1, 5), nullptr);
    EXPECT_EQ(reg->addBlankPicture("bg", 100000, 100000), nullptr);
    EXPECT_EQ(reg->size(), 0u);
    // The key was never taken, so a later add with a good file succeeds.
    bitmapPicture* bg = reg->addPicture("bg", good.c_str(), 30.5f, 2.0f, 6, 6, true, MAGENTA);
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->getBoundingRect(), (RECT{30, 2, 36, 8}));
    EXPECT_EQ(reg->findPicture("bg"), bg);

    reg->releaseAll();
    EXPECT_EQ(reg->findPicture("bg"), nullptr);
    ASSERT_NE(reg->addPicture("bg", other.c_str(), 9, 3, false, 0), nullptr);
    EXPECT_EQ(reg->findPicture("bg")->getWidth(), 9);
}

// A file loaded under many keys is read for the first of them and shared
// with the rest while it is unchanged; drawing into one picture changes no
// other. A bad file is read once, not once per tile or per frame. A changed
// file, mended or not, is read again.
TEST_F(PictureRegistryTest, EachFileIsReadOnceUntilItChanges) {
    pictureRegistry* reg = pictureRegistry::get();
    const std::string file = dir.write("tile.bmp", bmpBytes(makeSurface(4, 2, [](int x, int) { return x ? 0x00123456u : MAGENTA; })));
    const std::string junk = dir.write("junk.bmp", testing_support::Bytes(4096, 0xA5));
    const std::string junkPng = dir.write("junk.png", testing_support::Bytes(64, 0xA5));
    pngPictureRegistry::destroy();
    testing_support::FileFaults faults;
    const auto opens = [&](const std::string& path) { return std::count(faults.calls().begin(), faults.calls().end(), "open " + path); };
    bitmapPicture* first = reg->addPicture("tile1", file.c_str(), 8, 2, true, MAGENTA);
    bitmapPicture* second = reg->addFramePicture("tile2", file.c_str(), 8, 2, 2, 1, false, 0);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(testing_support::same(*second->getMemDC(), *first->getMemDC()));
    const auto once = opens(file);
    platform::fillWhite(*first->getMemDC(), 0, 0, 1, 1);
    bitmapPicture* third = reg->addPicture("tile3", file.c_str(), 8, 2, true, MAGENTA);
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(testing_support::same(*third->getMemDC(), *second->getMemDC()));
    EXPECT_EQ(opens(file), once);

    for (int tile = 0; tile < 3; ++tile) {
        EXPECT_EQ(reg->addFramePicture("block0", junk.c_str(), 4, 2, 2, 1, true, MAGENTA), nullptr);
        pngPicture* special = pngPictureRegistry::get()->addFramePicture(std::to_string(tile), junkPng.c_str(), 0, 0, 4, 2, false, 0, 0);
        ASSERT_NE(special, nullptr);
        EXPECT_EQ(special->image, nullptr);
    }
    EXPECT_EQ(opens(junk), 1);
    EXPECT_EQ(opens(junkPng), 1);
    EXPECT_EQ(faults.reports().size(), 2u);
    // Another request is another try: here the grid is what fails, not the file.
    EXPECT_EQ(reg->addFramePicture("block0", good.c_str(), 4, 2, 0, 1, true, MAGENTA), nullptr);
    EXPECT_NE(reg->addFramePicture("block0", good.c_str(), 4, 2, 2, 1, true, MAGENTA), nullptr);

    const platform::Surface mended = makeSurface(8, 3, [](int x, int y) { return 0x00010203u * (x + y); });
    dir.write("tile.bmp", bmpBytes(mended));
    bitmapPicture* fourth = reg->addPicture("tile4", file.c_str(), 8, 3, false, 0);
    ASSERT_NE(fourth, nullptr);
    EXPECT_TRUE(testing_support::same(*fourth->getMemDC(), mended));
    dir.write("junk.bmp", bmpBytes(platform::Surface(4, 2)));
    EXPECT_NE(reg->addFramePicture("block1", junk.c_str(), 4, 2, 2, 1, true, MAGENTA), nullptr);
    pngPictureRegistry::destroy();
}

// Pictures are registered at once and taken by their first draw that shows
// something, with a worker decoding beside the scene or without: every draw
// gives what the picture decoded at registration gives, and a file that
// cannot be decoded (missing, cut short) fails the add either way.
TEST_F(PictureRegistryTest, PicturesDecodedBesideTheSceneDrawAsIfDecodedAtOnce) {
    const auto pattern = makeSurface(12, 8, [](int x, int y) { return (x + y) % 3 ? 0x00102030u * (x + 2 * y + 1) : MAGENTA; });
    const std::string keyed = dir.write("keyed.bmp", bmpBytes(pattern));
    const std::string scaled = dir.write("scaled.bmp", bmpBytes(pattern));
    const std::string plain = dir.write("plain.bmp", bmpBytes(makeSurface(5, 5, [](int x, int y) { return 0x00010101u * (40 * x + y); })));
    testing_support::Bytes cut = bmpBytes(pattern);
    cut.resize(cut.size() / 2);
    const std::string truncated = dir.write("truncated.bmp", cut);
    const auto drawAll = [&]() {
        pictureRegistry* reg = pictureRegistry::get();
        bitmapPicture* a = reg->addFramePicture("a", keyed.c_str(), 12, 8, 3, 2, true, MAGENTA);
        bitmapPicture* b = reg->addPicture("b", scaled.c_str(), 24, 16, true, MAGENTA);
        bitmapPicture* c = reg->addPicture("c", plain.c_str(), 5, 5, false, 0);
        EXPECT_EQ(reg->addPicture("d", missing.c_str(), 5, 5, false, 0), nullptr);
        platform::Canvas dst(20, 20);
        platform::fillWhite(dst, 0, 0, 20, 20);
        if (!a || !b || !c) return dst.pixels();
        a->render(&dst, 30, 0);       // shows nothing
        b->alphaRender(&dst, -30, 0, 99);
        a->frameRender(&dst, -1, 3, 1, 1);
        b->alphaRender(&dst, -3, 5, 160);
        c->render(&dst, 17, 16);
        a->render(&dst, 4, 12, 2, 1, 9, 9);
        EXPECT_EQ(reg->addPicture("t", truncated.c_str(), 12, 8, true, MAGENTA), nullptr);
        EXPECT_EQ(c->getMemDC()->pixel(4, 1), 0x00A1A1A1u);
        return dst.pixels();
    };
    const platform::Surface atOnce = drawAll();
    pictureRegistry::destroy();
    PictureLoader::allow(true);
    const platform::Surface beside = drawAll();
    pictureRegistry::destroy();
    PictureLoader::allow(false);
    EXPECT_TRUE(testing_support::same(atOnce, beside));
    EXPECT_NE(atOnce.pixel(5, 13), 0x00FFFFFFu);
}

// The game is built and released many times in one process: the back buffer
// must be one picture per registry and be found again after each re-creation.
TEST_F(PictureRegistryTest, OneBackBufferThroughEveryRecreation) {
    for (int round = 0; round < 3; ++round) {
        bitmapPicture* back = backBuffer();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back, backBuffer());
        EXPECT_EQ(back, pictureRegistry::get()->addBlankPicture("backBuffer", names::kClientWidth, names::kClientHeight));
        EXPECT_EQ(back, pictureRegistry::get()->findPicture("backBuffer"));
        ASSERT_EQ(backDC(), back->getMemDC());
        EXPECT_EQ(std::pair(backDC()->width(), backDC()->height()), std::pair(names::kClientWidth, names::kClientHeight));
        EXPECT_EQ(backDC()->pixel(599, 1023), 0u);  // a fresh one, not the last round's
        backDC()->changePixels().setPixel(599, 1023, 0x00ABCDEF);
        pictureRegistry::destroy();
        pictureRegistry::destroy();  // twice is harmless
        EXPECT_EQ(pictureRegistry::get()->size(), 0u);
    }
}

}  // namespace
