// The runner board's state: scrolling and animation, the runner's walk, hit
// and jump, the exit and the change to the ranking.
#include <vector>

#include "RunnerTestSupport.h"
#include "framework/GameNames.h"

using namespace runner_test;

namespace {

constexpr RECT kOverlapsStandingRunner{100, 250, 200, 350};  // runner at x 150
constexpr RECT kFarAway{2000, 250, 2100, 350};

// An obstacle whose hit rectangle the test holds still (updateRunner only).
Obstacle* parked(AnimationBoard& board, RECT where) {
    auto* o = new Obstacle();
    o->setup(1, &board);
    o->rect = where;
    board.obstacles.push_back(o);
    return o;
}

}  // namespace

TEST_F(RunnerBoardTest, LayersScrollAndFiguresAnimateOnlyOnGatedTicks) {
    std::vector<int> runner, dust;
    for (int i = 0; i < 10; ++i) {
        quietTick();
        frame();  // an ungated tick between two gated ones changes nothing
        gatedTick();
        frame();
        runner.push_back(board->runnerFrame);
        dust.push_back(board->dustFrame);
    }
    EXPECT_NEAR(board->backScroll, 20 * 55.0f / 30.0f, 1e-3);
    EXPECT_NEAR(board->frontScroll, 20 * 5.5f, 1e-3);
    EXPECT_EQ(runner, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1, 2}));
    EXPECT_EQ(dust, (std::vector<int>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0}));
}

TEST_F(RunnerBoardTest, RunnerWalksInOnlyWhilePlayRunsAndStopsAt150) {
    frame(false, false);
    EXPECT_EQ(board->runnerX, -100);  // countdown: still off the strip
    for (int i = 0; i < 200; ++i) frame(true, false);
    EXPECT_EQ(board->runnerX, 150);
    EXPECT_EQ(board->runnerRect, (RECT{124, 130, 176, 330}));  // only the body counts
}

TEST_F(RunnerBoardTest, OnlyOverlappingRectanglesHit) {
    const struct {
        RECT rect;
        int jumping;
    } cases[] = {{{176, 250, 276, 350}, 0}, {{24, 250, 124, 350}, 0},
                 {{100, 330, 200, 430}, 0}, {{175, 329, 275, 429}, 1}};
    board->runnerX = 150;
    Obstacle* o = parked(*board, kFarAway);
    for (const auto& c : cases) {
        o->rect = c.rect;
        board->updateRunner(true, false);
        EXPECT_EQ(board->jumping, c.jumping) << c.rect.left << "," << c.rect.top;
    }
}

TEST_F(RunnerBoardTest, TouchesRiseTenPerFrameWithOneJumpSoundThenTheParabolaHome) {
    board->runnerX = 150;
    // Two obstacles over the runner at once: kicked each frame they overlap,
    // the sound started only while it is not playing already.
    Obstacle* pair[] = {parked(*board, kOverlapsStandingRunner), parked(*board, RECT{120, 200, 220, 300})};
    for (int k = 1; k <= 8; ++k) {
        board->updateRunner(true, false);
        ASSERT_EQ(board->runnerY, 230 - 10 * k) << "frame " << k;
    }
    EXPECT_EQ(plays("jump.wav"), 1);
    for (Obstacle* o : pair) o->rect = kFarAway;
    std::vector<float> velocities;
    int airborne = 8;
    while (board->jumping == 1 && airborne < 200) {
        board->updateRunner(true, false);
        velocities.push_back(board->jumpVelocity);
        ++airborne;
    }
    velocities.resize(2);
    EXPECT_EQ(velocities, (std::vector<float>{-9.0f, -8.5f}));
    EXPECT_EQ(airborne, 54);
    board->updateRunner(true, false);  // on the ground nothing changes
    EXPECT_EQ(board->runnerY, 230);
    EXPECT_NEAR(board->speed, 55.0f - 0.04f * 54, 1e-3);

    board->speed = 5.06f;  // the fall of the speed stops at 5
    pair[0]->rect = kOverlapsStandingRunner;
    board->updateRunner(true, false);
    EXPECT_NEAR(board->speed, 5.02f, 1e-5);
    board->updateRunner(true, false);
    EXPECT_EQ(board->speed, 5.0f);
}

TEST_F(RunnerBoardTest, ExitDirectionAndPaceFollowTheSpeed) {
    const struct {
        float speed;
        int afterUpdate, afterBoth;  // the play scene also calls exitRun
    } cases[] = {{27.5f, 152, 158}, {27.49f, 149, 146}};
    for (const auto& c : cases) {
        board->runnerX = 150;
        board->speed = c.speed;
        board->updateRunner(true, true);
        EXPECT_EQ(board->runnerX, c.afterUpdate) << c.speed;
        board->exitRun(true);
        board->updateRunner(true, true);
        board->exitRun(true);
        EXPECT_EQ(board->runnerX, c.afterBoth) << c.speed;
        board->exitRun(false);  // before time-up the exit does nothing
        EXPECT_EQ(board->runnerX, c.afterBoth) << c.speed;
    }
}

TEST_F(RunnerBoardTest, RunnerWaitsForTheLastObstacleBeforeLeaving) {
    board->runnerX = 150;
    addObstacle(3, -45.0f);  // finishes on the third update
    for (int i = 0; i < 2; ++i) {
        frame(true, true);
        board->exitRun(true);
        EXPECT_EQ(board->runnerX, 150);
    }
    frame(true, true);
    EXPECT_TRUE(board->obstacles.empty());
    EXPECT_EQ(board->runnerX, 152);
}

TEST_F(RunnerBoardTest, RankingComesOnlyPastTheBoundsOnceThePlayMusicEnded) {
    int entries = 0;
    SceneManager::get()->addScene(names::kRankScene, new CountingScene(&entries));
    soundRegistry::get()->addSound(names::kPlayMusic, "soundfile/playbgm.mp3", false, false);
    soundRegistry::get()->play(names::kPlayMusic, 1.0f);
    board->runnerX = 848;
    for (int x : {850, 852, 854}) {  // on the bound is still on the strip
        board->exitRun(true);
        EXPECT_EQ(board->runnerX, x);
        EXPECT_EQ(entries, 0);  // the music plays on: so does the runner
    }
    time.clock.advanceMs(63'100);
    ASSERT_FALSE(soundRegistry::get()->isPlaying(names::kPlayMusic));
    board->exitRun(true);
    EXPECT_EQ(entries, 1);

    SceneManager::destroy();  // the left bound, from the play scene again
    SceneManager::get()->addScene(names::kRankScene, new CountingScene(&entries));
    board->speed = 10.0f;
    board->runnerX = -499;
    board->exitRun(true);
    EXPECT_EQ(entries, 1);
    board->exitRun(true);
    EXPECT_EQ(entries, 2);
}
