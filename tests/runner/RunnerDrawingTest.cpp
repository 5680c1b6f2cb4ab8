// What the strip draws, checked pixel by pixel with pictures of known colours:
// the layers, the runner and dust cells, the gauge, the speed-down icon, the
// obstacles and their talk boxes, the debug outlines, and missing art.
#include <gtest/gtest.h>

#include <set>

#include "RunnerTestSupport.h"

using namespace runner_test;

namespace {

// dst = (src * a + dst * (255 - a)) / 255 per channel.
std::uint32_t blendOnWhite(std::uint32_t src, int a) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int s = static_cast<int>((src >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>((s * a + 255 * (255 - a)) / 255) << shift;
    }
    return out;
}

std::uint32_t backColumn(int c) {
    return static_cast<std::uint32_t>((c & 0xFF) << 16 | (c >> 8) << 8 | 0x40);
}
std::uint32_t frontColumn(int c) {
    return static_cast<std::uint32_t>(0x200000 | (c & 0xFF) << 8 | (c >> 8));
}
constexpr std::uint32_t kWhite = 0xFFFFFF;

class RunnerDrawing : public RunnerBoardTest {
protected:
    void draw() {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board->render();
    }
    // The gauge and the figures on white, without the landscape behind.
    void withoutLandscape() {
        board->backLayer = nullptr;
        board->frontLayer = nullptr;
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Layers, runner, dust

TEST_F(RunnerDrawing, LayersAreTiledAcrossTheStripAtTheirScrollOffsets) {
    for (int i = 0; i < 7; ++i) frame(false, false);
    draw();
    const int back = static_cast<int>(board->backScroll);    // 12
    const int front = static_cast<int>(board->frontScroll);  // 38
    EXPECT_EQ(back, 12);
    EXPECT_EQ(front, 38);
    EXPECT_EQ(pixel(0, 100), backColumn(back));
    EXPECT_EQ(pixel(599, 100), backColumn(back + 599));
    EXPECT_EQ(pixel(0, 370), frontColumn(front));
    EXPECT_EQ(pixel(599, 379), frontColumn(front + 599));
    EXPECT_EQ(pixel(300, 380), kWhite);  // the strip ends at row 380

    // Past the picture's width the tiling starts over.
    board->backScroll = 1727.9f;
    board->frontScroll = 1419.0f;
    draw();
    EXPECT_EQ(pixel(0, 100), backColumn(1727));
    EXPECT_EQ(pixel(1, 100), backColumn(0));
    EXPECT_EQ(pixel(0, 370), frontColumn(1419));
    EXPECT_EQ(pixel(1, 370), frontColumn(0));

    // Backwards (speed below zero): -1 shows the last column first.
    board->backScroll = -1.0f;
    draw();
    EXPECT_EQ(pixel(0, 100), backColumn(1727));
}

TEST_F(RunnerDrawing, RunnerCellIsCentredOnRunnerXWithTheDustBehind) {
    withoutLandscape();
    board->runnerX = 150;
    board->updateRunner(true, false);
    board->runnerFrame = 3;
    board->dustFrame = 4;  // no fifth column: the last one shows
    draw();
    EXPECT_EQ(pixel(71, 131), runnerColour(3));
    EXPECT_EQ(pixel(229, 200), runnerColour(3));
    EXPECT_EQ(pixel(70, 200), kWhite);
    EXPECT_EQ(pixel(230, 200), kWhite);
    EXPECT_EQ(pixel(150, 129), kWhite);
    EXPECT_EQ(pixel(64, 300), dustColour(3));
    EXPECT_EQ(pixel(123, 329), dustColour(3));
    EXPECT_EQ(pixel(63, 310), kWhite);
    EXPECT_EQ(pixel(100, 330), kWhite);

    board->runnerFrame = 7;  // the runner does show all eight frames
    draw();
    EXPECT_EQ(pixel(150, 200), runnerColour(7));
}

// ---------------------------------------------------------------------------
// Gauge

TEST_F(RunnerDrawing, GaugeAtFullSpeedShowsLabelsTrackFillNeedleAndFrame) {
    withoutLandscape();
    board->updateRunner(false, false);
    draw();
    EXPECT_EQ(pixel(115, 10), kSlowColour);
    EXPECT_EQ(pixel(174, 34), kSlowColour);
    EXPECT_EQ(pixel(175, 20), kGaugeFrameColour);
    EXPECT_EQ(pixel(300, 10), kGaugeFrameColour);
    EXPECT_EQ(pixel(424, 20), kGaugeFrameColour);
    EXPECT_EQ(pixel(176, 20), kFillColour);
    EXPECT_EQ(pixel(414, 20), kFillColour);  // 245 of 250 columns filled
    EXPECT_FLOAT_EQ(board->needleX, 415.0f);
    EXPECT_EQ(pixel(415, 20), kNeedleColour);
    EXPECT_EQ(pixel(419, 33), kNeedleColour);
    EXPECT_EQ(pixel(417, 14), kFillColour);  // the needle starts at row 15
    EXPECT_EQ(pixel(421, 20), blendOnWhite(kTrackColour, 100));
    EXPECT_EQ(pixel(425, 10), kFastColour);
    EXPECT_EQ(pixel(484, 34), kFastColour);
    EXPECT_EQ(pixel(485, 20), kWhite);
}

TEST_F(RunnerDrawing, GaugeFillFollowsSpeedAndDrawsNothingAtZeroOrBelow) {
    withoutLandscape();
    board->speed = 27.5f;  // 250 / 55 * 27.5 - 5 = 120
    draw();
    EXPECT_FLOAT_EQ(board->needleX, 290.0f);
    EXPECT_EQ(pixel(290, 20), kNeedleColour);
    board->needlePicture = nullptr;  // to see the whole fill
    draw();
    EXPECT_EQ(pixel(175 + 119, 20), kFillColour);
    EXPECT_EQ(pixel(175 + 120, 20), blendOnWhite(kTrackColour, 100));

    board->speed = 1.0f;  // fill -0.45: nothing of the fill
    draw();
    for (int x = 176; x < 424; ++x) {
        ASSERT_EQ(pixel(x, 12), blendOnWhite(kTrackColour, 100)) << "x " << x;
    }
    board->speed = -20.0f;  // only the debug key gets here
    draw();
    EXPECT_EQ(pixel(200, 12), blendOnWhite(kTrackColour, 100));
}

TEST_F(RunnerDrawing, NeedleTremblesByOnePixelWithTheTick) {
    withoutLandscape();
    tickWith(5);
    draw();
    EXPECT_FLOAT_EQ(board->needleX, 414.0f);
    EXPECT_EQ(pixel(414, 20), kNeedleColour);
    tickWith(0);
    draw();
    EXPECT_FLOAT_EQ(board->needleX, 416.0f);
    EXPECT_EQ(pixel(420, 20), kNeedleColour);
    EXPECT_EQ(pixel(415, 20), kFillColour);
}

TEST_F(RunnerDrawing, SpeedDownIconSitsOverTheNeedleOnlyWhileAirborne) {
    withoutLandscape();
    draw();
    EXPECT_EQ(pixel(400, 60), kWhite);
    board->jumping = 1;
    draw();
    // needle at 415: icon 45 wide from 415 - 22 = 393, rows 30..74
    EXPECT_EQ(pixel(393, 30), kSpeedDownColour);
    EXPECT_EQ(pixel(437, 74), kSpeedDownColour);
    EXPECT_EQ(pixel(392, 50), kWhite);
    EXPECT_EQ(pixel(438, 50), kWhite);

    board->speed = 27.5f;  // the icon follows the needle
    draw();
    EXPECT_EQ(pixel(290 - 22, 50), kSpeedDownColour);
    EXPECT_EQ(pixel(393, 60), kWhite);
}

// ---------------------------------------------------------------------------
// Obstacles and talk boxes

TEST_F(RunnerDrawing, ObstacleShowsItsFrameAndTheTalkBoxBelowTheStrip) {
    withoutLandscape();
    Obstacle* o = addObstacle(2);
    o->x = 302.5f;
    board->update();  // at 300: cell 250..349 x 250..349
    o->frame = 4;
    draw();
    EXPECT_EQ(pixel(250, 250), obstacleColour(2, 4));
    EXPECT_EQ(pixel(349, 299), obstacleColour(2, 4));
    EXPECT_EQ(pixel(249, 260), kWhite);
    // The talk box: see-through at 160 of 255, the kind's line over it.
    EXPECT_EQ(pixel(300, 400), blendOnWhite(kTalkBoxColour, 160));
    EXPECT_EQ(pixel(599, 414), blendOnWhite(kTalkBoxColour, 160));
    EXPECT_EQ(pixel(300, 415), kWhite);
    EXPECT_EQ(pixel(15, 400), talkTextColour(2));

    o->talking = 0;
    draw();
    EXPECT_EQ(pixel(300, 400), kWhite);
    EXPECT_EQ(pixel(15, 400), kWhite);
}

TEST_F(RunnerDrawing, TheSevenObstacleFramesShowInTurnAndTheEighthNever) {
    withoutLandscape();
    Obstacle* o = addObstacle(5);
    std::set<std::uint32_t> shown;
    for (int i = 0; i < 40; ++i) {
        gatedTick();
        o->x = 302.5f;  // keep it in place
        board->update();
        draw();
        shown.insert(pixel(300, 260));
    }
    for (int column = 0; column <= 6; ++column) {
        EXPECT_EQ(shown.count(obstacleColour(5, column)), 1u) << "column " << column;
    }
    EXPECT_EQ(shown.count(obstacleColour(5, 7)), 0u);
    EXPECT_EQ(shown.size(), 7u);
}

TEST_F(RunnerDrawing, DebugOutlinesFollowTheFToggle) {
    withoutLandscape();
    board->runnerX = 150;
    Obstacle* o = addObstacle(1);
    o->x = 502.5f;
    frame();  // runner 124..175 x 130..329, obstacle 450..549
    o->talking = 0;  // its box would lie over the lower outlines
    draw();
    EXPECT_EQ(pixel(124, 180), runnerColour(0));
    EXPECT_EQ(pixel(0, 200), kWhite);

    keyDown(0x46);  // 'F' on
    keyUp(0x46);
    draw();
    EXPECT_EQ(pixel(124, 180), 0xFF3232u);  // runner, red 255 green 50 blue 50
    EXPECT_EQ(pixel(175, 180), 0xFF3232u);
    EXPECT_EQ(pixel(64, 315), 0xFF3232u);   // dust
    EXPECT_EQ(pixel(0, 200), 0x32FAFAu);    // strip
    EXPECT_EQ(pixel(599, 379), 0x32FAFAu);
    EXPECT_EQ(pixel(450, 260), 0x15BE0Au);  // obstacle, red 21 green 190 blue 10
    EXPECT_EQ(pixel(549, 260), 0x15BE0Au);

    keyDown(0x46);  // off again
    keyUp(0x46);
    draw();
    EXPECT_EQ(pixel(0, 200), kWhite);
}

// ---------------------------------------------------------------------------
// Missing art

TEST_F(RunnerBoardWithoutArt, EverythingRunsAndDrawsNothingWithoutPictures) {
    board->runnerX = 150;
    addObstacle(1);
    Obstacle* close = addObstacle(3);
    keyDown(0x30);
    for (int i = 0; i < 400; ++i) {
        if (i % 50 == 0) gatedTick(); else quietTick();
        if (i == 250) close->x = 152.5f;  // a touch: jump, gauge icon
        frame(true, i > 300);
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board->render();
    }
    EXPECT_NE(board->runnerY, 0);
    for (int y = 0; y < 420; ++y) {
        for (int x = 0; x < 600; ++x) {
            ASSERT_EQ(backDC()->pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
        }
    }
}
