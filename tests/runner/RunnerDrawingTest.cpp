// What the strip draws where, told apart by pictures of known colours: the
// runner and dust cells, the gauge, the speed-down icon, obstacles and their
// talk boxes, and nothing at all without art.
#include <set>

#include "RunnerTestSupport.h"

using namespace runner_test;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// The gauge and the figures on white, without the landscape behind.
class RunnerDrawing : public RunnerBoardTest {
protected:
    void SetUp() override {
        RunnerBoardTest::SetUp();
        board->backLayer = board->frontLayer = nullptr;
    }
};

}  // namespace

TEST_F(RunnerDrawing, RunnerCellIsCentredOnRunnerXWithItsDustBehind) {
    board->runnerX = 150;
    board->updateRunner(true, false);
    board->runnerFrame = 7;
    board->dustFrame = 4;  // no fifth column: the last one shows
    draw();
    EXPECT_EQ(pixel(71, 131), runnerColour(7));  // cell 71..229 x 130..329
    EXPECT_EQ(pixel(70, 200), kWhite);
    EXPECT_EQ(pixel(64, 329), dustColour(3));
}

TEST_F(RunnerDrawing, GaugeFillAndNeedleFollowTheSpeed) {
    const struct {
        float speed, needle;
        int fillEnd;  // first column of the track left unfilled
    } cases[] = {{55.0f, 415.0f, 420}, {27.5f, 290.0f, 295}, {1.0f, 169.545f, 175}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        board->speed = c.speed;
        draw();
        EXPECT_NEAR(board->needleX, c.needle, 1e-3);
        if (c.fillEnd > 175) {
            EXPECT_EQ(pixel(c.fillEnd - 1, 12), kFillColour);
            EXPECT_EQ(pixel(static_cast<int>(c.needle), 20), kNeedleColour);
        }
        EXPECT_NE(pixel(c.fillEnd, 12), kFillColour);
    }
}

TEST_F(RunnerDrawing, SpeedDownIconSitsOverTheNeedleOnlyWhileAirborne) {
    draw();
    EXPECT_EQ(pixel(400, 60), kWhite);
    board->jumping = 1;
    draw();
    EXPECT_EQ(pixel(393, 30), kSpeedDownColour);  // needle 415 less half of 45
    EXPECT_EQ(pixel(392, 50), kWhite);
}

TEST_F(RunnerDrawing, ObstacleShowsItsFrameAndATalkBoxOnlyWhileTalking) {
    Obstacle* o = addObstacle(2, 302.5f);
    board->update();  // at 300: cell 250..349 x 250..349
    o->frame = 4;
    draw();
    EXPECT_EQ(pixel(250, 250), obstacleColour(2, 4));
    EXPECT_EQ(pixel(15, 400), kTalkTextColour);  // the box, below the strip
    o->talking = 0;
    draw();
    EXPECT_EQ(pixel(15, 400), kWhite);
}

TEST_F(RunnerDrawing, TheSevenObstacleFramesShowInTurnAndTheEighthNever) {
    Obstacle* o = addObstacle(5);
    std::set<std::uint32_t> shown;
    for (int i = 0; i < 40; ++i) {
        gatedTick();
        o->x = 302.5f;  // keep it in place
        board->update();
        draw();
        shown.insert(pixel(300, 260));
    }
    std::set<std::uint32_t> expected;
    for (int column = 0; column <= 6; ++column) expected.insert(obstacleColour(5, column));
    EXPECT_EQ(shown, expected);
}

TEST_F(RunnerBoardWithoutArt, EverythingRunsAndDrawsNothingWithoutPictures) {
    EXPECT_EQ(board->runnerPicture, nullptr);
    board->runnerX = 150;
    addObstacle(3, 152.5f);  // a touch: jump, gauge icon
    for (int i = 0; i < 120; ++i) {
        if (i % 10 == 0) gatedTick(); else quietTick();
        frame(true, i > 60);
        draw();
    }
    EXPECT_NE(board->runnerY, 0);
    for (int y = 0; y < 420; y += 3) {
        for (int x = 0; x < names::kClientWidth; x += 3) ASSERT_EQ(pixel(x, y), kWhite) << x << "," << y;
    }
}
