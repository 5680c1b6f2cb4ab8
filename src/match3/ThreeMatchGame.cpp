#include "match3/ThreeMatchGame.h"

#include <cstdio>

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameTimer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/OutlinedText.h"
#include "framework/PlayerKeys.h"
#include "match3/BlockBoard.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "platform/Text.h"
#include "ranking/ScoreFiles.h"
#include "runner/AnimationBoard.h"

namespace {
constexpr const char* kFace = "Arial Black";
constexpr int kTextHeight = 30;
constexpr int kBannerHeight = 50;
constexpr int kWatchX = 450, kWatchY = 40, kWatchSize = 30;       // "watch" as registered
constexpr int kRefreshX = 380, kRefreshY = 972, kRefreshSize = 40;  // "refresh" as registered
}  // namespace

ThreeMatchGame::~ThreeMatchGame() { freeBoards(); }

void ThreeMatchGame::freeBoards() {
    if (runnerBoard) runnerBoard->release();
    if (blockBoard) blockBoard->release();
    delete runnerBoard;
    delete blockBoard;
    runnerBoard = nullptr;
    blockBoard = nullptr;
}

HRESULT ThreeMatchGame::init() {
    // Each entry starts a new game; the boards of the last visit go.
    freeBoards();
    runnerBoard = new AnimationBoard();
    runnerBoard->init();
    blockBoard = new BlockBoard();
    blockBoard->init(runnerBoard);

    timeLeft = names::kGameSeconds;
    started = false;
    timeUp = false;

    auto* pictures = pictureRegistry::get();
    refreshPicture = pictures->addPicture("refresh", "img/refresh.bmp", 380.1f, 972.0f, 40, 40, true, MAGENTA);
    watchPicture = pictures->addPicture("watch", "img/watch.bmp", 450.0f, 40.0f, 30, 30, true, MAGENTA);
    stringsPicture = pictures->addFramePicture("strings", "img/strings.bmp", names::kClientWidth, 335, 1, 5, true, MAGENTA);
    if (stringsPicture) stringsPicture->setFrameY(0);
    bannerRowValue = 0;

    const int x = refreshPicture ? static_cast<int>(refreshPicture->getX()) : kRefreshX;
    const int y = refreshPicture ? static_cast<int>(refreshPicture->getY()) : kRefreshY;
    const int h = refreshPicture ? refreshPicture->getHeight() : kRefreshSize;
    refreshRect = RECT{x, y, 2 * x + 150, 2 * y + h};
    return S_OK;
}

void ThreeMatchGame::release() { freeBoards(); }

int ThreeMatchGame::bannerRow() const {
    return stringsPicture ? stringsPicture->getCurrentFrameY() : bannerRowValue;
}

void ThreeMatchGame::update() {
    if (!blockBoard || !runnerBoard) return;
    FrameTimer* timer = FrameTimer::get();
    KeyState* keys = KeyState::get();
    soundRegistry* sounds = soundRegistry::get();

    if (started && !timeUp) {
        blockBoard->handleInput();
        blockBoard->handleKeys();
        timeLeft = names::kGameSeconds - (timer->worldTime() - timer->markTime);
        if (timeLeft < 0.01f) {
            timeLeft = 0;
            timeUp = true;
        }
    }

    runnerBoard->update();
    blockBoard->update();

    if (platform::tickCount64() % 1000 == 0) {
        const int n = bannerRow() + 1;
        if (n <= 3) {
            bannerRowValue = n;
        } else {
            bannerRowValue = 4;
            if (!started) timer->markTime = timer->worldTime();
            started = true;
        }
        if (stringsPicture) stringsPicture->setFrameY(bannerRowValue);
    }

    if (keys->wasPressed('1')) {
        timeUp = true;
        if (sounds->isPlaying(names::kPlayMusic)) sounds->stop(names::kPlayMusic);
    }

    runnerBoard->updateRunner(started, timeUp);

    if (bannerRow() == 2 && !sounds->isPlaying(names::kPlayMusic)) {
        sounds->play(names::kPlayMusic, 1.0f);
    }

    if (timeUp) {
        blockBoard->cursorShown = false;
        writeNewScore(blockBoard->score);
        runnerBoard->exitRun(timeUp);
    }

    if (started && !timeUp && blockBoard->refreshLeft > 0) {
        const bool clicked = keys->wasReleased(VK_LBUTTON) && PtInRect(refreshRect, mouseX, mouseY);
        // R, or the pad's Y, under the same rules as the button.
        const bool keyed = playerKeys::anyPressed({'R', VK_GAMEPAD_Y});
        if (clicked || keyed) blockBoard->refresh();
    }
}

void ThreeMatchGame::skipPausedTime(float seconds, std::uint32_t ms) {
    // The countdown needs nothing: it only steps in updates, and there are
    // none while the panel is open.
    if (playRunning()) FrameTimer::get()->markTime += seconds;
    if (blockBoard) blockBoard->skipPausedTime(ms);
}

void ThreeMatchGame::prepareText() {
    platform::textWidth(platform::getFont(kFace, kTextHeight), "0123456789. SCORE Refresh :");
    platform::textWidth(platform::getFont(kFace, kBannerHeight), "0123456789 COMBO!");
}

void ThreeMatchGame::drawOutlinedText(HDC dc, std::string_view text, float x, float y, int height,
                                      const char* face, COLORREF color, bool alignRight) {
    drawOutlined(dc, platform::getFont(face, height), static_cast<int>(x), static_cast<int>(y), text,
                 0xFFFFFF, color, alignRight ? platform::TextAlign::Right : platform::TextAlign::Left);
}

void ThreeMatchGame::render() {
    HDC dc = backDC();
    if (!dc || !blockBoard || !runnerBoard) return;
    blockBoard->render();
    runnerBoard->render();

    const int wx = watchPicture ? static_cast<int>(watchPicture->getX()) : kWatchX;
    const int wy = watchPicture ? static_cast<int>(watchPicture->getY()) : kWatchY;
    const int ww = watchPicture ? watchPicture->getWidth() : kWatchSize;
    const int wh = watchPicture ? watchPicture->getHeight() : kWatchSize;
    if (watchPicture) watchPicture->render(dc, wx, wy);

    char text[64];
    std::snprintf(text, sizeof text, "%0.2f", timeLeft);
    drawOutlinedText(dc, text, static_cast<float>(wx + ww + 5), static_cast<float>(wy), kTextHeight, kFace, 0x191919);

    // The label ends where the number begins.
    drawOutlinedText(dc, " SCORE", static_cast<float>(wx + ww), static_cast<float>(wy + wh), kTextHeight, kFace,
                     0x585858, true);
    std::snprintf(text, sizeof text, " %d", blockBoard->score);
    drawOutlinedText(dc, text, static_cast<float>(wx + ww), static_cast<float>(wy + wh), kTextHeight, kFace, 0x191919);

    const int rx = refreshPicture ? static_cast<int>(refreshPicture->getX()) : kRefreshX;
    const float ry = refreshPicture ? refreshPicture->getY() : static_cast<float>(kRefreshY);
    const int rw = refreshPicture ? refreshPicture->getWidth() : kRefreshSize;
    if (refreshPicture) refreshPicture->render(dc, rx, static_cast<int>(ry));
    std::snprintf(text, sizeof text, "Refresh : %d", blockBoard->refreshLeft);
    drawOutlinedText(dc, text, static_cast<float>(rx + rw + 5), ry + 5.0f, kTextHeight, kFace, 0x191919);

    if (blockBoard->combo >= 5 || KeyState::get()->isToggled('C')) {
        std::snprintf(text, sizeof text, "%d COMBO!", blockBoard->combo);
        drawOutlined(dc, platform::getFont("Arial BLACK", kBannerHeight), 300, 100, text, 0xFFFFFF, 0x960823);
    }

    if ((!started || timeUp) && stringsPicture) {
        stringsPicture->frameRender(dc, 0, 512, 0, stringsPicture->getCurrentFrameY());
    }

    if (KeyState::get()->isToggled('F')) platform::frameRect(*dc, refreshRect, 0x0000FF);
}
