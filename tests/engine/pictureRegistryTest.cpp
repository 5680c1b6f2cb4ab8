#include "engine/pictureRegistry.h"

#include <gtest/gtest.h>

#include "EngineTestFiles.h"

using testing_support::makeSurface;
using testing_support::TempDir;

namespace {

class PictureRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        pictureRegistry::destroy();
        testing_support::writeBytes(
            good, testing_support::bmpBytes(makeSurface(4, 2, [](int x, int y) { return 0x00102030u * (x + y + 1); })));
        testing_support::writeBytes(other, testing_support::bmpBytes(makeSurface(2, 2, [](int, int) { return 0x00FFFFFFu; })));
    }
    void TearDown() override { pictureRegistry::destroy(); }

    TempDir dir;
    const std::string good = dir.file("good.bmp");
    const std::string other = dir.file("other.bmp");
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
    EXPECT_EQ(first->getWidth(), 40);
    EXPECT_EQ(first->getFrameWidth(), 10);
    EXPECT_EQ(first->getX(), 0.0f);
    EXPECT_STREQ(first->getFileName(), good.c_str());
    EXPECT_EQ(reg->size(), 1u);
    EXPECT_EQ(reg->findPicture("marlo"), first);
    // Keys are case-sensitive.
    EXPECT_EQ(reg->findPicture("Marlo"), nullptr);
}

TEST_F(PictureRegistryTest, AFailedAddRegistersNothingAndLeavesTheKeyFree) {
    pictureRegistry* reg = pictureRegistry::get();
    EXPECT_EQ(reg->addPicture("bg", missing.c_str(), 600, 1024, true, MAGENTA), nullptr);
    EXPECT_EQ(reg->addFramePicture("bg", good.c_str(), 40, 20, 0, 1, true, MAGENTA), nullptr);
    EXPECT_EQ(reg->addBlankPicture("bg", -1, 5), nullptr);
    EXPECT_EQ(reg->findPicture("bg"), nullptr);
    EXPECT_EQ(reg->size(), 0u);
    // The key was never taken, so a later add with a good file succeeds.
    bitmapPicture* bg = reg->addPicture("bg", good.c_str(), 30.5f, 2.0f, 6, 6, true, MAGENTA);
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->getBoundingRect(), (RECT{30, 2, 36, 8}));
    EXPECT_EQ(reg->findPicture("bg"), bg);
}

TEST_F(PictureRegistryTest, ReleaseAllEmptiesAndLetsKeysBeAddedAfresh) {
    pictureRegistry* reg = pictureRegistry::get();
    reg->releaseAll();  // empty: nothing to do
    ASSERT_NE(reg->addPicture("a", good.c_str(), 4, 4, false, 0), nullptr);
    ASSERT_NE(reg->addBlankPicture("b", 2, 2), nullptr);
    reg->releaseAll();
    EXPECT_EQ(reg->size(), 0u);
    EXPECT_EQ(reg->findPicture("a"), nullptr);
    bitmapPicture* fresh = reg->addPicture("a", other.c_str(), 9, 3, false, 0);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->getWidth(), 9);
}

// The game is built and released many times in one process: the back buffer
// must be one picture per registry and be found again after each re-creation.
TEST_F(PictureRegistryTest, OneBackBufferThroughEveryRecreation) {
    for (int round = 0; round < 5; ++round) {
        bitmapPicture* back = backBuffer();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back, backBuffer());
        EXPECT_EQ(back, pictureRegistry::get()->addBlankPicture("backBuffer", 600, 1024));
        EXPECT_EQ(back, pictureRegistry::get()->findPicture("backBuffer"));
        ASSERT_EQ(backDC(), back->getMemDC());
        EXPECT_EQ(backDC()->width(), 600);
        EXPECT_EQ(backDC()->height(), 1024);
        // Drawing into it works until the registry goes.
        backDC()->setPixel(599, 1023, 0x00ABCDEF);
        EXPECT_EQ(back->getMemDC()->pixel(599, 1023), 0x00ABCDEFu);
        pictureRegistry::destroy();
        pictureRegistry::destroy();  // twice is harmless
    }
    // A registry made after a release starts empty except for what is asked.
    EXPECT_EQ(pictureRegistry::get()->size(), 0u);
    EXPECT_EQ(backDC()->pixel(599, 1023), 0u);
}

}  // namespace
