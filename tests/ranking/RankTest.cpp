#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "framework/BackBuffer.h"
#include "platform/Image.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using namespace testing_support;

namespace {

class IntroProbe : public gameNode {
public:
    HRESULT init() override {
        ++entered;
        return S_OK;
    }
    void release() override {}  // the services are the test's to end
    int entered = 0;
};

class RankTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::input().reset();
        KeyState::get()->clear();
        pictureRegistry::get();
        pngPictureRegistry::get();
        soundRegistry::get()->init();
        intro = new IntroProbe;
        rank = new Rank;
        SceneManager::get()->addScene("intro", intro);
        SceneManager::get()->addScene("rank", rank);
    }
    void TearDown() override {
        SceneManager::destroy();
        soundRegistry::destroy();
        pngPictureRegistry::destroy();
        pictureRegistry::destroy();
        KeyState::destroy();
        platform::input().reset();
    }

    void enter(int score) {
        writeNewScore(score);
        ASSERT_EQ(SceneManager::get()->changeScene("rank"), S_OK);
        rank->update();  // reads the score
    }
    static void button(bool down) {
        platform::input().beginDrain();
        if (down) {
            platform::input().keyDown(VK_LBUTTON);
        } else {
            platform::input().keyUp(VK_LBUTTON);
        }
    }
    void click(int x, int y) {
        platform::input().mouseMove(x, y);
        button(true);
        rank->update();
        button(false);
        rank->update();
    }
    void clickGlyph(int g) {
        const RECT& c = rank->letterCells[g];
        click(c.left + 5, c.top + 5);
    }
    void clickButton(const RECT& r) { click(r.left + 3, r.top + 3); }
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
    void storeList(std::initializer_list<int> scores) {
        RankRecords r;
        setDefaultRecords(r);
        int i = 0;
        for (int s : scores) r[i++].score = s;
        writeRankerList(r);
    }

    TempWorkDir dir;
    ScopedFakeClock time;
    ScopedSimulatedAudio audio{time.clock};
    IntroProbe* intro = nullptr;
    Rank* rank = nullptr;
};

TEST_F(RankTest, OnlyAScoreAboveTheTenthEntryOpensTheNameEntry) {
    // Without a list the first entry writes ten empty records, which 0 never beats.
    enter(0);
    EXPECT_EQ(std::filesystem::file_size(kRankerListFile), 440u);
    EXPECT_TRUE(soundRegistry::get()->isPlaying("ranking"));
    EXPECT_EQ(rank->phase, Rank::showing);
    SceneManager::get()->changeScene("intro");
    storeList({90, 80, 70, 60, 50, 40, 30, 20, 10, 5});
    enter(5);
    EXPECT_EQ(rank->phase, Rank::showing);
    SceneManager::get()->changeScene("intro");
    enter(6);
    EXPECT_EQ(rank->phase, Rank::entering);
}

TEST_F(RankTest, NameEntryTakesTenLettersWithBackAndClear) {
    enter(1234);
    ASSERT_EQ(rank->phase, Rank::entering);
    for (int i = 0; i < 12; ++i) clickGlyph(i);  // the last two are ignored
    EXPECT_EQ(rank->letterCount, 10);
    EXPECT_EQ(rank->nameLetters[9], 9);
    clickButton(rank->backButton);
    EXPECT_EQ(rank->letterCount, 9);
    EXPECT_EQ(rank->nameLetters[9], emptyLetter);
    clickGlyph(49);
    EXPECT_EQ(rank->nameLetters[9], 49);
    clickButton(rank->clearButton);
    EXPECT_EQ(rank->letterCount, 0);
    for (int j = 0; j < 10; ++j) EXPECT_EQ(rank->nameLetters[j], emptyLetter);
    clickButton(rank->backButton);  // nothing left to take back
    EXPECT_EQ(rank->letterCount, 0);
    click(5, 5);  // outside every rectangle
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

TEST_F(RankTest, ThePadWalksTheGlyphsAndTheButtons) {
    enter(1234);
    for (int key : {VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_A}) tapKey(key);
    EXPECT_EQ(name(), std::vector<int>{2}) << "the first move only shows the cursor";
    // Drawn over its glyph's key, for a person to look at too.
    rank->render();
    const RECT& key = rank->letterCells[2];
    EXPECT_EQ(backDC()->pixel(key.left + 1, key.top + 30), 0xFF3C96u);
    std::filesystem::create_directories(gameDir() + "/../review");
    EXPECT_TRUE(platform::savePng(*backDC(), gameDir() + "/../review/rank-cursor.png"));
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
    clickGlyph(2);
    clickGlyph(0);
    clickButton(rank->okButton);
    EXPECT_EQ(rank->phase, Rank::showing);
    RankRecords onDisk;
    setDefaultRecords(onDisk);
    readRankerList(onDisk);
    EXPECT_EQ(onDisk[3].score, 650);
    EXPECT_EQ(onDisk[3].letters[0], 2);
    EXPECT_EQ(onDisk[3].letters[1], 0);
    EXPECT_EQ(onDisk[3].letters[2], emptyLetter);
    EXPECT_EQ(onDisk[9].score, 100);  // 50 was given up

    SceneManager::get()->changeScene("intro");
    enter(150);
    EXPECT_EQ(rank->letterCount, 0);  // a new visit starts with an empty name
    for (int j = 0; j < 10; ++j) EXPECT_EQ(rank->nameLetters[j], emptyLetter);
    clickButton(rank->okButton);  // no letters at all
    readRankerList(onDisk);
    EXPECT_EQ(onDisk[9].score, 150);
    EXPECT_EQ(onDisk[9].letters[0], emptyLetter);
}

TEST_F(RankTest, TheRevealRunsItsCountersToTheirEnds) {
    enter(0);
    ASSERT_EQ(rank->phase, Rank::showing);
    // One update already ran: fadeIn 1, fadeOut 254, curtain 1020.
    EXPECT_EQ(rank->fadeIn, 1);
    EXPECT_EQ(rank->fadeOut, 254);
    EXPECT_EQ(rank->curtain, 1020);
    bool saw254 = false;
    int framesToClearCurtain = 1;
    while (rank->curtain > 0) {
        rank->update();
        ++framesToClearCurtain;
    }
    EXPECT_EQ(framesToClearCurtain, 256);
    for (int i = framesToClearCurtain; i < 300; ++i) {
        rank->update();
        saw254 = saw254 || rank->fadeIn == 254;
    }
    EXPECT_FALSE(saw254);
    EXPECT_EQ(rank->fadeIn, 255);
    EXPECT_EQ(rank->fadeOut, 0);
    EXPECT_EQ(rank->slideX, 300);
    rank->update();
    EXPECT_EQ(rank->slideX, 300);
    EXPECT_EQ(rank->curtain, 0);
}

TEST_F(RankTest, HomeLeavesAtOnceAndTheNextVisitRevealsAgain) {
    enter(0);
    for (int i = 0; i < 40; ++i) rank->update();
    platform::input().mouseMove(200, 50);
    button(true);
    rank->update();
    button(false);
    EXPECT_EQ(intro->entered, 1);
    EXPECT_EQ(SceneManager::get()->currentScene, intro);
    EXPECT_FALSE(soundRegistry::get()->isPlaying("ranking"));
    EXPECT_EQ(rank->curtain, 1024);
    enter(0);
    EXPECT_EQ(rank->curtain, 1020);
    EXPECT_EQ(rank->slideX, 1);
}

TEST_F(RankTest, ForeignRecordsDrawWithoutTrouble) {
    // Letters outside the glyph sheet and negative scores, straight from a file.
    RankRecords r;
    setDefaultRecords(r);
    r[0].score = 500;
    r[0].letters[0] = 1000;
    r[0].letters[1] = -5;
    r[0].letters[2] = 49;
    r[1].score = -7;
    writeRankerList(r);
    enter(-100);
    ASSERT_EQ(rank->phase, Rank::showing);
    for (int i = 0; i < 300; ++i) {
        rank->update();
        rank->render();
    }
    RankRecords onDisk;
    setDefaultRecords(onDisk);
    readRankerList(onDisk);
    EXPECT_EQ(onDisk[0].letters[0], 1000);  // kept as found
    EXPECT_EQ(onDisk[9].score, -7);         // sorted below the empty records
}

}  // namespace
