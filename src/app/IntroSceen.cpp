#include "app/IntroSceen.h"

#include <algorithm>
#include <cstdio>

#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/PlayerKeys.h"
#include "framework/SceneManager.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Input.h"

namespace {

constexpr RECT kSkipArea{5, 5, 85, 41};
constexpr RECT kPlayButtonPlace{380, 470, 535, 560};  // where "playbutton" is meant to sit
constexpr int kLastLightFrame = 7;
constexpr std::uint64_t kHoldMs = 1500;

// A layer that failed to load is null. It then counts as already in place
// (at 0, 0), so the sequence still runs through to the play button.
float xOf(const bitmapPicture* p) { return p ? p->getX() : 0.0f; }
float yOf(const bitmapPicture* p) { return p ? p->getY() : 0.0f; }
void setX(bitmapPicture* p, float x) {
    if (p) p->setX(x);
}
void setY(bitmapPicture* p, float y) {
    if (p) p->setY(y);
}

std::uint8_t level(int alpha) { return static_cast<std::uint8_t>(std::clamp(alpha, 0, 255)); }

void draw(bitmapPicture* p, HDC dc, int x, int y) {
    if (p) p->render(dc, x, y);
}
void blend(bitmapPicture* p, HDC dc, int x, int y, int alpha) {
    if (p) p->alphaRender(dc, x, y, level(alpha));
}

}  // namespace

HRESULT IntroSceen::init() {
    pictureRegistry* pictures = pictureRegistry::get();
    char key[16];
    char file[32];
    for (int i = 0; i < 10; ++i) {
        std::snprintf(key, sizeof key, "main%d", i);
        std::snprintf(file, sizeof file, "img/main%d.bmp", i);
        pictures->addPicture(key, file, 0.0f, static_cast<float>(names::kClientHeight), names::kClientWidth, names::kClientHeight, true,
                             MAGENTA);
    }
    leaving = false;
    for (int i = 0; i < 10; ++i) {
        std::snprintf(key, sizeof key, "main%d", i);
        main[i] = pictures->findPicture(key);
    }
    // Only these two start over on a later visit; the other layers stay
    // where the last visit left them.
    setX(main[2], 0.0f);
    setY(main[2], 0.0f);
    setX(main[9], -1200.0f);

    light = pictures->addFramePicture("light", "img/light.bmp", 4256, names::kClientHeight, 8, 1, true, MAGENTA);
    playButton =
        pictures->addPicture("playbutton", "img/play.bmp", 380.0f, 470.0f, 155, 90, true, MAGENTA);
    skip = pngPictureRegistry::get()->addPicture("skip", "img/skip.png", 5, 5, true, 0x49, 0);

    alphaA = alphaB = alphaC = 0;
    buttonAlpha = 0;
    lightFrame = 0;
    lightDone = false;
    riseActive = true;
    revealActive = true;
    revealHeight = 20;
    holdUntil = 0;
    holdOver = false;
    slideY = 400;
    slideDone = false;
    fadeDone = false;
    driftDone = false;
    buttonShown = false;

    soundRegistry::get()->play(names::kIntro1Music, 1.0f);
    return S_OK;
}

void IntroSceen::keepIntroMusic() {
    if (leaving || !options || !options->musicOn) return;
    soundRegistry* sounds = soundRegistry::get();
    if (!sounds->isPlaying(names::kIntro1Music) && !sounds->isPlaying(names::kIntro2Music)) {
        sounds->play(names::kIntro2Music, 1.0f);
    }
}

void IntroSceen::update() {
    keepIntroMusic();
    if (revealHeight > 150 && riseActive) rise();
    if (slideDone && !fadeDone) crossFade();
    if (revealActive) reveal();
    if (lightDone) hold();
    if (holdOver) slide();
    if (fadeDone) drift();
    if (driftDone) sweep();
    if (buttonShown) pulse();
    handleInput();
}

void IntroSceen::rise() {
    float y = yOf(main[1]) - 5.0f;
    if (y < 5.0f) y = 0.0f;
    setY(main[1], y);
    alphaA += 5;
    if (alphaA > 250) alphaA = 255;

    // The light is paced by the tick, not by frames: it steps only on ticks
    // that are multiples of 5.
    if (yOf(main[1]) < 5.0f && platform::tickCount64() % 5 == 0) {
        lightFrame = std::min(lightFrame + 1, kLastLightFrame);
        if (light) light->setFrameX(lightFrame);
    }
    if (lightFrame == kLastLightFrame && !lightDone) {
        alphaA -= 30;
        if (alphaA < 40) {
            alphaA = 255;
            lightDone = true;
            holdUntil = platform::tickCount64() + kHoldMs;
        }
    }
}

void IntroSceen::crossFade() {
    alphaA = std::max(alphaA - 4, 0);
    alphaB += 3;
    if (alphaB > 230) {
        alphaB = 255;
        fadeDone = true;
    }
}

void IntroSceen::reveal() {
    revealHeight += 2;
    if (revealHeight > 200) revealHeight = names::kClientHeight;
}

void IntroSceen::hold() {
    if (platform::tickCount64() > holdUntil) holdOver = true;
}

void IntroSceen::slide() {
    slideY -= 2;
    if (slideY < 30) {
        slideY = 0;
        slideDone = true;
        riseActive = false;
    }
    setY(main[3], static_cast<float>(slideY));
}

void IntroSceen::drift() {
    int x = static_cast<int>(xOf(main[2])) - 5;
    int y = static_cast<int>(yOf(main[2])) + 2;
    if (x < -700) {
        x = 0;
        revealHeight = 0;
        revealActive = false;
    }
    if (y > 1124) {
        y = 0;
        revealHeight = 0;
        revealActive = false;
    }
    setX(main[2], static_cast<float>(x));
    setY(main[2], static_cast<float>(y));
    alphaA += 2;
    if (alphaA > 250) {
        alphaA = 255;
        driftDone = true;
    }
}

void IntroSceen::sweep() {
    const int v = static_cast<int>(xOf(main[9])) + 15;
    const int x = v <= -100 ? v : 0;
    setX(main[9], static_cast<float>(x));
    if (x == 0) {
        alphaC += 4;
        if (alphaC > 250) {
            alphaC = 255;
            buttonShown = true;
        }
    }
}

void IntroSceen::pulse() {
    buttonAlpha += 8;
    if (static_cast<double>(buttonAlpha) > 637.5) buttonAlpha = 100;
}

void IntroSceen::handleInput() {
    // Return, Space or the pad's A press the play button once it is live.
    const bool keyed = playerKeys::choosePressed() && buttonShown;
    if (!keyed) {
        if (!KeyState::get()->wasPressed(VK_LBUTTON)) return;
        const RECT play = playButton ? playButton->getBoundingRect() : kPlayButtonPlace;
        const bool onPlay = buttonShown && PtInRect(play, mouseX, mouseY);
        if (!onPlay && !PtInRect(kSkipArea, mouseX, mouseY)) return;
    }
    leaving = true;
    soundRegistry* sounds = soundRegistry::get();
    sounds->stop(names::kIntro1Music);
    sounds->stop(names::kIntro2Music);
    SceneManager::get()->changeScene(names::kGameScene);
}

void IntroSceen::render() {
    HDC back = backDC();
    if (!back) return;

    draw(main[0], back, 0, 0);
    const int riseY = static_cast<int>(yOf(main[1]));
    if (yOf(main[1]) < 5.0f && light) light->frameRender(back, 0, 0, lightFrame, 0);
    if (!fadeDone) blend(main[1], back, 0, riseY, alphaA);
    if (main[2]) {
        main[2]->render(back, static_cast<int>(main[2]->getX()), static_cast<int>(main[2]->getY()),
                        0, 0, main[2]->getWidth(), revealHeight);
    }
    if (slideDone) blend(main[6], back, 0, riseY, alphaB);
    if (fadeDone) blend(main[8], back, 0, 0, alphaA);
    if (driftDone) {
        draw(main[9], back, static_cast<int>(xOf(main[9])), 0);
        blend(main[7], back, 0, 0, alphaC);
    }
    if (holdOver) {
        draw(main[4], back, 0, 0);
        draw(main[5], back, 0, 0);
        draw(main[3], back, 0, static_cast<int>(yOf(main[3])));
    }
    if (buttonShown && playButton) {
        // The counter's low byte is the level, so the pulse snaps from bright
        // to clear as the counter passes 256 and 512.
        playButton->alphaRender(back, static_cast<int>(playButton->getX()),
                                static_cast<int>(playButton->getY()),
                                static_cast<std::uint8_t>(buttonAlpha & 0xFF));
    }
    pngPictureRegistry::get()->render("skip", back, 5, 5, 0);
}
