// The controller and its option panel, driven frame by frame through the
// headless harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/SceneManager.h"
#include "platform/FileIO.h"
#include "platform/Input.h"

using testing_support::Harness;

namespace {

const std::string kBothOn("\x01\x01", 2);

// "" when the file is missing: a saved file always holds two bytes.
std::string optionFile() {
    auto bytes = platform::readFile("option", 16).bytes;
    return std::string(bytes.begin(), bytes.end());
}
float volume(Harness& h, const char* key) { return h.audio()->volume(soundRegistry::get()->channel(key)); }
IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene("intro")); }
bool same(const platform::Surface& a, const platform::Surface& b) {
    return std::equal(a.pixels(), a.pixels() + a.width() * a.height(), b.pixels(),
                      b.pixels() + b.width() * b.height());
}
// Pixels that are not the white the frame is cleared to, in the top rows.
long ink(const platform::Surface& s, int rows) {
    return std::count_if(s.pixels(), s.pixels() + s.width() * rows,
                         [](std::uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; });
}

}  // namespace

TEST(Controller, WithoutAnOptionFileEverySoundIsSilentUntilTurnedOn) {
    Harness h("");
    h.start();
    soundRegistry* sounds = soundRegistry::get();
    sounds->addSound("ranking", "soundfile/ranking.mp3", true, true);
    sounds->addSound("delete", "soundfile/delete.mp3", false, false);
    for (int i = 0; i < 30; ++i) {
        sounds->play("delete", 1.0f);  // a scene's own volume lasts only until the frame ends
        if (i == 0) sounds->play("ranking", 1.0f);
        h.frame();
        for (const char* key : {"intro1", "ranking", "delete"}) ASSERT_EQ(volume(h, key), 0.0f) << key << " " << i;
    }
    // Music turned on in the panel is heard from the closing frame; effects stay off.
    h.tap(VK_ESCAPE);
    h.click(250, 490);
    EXPECT_EQ(volume(h, "ranking"), 1.0f) << "it follows the switch while the panel is open";
    sounds->play("delete", 1.0f);
    h.tap(VK_ESCAPE);
    ASSERT_EQ(h.game().running, 1);
    EXPECT_EQ(volume(h, "intro1"), 1.0f);
    EXPECT_EQ(volume(h, "ranking"), 1.0f);
    EXPECT_EQ(volume(h, "delete"), 0.0f);
}

TEST(Controller, OpenPanelFreezesTheSceneAndPausesOnlyTheThreeTunes) {
    Harness h(kBothOn);
    h.start();
    h.frames(100);  // the layers are on the move by now
    soundRegistry* sounds = soundRegistry::get();
    sounds->addSound("ranking", "soundfile/ranking.mp3", true, true);
    sounds->play("ranking", 1.0f);

    h.tap(VK_ESCAPE);
    ASSERT_EQ(h.game().running, 0);
    const float rise = intro()->main[1]->getY();
    const platform::Surface frozen = h.screen();
    h.frames(30);
    EXPECT_EQ(intro()->main[1]->getY(), rise);
    EXPECT_TRUE(same(frozen, h.screen()));
    EXPECT_GT(ink(frozen, 400), 1000) << "the scene stays drawn behind the panel";
    EXPECT_TRUE(sounds->isPaused("intro1"));
    EXPECT_TRUE(sounds->isPlaying("ranking") && !sounds->isPaused("ranking"));

    // Closing resumes the music and the scene in the same frame.
    h.tap(VK_ESCAPE);
    EXPECT_EQ(h.game().running, 1);
    EXPECT_TRUE(sounds->isPlaying("intro1") && !sounds->isPaused("intro1"));
    EXPECT_LT(intro()->main[1]->getY(), rise);
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
        platform::Surface expected = plain;
        cursor->alphaRender(&expected, 279, 279, 150);
        EXPECT_TRUE(same(expected, h.screen())) << key;
        EXPECT_FALSE(same(plain, h.screen())) << key;
    }
}

TEST(OptionPanel, EscapeOpensOnReleaseAndTheNextReleaseClosesAndSaves) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    std::filesystem::remove("option");
    const struct { bool down; int running; } steps[] = {{true, 1}, {false, 0}, {true, 0}, {false, 1}};
    for (auto [down, running] : steps) {
        down ? h.keyDown(VK_ESCAPE) : h.keyUp(VK_ESCAPE);
        h.frame();
        EXPECT_EQ(h.game().running, running) << (down ? "press" : "release");
        EXPECT_EQ(optionFile(), running && !down ? kBothOn : std::string()) << "only closing writes";
    }
}

TEST(OptionPanel, ButtonOpensOnThePressOnceHoweverLongItIsHeld) {
    Harness h(kBothOn);
    h.start();
    h.mouseTo(560, 20);
    h.keyDown(VK_LBUTTON);
    h.frame();
    EXPECT_EQ(h.game().running, 0);
    h.tap(VK_ESCAPE);  // closed with the button still held over it: it must not reopen
    h.frames(10);
    EXPECT_EQ(h.game().running, 1);
}

TEST(OptionPanel, ClicksToggleTheRowsAndOnlyClosingSaves) {
    Harness h(kBothOn);
    h.start();
    h.tap(VK_ESCAPE);
    std::filesystem::remove("option");
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
    std::filesystem::remove("option");
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
    ASSERT_TRUE(platform::writeFileAtomic("option", kBothOn.data(), 2));

    h.start();
    h.frame();
    EXPECT_GT(ink(h.screen(), 1024), 10000) << "what exists is drawn";
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
    EXPECT_EQ(SceneManager::get()->currentScene, SceneManager::get()->findScene("game"));
}
