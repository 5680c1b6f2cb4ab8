// A whole game through the headless harness: intro, skip, countdown, real
// swaps that score, the clock run out, the runner leaving once the play music
// is over, a name entered, the list revealed, home, and a second game.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BoardMoves.h"
#include "Harness.h"
#include "app/IntroSceen.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using testing_support::findAcceptedSwap;
using testing_support::Harness;

namespace {

std::vector<unsigned char> slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::int32_t intAt(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

class WholeLoop : public ::testing::Test {
protected:
    gameNode* current() { return SceneManager::get()->currentScene; }
    template <class T>
    T* scene() { return dynamic_cast<T*>(current()); }

    // Runs frames until the condition holds; false if it never does.
    template <class F>
    bool runUntil(F done, int maxFrames) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            h.frame();
        }
        return done();
    }

    // Drags from a's centre onto b, as a player does.
    void drag(const Block& a, const Block& b) {
        const int ax = a.rect.left + 32, ay = a.rect.top + 32;
        h.mouseTo(ax, ay);
        h.keyDown(VK_LBUTTON);
        h.frame();
        h.mouseTo(ax + (b.col - a.col) * 30, ay + (b.row - a.row) * 30);
        h.frame();
        h.keyUp(VK_LBUTTON);
        h.frame();
    }

    int playOneGame(int swapsWanted) {
        EXPECT_TRUE(runUntil([&] { return scene<ThreeMatchGame>() != nullptr; }, 10));
        auto* play = scene<ThreeMatchGame>();
        if (!play) return 0;
        EXPECT_FLOAT_EQ(play->timeLeft, 60.0f);
        EXPECT_TRUE(runUntil([&] { return play->started; }, 60 * 8));
        int swaps = 0;
        while (swaps < swapsWanted && !play->timeUp) {
            BlockBoard& board = *play->blockBoard;
            Block *a = nullptr, *b = nullptr;
            if (board.settled && findAcceptedSwap(board, a, b)) {
                const int before = board.swapCount;
                drag(*a, *b);
                if (board.swapCount == before + 1) ++swaps;
            }
            h.frames(20);
        }
        EXPECT_EQ(swaps, swapsWanted);
        EXPECT_TRUE(runUntil([&] { return play->timeUp; }, 60 * 62));
        EXPECT_FLOAT_EQ(play->timeLeft, 0.0f);
        const int score = play->blockBoard->score;
        // The runner leaves, and the ranking opens once the play music ends.
        EXPECT_TRUE(runUntil([&] { return scene<Rank>() != nullptr; }, 60 * 70));
        EXPECT_EQ(intAt(slurp(kNewScoreFile), 0), play->blockBoard->score);
        EXPECT_GE(play->blockBoard->score, score);
        return play->blockBoard->score;
    }

    void clickGlyph(Rank& rank, int g) {
        h.click(rank.letterCells[g].left + 10, rank.letterCells[g].top + 10);
    }

    Harness h;
};

TEST_F(WholeLoop, TwoGamesFromIntroToRankingAndBack) {
    h.start();
    ASSERT_NE(scene<IntroSceen>(), nullptr);
    h.frame();
    h.click(40, 20);  // skip
    const int first = playOneGame(6);
    EXPECT_GT(first, 0);

    auto* rank = scene<Rank>();
    ASSERT_NE(rank, nullptr);
    h.frame();
    ASSERT_EQ(rank->phase, Rank::entering);  // no list yet: any positive score enters
    clickGlyph(*rank, 18);  // S
    clickGlyph(*rank, 0);   // A
    clickGlyph(*rank, 12);  // M
    h.click(rank->okButton.left + 5, rank->okButton.top + 5);
    EXPECT_EQ(rank->phase, Rank::showing);
    h.frames(300);
    EXPECT_EQ(rank->slideX, 300);
    EXPECT_EQ(rank->curtain, 0);

    auto list = slurp(kRankerListFile);
    ASSERT_EQ(list.size(), 440u);
    EXPECT_EQ(intAt(list, 0), 18);
    EXPECT_EQ(intAt(list, 4), 0);
    EXPECT_EQ(intAt(list, 8), 12);
    for (int j = 3; j < 10; ++j) EXPECT_EQ(intAt(list, 4 * j), emptyLetter);
    EXPECT_EQ(intAt(list, 40), first);
    for (int i = 1; i < 10; ++i) EXPECT_EQ(intAt(list, 44 * i + 40), 0);

    h.click(235, 55);  // home
    ASSERT_NE(scene<IntroSceen>(), nullptr);
    h.frame();
    h.click(40, 20);
    const int second = playOneGame(1);
    auto* again = scene<Rank>();
    ASSERT_NE(again, nullptr);
    h.frame();
    if (again->phase == Rank::entering) {
        h.click(again->okButton.left + 5, again->okButton.top + 5);  // an empty name
    }
    list = slurp(kRankerListFile);
    ASSERT_EQ(list.size(), 440u);
    // Both games stand in the list, best first, and nothing else changed.
    const int best = first >= second ? first : second;
    const int other = first >= second ? second : first;
    EXPECT_EQ(intAt(list, 40), best);
    EXPECT_EQ(intAt(list, 44 + 40), second > 0 ? other : 0);
    EXPECT_EQ(intAt(slurp(kNewScoreFile), 0), second);
}

}  // namespace
