// Broken, empty, oversized and misplaced files: every load fails cleanly
// (no picture, a picture that draws nothing, or a silent sound), nothing is
// read past what the file holds and nothing huge is allocated. The suite runs
// under AddressSanitizer, which turns any of those into a failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "EngineTestFiles.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"

using testing_support::Bytes;
using testing_support::makeSurface;
using testing_support::TempDir;

namespace {

struct BadFile {
    std::string name;
    Bytes bytes;
};

// The same kinds of damage for every format: cut short, garbage, empty, a
// header of a 0 x 0 picture, and one claiming 100000 x 100000 pixels.
std::vector<BadFile> badPictures(const std::string& ext, const Bytes& good, const Bytes& zero,
                                 const Bytes& huge) {
    return {
        {"truncated" + ext, Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
        {"header_only" + ext, Bytes(good.begin(), good.begin() + 20)},
        {"corrupt" + ext, Bytes(good.size(), 0xA5)},
        {"empty" + ext, {}},
        {"zero_size" + ext, zero},
        {"huge" + ext, huge},
    };
}

class BadInputTest : public ::testing::Test {
protected:
    void TearDown() override {
        pictureRegistry::destroy();
        pngPictureRegistry::destroy();
    }
    std::string writeAll(const BadFile& f) {
        const std::string path = dir.file(f.name);
        testing_support::writeBytes(path, f.bytes);
        return path;
    }
    TempDir dir;
};

TEST_F(BadInputTest, BrokenBmpFilesGiveNoPicture) {
    const platform::Surface pixels = makeSurface(16, 8, [](int x, int y) { return 0x00030201u * (x + y); });
    std::vector<BadFile> files =
        badPictures(".bmp", testing_support::bmpBytes(pixels), testing_support::bmpBytes(platform::Surface(), 0, 0),
                    testing_support::bmpBytes(pixels, 100000, 100000));
    std::filesystem::create_directories(dir.file("folder.bmp"));
    files.push_back({"folder.bmp", {}});

    pictureRegistry* reg = pictureRegistry::get();
    for (const BadFile& f : files) {
        const std::string path = f.name == "folder.bmp" ? dir.file(f.name) : writeAll(f);
        SCOPED_TRACE(f.name);
        EXPECT_EQ(reg->addPicture(f.name, path.c_str(), 600, 1024, true, MAGENTA), nullptr);
        EXPECT_EQ(reg->addFramePicture(f.name, path.c_str(), 64, 64, 2, 2, true, MAGENTA), nullptr);
        EXPECT_EQ(reg->findPicture(f.name), nullptr);
        bitmapPicture p;
        EXPECT_EQ(p.init(path.c_str(), 1.0f, 2.0f, 10, 10, false, 0), E_FAIL);
        EXPECT_EQ(p.getMemDC(), nullptr);
    }
    EXPECT_EQ(reg->size(), 0u);

    // A good file asked for at an absurd size is refused the same way.
    const std::string good = dir.file("good.bmp");
    testing_support::writeBytes(good, testing_support::bmpBytes(pixels));
    EXPECT_EQ(reg->addPicture("big", good.c_str(), 100000, 100000, false, 0), nullptr);
    EXPECT_EQ(reg->addPicture("neg", good.c_str(), -16, 8, false, 0), nullptr);
    EXPECT_EQ(reg->addBlankPicture("blank", 100000, 100000), nullptr);
    EXPECT_NE(reg->addPicture("fine", good.c_str(), 32, 16, false, 0), nullptr);
}

TEST_F(BadInputTest, BrokenPngFilesGiveAPictureThatDrawsNothing) {
    const platform::Surface pixels = makeSurface(16, 8, [](int x, int) { return 0xFF000000u | (x * 0x10); });
    std::vector<BadFile> files =
        badPictures(".png", testing_support::pngBytes(pixels), testing_support::pngBytes(platform::Surface(), 0, 0),
                    testing_support::pngBytes(pixels, 100000, 100000));
    std::filesystem::create_directories(dir.file("folder.png"));
    files.push_back({"folder.png", {}});

    pngPictureRegistry* reg = pngPictureRegistry::get();
    platform::Surface dst(32, 32);
    dst.fill(0x00FFFFFF);
    for (const BadFile& f : files) {
        const std::string path = f.name == "folder.png" ? dir.file(f.name) : writeAll(f);
        SCOPED_TRACE(f.name);
        pngPicture* p = reg->addFramePicture(f.name, path.c_str(), 0, 0, 2, 2, true, 0xFF00FF, 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->image, nullptr);
        EXPECT_EQ(p->info->width, 0u);
        p->info->currentFrameX = 1;
        p->frameRender(&dst, 0, 0);
        reg->render(f.name, &dst, 5, 5, 30);
        reg->render(f.name, &dst, 5, 5, 0);
    }
    EXPECT_TRUE(std::all_of(dst.pixels(), dst.pixels() + 32 * 32, [](std::uint32_t v) { return v == 0x00FFFFFFu; }));
}

// The real mixer (on SDL's dummy output in the test run) decodes the files.
TEST_F(BadInputTest, BrokenSoundFilesAreSilent) {
    const Bytes wav = testing_support::wavBytes(2000);
    Bytes mp3{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    mp3.resize(64, 0xFF);
    const std::vector<BadFile> files = {
        {"truncated.wav", Bytes(wav.begin(), wav.begin() + 30)},
        {"corrupt.wav", Bytes(wav.size(), 0x5A)},
        {"empty.wav", {}},
        {"truncated.mp3", Bytes(mp3.begin(), mp3.begin() + 6)},
        {"corrupt.mp3", Bytes(4000, 0x00)},
        {"empty.mp3", {}},
    };
    platform::installAudioFactory({});
    soundRegistry::destroy();
    soundRegistry* reg = soundRegistry::get();
    reg->init();
    std::filesystem::create_directories(dir.file("folder.mp3"));
    reg->addSound("folder", dir.file("folder.mp3").c_str(), true, true);
    for (const BadFile& f : files) reg->addSound(f.name, writeAll(f).c_str(), false, false);
    EXPECT_EQ(reg->keyCount(), files.size() + 1);
    for (const BadFile& f : files) {
        SCOPED_TRACE(f.name);
        reg->play(f.name, 1.0f);
        EXPECT_FALSE(reg->isPlaying(f.name));
        EXPECT_EQ(reg->channel(f.name), 0u);
    }
    reg->play("folder", 1.0f);
    EXPECT_FALSE(reg->isPlaying("folder"));

    // A zero-length but well-formed WAV must not break anything either.
    const std::string silent = dir.file("zero.wav");
    testing_support::writeBytes(silent, testing_support::wavBytes(0));
    reg->addSound("zero", silent.c_str(), false, false);
    reg->play("zero", 1.0f);
    reg->update();
    reg->stop("zero");
    EXPECT_FALSE(reg->isPlaying("zero"));
    soundRegistry::destroy();
}

}  // namespace
