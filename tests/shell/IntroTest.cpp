// The intro scene, driven through the headless harness with the fake clock.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "platform/Clock.h"
#include "shell/IntroSceen.h"
#include "shell/SceneManager.h"
#include "shell/mainGame.h"

using testing_support::Harness;

namespace {

const std::string kBothOn("\x01\x01", 2);
const std::string kMusicOff("\x01\x00", 2);

IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene("intro")); }
bool inScene(const char* name) {
    return SceneManager::get()->currentScene == SceneManager::get()->findScene(name);
}

// Runs frames until the condition holds; false if it never did.
bool runUntil(Harness& h, const std::function<bool()>& done, int maxFrames = 3000) {
    for (int i = 0; i < maxFrames; ++i) {
        if (done()) return true;
        h.frame();
    }
    return done();
}

float riseY() { return intro()->main[1]->getY(); }

bool sameSurface(const platform::Surface& a, const platform::Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.row(y)[x] != b.row(y)[x]) return false;
    return true;
}

}  // namespace

TEST(Intro, SkipAreaIsLiveFromTheFirstFrameAndStopsBothTunes) {
    Harness h(kBothOn);
    h.start();
    soundRegistry* sounds = soundRegistry::get();
    ASSERT_TRUE(sounds->isPlaying("intro1"));

    h.mouseTo(84, 40);
    h.keyDown(VK_LBUTTON);
    h.frame();
    EXPECT_TRUE(inScene("game"));
    EXPECT_TRUE(intro()->leaving);
    EXPECT_FALSE(sounds->isPlaying("intro1"));
    EXPECT_FALSE(sounds->isPlaying("intro2"));
}

TEST(Intro, SkipAreaEndsAtItsEdgesAndAlsoStopsTheSecondTune) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    h.time.clock.advanceMs(10'500);  // past the end of "intro1"
    h.frame();
    soundRegistry* sounds = soundRegistry::get();
    ASSERT_TRUE(sounds->isPlaying("intro2"));

    // The skip area's right and bottom edges are outside.
    h.click(85, 20);
    h.click(20, 41);
    ASSERT_TRUE(inScene("intro"));
    EXPECT_FALSE(intro()->leaving);
    h.click(40, 20);
    EXPECT_TRUE(inScene("game"));
    EXPECT_FALSE(sounds->isPlaying("intro1"));
    EXPECT_FALSE(sounds->isPlaying("intro2"));
}

TEST(Intro, SecondTuneFollowsOnlyWithMusicOn) {
    {
        Harness h(kMusicOff);
        h.start();
        h.frames(5);
        h.time.clock.advanceMs(10'500);
        h.frames(5);
        h.time.clock.advanceMs(30'000);
        h.frames(5);
        EXPECT_EQ(h.audio()->playCount("intro1.mp3"), 1);
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 0);
    }
    {
        Harness h(kBothOn);
        h.start();
        h.frames(5);
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 0) << "not while intro1 plays";
        h.time.clock.advanceMs(10'500);
        h.frame();
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 1);
        h.frames(5);
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 1) << "one start per ending";
        h.time.clock.advanceMs(26'000);
        h.frame();
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 2);

        // Once the player has left, the intro no longer keeps its music going.
        h.click(40, 20);
        ASSERT_TRUE(inScene("game"));
        h.time.clock.advanceMs(30'000);
        h.frames(3);
        EXPECT_EQ(h.audio()->playCount("intro2.mp3"), 2);
        EXPECT_EQ(h.audio()->playCount("intro1.mp3"), 1);
    }
}

TEST(Intro, LightStepsOnlyOnTicksDivisibleByFiveAndStopsAtSeven) {
    Harness h(kBothOn);
    h.start();
    IntroSceen* scene = intro();
    ASSERT_NE(scene->main[1], nullptr);
    ASSERT_NE(scene->light, nullptr);
    int previous = 0;
    int steps = 0;
    int idleEligible = 0;
    for (int i = 0; i < 1200 && !scene->holdOver; ++i) {
        h.frame();
        const auto tick = platform::tickCount64();
        const int now = scene->lightFrame;
        ASSERT_LE(now, 7);
        if (now != previous) {
            EXPECT_EQ(tick % 5, 0u) << "stepped on tick " << tick;
            EXPECT_EQ(now, previous + 1);
            ++steps;
        } else if (tick % 5 == 0 && previous < 7 && riseY() < 5.0f) {
            ++idleEligible;  // a tick that should have moved it did not
        }
        EXPECT_EQ(scene->light->getCurrentFrameX(), now);
        if (riseY() >= 5.0f) {
            EXPECT_EQ(now, 0) << "the light waits for the rise";
        }
        previous = now;
    }
    EXPECT_EQ(steps, 7);
    EXPECT_EQ(idleEligible, 0);
    EXPECT_TRUE(scene->lightDone);
    h.frames(120);
    EXPECT_EQ(scene->lightFrame, 7);
}

TEST(Intro, PlayButtonIsInertUntilShownThenPulsesByItsLowByte) {
    Harness h(kBothOn);
    h.start();
    h.frames(3);
    h.click(450, 510);
    EXPECT_TRUE(inScene("intro"));
    EXPECT_FALSE(intro()->leaving);

    IntroSceen* scene = intro();
    ASSERT_TRUE(runUntil(h, [&] { return scene->buttonShown; }));
    EXPECT_EQ(scene->buttonAlpha, 8) << "first step in the frame that shows it";
    EXPECT_EQ(scene->alphaC, 255);

    bitmapPicture* button = pictureRegistry::get()->findPicture("playbutton");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(runUntil(h, [&] { return scene->buttonAlpha == 256; }, 100));
    // Nothing but the button moves now; at counter 256 it is fully clear.
    const platform::Surface clear = h.screen();
    int previous = scene->buttonAlpha;
    bool restarted = false;
    for (int i = 0; i < 100; ++i) {
        h.frame();
        const int counter = scene->buttonAlpha;
        if (previous + 8 > 637) {
            EXPECT_EQ(counter, 100);
            restarted = true;
        } else {
            EXPECT_EQ(counter, previous + 8);
        }
        platform::Surface expected = clear;
        button->alphaRender(&expected, 380, 470, static_cast<std::uint8_t>(counter & 0xFF));
        ASSERT_TRUE(sameSurface(expected, h.screen())) << "counter " << counter;
        previous = counter;
    }
    EXPECT_TRUE(restarted);

    h.click(379, 510);  // just left of the button
    EXPECT_TRUE(inScene("intro"));
    h.click(534, 559);  // its last pixel
    EXPECT_TRUE(inScene("game"));
    EXPECT_FALSE(soundRegistry::get()->isPlaying("intro1"));
}

TEST(Intro, SecondVisitStartsTheLightAsSoonAsTheRevealPasses150) {
    Harness h(kBothOn);
    h.start();
    IntroSceen* scene = intro();
    ASSERT_NE(scene->main[1], nullptr);

    // First visit: when the reveal passes 150 the layer is still far down.
    ASSERT_TRUE(runUntil(h, [&] { return scene->revealHeight > 150; }));
    h.frames(12);
    EXPECT_EQ(scene->lightFrame, 0);
    ASSERT_TRUE(runUntil(h, [&] { return riseY() < 5.0f; }));
    h.click(40, 20);
    ASSERT_TRUE(inScene("game"));

    ASSERT_EQ(SceneManager::get()->changeScene("intro"), S_OK);
    EXPECT_EQ(scene->revealHeight, 20);
    EXPECT_EQ(scene->lightFrame, 0);
    EXPECT_FALSE(scene->leaving);
    EXPECT_EQ(riseY(), 0.0f) << "the layer stays where it stopped";
    EXPECT_EQ(scene->main[2]->getX(), 0.0f);
    EXPECT_EQ(scene->main[9]->getX(), -1200.0f);

    ASSERT_TRUE(runUntil(h, [&] {
        if (scene->revealHeight <= 150) {
            EXPECT_EQ(scene->lightFrame, 0);
        }
        return scene->revealHeight > 150;
    }));
    h.frames(12);  // a tick divisible by 5 comes about 16 times a second
    EXPECT_GT(scene->lightFrame, 0);
}
