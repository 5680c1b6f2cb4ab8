// The play scene driven through the headless harness: the countdown and the
// music, the clock, time-up and the score file, the refresh button, the combo
// banner, the '1' key, and the order of each frame's steps.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "BoardMoves.h"
#include "Harness.h"
#include "app/mainGame.h"
#include "engine/bitmapPicture.h"
#include "engine/soundRegistry.h"
#include "framework/FrameTimer.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "platform/Input.h"
#include "ranking/ScoreFiles.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

using namespace testing_support;

namespace {

std::vector<unsigned char> slurp(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

class PlayScene : public ::testing::Test {
protected:
    void SetUp() override {
        h.start();
        h.frame();
        h.click(40, 20);  // skip the intro
        play = dynamic_cast<ThreeMatchGame*>(SceneManager::get()->currentScene);
        ASSERT_NE(play, nullptr);
    }
    int banner() const { return play->stringsPicture->getCurrentFrameY(); }
    void untilStarted() {
        for (int i = 0; i < 60 * 8 && !play->started; ++i) h.frame();
        ASSERT_TRUE(play->started);
    }
    void untilSettled() {
        for (int i = 0; i < 600 && !play->blockBoard->settled; ++i) h.frame();
        h.frames(120);  // let lines formed by the fill clear
    }
    Block* restingTile() {
        for (Block* b : play->blockBoard->blocks)
            if (!b->moving && b->row == 7) return b;
        return nullptr;
    }
    static bool musicPlaying() { return soundRegistry::get()->isPlaying(names::kPlayMusic); }
    // The pixels of the banner area of the last frame.
    std::vector<std::uint32_t> bannerArea() {
        std::vector<std::uint32_t> px;
        for (int y = 95; y < 160; ++y)
            for (int x = 280; x < names::kClientWidth; ++x) px.push_back(h.screen().pixel(x, y));
        return px;
    }

    Harness h;
    ThreeMatchGame* play = nullptr;
};

TEST_F(PlayScene, CountdownTakesNoInputAndStartsTheMusicWithTheThirdBanner) {
    int bannerAtMusic = -1;
    bool clicked = false;
    for (int i = 0; i < 60 * 8 && !play->started; ++i) {
        if (!clicked && banner() == 3) {  // the last second of the countdown: the grid is at rest
            clicked = true;
            Block* tile = restingTile();
            ASSERT_NE(tile, nullptr);
            h.click(tile->rect.left + 30, tile->rect.top + 30);
            h.click(590, 1020);  // inside the refresh button's area
            EXPECT_FALSE(play->blockBoard->picked);
            EXPECT_EQ(play->blockBoard->refreshLeft, 3);
            EXPECT_FLOAT_EQ(play->timeLeft, names::kGameSeconds);
        }
        h.frame();
        if (bannerAtMusic < 0 && h.audio()->playCount("playbgm.mp3") > 0) bannerAtMusic = banner();
    }
    ASSERT_TRUE(clicked && play->started);
    EXPECT_EQ(bannerAtMusic, 2);
    EXPECT_EQ(banner(), 4);
}

TEST_F(PlayScene, TimeRunsOutBelowAHundredthAndTheScoreIsWrittenThatUpdate) {
    untilStarted();
    h.frame();
    EXPECT_LT(play->timeLeft, names::kGameSeconds);
    FrameTimer* timer = FrameTimer::get();
    // Next frame the time played reaches a little under the full game.
    timer->markTime = timer->worldTime() + 1.0f / 60.0f - (names::kGameSeconds - 0.005f);
    play->blockBoard->score = 4321;
    h.frame();
    EXPECT_TRUE(play->timeUp);
    EXPECT_EQ(play->timeLeft, 0.0f);
    EXPECT_EQ(slurp(kNewScoreFile), (std::vector<unsigned char>{0xE1, 0x10, 0, 0}));
}

TEST_F(PlayScene, OneStopsTheMusicAndACascadeAfterTimeUpStillScoresIntoTheFile) {
    untilStarted();
    untilSettled();
    ASSERT_TRUE(musicPlaying());
    h.tap('1');
    ASSERT_TRUE(play->timeUp);
    EXPECT_FALSE(musicPlaying());
    BlockBoard& board = *play->blockBoard;
    arrangeBoard(board, {{0, 7, 1}, {1, 7, 1}, {2, 7, 1}});
    const int before = board.score;
    h.frames(60);
    EXPECT_GT(board.score, before);
    auto bytes = slurp(kNewScoreFile);
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(static_cast<int>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (bytes[3] << 24)), board.score);
}

TEST_F(PlayScene, ComboBannerFromFive) {
    untilStarted();
    untilSettled();
    // Renders of one and the same moment, differing only in the combo.
    play->blockBoard->combo = 0;
    h.game().render();
    auto plain = bannerArea();
    play->blockBoard->combo = 4;
    h.game().render();
    EXPECT_EQ(bannerArea(), plain);
    play->blockBoard->combo = 5;
    h.game().render();
    EXPECT_NE(bannerArea(), plain);
}

// Each frame the strip moves once, and before the grid: an obstacle the grid
// sends while clearing waits for the next frame to move.
TEST_F(PlayScene, RunnerStripUpdatesOnceAFrameBeforeTheGrid) {
    untilStarted();
    untilSettled();
    AnimationBoard& runner = *play->runnerBoard;
    arrangeBoard(*play->blockBoard, {{0, 7, 1}, {1, 7, 1}, {2, 7, 1}});
    play->blockBoard->blockAt(1, 7)->special = 1;
    h.time.clock.toTick(10, 0);  // a tick the grid clears on
    const float scroll = runner.backScroll, speed = runner.speed;
    ASSERT_TRUE(runner.obstacles.empty());
    play->update();
    ASSERT_EQ(runner.obstacles.size(), 1u);
    EXPECT_EQ(runner.obstacles[0]->x, Obstacle::kStartX);
    EXPECT_FLOAT_EQ(runner.backScroll, scroll + speed / 30.0f);
}

TEST_F(PlayScene, OneDuringTheCountdownEndsPlayAndTheCountdownGoesOn) {
    h.frames(3);
    ASSERT_FALSE(play->started);
    h.tap('1');
    EXPECT_TRUE(play->timeUp);
    EXPECT_EQ(slurp(kNewScoreFile).size(), 4u);
    untilStarted();  // the banner reached its last row
    EXPECT_FLOAT_EQ(play->timeLeft, names::kGameSeconds);  // never computed while ended
    untilSettled();
    h.click(590, 1020);
    h.tap('R');
    EXPECT_EQ(play->blockBoard->refreshLeft, 3) << "no refresh once play ended";
}

// The button's area reaches past its icon, and the keys are the button's; none
// counts during the countdown.
TEST_F(PlayScene, RefreshByTheButtonsAreaOrTheKeysOnlyWhilePlayRuns) {
    h.frames(5);
    h.tap('R');
    EXPECT_EQ(play->blockBoard->refreshLeft, 3);
    untilStarted();
    untilSettled();
    h.click(379, 980);
    EXPECT_EQ(play->blockBoard->refreshLeft, 3);
    h.click(590, 1020);
    EXPECT_EQ(play->blockBoard->refreshLeft, 2);
    const int keys[] = {VK_GAMEPAD_Y, 'R', 'R'};
    const int left[] = {1, 0, 0};
    for (int i = 0; i < 3; ++i) {
        h.tap(keys[i]);
        EXPECT_EQ(play->blockBoard->refreshLeft, left[i]) << i;
    }
}

// Seven seconds with the option panel open cost nothing: not the clock, not
// the countdown's step, not a running combo.
TEST_F(PlayScene, TimeInTheOptionPanelIsNotPlayTime) {
    auto panelOpenFor = [&](int frames) {
        h.tap(VK_ESCAPE);
        ASSERT_EQ(h.game().running, 0);
        h.frames(frames);
        h.tap(VK_ESCAPE);
        ASSERT_EQ(h.game().running, 1);
    };
    for (int i = 0; i < 60 * 4 && play->stringsPicture->getCurrentFrameY() < 1; ++i) h.frame();
    const int row = play->stringsPicture->getCurrentFrameY();
    ASSERT_EQ(row, 1);
    panelOpenFor(7 * 60);
    EXPECT_EQ(play->stringsPicture->getCurrentFrameY(), row);
    EXPECT_FALSE(play->started);

    untilStarted();
    untilSettled();
    Block *a = nullptr, *b = nullptr;
    ASSERT_TRUE(findAcceptedSwap(*play->blockBoard, a, b));
    play->blockBoard->swapBlocks(a, b);
    h.frame();
    ASSERT_EQ(play->blockBoard->combo, 1);
    const float clock = play->timeLeft;
    const int combo = play->blockBoard->comboTimeLeft;

    panelOpenFor(7 * 60);
    // Only the two frames up to the one that opened the panel count: a few
    // hundredths of a second, not seven.
    EXPECT_NEAR(play->timeLeft, clock - 2.0f / 60, 0.01f);
    EXPECT_EQ(play->blockBoard->combo, 1);
    EXPECT_NEAR(play->blockBoard->comboTimeLeft, combo - 35, 25);
}

// Away from the window at any time of the play scene, the countdown and the
// runner's exit included, the game waits behind the panel.
TEST_F(PlayScene, LosingTheFocusInThePlaySceneOpensThePanel) {
    const auto away = [&] {
        platform::input().focusLost();
        h.frame();
        EXPECT_EQ(h.game().running, 0);
    };
    const auto back = [&] {
        h.tap(VK_ESCAPE);
        EXPECT_EQ(h.game().running, 1);
    };
    away();
    const int row = banner();
    h.frames(3 * 60);
    EXPECT_EQ(banner(), row) << "the countdown waits too";
    EXPECT_FALSE(play->started);
    back();
    untilStarted();
    away();
    const float clock = play->timeLeft;
    h.frames(300);
    back();
    EXPECT_NEAR(play->timeLeft, clock - 1.0f / 60, 0.01f);
    h.tap('1');
    away();
    back();
}

TEST_F(PlayScene, EnteringAgainStartsANewGame) {
    untilStarted();
    play->blockBoard->score = 99;
    SceneManager::get()->changeScene(names::kRankScene);
    SceneManager::get()->changeScene(names::kGameScene);
    EXPECT_EQ(play->blockBoard->score, 0);
    EXPECT_EQ(play->blockBoard->refreshLeft, 3);
    EXPECT_FALSE(play->started);
    EXPECT_EQ(play->runnerBoard->obstacles.size(), 0u);
    h.frames(2);
}

// The countdown steps on ticks that are whole seconds. Whatever instant of the
// second the game happens to start at, frames must not keep missing that tick.
TEST(Countdown, FinishesWithinSecondsFromAnyStartingInstant) {
    for (int phase = 0; phase < 17; ++phase) {
        Harness h;
        h.time.clock.setMs(2'000'000 + static_cast<std::uint64_t>(phase));
        h.start();
        h.frame();
        h.click(40, 20);
        auto* play = dynamic_cast<ThreeMatchGame*>(SceneManager::get()->currentScene);
        ASSERT_NE(play, nullptr);
        for (int frames = 0; !play->started && frames < 60 * 7; ++frames) h.frame();
        EXPECT_TRUE(play->started) << "start instant +" << phase << " ms";
    }
}

}  // namespace
