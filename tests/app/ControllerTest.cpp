// The controller and its option panel, driven frame by frame through the
// headless harness: what the two switches mute and what the open panel pauses
// and freezes, the cursor picture, the option file, and a start with pictures
// missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>

#include "Harness.h"
#include "TestFiles.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "platform/FileIO.h"
#include "platform/Input.h"

using testing_support::Harness;
using testing_support::same;

namespace {

const std::string kBothOn("\x01\x01", 2);

// "" when the file is missing: a saved file always holds two bytes.
std::string optionFile() {
    auto bytes = platform::readFile(kOptionFile, 16).bytes;
    return std::string(bytes.begin(), bytes.end());
}
IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene(names::kIntroScene)); }
// Pixels that are not the white the frame is cleared to, in the top rows.
long ink(const platform::Surface& s, int rows) {
    return std::count_if(s.pixels(), s.pixels() + s.width() * rows,
                         [](std::uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; });
}

// Every sound the game registers, the switch that mutes it and whether the
// open panel pauses it. Written out here, not taken from the groups in
// GameNames.h: those are what this checks.
struct SoundRule {
    const char* key;
    bool music, pausedByPanel;
};
const SoundRule kSoundRules[] = {
    {names::kIntro1Music, true, true}, {names::kIntro2Music, true, true},  {names::kPlayMusic, true, true},
    {names::kRankingMusic, true, false}, {"combo1", false, false},         {"combo2", false, false},
    {"combo3", false, false},          {"combo4", false, false},           {"combo5", false, false},
    {names::kDeleteSound, false, false}, {names::kJumpSound, false, false}};

// The open panel also freezes the scene behind it.
TEST(SoundSwitches, EachSoundFollowsItsSwitchAndThePanelPausesOnlyThePlayAndIntroTunes) {
    // Effects byte, then music byte; without a file both start off.
    for (const std::string& option : {std::string(), kBothOn, std::string("\0\1", 2), std::string("\1\0", 2)}) {
        SCOPED_TRACE("option file of " + std::to_string(option.size()) + " bytes, effects " +
                     std::to_string(!option.empty() && option[0]));
        const bool effects = !option.empty() && option[0], music = option.size() > 1 && option[1];
        Harness h(option);
        h.start();
        soundRegistry* sounds = soundRegistry::get();
        const auto volume = [&](const char* key) { return h.audio()->volume(sounds->channel(key)); };
        // Muted means never heard: not even from a play's start to the end of its frame.
        const auto loudest = [&](const char* key) { return h.audio()->loudest(sounds->channel(key)); };
        EXPECT_EQ(loudest(names::kIntro1Music), music ? 1.0f : 0.0f) << "the intro's music, started by init";
        for (const char* scene : {names::kGameScene, names::kRankScene}) SceneManager::get()->changeScene(scene);
        ASSERT_EQ(sounds->keyCount(), std::size(kSoundRules)) << "a sound the table does not know";
        for (const SoundRule& s : kSoundRules) sounds->play(s.key, 1.0f);  // as loud as a scene plays it
        h.frame();
        for (const SoundRule& s : kSoundRules) {
            const float heard = (s.music ? music : effects) ? 1.0f : 0.0f;
            EXPECT_EQ(volume(s.key), heard) << s.key;
            EXPECT_EQ(loudest(s.key), heard) << s.key;
        }

        h.tap(VK_ESCAPE);
        ASSERT_EQ(h.game().running, 0);
        const platform::Surface frozen = h.screen();  // the scene behind the panel, still drawn
        h.frames(5);
        EXPECT_TRUE(same(frozen, h.screen()));
        EXPECT_GT(ink(frozen, 400), 1000);
        h.click(250, 490);  // the music row: heard at once, with the panel still open
        for (const SoundRule& s : kSoundRules) {
            EXPECT_TRUE(sounds->isPlaying(s.key)) << s.key;
            EXPECT_EQ(sounds->isPaused(s.key), s.pausedByPanel) << s.key;
            EXPECT_EQ(volume(s.key), (s.music ? !music : effects) ? 1.0f : 0.0f) << s.key;
        }
        h.tap(VK_ESCAPE);  // closing resumes the tunes and the scene in the same frame
        for (const SoundRule& s : kSoundRules) EXPECT_FALSE(sounds->isPaused(s.key)) << s.key;
        EXPECT_FALSE(same(frozen, h.screen()));
    }
}

TEST(Controller, CursorPictureSitsUpLeftOfTheMouseAndShowsTheButton) {
    Harness h(kBothOn);
    h.start();
    h.tap(VK_ESCAPE);  // a frozen scene, so only the cursor changes the frame
    h.mouseTo(300, 300);
    h.frame();
    const platform::Surface plain = h.screen();
    h.tap('P');
    for (auto [key, held] : {std::pair{"pointMove", false}, {"pointClick", true}}) {
        if (held) h.keyDown(VK_LBUTTON);  // outside every panel area
        h.frame();
        bitmapPicture* cursor = pictureRegistry::get()->findPicture(key);
        ASSERT_NE(cursor, nullptr) << key;
        platform::Canvas expected(plain);
        cursor->alphaRender(&expected, 279, 279, 150);
        EXPECT_TRUE(same(expected, h.screen())) << key;
        EXPECT_FALSE(same(plain, h.screen())) << key;
    }
}

TEST(OptionPanel, EscapeOpensOnReleaseAndTheNextReleaseClosesAndSaves) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    std::filesystem::remove(kOptionFile);
    const struct { bool down; int running; } steps[] = {{true, 1}, {false, 0}, {true, 0}, {false, 1}};
    for (auto [down, running] : steps) {
        down ? h.keyDown(VK_ESCAPE) : h.keyUp(VK_ESCAPE);
        h.frame();
        EXPECT_EQ(h.game().running, running) << (down ? "press" : "release");
        EXPECT_EQ(optionFile(), running && !down ? kBothOn : std::string()) << "only closing writes";
    }
    h.mouseTo(560, 20);  // the option button opens on the press, once however long it is held
    h.keyDown(VK_LBUTTON);
    h.frame();
    EXPECT_EQ(h.game().running, 0);
    h.tap(VK_ESCAPE);
    h.frames(10);
    EXPECT_EQ(h.game().running, 1);
}

TEST(OptionPanel, ClicksToggleTheRowsAndOnlyClosingSaves) {
    Harness h(kBothOn);
    h.start();
    h.tap(VK_ESCAPE);
    std::filesystem::remove(kOptionFile);
    const struct {
        int x, y, running, music, effects;
        std::string file;  // option file after the click; byte 0 effects, byte 1 music
    } steps[] = {
        {250, 490, 0, 0, 1, ""},                      // music row
        {250, 490, 0, 1, 1, ""},                      // twice: as it was, still unsaved
        {250, 520, 0, 1, 0, ""},                      // effects row
        {100, 500, 0, 1, 0, ""},                      // outside every area
        {250, 545, 0, 1, 0, ""},                      // just below the effects row
        {560, 20, 0, 1, 0, ""},                       // the option button while open
        {390, 462, 1, 1, 0, std::string("\0\1", 2)},  // close box, above the music row
        {250, 490, 1, 1, 0, std::string("\0\1", 2)},  // rows are dead while closed
        {560, 20, 0, 1, 0, std::string("\0\1", 2)},   // reopened by the button
        {380, 478, 1, 0, 0, std::string("\0\0", 2)},  // close box over the music row
    };
    for (const auto& s : steps) {
        h.click(s.x, s.y);
        EXPECT_EQ(std::tuple(h.game().running, h.game().musicOn, h.game().effectsOn, optionFile()),
                  std::tuple(s.running, s.music, s.effects, s.file)) << "click at " << s.x << "," << s.y;
    }
}

TEST(OptionPanel, KeysAndThePadSwitchTheRowsAndStartOrBClose) {
    Harness h(kBothOn);
    h.start();
    std::filesystem::remove(kOptionFile);
    const struct {
        int key, running, music, effects;
    } steps[] = {
        {'M', 1, 1, 1},                 // closed: the letters do nothing
        {VK_GAMEPAD_MENU, 0, 1, 1},     // Start opens
        {'M', 0, 0, 1},
        {'S', 0, 0, 0},
        {VK_RETURN, 0, 1, 0},           // the music row is chosen to begin with
        {VK_DOWN, 0, 1, 0},
        {VK_SPACE, 0, 1, 1},
        {VK_GAMEPAD_DPAD_UP, 0, 1, 1},
        {VK_GAMEPAD_A, 0, 0, 1},
        {VK_RIGHT, 0, 1, 1},
        {VK_GAMEPAD_B, 1, 1, 1},        // B closes
        {VK_ESCAPE, 0, 1, 1},
        {'S', 0, 1, 0},
        {VK_GAMEPAD_MENU, 1, 1, 0},     // and Start closes, saving
    };
    for (const auto& s : steps) {
        h.tap(s.key);
        EXPECT_EQ(std::tuple(h.game().running, h.game().musicOn, h.game().effectsOn),
                  std::tuple(s.running, s.music, s.effects)) << "key " << s.key;
    }
    EXPECT_EQ(optionFile(), std::string("\0\1", 2));
}

TEST(OptionPanel, TheKeysAreWrittenUnderTheOpenPanel) {
    Harness h(kBothOn);
    h.start();
    h.tap(VK_ESCAPE);
    // The lines' dark ink, below the panel's bottom edge at 565.
    auto lines = [&] {
        long n = 0;
        for (int y = 566; y < 640; ++y)
            for (int x = 100; x < 500; ++x) n += (h.screen().pixel(x, y) & 0xFFFFFF) == 0x191919;
        return n;
    };
    EXPECT_GT(lines(), 300);
    h.tap(VK_ESCAPE);
    EXPECT_LT(lines(), 30);
}

TEST(MissingAssets, IntroAndPanelStillRunAndTheirButtonsWork) {
    namespace fs = std::filesystem;
    Harness h(kBothOn);
    testing_support::TempWorkDir partial(false);
    const fs::path game = testing_support::gameDir();
    const std::set<std::string> gone = {"main1.bmp", "main2.bmp", "main7.bmp", "light.bmp",
                                        "play.bmp", "skip.png", "option.bmp", "optionPannel.bmp",
                                        "bgmOn.bmp", "pointMove.bmp", "intro1.mp3"};
    for (const char* folder : {"img", "soundfile"}) {
        fs::create_directory(folder);
        for (const auto& e : fs::directory_iterator(game / folder))
            if (!gone.contains(e.path().filename().string()))
                fs::create_symlink(e.path(), fs::path(folder) / e.path().filename());
    }
    fs::create_directory_symlink(game / "fonts", "fonts");
    std::ofstream(kOptionFile, std::ios::binary) << kBothOn;

    h.start();
    h.frame();
    EXPECT_GT(ink(h.screen(), names::kClientHeight), 10000) << "what exists is drawn";
    h.click(560, 20);
    ASSERT_EQ(h.game().running, 0);
    h.click(250, 490);
    h.click(390, 462);
    EXPECT_EQ(h.game().running, 1);
    EXPECT_EQ(optionFile(), std::string("\x01\x00", 2));

    IntroSceen* scene = intro();
    for (int i = 0; i < 3000 && !scene->buttonShown; ++i) h.frame();
    ASSERT_TRUE(scene->buttonShown) << "the sequence reaches the play button without its layers";
    h.click(450, 510);
    EXPECT_EQ(SceneManager::get()->currentScene, SceneManager::get()->findScene(names::kGameScene));
}

}  // namespace
