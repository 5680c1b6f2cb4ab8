// The runner board's state: scrolling and animation, the runner's walk, hit
// and jump, the exit and the change to the ranking, the debug keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RunnerTestSupport.h"

using namespace runner_test;

namespace {

// An obstacle whose hit rectangle the test holds still.
Obstacle* parkedObstacle(AnimationBoard& board, RECT where) {
    auto* o = new Obstacle();
    o->setup(1, &board);
    o->rect = where;
    board.obstacles.push_back(o);
    return o;
}

constexpr RECT kOverlapsStandingRunner{100, 250, 200, 350};  // runner at x 150
constexpr RECT kFarAway{2000, 250, 2100, 350};

}  // namespace

// ---------------------------------------------------------------------------
// Start, scrolling, animation

TEST_F(RunnerBoardTest, InitPutsTheRunnerOffStripOnTheGroundAtFullSpeed) {
    EXPECT_EQ(board->runnerX, -100);
    EXPECT_EQ(board->groundY, 230);
    EXPECT_EQ(board->runnerY, 230);
    EXPECT_EQ(board->speed, 55.0f);
    EXPECT_EQ(board->jumping, 0);
    EXPECT_EQ(board->jumpVelocity, 0.0f);
    EXPECT_EQ(board->backScroll, 0.0f);
    EXPECT_EQ(board->frontScroll, 0.0f);
    EXPECT_TRUE(board->obstacles.empty());

    auto* pictures = pictureRegistry::get();
    EXPECT_EQ(board->backLayer, pictures->findPicture("bgBack"));
    EXPECT_EQ(board->runnerPicture, pictures->findPicture("marlo"));
    EXPECT_EQ(board->gaugePicture, pictures->findPicture("speed"));
    EXPECT_EQ(board->speedDownPicture, pictures->findPicture("speeddown"));
    ASSERT_NE(board->runnerPicture, nullptr);
    EXPECT_EQ(board->runnerPicture->getFrameWidth(), 159);
    EXPECT_EQ(board->runnerPicture->getMaxFrameX(), 7);
    ASSERT_NE(board->gaugePicture, nullptr);
    EXPECT_EQ(board->gaugePicture->getFrameHeight(), 25);
    EXPECT_EQ(board->gaugePicture->getMaxFrameY(), 2);
    EXPECT_EQ(soundRegistry::get()->keyCount(), 1u);  // "jump"
}

TEST_F(RunnerBoardWithoutArt, InitSucceedsWithNothingToLoadAndKeepsTheGeometry) {
    EXPECT_EQ(board->runnerPicture, nullptr);
    EXPECT_EQ(board->gaugePicture, nullptr);
    EXPECT_EQ(board->groundY, 230);
    EXPECT_EQ(board->init(), S_OK);
    board->runnerX = 150;
    frame();
    EXPECT_EQ(board->runnerRect, (RECT{124, 130, 176, 330}));
}

TEST_F(RunnerBoardTest, LayersScrollBySpeedEachFrame) {
    frame();
    EXPECT_NEAR(board->backScroll, 55.0f / 30.0f, 1e-5);  // 1.83
    EXPECT_FLOAT_EQ(board->frontScroll, 5.5f);
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_NEAR(board->backScroll, 11.0f, 1e-4);
    EXPECT_NEAR(board->frontScroll, 33.0f, 1e-4);

    // Slower runner, slower landscape; a negative speed scrolls backwards.
    board->speed = -30.0f;
    const float back = board->backScroll;
    const float front = board->frontScroll;
    frame();
    EXPECT_NEAR(board->backScroll, back - 1.0f, 1e-4);
    EXPECT_NEAR(board->frontScroll, front - 3.0f, 1e-4);
}

TEST_F(RunnerBoardTest, RunnerAndDustAnimateOnlyOnTicksThatAreMultiplesOfTen) {
    for (int i = 0; i < 5; ++i) frame();  // the fixture's tick is not gated
    EXPECT_EQ(board->runnerFrame, 0);
    EXPECT_EQ(board->dustFrame, 0);

    std::vector<int> runner, dust;
    for (int i = 0; i < 10; ++i) {
        gatedTick();
        frame();
        runner.push_back(board->runnerFrame);
        dust.push_back(board->dustFrame);
        quietTick();
        frame();  // a frame between two gated ticks changes nothing
        EXPECT_EQ(board->runnerFrame, runner.back());
    }
    EXPECT_EQ(runner, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1, 2}));
    EXPECT_EQ(dust, (std::vector<int>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0}));
}

// ---------------------------------------------------------------------------
// Walk-in, hit rectangle, jump

TEST_F(RunnerBoardTest, RunnerWalksInTwoPixelsPerFrameOnlyWhilePlayRuns) {
    frame(false, false);
    EXPECT_EQ(board->runnerX, -100);  // countdown: still off the strip
    frame(true, false);
    EXPECT_EQ(board->runnerX, -98);
    for (int i = 0; i < 200; ++i) frame(true, false);
    EXPECT_EQ(board->runnerX, 150);  // stops at its place

    board->runnerX = 100;
    board->speed = 55.0f;
    frame(true, true);  // after time-up it is the exit that moves it
    EXPECT_EQ(board->runnerX, 102);
}

TEST_F(RunnerBoardTest, HitRectangleIsNarrowAndDustSitsBehindOnTheGround) {
    board->runnerX = 150;
    frame();
    EXPECT_EQ(board->runnerRect, (RECT{124, 130, 176, 330}));  // 52 x 200
    EXPECT_EQ(board->dustRect, (RECT{64, 300, 124, 330}));     // 60 x 30

    board->runnerX = 10;
    board->runnerY = 200;
    board->updateRunner(false, false);
    EXPECT_EQ(board->runnerRect, (RECT{-16, 100, 36, 300}));
    EXPECT_EQ(board->dustRect, (RECT{-76, 270, -16, 300}));
}

TEST_F(RunnerBoardTest, RectanglesThatOnlyTouchDoNotHit) {
    board->runnerX = 150;  // hit rectangle 124..176 x 130..330
    Obstacle* o = parkedObstacle(*board, RECT{176, 250, 276, 350});
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 0);
    o->rect = RECT{24, 250, 124, 350};
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 0);
    o->rect = RECT{100, 330, 200, 430};
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 0);

    o->rect = RECT{175, 329, 275, 429};  // one pixel of overlap each way
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 1);
}

TEST_F(RunnerBoardTest, OneTouchRisesTenPerFrameThenFliesTheParabolaBackToTheGround) {
    board->runnerX = 150;
    Obstacle* o = parkedObstacle(*board, kOverlapsStandingRunner);

    // Rising while the rectangles overlap: each frame the kick is renewed.
    for (int k = 1; k <= 8; ++k) {
        board->updateRunner(true, false);
        EXPECT_EQ(board->runnerY, 230 - 10 * k) << "frame " << k;
        EXPECT_EQ(board->jumpVelocity, -9.5f);
        EXPECT_EQ(board->jumping, 1);
    }
    // At 150 the runner's feet only touch the obstacle's top: free flight.
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumpVelocity, -9.0f);
    EXPECT_EQ(board->runnerY, 141);
    o->rect = kFarAway;
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumpVelocity, -8.5f);
    EXPECT_EQ(board->runnerY, 132);  // 132.5 truncated

    std::vector<int> heights;
    int airborne = 10;
    while (board->jumping == 1 && airborne < 200) {
        board->updateRunner(true, false);
        heights.push_back(board->runnerY);
        ++airborne;
    }
    EXPECT_EQ(board->runnerY, 230);
    EXPECT_EQ(board->jumping, 0);
    ASSERT_EQ(airborne, 54);
    // The apex, where the velocity turns: it hangs at 60 for three frames.
    EXPECT_EQ(heights[15], 60);
    EXPECT_EQ(heights[16], 60);
    EXPECT_EQ(heights[17], 60);
    EXPECT_NEAR(board->speed, 55.0f - 0.04f * 54, 1e-3);

    // Back on the ground nothing changes any more.
    const float speed = board->speed;
    board->updateRunner(true, false);
    EXPECT_EQ(board->runnerY, 230);
    EXPECT_EQ(board->speed, speed);
}

TEST_F(RunnerBoardTest, SpeedFallsWhileAirborneButNotBelowFive) {
    board->runnerX = 150;
    board->speed = 5.1f;
    Obstacle* o = parkedObstacle(*board, kOverlapsStandingRunner);
    board->updateRunner(true, false);
    EXPECT_NEAR(board->speed, 5.06f, 1e-5);
    o->rect = kFarAway;
    board->updateRunner(true, false);
    EXPECT_NEAR(board->speed, 5.02f, 1e-5);
    for (int i = 0; i < 10; ++i) board->updateRunner(true, false);
    EXPECT_EQ(board->speed, 5.0f);
}

TEST_F(RunnerBoardTest, AHitInTheAirRenewsTheKick) {
    board->runnerX = 150;
    board->runnerY = 100;
    board->jumping = 1;
    board->jumpVelocity = 4.0f;  // falling
    parkedObstacle(*board, RECT{100, 150, 200, 250});
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 1);
    EXPECT_EQ(board->jumpVelocity, -9.5f);
    EXPECT_EQ(board->runnerY, 90);
}

TEST_F(RunnerBoardTest, JumpSoundStartsOnceForTwoHitsAndAgainOnlyAfterItEnded) {
    board->runnerX = 150;
    parkedObstacle(*board, kOverlapsStandingRunner);
    parkedObstacle(*board, RECT{120, 200, 220, 300});
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumpVelocity, -9.5f);
    EXPECT_EQ(audio()->playCount("jump.wav"), 1);

    time.clock.advanceMs(100);  // still sounding
    board->updateRunner(true, false);
    EXPECT_EQ(audio()->playCount("jump.wav"), 1);

    time.clock.advanceMs(500);  // the 0.5 s sound is over; still overlapping
    board->updateRunner(true, false);
    EXPECT_EQ(audio()->playCount("jump.wav"), 2);
}

// ---------------------------------------------------------------------------
// The exit after time-up

TEST_F(RunnerBoardTest, ExitDirectionIsSetBySpeed27_5) {
    board->runnerX = 150;
    board->speed = 27.5f;
    board->updateRunner(true, true);
    EXPECT_EQ(board->runnerX, 152);
    board->exitRun(true);  // the play scene's own call after game over
    EXPECT_EQ(board->runnerX, 154);
    board->updateRunner(true, true);
    board->exitRun(true);
    EXPECT_EQ(board->runnerX, 158);  // 4 pixels per frame

    board->runnerX = 150;
    board->speed = 27.49f;
    board->updateRunner(true, true);
    EXPECT_EQ(board->runnerX, 149);
    board->exitRun(true);
    EXPECT_EQ(board->runnerX, 148);  // 2 pixels per frame to the left

    board->exitRun(false);  // before time-up the exit does nothing
    EXPECT_EQ(board->runnerX, 148);
}

TEST_F(RunnerBoardTest, RunnerWaitsForTheLastObstacleBeforeLeaving) {
    board->runnerX = 150;
    Obstacle* last = addObstacle(3);
    last->x = -45.0f;  // finishes after three updates
    for (int i = 0; i < 2; ++i) {
        frame(true, true);
        board->exitRun(true);
        EXPECT_EQ(board->runnerX, 150);
    }
    frame(true, true);  // finished and removed in the board's update
    EXPECT_TRUE(board->obstacles.empty());
    EXPECT_EQ(board->runnerX, 152);
}

TEST_F(RunnerBoardTest, RankingComesOnlyPastTheBoundsAndAfterThePlayMusic) {
    int rankEntries = 0;
    SceneManager::get()->addScene("rank", new CountingScene(&rankEntries));
    soundRegistry::get()->addSound("playbgm", "soundfile/playbgm.mp3", false, false);
    soundRegistry::get()->play("playbgm", 1.0f);  // 63 s long
    ASSERT_TRUE(soundRegistry::get()->isPlaying("playbgm"));

    board->speed = 55.0f;
    board->runnerX = 848;
    board->exitRun(true);
    EXPECT_EQ(board->runnerX, 850);  // on the bound is still on the strip
    board->exitRun(true);
    EXPECT_EQ(board->runnerX, 852);
    EXPECT_EQ(rankEntries, 0);  // the music still plays; the runner keeps going
    board->exitRun(true);
    EXPECT_EQ(rankEntries, 0);

    time.clock.advanceMs(63'100);
    ASSERT_FALSE(soundRegistry::get()->isPlaying("playbgm"));
    board->exitRun(true);
    EXPECT_EQ(rankEntries, 1);
    EXPECT_NE(SceneManager::get()->findScene("rank"), nullptr);
    EXPECT_EQ(SceneManager::get()->currentScene, SceneManager::get()->findScene("rank"));
}

TEST_F(RunnerBoardTest, LeavingToTheLeftEndsPastMinus500) {
    int rankEntries = 0;
    SceneManager::get()->addScene("rank", new CountingScene(&rankEntries));
    board->speed = 10.0f;
    board->runnerX = -499;
    board->exitRun(true);
    EXPECT_EQ(board->runnerX, -500);
    EXPECT_EQ(rankEntries, 0);
    board->exitRun(true);
    EXPECT_EQ(rankEntries, 1);  // "playbgm" never played
}

// ---------------------------------------------------------------------------
// Debug keys

TEST_F(RunnerBoardTest, KeyZeroAddsOneObstacleOfAKindPerPress) {
    keyDown(0x30);
    frame();
    ASSERT_EQ(board->obstacles.size(), 1u);
    frame();  // held: no second one
    EXPECT_EQ(board->obstacles.size(), 1u);
    keyUp(0x30);
    frame();
    keyDown(0x30);
    frame();
    ASSERT_EQ(board->obstacles.size(), 2u);

    const std::vector<bitmapPicture*> kinds = {
        pictureRegistry::get()->findPicture("daruma"), pictureRegistry::get()->findPicture("drum"),
        pictureRegistry::get()->findPicture("pot"), pictureRegistry::get()->findPicture("dynamite"),
        pictureRegistry::get()->findPicture("bat"), pictureRegistry::get()->findPicture("manhole")};
    for (Obstacle* o : board->obstacles) {
        EXPECT_NE(o->picture, nullptr);
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), o->picture), kinds.end());
        EXPECT_EQ(o->board, board.get());
    }
}

TEST_F(RunnerBoardTest, KeyNineLowersSpeedWhileHeldWithoutFloor) {
    keyDown(0x39);
    frame();
    EXPECT_NEAR(board->speed, 54.95f, 1e-4);
    board->speed = 0.02f;
    frame();
    EXPECT_NEAR(board->speed, -0.03f, 1e-5);
    keyUp(0x39);
    frame();
    EXPECT_NEAR(board->speed, -0.03f, 1e-5);
}
