// A runner board on its own: the services it uses made directly, on the fake
// clock with simulated audio, in a fresh working folder holding no art at all
// or small pictures of known colours. Its state, its obstacles, and what it
// draws where.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "framework/gameNode.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "runner/AnimationBoard.h"
#include "runner/KnownArt.h"
#include "runner/Obstacle.h"
#include "support/Harness.h"

namespace runner_test {

// A scene that only counts its entries.
class CountingScene : public gameNode {
public:
    explicit CountingScene(int* inits) : inits_(inits) {}
    HRESULT init() override { return ++*inits_, S_OK; }
    void release() override {}  // the base one would stop every service

private:
    int* inits_;
};

class RunnerBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::make_unique<testing_support::TempWorkDir>(false);
        if (withArt_) writeKnownArt();
        time.clock.setMs(1'000'000);  // a machine that has been up a while
        quietTick();
        services_ = std::make_unique<testing_support::ScopedServices>(time.clock);
        board = std::make_unique<AnimationBoard>();
        board->init();
    }
    void TearDown() override {
        if (board) board->release();
        board.reset();
        services_.reset();
        dir_.reset();
    }

    // Animations advance only on ticks that are multiples of 10.
    void quietTick() { time.clock.toTick(10, 1); }
    void gatedTick() { time.clock.toTick(10, 0); }

    Obstacle* addObstacle(int kind, float x = Obstacle::kStartX) {
        auto* o = new Obstacle();
        o->setup(kind, board.get());
        o->x = x;
        board->obstacles.push_back(o);
        return o;
    }

    // One frame of the strip as the play scene drives it (without drawing).
    void frame(bool started = true, bool timeUp = false) {
        board->update();
        board->updateRunner(started, timeUp);
        platform::input().endFrame();
    }

    void draw() {
        platform::fillWhite(*backDC(), 0, 0, names::kClientWidth, names::kClientHeight);
        board->render();
    }
    int plays(const char* file) const { return services_->audio()->playCount(file); }
    static std::uint32_t pixel(int x, int y) { return backDC()->pixel(x, y) & 0xFFFFFF; }

    bool withArt_ = true;  // set by a derived fixture's constructor
    testing_support::ScopedFakeClock time;
    std::unique_ptr<AnimationBoard> board;

private:
    std::unique_ptr<testing_support::TempWorkDir> dir_;
    std::unique_ptr<testing_support::ScopedServices> services_;
};

struct RunnerBoardWithoutArt : RunnerBoardTest {
    RunnerBoardWithoutArt() { withArt_ = false; }
};

// The runner board's state: scrolling and animation, the runner's walk, hit
// and jump, the exit and the change to the ranking.
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

// Obstacles: their pictures and talk row, travel, finishing and removal,
// spacing and the talk boxes.
TEST_F(RunnerBoardTest, EachKindHasItsPictureAndTheNewestSetsTheSharedTalkRow) {
    const char* keys[7] = {"", "daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    Obstacle* first = nullptr;
    for (int kind = 1; kind <= 6; ++kind) {
        Obstacle* o = addObstacle(kind);
        if (!first) first = o;
        EXPECT_EQ(o->picture, pictureRegistry::get()->findPicture(keys[kind]));
        ASSERT_NE(o->talkTextPicture, nullptr);
        EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), kind);
    }
    // A kind outside 1..6 has no picture, leaves the row and never hits.
    Obstacle* odd = addObstacle(0, 152.5f);
    EXPECT_EQ(odd->picture, nullptr);
    EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), 6);
    board->runnerX = 150;
    frame();
    EXPECT_EQ(board->jumping, 0);
}

TEST_F(RunnerBoardTest, ObstacleTravelsTwoAndAHalfPixelsAndFinishesPastTheLeftEdge) {
    Obstacle* o = addObstacle(1);
    board->speed = 10.0f;  // the runner's speed does not matter
    board->update();
    EXPECT_EQ(o->rect, (RECT{747, 250, 847, 350}));
    for (int i = 1; i < 340; ++i) o->update();
    EXPECT_EQ(o->rect.right, 0);
    EXPECT_EQ(o->finished, 0);
    o->update();
    EXPECT_EQ(o->finished, 1);
}

TEST_F(RunnerBoardTest, TwoObstaclesFinishingTogetherAreRemovedOnTwoFrames) {
    addObstacle(1, -50.0f);
    Obstacle* b = addObstacle(2, 500.0f);
    Obstacle* c = addObstacle(3, -250.0f);
    board->update();
    EXPECT_EQ(board->obstacles, (std::vector<Obstacle*>{b, c}));
    board->update();
    EXPECT_EQ(board->obstacles, (std::vector<Obstacle*>{b}));
}

TEST_F(RunnerBoardTest, OnlyTheFirstObstacleLessThan100PixelsAheadIsPutBack) {
    const struct {
        float nearX, nextX;
        float nearAfter, nextAfter;
    } cases[] = {
        {399.9f, 310.0f, 529.0f, 310.0f},  // 99 ahead: whole pixels, then 130 on
        {400.0f, 299.0f, 400.0f, 299.0f},  // 100 ahead, or behind: left alone
    };
    for (const auto& c : cases) {
        board->release();
        Obstacle* a = addObstacle(1, 302.5f);  // 300 after its step
        Obstacle* near = addObstacle(2, c.nearX);
        Obstacle* next = addObstacle(3, c.nextX);
        a->update();
        EXPECT_EQ(near->x, c.nearAfter);
        EXPECT_EQ(next->x, c.nextAfter);
    }
}

TEST_F(RunnerBoardTest, OnlyTheNewestTalksAndNobodyOnceItPassedX100) {
    Obstacle* older = addObstacle(1);
    Obstacle* newer = addObstacle(2);
    for (int i = 0; i < 400; ++i) {
        board->update();
        if (board->obstacles.size() < 2) break;  // the older one is gone
        ASSERT_EQ(older->talking, 0) << "frame " << i;
        ASSERT_EQ(newer->talking, newer->x > 100.0f ? 1 : 0) << "frame " << i;
    }
    EXPECT_EQ(newer->talking, 0);
}

// What the strip draws where, told apart by pictures of known colours: the
// runner and dust cells, the gauge, the speed-down icon, obstacles and their
// talk boxes, and nothing at all without art.
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

// The play scene draws a frame before the strip's first updateRunner (the
// frame that enters play), and an obstacle may be added after the strip's
// obstacles were updated (the '0' key here, a cleared special tile in the
// grid's update): neither may show up where nothing has placed it yet.
TEST_F(RunnerDrawing, NothingIsDrawnBeforeItIsPlaced) {
    const auto inkInTopLeft = [] {
        int ink = 0;
        for (int y = 0; y < 380; y += 2)
            for (int x = 0; x < 160; x += 2) ink += pixel(x, y) != kWhite && pixel(x, y) != 0x2060A0;  // not "SLOW"
        return ink;
    };
    draw();
    EXPECT_EQ(inkInTopLeft(), 0) << "the runner before it was placed";
    board->updateRunner(false, false);

    platform::input().beginDrain();
    platform::input().keyDown(AnimationBoard::kDebugAddKey);
    board->update();
    ASSERT_EQ(board->obstacles.size(), 1u);
    draw();
    EXPECT_EQ(inkInTopLeft(), 0) << "an obstacle before its first update";
    EXPECT_EQ(pixel(15, 400), kWhite) << "nor its talk box";
    platform::input().keyUp(AnimationBoard::kDebugAddKey);
    platform::input().endFrame();
    board->update();
    draw();
    EXPECT_EQ(pixel(15, 400), kTalkTextColour) << "placed, it talks";
    board->obstacles[0]->talking = 0;
    draw();
    EXPECT_EQ(pixel(15, 400), kWhite) << "and no box once it is silent";
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

}  // namespace runner_test
