// The ranking scene on its own: who gets the name entry, the entry itself,
// the stored list, the reveal, home, and lists written by someone else.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <tuple>
#include <vector>

#include "Harness.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "platform/Canvas.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using namespace testing_support;

namespace {

class IntroProbe : public gameNode {
public:
    HRESULT init() override { return ++entered, S_OK; }
    void release() override {}  // the services are the test's to end
    int entered = 0;
};

class RankTest : public ::testing::Test {
protected:
    void SetUp() override {
        SceneManager::get()->addScene(names::kIntroScene, intro);
        SceneManager::get()->addScene(names::kRankScene, rank);
    }

    // A visit after a game of that score; the first update reads it.
    void enter(int score) {
        if (SceneManager::get()->currentScene == rank) SceneManager::get()->changeScene(names::kIntroScene);
        writeNewScore(score);
        ASSERT_EQ(SceneManager::get()->changeScene(names::kRankScene), S_OK);
        rank->update();
    }
    static void button(bool down) {
        platform::input().beginDrain();
        down ? platform::input().keyDown(VK_LBUTTON) : platform::input().keyUp(VK_LBUTTON);
    }
    void clickIn(const RECT& r) {
        platform::input().mouseMove(r.left + 3, r.top + 3);
        button(true);
        rank->update();
        button(false);
        rank->update();
    }
    // Keys down for one update and up for the next; text typed in one update.
    void tapKey(int vk) {
        platform::input().beginDrain();
        platform::input().keyDown(vk);
        rank->update();
        platform::input().beginDrain();
        platform::input().keyUp(vk);
        rank->update();
    }
    void type(const char* text, int alsoKey = 0) {
        platform::input().beginDrain();
        if (alsoKey) platform::input().keyDown(alsoKey);
        platform::input().typeText(text);
        rank->update();
        platform::input().endFrame();
        if (alsoKey) platform::input().keyUp(alsoKey);
        rank->update();
    }
    std::vector<int> name() const {
        return std::vector<int>(rank->nameLetters, rank->nameLetters + rank->letterCount);
    }
    static void storeList(std::initializer_list<int> scores) {
        RankRecords r;
        setDefaultRecords(r);
        int i = 0;
        for (int s : scores) r[i++].score = s;
        writeRankerList(r);
    }
    static RankRecords stored() {
        RankRecords r;
        setDefaultRecords(r);
        readRankerList(r);
        return r;
    }

    TempWorkDir dir;
    ScopedFakeClock time;
    ScopedServices services{time.clock};
    IntroProbe* intro = new IntroProbe;
    Rank* rank = new Rank;
};

TEST_F(RankTest, OnlyAScoreAboveTheTenthEntryOpensTheNameEntry) {
    // Without a list the first visit writes ten empty records, which 0 never beats.
    enter(0);
    EXPECT_EQ(std::filesystem::file_size(kRankerListFile), kRankerListBytes);
    EXPECT_TRUE(soundRegistry::get()->isPlaying(names::kRankingMusic));
    EXPECT_EQ(rank->phase, Rank::showing);
    storeList({90, 80, 70, 60, 50, 40, 30, 20, 10, 5});
    enter(5);
    EXPECT_EQ(rank->phase, Rank::showing);
    enter(6);
    EXPECT_EQ(rank->phase, Rank::entering);
}

TEST_F(RankTest, NameEntryTakesTenLettersWithBackAndClear) {
    enter(1234);
    ASSERT_EQ(rank->phase, Rank::entering);
    for (int i = 0; i < 12; ++i) clickIn(rank->letterCells[i]);  // the last two are ignored
    EXPECT_EQ(rank->letterCount, 10);
    EXPECT_EQ(rank->nameLetters[9], 9);
    clickIn(rank->backButton);
    EXPECT_EQ(rank->letterCount, 9);
    EXPECT_EQ(rank->nameLetters[9], emptyLetter);
    clickIn(rank->letterCells[49]);
    EXPECT_EQ(rank->nameLetters[9], 49);
    clickIn(rank->clearButton);
    EXPECT_EQ(rank->letterCount, 0);
    for (int j = 0; j < 10; ++j) EXPECT_EQ(rank->nameLetters[j], emptyLetter);
    clickIn(rank->backButton);  // nothing left to take back
    clickIn(RECT{2, 2, 5, 5});  // outside every rectangle
    EXPECT_EQ(rank->letterCount, 0);
    EXPECT_EQ(rank->phase, Rank::entering);
}

TEST_F(RankTest, TypingSpellsTheNameAndTheEditKeysWorkWithoutTouchingTheToggles) {
    storeList({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    enter(650);
    ASSERT_EQ(rank->phase, Rank::entering);
    type("Ab3!<_\xC3\xA9");  // what the sheets do not hold enters nothing
    EXPECT_EQ(name(), (std::vector<int>{0, 1, 29, 36}));
    tapKey(VK_BACK);
    type("x");
    EXPECT_EQ(name(), (std::vector<int>{0, 1, 29, 23}));
    tapKey('F');  // a letter of a name, not the debug frames
    EXPECT_FALSE(platform::input().isToggled('F'));
    tapKey(VK_DELETE);
    EXPECT_TRUE(name().empty());
    type("hello you, and more");
    EXPECT_EQ(rank->letterCount, 10);
    tapKey(VK_RETURN);
    ASSERT_EQ(rank->phase, Rank::showing);
    EXPECT_EQ(rank->records[3].score, 650);
    EXPECT_EQ(rank->records[3].letters[5], 49) << "the blank";
    EXPECT_EQ(rank->records[3].letters[9], 39) << "the comma";
    tapKey('F');
    EXPECT_TRUE(platform::input().isToggled('F')) << "a toggle again once the name is in";
    tapKey(VK_RETURN);
    EXPECT_EQ(intro->entered, 1) << "Return on the list goes home";
}

// Keys typed faster than frames, all in one drain as the window or the page
// hands them over: each takes effect in its place in the order typed.
TEST_F(RankTest, KeysTypedWithinOneFrameTakeEffectInTheOrderTyped) {
    struct Typed {
        int key;           // pressed and let go; 0 for none
        const char* text;  // typed by it; "" for none
    };
    const struct {
        const char* typedBefore;  // in an earlier frame
        std::vector<Typed> drain;
        std::vector<int> name;
        bool confirmed;
    } cases[] = {
        {"", {{VK_DELETE, ""}, {'C', "c"}, {VK_RETURN, ""}}, {2}, true},
        {"", {{'A', "a"}, {'B', "b"}, {VK_BACK, ""}, {'C', "c"}}, {0, 2}, false},
        {"abc", {{VK_BACK, ""}, {VK_BACK, ""}}, {0}, false},
        {"", {{VK_RIGHT, ""}, {VK_RIGHT, ""}, {VK_SPACE, " "}}, {1}, false},  // shown, moved, pressed
        {"", {{VK_SPACE, " "}, {'D', "d"}}, {49, 3}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        enter(1234);
        ASSERT_EQ(rank->phase, Rank::entering);
        if (*c.typedBefore) type(c.typedBefore);
        platform::input().beginDrain();
        for (const Typed& t : c.drain) {
            if (t.key) platform::input().keyDown(t.key);
            if (*t.text) platform::input().typeText(t.text);
            if (t.key) platform::input().keyUp(t.key);
        }
        rank->update();
        platform::input().endFrame();
        rank->update();
        EXPECT_EQ(rank->phase == Rank::showing, c.confirmed);
        if (c.confirmed) {
            const RankRecord& entry = rank->records[0];
            EXPECT_EQ(entry.score, 1234);
            EXPECT_EQ(std::vector<int>(entry.letters, entry.letters + c.name.size()), c.name);
            EXPECT_EQ(entry.letters[c.name.size()], emptyLetter);
        } else {
            EXPECT_EQ(name(), c.name);
        }
    }
}

TEST_F(RankTest, ThePadWalksTheGlyphsAndTheButtons) {
    enter(1234);
    for (int key : {VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_A}) tapKey(key);
    EXPECT_EQ(name(), std::vector<int>{2}) << "the first move only shows the cursor";
    // Drawn over its glyph's key (scripts/review-frames.sh shows it too).
    rank->render();
    const RECT& key = rank->letterCells[2];
    EXPECT_EQ(backDC()->pixel(key.left + 1, key.top + 30), 0xFF3C96u);
    // Down the column into the buttons, and back up to the same column.
    const int walk[][2] = {{VK_GAMEPAD_DPAD_DOWN, 12}, {VK_DOWN, 22}, {VK_DOWN, 32}, {VK_DOWN, 42},
                           {VK_DOWN, Rank::kBackPosition}, {VK_DOWN, Rank::kClearPosition},
                           {VK_DOWN, Rank::kOkPosition}, {VK_DOWN, Rank::kOkPosition},
                           {VK_UP, Rank::kClearPosition}, {VK_UP, Rank::kBackPosition}, {VK_UP, 42}};
    for (auto [direction, at] : walk) {
        tapKey(direction);
        EXPECT_EQ(rank->cursor, at);
    }
    // Space presses what the cursor is on, and is not typed as the blank too.
    type(" ", VK_SPACE);
    tapKey(VK_GAMEPAD_B);
    type(" ", VK_SPACE);
    EXPECT_EQ(name(), (std::vector<int>{2, 42})) << "B took one back";
    // Typing hides the cursor, and then a space is the blank.
    type("k");
    type(" ", VK_SPACE);
    EXPECT_EQ(name(), (std::vector<int>{2, 42, 10, 49}));
    for (int key : {VK_GAMEPAD_A, VK_DOWN, VK_DOWN, VK_DOWN, VK_GAMEPAD_A}) tapKey(key);
    EXPECT_EQ(rank->phase, Rank::showing) << "A on OK";
    EXPECT_EQ(rank->records[0].score, 1234);
    tapKey(VK_GAMEPAD_A);
    EXPECT_EQ(intro->entered, 1) << "A on the list goes home";
}

TEST_F(RankTest, ConfirmingStoresTheEntrySortedAndAnEmptyNameIsAccepted) {
    storeList({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    enter(650);
    clickIn(rank->letterCells[2]);
    clickIn(rank->letterCells[0]);
    clickIn(rank->okButton);
    EXPECT_EQ(rank->phase, Rank::showing);
    RankRecords onDisk = stored();
    EXPECT_EQ(onDisk[3].score, 650);
    EXPECT_EQ(std::vector<int>(onDisk[3].letters, onDisk[3].letters + 3), (std::vector<int>{2, 0, emptyLetter}));
    EXPECT_EQ(onDisk[9].score, 100);  // 50 was given up

    enter(150);
    EXPECT_EQ(rank->letterCount, 0);  // a new visit starts with an empty name
    for (int j = 0; j < 10; ++j) EXPECT_EQ(rank->nameLetters[j], emptyLetter);
    clickIn(rank->okButton);  // no letters at all
    onDisk = stored();
    EXPECT_EQ(onDisk[9].score, 150);
    EXPECT_EQ(onDisk[9].letters[0], emptyLetter);
}

TEST_F(RankTest, TheRevealRunsItsCountersToTheirEnds) {
    enter(0);
    ASSERT_EQ(rank->phase, Rank::showing);
    // One update already ran.
    EXPECT_EQ(std::tuple(rank->fadeIn, rank->fadeOut, rank->curtain, rank->slideX), std::tuple(1, 254, 1020, 1));
    int framesToClearCurtain = 1;
    for (; rank->curtain > 0; ++framesToClearCurtain) rank->update();
    EXPECT_EQ(framesToClearCurtain, 256);
    bool saw254 = false;
    for (int i = framesToClearCurtain; i < 301; ++i) {
        rank->update();
        saw254 = saw254 || rank->fadeIn == 254;
    }
    EXPECT_FALSE(saw254);
    EXPECT_EQ(std::tuple(rank->fadeIn, rank->fadeOut, rank->curtain, rank->slideX), std::tuple(255, 0, 0, 300));
}

TEST_F(RankTest, HomeLeavesAtOnceAndTheNextVisitRevealsAgain) {
    enter(0);
    for (int i = 0; i < 40; ++i) rank->update();
    const int entries = intro->entered;
    platform::input().mouseMove(200, 50);
    button(true);
    rank->update();  // leaves on the press
    button(false);
    EXPECT_EQ(intro->entered, entries + 1);
    EXPECT_EQ(SceneManager::get()->currentScene, intro);
    EXPECT_FALSE(soundRegistry::get()->isPlaying(names::kRankingMusic));
    EXPECT_EQ(rank->curtain, names::kClientHeight);
    enter(0);
    EXPECT_EQ(rank->curtain, 1020);
    EXPECT_EQ(rank->slideX, 1);
}

// A list another program left: glyphs outside the sheet draw nothing (and are
// written back as found), and rows scoring 0 or less are not drawn at all.
TEST_F(RankTest, ForeignLettersAndScoresNotAboveZeroDrawNothing) {
    const auto shown = [&](std::initializer_list<int> letters, int secondScore) {
        RankRecords r;
        setDefaultRecords(r);
        r[0].score = 500;
        std::copy(letters.begin(), letters.end(), r[0].letters);
        r[1].score = secondScore;
        writeRankerList(r);
        enter(-100);
        for (int i = 0; i < 300; ++i) rank->update();
        rank->render();
        const platform::Surface& s = backDC()->pixels();
        return std::vector<std::uint32_t>(s.pixels(), s.pixels() + s.width() * s.height());
    };
    const auto foreign = shown({1000, -5, 49, INT_MIN}, -7);
    EXPECT_EQ(stored()[0].letters[0], 1000);
    EXPECT_EQ(stored()[9].score, -7);  // sorted below the empty records
    EXPECT_EQ(foreign, shown({emptyLetter, emptyLetter, 49, emptyLetter}, 0));
    EXPECT_NE(foreign, shown({emptyLetter, emptyLetter, emptyLetter, emptyLetter}, 0)) << "glyph 49 shows";
}

}  // namespace
