// Saves that fail part way, seen from the running game: a "ranker.list" or
// "option" save that breaks at any step, or runs out of room, leaves the
// stored file exactly as it was, leaves no temporary behind, and play goes on.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "FileFaults.h"
#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using testing_support::FileFaults;
using testing_support::Harness;

namespace {

std::vector<char> slurp(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Temporary files a save left behind.
int temporaries() {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator("."))
        n += e.path().filename().string().find(".tmp") != std::string::npos;
    return n;
}

// The ways a save can break: the four steps a fault can hit (create, write,
// flush, rename), and a disk with room for only part of the file, made by a file
// size limit so no root or special mount is needed.
constexpr int kFullDisk = 5;

class FailingSaves {
public:
    FailingSaves(int how, rlim_t roomBytes) : how_(how) {
        if (how_ == kFullDisk) {
            ::getrlimit(RLIMIT_FSIZE, &saved_);
            previous_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing us
            rlimit small = saved_;
            small.rlim_cur = roomBytes;
            ::setrlimit(RLIMIT_FSIZE, &small);
        } else {
            faults_.emplace(static_cast<FileFaults::Step>(how_));
        }
    }
    ~FailingSaves() {
        if (how_ == kFullDisk) {
            ::setrlimit(RLIMIT_FSIZE, &saved_);
            std::signal(SIGXFSZ, previous_);
        }
    }

private:
    int how_;
    std::optional<FileFaults> faults_;
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

class RankFault : public ::testing::Test {
protected:
    template <class T>
    T* scene() { return dynamic_cast<T*>(SceneManager::get()->currentScene); }
    void clickIn(const RECT& r) { h.click(r.left + 5, r.top + 5); }

    // A list of three entries, stored the ordinary way.
    void storeList() {
        RankRecords r;
        setDefaultRecords(r);
        for (int i = 0; i < 3; ++i) {
            r[i].letters[0] = i;
            r[i].score = 300 - 100 * i;
        }
        ASSERT_TRUE(writeRankerList(r));
    }

    // A visit to the ranking after a game of that score (already handed over
    // in "new.score"), a name entered, and home again.
    void visitAndEnter(std::int32_t score) {
        ASSERT_EQ(SceneManager::get()->changeScene(names::kRankScene), S_OK);
        Rank* rank = scene<Rank>();
        ASSERT_NE(rank, nullptr);
        h.frame();
        ASSERT_EQ(rank->phase, Rank::entering);
        clickIn(rank->letterCells[7]);
        clickIn(rank->okButton);
        EXPECT_EQ(rank->phase, Rank::showing);
        EXPECT_EQ(rank->records[0].score, score);  // the entry shows even if not stored
        h.frames(30);
        EXPECT_GT(rank->slideX, 0);
        h.click(rank->homeRect.left + 5, rank->homeRect.top + 5);
        EXPECT_NE(scene<IntroSceen>(), nullptr);
    }

    Harness h;
};

TEST_F(RankFault, ARankingSaveBrokenAnywhereKeepsTheStoredListAndTheGameGoesOn) {
    h.start();
    storeList();
    const auto before = slurp(kRankerListFile);
    ASSERT_EQ(before.size(), kRankerListBytes);
    for (int how = 1; how <= kFullDisk; ++how) {
        SCOPED_TRACE("failure " + std::to_string(how));
        ASSERT_TRUE(writeNewScore(1000 + how));
        {
            FailingSaves failing(how, 64);
            visitAndEnter(1000 + how);
        }
        EXPECT_EQ(slurp(kRankerListFile), before);
        EXPECT_EQ(temporaries(), 0);
    }
    // Once saves work again, the next entry is stored.
    ASSERT_TRUE(writeNewScore(2000));
    visitAndEnter(2000);
    const auto after = slurp(kRankerListFile);
    ASSERT_EQ(after.size(), kRankerListBytes);
    RankRecords stored;
    setDefaultRecords(stored);
    readRankerList(stored);
    EXPECT_EQ(stored[0].score, 2000);
    EXPECT_EQ(stored[1].score, 300);
}

// Another game in the folder stores an entry while this one is on its name
// entry; this one's save keeps it.
TEST_F(RankFault, AnEntryStoredByAnotherGameMeanwhileIsKept) {
    h.start();
    storeList();
    ASSERT_TRUE(writeNewScore(1000));
    ASSERT_EQ(SceneManager::get()->changeScene(names::kRankScene), S_OK);
    h.frame();
    RankRecords other;
    setDefaultRecords(other);
    readRankerList(other);
    other[9].letters[0] = 33;
    other[9].score = 700;
    sortRecords(other);
    ASSERT_TRUE(writeRankerList(other));
    Rank* rank = scene<Rank>();
    clickIn(rank->letterCells[7]);
    clickIn(rank->okButton);
    RankRecords stored;
    setDefaultRecords(stored);
    readRankerList(stored);
    std::vector<int> scores;
    for (const RankRecord& r : stored) scores.push_back(r.score);
    EXPECT_EQ(scores, (std::vector<int>{1000, 700, 300, 200, 100, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::memcmp(&stored, &rank->records, sizeof stored), 0);  // and shows it
}

// A list there but unreadable (no permission: as root only a fault shows it)
// is never written over, however the visit goes; the game says why.
TEST_F(RankFault, AListThatCannotBeReadIsLeftAsItIs) {
    h.start();
    storeList();
    const auto before = slurp(kRankerListFile);
    ASSERT_TRUE(writeNewScore(1000));
    {
        FileFaults unreadable(FileFaults::open, kRankerListFile, EACCES);
        visitAndEnter(1000);
        EXPECT_FALSE(unreadable.reports().empty());
    }
    EXPECT_EQ(slurp(kRankerListFile), before);
}

// Closing by the close box also reads the file back, which after a failed
// save must not undo the player's toggle.
TEST_F(RankFault, AnOptionSaveBrokenAnywhereKeepsTheFileAndThePlayersChoice) {
    h.start();
    h.frame();
    const auto before = slurp(kOptionFile);
    ASSERT_EQ(before, std::vector<char>({1, 1}));
    mainGame& game = h.game();
    for (int how = 1; how <= kFullDisk; ++how)
        for (bool byBox : {false, true}) {
            SCOPED_TRACE("failure " + std::to_string(how) + (byBox ? ", closed by the box" : ", closed by Escape"));
            const bool musicWas = game.musicOn;
            h.tap(VK_ESCAPE);  // the panel opens
            ASSERT_EQ(game.running, 0);
            clickIn(game.musicRowRect);
            {
                FailingSaves failing(how, 1);  // one of the two bytes fits
                byBox ? clickIn(game.closeBoxRect) : h.tap(VK_ESCAPE);  // closing saves
            }
            EXPECT_EQ(game.running, 1);
            EXPECT_NE(static_cast<bool>(game.musicOn), musicWas);
            EXPECT_EQ(slurp(kOptionFile), before);
            EXPECT_EQ(temporaries(), 0);
            h.frames(5);
        }
}

}  // namespace
