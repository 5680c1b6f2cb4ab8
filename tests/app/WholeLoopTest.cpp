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
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using testing_support::Harness;

namespace {

// The little-endian 32-bit integers of a file.
std::vector<std::int32_t> ints(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::vector<char> b(std::istreambuf_iterator<char>(in), {});
    std::vector<std::int32_t> out(b.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::int32_t>(std::uint8_t(b[4 * i]) | std::uint8_t(b[4 * i + 1]) << 8 |
                                           std::uint8_t(b[4 * i + 2]) << 16 | std::uint32_t(std::uint8_t(b[4 * i + 3])) << 24);
    return out;
}

class WholeLoop : public ::testing::Test {
protected:
    template <class T>
    T* scene() { return dynamic_cast<T*>(SceneManager::get()->currentScene); }
    template <class F>
    bool runUntil(F done, int maxFrames) {
        for (int i = 0; i < maxFrames && !done(); ++i) h.frame();
        return done();
    }
    void clickIn(const RECT& r) { h.click(r.left + 10, r.top + 10); }

    // Skips the intro and plays a game with that many accepted swaps, each a
    // drag from one tile onto its neighbour as a player makes it; the score.
    int playOneGame(int swapsWanted) {
        h.frame();
        h.click(40, 20);
        auto* play = scene<ThreeMatchGame>();
        if (!play) return ADD_FAILURE() << "skip did not start play", 0;
        EXPECT_TRUE(runUntil([&] { return play->started; }, 60 * 8));
        for (int swaps = 0; swaps < swapsWanted && !play->timeUp; h.frames(20)) {
            BlockBoard& board = *play->blockBoard;
            Block *a = nullptr, *b = nullptr;
            if (!board.settled || !testing_support::findAcceptedSwap(board, a, b)) continue;
            const int before = board.swapCount, x = a->rect.left + 32, y = a->rect.top + 32;
            h.mouseTo(x, y);
            h.keyDown(VK_LBUTTON);
            h.frame();
            h.mouseTo(x + (b->col - a->col) * 30, y + (b->row - a->row) * 30);
            h.frame();
            h.keyUp(VK_LBUTTON);
            h.frame();
            swaps += board.swapCount == before + 1;
        }
        EXPECT_TRUE(runUntil([&] { return play->timeUp; }, 60 * 62));
        EXPECT_FLOAT_EQ(play->timeLeft, 0.0f);
        // The runner leaves, and the ranking opens once the play music ends.
        EXPECT_TRUE(runUntil([&] { return scene<Rank>() != nullptr; }, 60 * 70));
        EXPECT_EQ(ints(kNewScoreFile), std::vector<std::int32_t>{play->blockBoard->score});
        h.frame();
        return play->blockBoard->score;
    }

    Harness h;
};

TEST_F(WholeLoop, TwoGamesFromIntroToRankingAndBack) {
    h.start();
    ASSERT_NE(scene<IntroSceen>(), nullptr);
    const int first = playOneGame(6);
    ASSERT_GT(first, 0) << "six accepted swaps clear lines";
    Rank* rank = scene<Rank>();
    ASSERT_NE(rank, nullptr);
    ASSERT_EQ(rank->phase, Rank::entering);  // no list yet: any positive score enters
    for (int glyph : {18, 0, 12}) clickIn(rank->letterCells[glyph]);
    clickIn(rank->okButton);
    EXPECT_EQ(rank->phase, Rank::showing);
    h.frames(300);
    EXPECT_EQ(rank->slideX, 300);
    EXPECT_EQ(rank->curtain, 0);
    std::vector<std::int32_t> list(110, 0);  // ten records of ten letters and a score
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) list[11 * i + j] = emptyLetter;
    list[0] = 18, list[1] = 0, list[2] = 12, list[10] = first;
    EXPECT_EQ(ints(kRankerListFile), list);

    h.click(235, 55);  // home
    ASSERT_NE(scene<IntroSceen>(), nullptr);
    const int second = playOneGame(1);
    rank = scene<Rank>();
    ASSERT_NE(rank, nullptr);
    if (rank->phase == Rank::entering) clickIn(rank->okButton);  // an empty name
    // Both games stand in the list, best first, and nothing else changed.
    const auto stored = ints(kRankerListFile);
    ASSERT_EQ(stored.size(), 110u);
    EXPECT_EQ(stored[10], std::max(first, second));
    EXPECT_EQ(stored[21], second > 0 ? std::min(first, second) : 0);
    for (int i = 2; i < 10; ++i) EXPECT_EQ(stored[11 * i + 10], 0);
}

}  // namespace
