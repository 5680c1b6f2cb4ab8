// Frames of the strip with the generated art, written as PNG files to
// <build>/review/runner-*.png for a person to look at: the walk-in, obstacles
// arriving with their talk box, a jump with the speed-down icon, a slowed
// runner, the debug outlines and the exit. Skipped when the art is not built.
#include <gtest/gtest.h>

#include <filesystem>

#include "RunnerTestSupport.h"
#include "platform/Image.h"

using namespace runner_test;

namespace {

// The strip and the talk box under it.
constexpr int kShotHeight = 420;

class RunnerReview : public RunnerBoardWithGeneratedArt {
protected:
    void SetUp() override {
        RunnerBoardWithGeneratedArt::SetUp();
        if (!board->runnerPicture || !board->backLayer) GTEST_SKIP() << "no generated art";
        outDir_ = std::filesystem::path(testing_support::gameDir()).parent_path() / "review";
        std::filesystem::create_directories(outDir_);
    }

    // One frame as the game paces it: the tick moves on a step each frame.
    void step(bool started, bool timeUp) {
        time.clock.advanceMs(1000.0 / 60.0);
        frame(started, timeUp);
    }

    void shot(const std::string& name) {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board->render();
        platform::Surface crop(600, kShotHeight);
        platform::copyRect(crop, 0, 0, 600, kShotHeight, *backDC(), 0, 0);
        const auto path = outDir_ / ("runner-" + name + ".png");
        EXPECT_TRUE(platform::savePng(crop, path.string())) << path;
        // Something was drawn: the strip is not left white.
        int white = 0;
        for (int y = 0; y < 380; y += 10) {
            for (int x = 0; x < 600; x += 10) white += (crop.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
        }
        EXPECT_LT(white, 60 * 38 / 2) << name;
    }

    // The gauge, three times enlarged, to see the needle and the track.
    void gaugeShot(const std::string& name) {
        platform::Surface crop(380, 75);
        platform::copyRect(crop, 0, 0, 380, 75, *backDC(), 110, 5);
        const auto path = outDir_ / ("runner-" + name + ".png");
        EXPECT_TRUE(platform::savePng(platform::scaleNearest(crop, 380 * 3, 75 * 3), path.string()));
    }

    std::filesystem::path outDir_;
};

}  // namespace

TEST_F(RunnerReview, WritesFramesOfTheStrip) {
    for (int i = 0; i < 60; ++i) step(true, false);
    shot("1-walkin");  // runner coming in from the left

    for (int i = 0; i < 80; ++i) step(true, false);
    addObstacle(1);
    addObstacle(4);  // two from one swap: 130 apart
    for (int i = 0; i < 120; ++i) step(true, false);
    shot("2-obstacles");

    while (board->jumping == 0 && !board->obstacles.empty()) step(true, false);
    for (int i = 0; i < 12; ++i) step(true, false);
    shot("3-jump");
    gaugeShot("3-jump-gauge");

    for (int i = 0; i < 8; ++i) addObstacle(i % 6 + 1);
    for (int i = 0; i < 140; ++i) step(true, false);
    board->speed = 12.0f;
    shot("4-slow-crowded");
    gaugeShot("4-slow-gauge");

    keyDown(0x46);  // 'F': the hit boxes
    keyUp(0x46);
    shot("5-debug");
    keyDown(0x46);
    keyUp(0x46);

    // The newest obstacle past x 100: nobody talks, the obstacles show whole.
    board->release();
    board->speed = 55.0f;
    addObstacle(3);
    addObstacle(6);
    while (board->obstacles.size() == 2 || board->obstacles.back()->x > 60.0f) step(true, false);
    shot("6-nobody-talks");

    board->release();
    board->speed = 40.0f;
    for (int i = 0; i < 200; ++i) {
        step(true, true);
        board->exitRun(true);
    }
    shot("7-exit");

    // Where each layer's picture ends and starts over, near the middle.
    board->backScroll = 1728.0f - 300.0f;
    board->frontScroll = 1420.0f - 300.0f;
    shot("8-seams");
}
