#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "platform/Input.h"
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
