#include "runner/AnimationBoard.h"

#include <algorithm>
#include <cstdlib>

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Surface.h"
#include "runner/Obstacle.h"

namespace {

// Debug outline colours (COLORREF).
constexpr COLORREF kRunnerOutline = 0x3232FF;
constexpr COLORREF kStripOutline = 0xFAFA32;

// Float to int toward zero, as every position becomes a pixel.
inline int truncate(float v) { return static_cast<int>(v); }

}  // namespace

AnimationBoard::~AnimationBoard() {
    // The play scene releases the board before destroying it, which empties
    // the list; whatever is still here would otherwise never be freed.
    for (Obstacle* o : obstacles) delete o;
    obstacles.clear();
}

HRESULT AnimationBoard::init() {
    pictureRegistry* pictures = pictureRegistry::get();
    backLayer = pictures->addPicture("bgBack", "img/bgBack.bmp", 1728, 486, false, 0);
    frontLayer = pictures->addPicture("bgFront", "img/bgFront.bmp", 1420, 400, true, MAGENTA);
    runnerPicture =
        pictures->addFramePicture("marlo", "img/marlo.bmp", 1278, 200, 8, 1, true, MAGENTA);
    dustPicture = pictures->addFramePicture("dust", "img/dust.bmp", 240, 30, 4, 1, true, MAGENTA);

    backScroll = 0;
    frontScroll = 0;
    runnerX = -100;
    runnerFrame = 0;
    dustFrame = 0;
    groundY = kGroundLine - kRunnerCellHeight / 2;
    runnerY = groundY;
    jumpVelocity = 0;
    jumping = 0;
    speed = 55.0f;
    // The play scene draws once before its first update: the runner must be
    // where it stands, off the strip, not at the corner.
    placeRunner();

    slowLabel = pictures->addPicture("string_slow", "img/string_slow.bmp", 60, 25, true, MAGENTA);
    fastLabel = pictures->addPicture("string_fast", "img/string_fast.bmp", 60, 25, true, MAGENTA);
    gaugePicture = pictures->addFramePicture("speed", "img/speed.bmp", 250, 75, 1, 3, true, MAGENTA);
    needlePicture = pictures->addPicture("niddle", "img/niddle.bmp", 5, 20, true, MAGENTA);
    speedDownPicture =
        pictures->addPicture("speeddown", "img/speed_down.bmp", 45, 45, true, MAGENTA);

    soundRegistry::get()->addSound(names::kJumpSound, "soundfile/jump.wav", false, false);
    return S_OK;
}

void AnimationBoard::release() {
    for (Obstacle* o : obstacles) {
        o->release();
        delete o;
    }
    obstacles.clear();
}

void AnimationBoard::update() {
    backScroll += speed / 30.0f;
    frontScroll += speed / 10.0f;

    // Animation follows the tick clock, not the frame count.
    if (platform::tickCount64() % 10 == 0) {
        if (++runnerFrame > 7) runnerFrame = 0;
        if (++dustFrame > 4) dustFrame = 0;  // five steps; the last column shows twice
    }

    for (Obstacle* o : obstacles) o->update();

    // One removal per frame keeps the obstacles' own walk over the list simple.
    auto done = std::find_if(obstacles.begin(), obstacles.end(),
                             [](const Obstacle* o) { return o->finished != 0; });
    if (done != obstacles.end()) {
        Obstacle* o = *done;
        obstacles.erase(done);
        o->release();
        delete o;
    }

    KeyState* keys = KeyState::get();
    if (keys->wasPressed(kDebugAddKey)) {
        auto* o = new Obstacle();
        o->setup(std::rand() % 6 + 1, this);
        obstacles.push_back(o);
    }
    if (keys->isDown(kDebugSlowKey)) speed -= 0.05f;
}

// Narrower than the picture: only the body counts.
void AnimationBoard::placeRunner() {
    runnerRect.left = runnerX - kRunnerCellWidth / 6;
    runnerRect.top = runnerY - kRunnerCellHeight / 2;
    runnerRect.right = runnerX + kRunnerCellWidth / 6;
    runnerRect.bottom = runnerY + kRunnerCellHeight / 2;

    dustRect.left = runnerRect.left - 60;
    dustRect.top = runnerRect.bottom - kDustCellHeight;
    dustRect.right = dustRect.left + kDustCellWidth;
    dustRect.bottom = runnerRect.bottom;
}

void AnimationBoard::updateRunner(bool started, bool timeUp) {
    if (started && !timeUp && runnerX < kWalkInTarget) runnerX += 2;
    placeRunner();

    // Tested in the air too: an obstacle still overlapping keeps kicking the
    // runner upward.
    soundRegistry* sounds = soundRegistry::get();
    for (const Obstacle* o : obstacles) {
        if (IntersectRect(nullptr, o->rect, runnerRect)) {
            jumping = 1;
            jumpVelocity = -10.0f;
            if (!sounds->isPlaying(names::kJumpSound)) sounds->play(names::kJumpSound, 1.0f);
        }
    }

    if (jumping == 1) {
        jumpVelocity += 0.5f;  // before it is applied: the first step is 9.5
        runnerY = truncate(static_cast<float>(runnerY) + jumpVelocity);
        speed -= 0.04f;
        if (speed < kMinJumpSpeed) speed = kMinJumpSpeed;
        if (runnerY > groundY) {
            runnerY = groundY;
            jumping = 0;
        }
    }

    exitRun(timeUp);
}

void AnimationBoard::exitRun(bool timeUp) {
    if (!timeUp) return;
    // The runner waits until the strip is clear before leaving.
    if (obstacles.empty()) {
        if (speed >= kExitSpeed) {
            runnerX += 2;
        } else {
            runnerX -= 1;
        }
    }
    // The ranking waits for the play music to finish.
    if ((runnerX > kExitRight || runnerX < kExitLeft) && !soundRegistry::get()->isPlaying(names::kPlayMusic)) {
        SceneManager::get()->changeScene(names::kRankScene);
    }
}

void AnimationBoard::drawSpeedGauge(HDC dc, int x, float currentSpeed) {
    if (slowLabel) slowLabel->render(dc, x, 10);
    const int gaugeX = x + kLabelWidth;

    // The empty track, faint.
    if (gaugePicture) {
        gaugePicture->alphaRender(dc, gaugeX, 10, 0, kGaugeCellHeight, kGaugeWidth, kGaugeCellHeight,
                                  100);
    }

    const float fill = static_cast<float>(kGaugeWidth) / 55.0f * currentSpeed - 5.0f;
    // Below a speed of about 1.1 (reachable only with the debug key) there is
    // nothing to fill.
    const int fillWidth = std::min(truncate(fill), kGaugeWidth);
    if (gaugePicture && fillWidth > 0) {
        gaugePicture->render(dc, gaugeX, 10, 0, 0, fillWidth, kGaugeCellHeight);
    }

    // The needle trembles by a pixel with the tick.
    float x2 = fill + static_cast<float>(gaugeX) - 5.0f;
    if (platform::tickCount64() % 10 == 5) x2 -= 1.0f;
    if (platform::tickCount64() % 10 == 0) x2 += 1.0f;
    needleX = x2;
    if (needlePicture) needlePicture->render(dc, truncate(needleX), 15);

    if (gaugePicture) gaugePicture->frameRender(dc, gaugeX, 10, 0, 2);
    if (fastLabel) fastLabel->render(dc, gaugeX + kGaugeWidth, 10);
}

void AnimationBoard::render() {
    HDC dc = backDC();
    if (!dc) return;

    if (backLayer) backLayer->loopRender(dc, &kStripRect, truncate(backScroll));
    if (frontLayer) frontLayer->loopRender(dc, &kStripRect, truncate(frontScroll));

    // The cell is centred on runnerX: runnerX - 79.
    if (runnerPicture) {
        runnerPicture->frameRender(dc, runnerRect.left - kRunnerCellWidth / 3, runnerRect.top,
                                   runnerFrame, 0);
    }
    if (dustPicture) dustPicture->frameRender(dc, dustRect.left, dustRect.top, dustFrame, 0);

    if (KeyState::get()->isToggled(kDebugFrameKey)) {
        platform::frameRect(*dc, runnerRect, kRunnerOutline);
        platform::frameRect(*dc, dustRect, kRunnerOutline);
        platform::frameRect(*dc, kStripRect, kStripOutline);
    }

    drawSpeedGauge(dc, kGaugeLeft, speed);

    if (jumping == 1 && speedDownPicture) {
        speedDownPicture->render(
            dc, truncate(needleX - static_cast<float>(kSpeedDownWidth / 2)), 30);
    }

    for (Obstacle* o : obstacles) o->render();
}
