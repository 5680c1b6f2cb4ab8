// Long play without a window: whole games, intro to ranking and back home,
// played by a bot that clicks and drags at random, toggles the debug keys,
// opens the option panel and sometimes plays a real match. Time is simulated.
//
//   soak [GAMES] [RENDER_EVERY] [SEED]     (defaults 300, 4, 1)
//
// Every game must reach the ranking and come back home within a frame budget,
// and leave whole, sorted score files behind holding its score, with the name
// entered when it made the list. The resident size is printed after games 1,
// 10 and every 50th and the last, so memory growth shows. A few games run in
// every ctest run.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BoardMoves.h"
#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "platform/Win32Types.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using testing_support::findAcceptedSwap;
using testing_support::Harness;

namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

[[noreturn]] void fail(int game, const char* what) {
    std::fprintf(stderr, "soak: game %d: %s\n", game, what);
    std::exit(1);
}

class Bot {
public:
    Bot(Harness& h, unsigned seed) : h_(h), rng_(seed) {}

    // Intro to ranking to home; any step that never comes ends the soak.
    void playGame(int game) {
        game_ = game;
        if (!scene<IntroSceen>()) fail(game, "a game did not start at the intro");
        step(2);
        h_.click(40, 20);  // skip
        if (!runUntil([&] { return scene<ThreeMatchGame>() != nullptr; }, 60))
            fail(game, "skip did not lead to play");
        ThreeMatchGame* play = scene<ThreeMatchGame>();
        // The countdown steps only on a frame whose tick is a whole second; at
        // an exact 60 frames a second the frames can straddle that tick for a
        // while before drifting onto it, so the wait is generous.
        if (!runUntil([&] { return play->started; }, 60 * 60)) fail(game, "the countdown never ended");

        // Up to the full minute of play, and a few real matches in every game;
        // the debug end key cuts most games short.
        const int playFrames = pick(60 * 5, 60 * 62);
        const long matchesBefore = matches_;
        for (int f = 0; (f < playFrames || matches_ - matchesBefore < 3) && !play->timeUp;)
            f += act(*play);
        if (!play->timeUp) h_.tap('1');
        if (!runUntil([&] { return play->timeUp; }, 60 * 62)) fail(game, "time never ran out");

        // Random input goes on while the runner leaves and the music ends.
        for (int f = 0; !scene<Rank>(); ++f) {
            if (f > 60 * 80) fail(game, "the ranking never opened");
            fiddle();
            step();
            closePanelIfStuck();
        }
        Rank* rank = scene<Rank>();
        step(1);
        std::vector<std::int32_t> name;
        const bool entered = rank->phase == Rank::entering;
        if (entered) {
            for (int i = pick(0, 12); i > 0 && rank->phase == Rank::entering; --i) {
                const RECT& cell = rank->letterCells[pick(0, 49)];
                h_.click(cell.left + 5, cell.top + 5);
                if (pick(0, 5) == 0) h_.click(pick(0, 599), pick(0, 1023));
            }
            name.assign(rank->nameLetters, rank->nameLetters + rank->letterCount);
            for (int tries = 0; rank->phase == Rank::entering && tries < 10; ++tries) {
                if (h_.game().running == 0) h_.tap(VK_ESCAPE);
                h_.click(rank->okButton.left + 5, rank->okButton.top + 5);
            }
        }
        if (rank->phase != Rank::showing) fail(game, "the ranking shows no list");
        checkFiles(play->blockBoard->score, entered ? &name : nullptr);
        step(pick(1, 400));
        if (h_.game().running == 0) h_.tap(VK_ESCAPE);
        h_.click(rank->homeRect.left + 5, rank->homeRect.top + 5);
        if (!runUntil([&] { return scene<IntroSceen>() != nullptr; }, 10)) fail(game, "home did not lead to the intro");
    }

    long matches() const { return matches_; }

private:
    template <class T>
    T* scene() { return dynamic_cast<T*>(SceneManager::get()->currentScene); }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    void step(int count = 1) { h_.frames(count); }

    template <class F>
    bool runUntil(F done, int maxFrames) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            step();
            closePanelIfStuck();
        }
        return done();
    }

    // The option panel stops play; the bot shuts it after a while.
    void closePanelIfStuck() {
        if (h_.game().running == 0) {
            if (++panelFrames_ > 90) h_.tap(VK_ESCAPE);
        } else {
            panelFrames_ = 0;
        }
    }

    // Noise while waiting: a rare click, key or mouse move.
    void fiddle() {
        const int r = pick(0, 200);
        if (r == 0) h_.click(pick(0, 599), pick(380, 1023));
        else if (r == 1) h_.mouseTo(pick(-50, 650), pick(-50, 1100));
        else if (r == 2) h_.tap("FCP09"[pick(0, 4)]);
    }

    // One action in play; the frames it took.
    int act(ThreeMatchGame& play) {
        const long before = h_.frameCount();
        const int r = pick(0, 99);
        BlockBoard& board = *play.blockBoard;
        if (r < 30) {
            Block *a = nullptr, *b = nullptr;
            if (board.settled && findAcceptedSwap(board, a, b)) {
                h_.drag(a->rect.left + 32, a->rect.top + 32, (b->col - a->col) * 30, (b->row - a->row) * 30, pick(1, 3));
                ++matches_;
            }
            step(pick(5, 30));
        } else if (r < 60) {
            // A drag from anywhere, often far, sometimes off the grid.
            h_.drag(pick(0, 599), pick(300, 1023), pick(-80, 80), pick(-80, 80), pick(1, 3));
        } else if (r < 85) {
            h_.click(pick(0, 599), pick(0, 1023));
        } else if (r < 90) {
            h_.tap("FCP0"[pick(0, 3)]);
        } else if (r < 92) {
            h_.keyDown('9');
            step(pick(1, 30));
            h_.keyUp('9');
            step();
        } else if (r < 93) {
            h_.tap(VK_ESCAPE);  // the option panel, shut again later
            step(pick(1, 60));
            if (h_.game().running == 0 && pick(0, 1)) h_.click(pick(0, 599), pick(0, 1023));
            if (h_.game().running == 0) h_.tap(VK_ESCAPE);
        } else {
            step(pick(1, 40));
        }
        closePanelIfStuck();
        return static_cast<int>(h_.frameCount() - before);
    }

    // Whole, sorted files that hold this game's score, and its name when one
    // was entered.
    void checkFiles(int score, const std::vector<std::int32_t>* name) {
        namespace fs = std::filesystem;
        if (fs::file_size(kRankerListFile) != kRankerListBytes) fail(game_, "ranker.list is not whole");
        if (fs::file_size(kNewScoreFile) != 4 || readNewScore() != score) fail(game_, "new.score is not the last score");
        RankRecords list;
        setDefaultRecords(list);
        readRankerList(list);
        for (int i = 0; i + 1 < kRankCount; ++i)
            if (list[i].score < list[i + 1].score) fail(game_, "ranker.list is not sorted");
        const auto entered = [&](const RankRecord& r) {
            for (int j = 0; j < kNameLength; ++j)
                if (r.letters[j] != (j < static_cast<int>(name->size()) ? (*name)[j] : emptyLetter)) return false;
            return r.score == score;
        };
        if (name && std::none_of(list.begin(), list.end(), entered)) fail(game_, "the entry made is not in ranker.list");
    }

    Harness& h_;
    std::mt19937 rng_;
    int panelFrames_ = 0;
    int game_ = 0;
    long matches_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 300;
    const int renderEvery = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u;

    Harness h;
    h.renderEvery = renderEvery;  // drawing is where most of the time goes
    h.start();
    Bot bot(h, seed);
    for (int game = 1; game <= games; ++game) {
        bot.playGame(game);
        if (game == 1 || game == 10 || game % 50 == 0 || game == games)
            std::printf("game %d: resident %ld KiB, %ld matches so far\n", game, residentKiB(), bot.matches());
        std::fflush(stdout);
    }
    h.stop();
    return 0;
}
