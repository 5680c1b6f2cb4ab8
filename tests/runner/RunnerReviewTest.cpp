// Frames of the strip with the generated art, written as PNG files to
// <build>/review/runner-*.png for a person to look at. Skipped when the art
// is not built.
#include <filesystem>

#include "RunnerTestSupport.h"
#include "framework/BackBuffer.h"
#include "platform/Image.h"

using namespace runner_test;

namespace {

class RunnerReview : public RunnerBoardTest {
protected:
    RunnerReview() { art_ = Art::Generated; }

    // One frame as the game paces it, drawn; the strip and talk box saved.
    void steps(int n, bool timeUp = false) {
        for (int i = 0; i < n; ++i) {
            time.clock.advanceMs(1000.0 / 60.0);
            frame(true, timeUp);
            board->exitRun(timeUp);
        }
        draw();
    }
    void shot(const std::string& name) {
        platform::Surface crop(600, 420);
        platform::copyRect(crop, 0, 0, 600, 420, *backDC(), 0, 0);
        const auto dir = std::filesystem::path(testing_support::gameDir()).parent_path() / "review";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(platform::savePng(crop, (dir / ("runner-" + name + ".png")).string()));
        EXPECT_NE(pixel(300, 100), 0xFFFFFFu) << name;  // the landscape was drawn
    }
};

}  // namespace

TEST_F(RunnerReview, WritesFramesOfTheStrip) {
    if (!board->runnerPicture || !board->backLayer) GTEST_SKIP() << "no generated art";
    steps(60);
    shot("1-walkin");
    addObstacle(1);
    addObstacle(4);  // two from one swap: 130 apart
    steps(200);
    shot("2-obstacles");
    for (int i = 0; i < 300 && board->jumping == 0; ++i) steps(1);
    steps(12);
    shot("3-jump");
    tapKey('F');  // the hit boxes
    board->speed = 12.0f;
    steps(1);
    shot("4-slow-debug");
    tapKey('F');
    board->release();
    steps(200, true);
    shot("5-exit");
}
