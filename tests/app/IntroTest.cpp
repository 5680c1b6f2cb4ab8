// The intro scene, driven through the headless harness with the fake clock:
// its buttons, its two tunes, the light's pace, the play button's pulse and a
// second visit. The harness starts with both switches on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Harness.h"
#include "TestFiles.h"
#include "app/IntroSceen.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "platform/Clock.h"
#include "platform/Input.h"

using testing_support::Harness;

namespace {

IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene(names::kIntroScene)); }
bool inScene(const char* name) {
    return SceneManager::get()->currentScene == SceneManager::get()->findScene(name);
}
bool playing(const char* key) { return soundRegistry::get()->isPlaying(key); }
float riseY() { return intro()->main[1]->getY(); }

}  // namespace

TEST(Intro, SkipAreaIsLiveFromTheFirstFrameAndStopsBothTunes) {
    for (bool firstFrame : {true, false}) {
        Harness h;
        h.start();
        if (!firstFrame) {
            h.frame();
            h.time.clock.advanceMs(10'500);  // past the end of "intro1"
            h.frame();
            ASSERT_TRUE(playing(names::kIntro2Music));
            // The play button before it shows, and the skip area's right and bottom edges.
            for (auto [x, y] : {std::pair{450, 510}, {85, 20}, {20, 41}}) {
                h.click(x, y);
                ASSERT_TRUE(inScene(names::kIntroScene) && !intro()->leaving) << x << "," << y;
            }
        }
        h.click(firstFrame ? 84 : 5, firstFrame ? 40 : 5);
        EXPECT_TRUE(inScene(names::kGameScene)) << firstFrame;
        EXPECT_FALSE(playing(names::kIntro1Music) || playing(names::kIntro2Music)) << firstFrame;
    }
}

TEST(Intro, SecondTuneFollowsTheFirstOnlyWithMusicOn) {
    for (bool music : {false, true}) {
        Harness h(std::string{'\x01', char(music)});  // effects byte, music byte
        h.start();
        h.frames(5);
        const auto starts = [&] { return h.audio()->playCount("intro2.mp3"); };
        EXPECT_EQ(starts(), 0) << "not while intro1 plays";
        h.time.clock.advanceMs(10'500);
        h.frames(5);
        EXPECT_EQ(starts(), music ? 1 : 0) << "one start per ending";
        h.time.clock.advanceMs(29'000);  // intro2 lasts 28 s
        h.frame();
        EXPECT_EQ(starts(), music ? 2 : 0);
        h.click(40, 20);  // once the player has left the intro keeps no music going
        h.time.clock.advanceMs(30'000);
        h.frames(3);
        EXPECT_EQ(starts(), music ? 2 : 0);
        EXPECT_EQ(h.audio()->playCount("intro1.mp3"), 1);
    }
}

TEST(Intro, LightStepsOnlyOnTicksDivisibleByFiveAndStopsAtSeven) {
    Harness h;
    h.start();
    IntroSceen* scene = intro();
    int previous = 0, steps = 0;
    for (int i = 0; i < 1200 && !scene->holdOver; ++i) {
        h.frame();
        const auto tick = platform::tickCount64();
        const int now = scene->lightFrame;
        // Once the layer is up, every tick divisible by 5 moves the light one frame, up to 7.
        const bool due = tick % 5 == 0 && riseY() < 5.0f && previous < 7;
        ASSERT_EQ(now, previous + (due ? 1 : 0)) << "tick " << tick;
        ASSERT_EQ(scene->light->getCurrentFrameX(), now);
        steps += now != previous;
        previous = now;
    }
    EXPECT_EQ(steps, 7);
    h.frames(120);
    EXPECT_EQ(scene->lightFrame, 7);
}

TEST(Intro, PlayButtonPulsesByItsLowByteAndRestartsPast637) {
    Harness h;
    h.start();
    IntroSceen* scene = intro();
    ASSERT_TRUE(h.runUntil([&] { return scene->buttonShown; }, 3000));
    EXPECT_EQ(scene->buttonAlpha, 8) << "first step in the frame that shows it";
    ASSERT_TRUE(h.runUntil([&] { return scene->buttonAlpha == 256; }, 100));
    bitmapPicture* button = pictureRegistry::get()->findPicture("playbutton");
    ASSERT_NE(button, nullptr);
    // Nothing but the button moves now; at counter 256 it is fully clear.
    const platform::Surface clear = h.screen();
    int previous = scene->buttonAlpha, restarts = 0;
    for (int i = 0; i < 100; ++i) {
        h.frame();
        const int counter = scene->buttonAlpha;
        restarts += previous + 8 > 637;
        ASSERT_EQ(counter, previous + 8 > 637 ? 100 : previous + 8);
        platform::Canvas expected(clear);
        button->alphaRender(&expected, 380, 470, static_cast<std::uint8_t>(counter & 0xFF));
        ASSERT_TRUE(testing_support::same(expected, h.screen())) << "counter " << counter;
        previous = counter;
    }
    EXPECT_GT(restarts, 0);
    h.click(534, 559);  // the button's last pixel
    EXPECT_TRUE(inScene(names::kGameScene));
    EXPECT_FALSE(playing(names::kIntro1Music));
}

TEST(Intro, SecondVisitStartsTheLightAsSoonAsTheRevealPasses150) {
    Harness h;
    h.start();
    IntroSceen* scene = intro();
    for (int visit = 1; visit <= 2; ++visit) {
        ASSERT_TRUE(h.runUntil([&] { return scene->revealHeight > 150 || scene->lightFrame > 0; }, 3000));
        EXPECT_EQ(scene->lightFrame, 0) << "the light never starts before the reveal passes 150";
        h.frames(12);  // a tick divisible by 5 comes about 16 times a second
        // The first time the layer is still far down; the second it stayed at the top.
        EXPECT_EQ(scene->lightFrame > 0, visit == 2);
        ASSERT_TRUE(h.runUntil([&] { return riseY() < 5.0f; }, 3000));
        h.click(40, 20);
        ASSERT_TRUE(inScene(names::kGameScene));
        ASSERT_EQ(SceneManager::get()->changeScene(names::kIntroScene), S_OK);
        EXPECT_EQ(scene->revealHeight, 20);
        EXPECT_EQ(scene->lightFrame, 0);
        EXPECT_EQ(riseY(), 0.0f) << "the layer stays where it stopped";
    }
}

TEST(Intro, ReturnSpaceOrPadAPlayOnlyOnceTheButtonIsLive) {
    for (int key : {VK_RETURN, VK_SPACE, VK_GAMEPAD_A}) {
        Harness h;
        h.start();
        IntroSceen* scene = intro();
        h.frames(30);
        h.tap(key);
        ASSERT_TRUE(inScene(names::kIntroScene) && !scene->leaving) << key;
        ASSERT_TRUE(h.runUntil([&] { return scene->buttonShown; }, 3000));
        h.tap(key);
        EXPECT_TRUE(inScene(names::kGameScene)) << key;
        EXPECT_FALSE(playing(names::kIntro1Music) || playing(names::kIntro2Music)) << key;
    }
}
