#include "app/mainGame.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/IntroSceen.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameTimer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/OutlinedText.h"
#include "framework/PlayerKeys.h"
#include "framework/SceneManager.h"
#include "match3/ThreeMatchGame.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Picture.h"
#include "platform/Surface.h"
#include "platform/Text.h"
#include "ranking/Rank.h"

namespace {

// The three tunes the panel pauses; the ranking's music is left playing on purpose.
constexpr const char* kPausedMusic[] = {names::kPlayMusic, names::kIntro1Music,
                                        names::kIntro2Music};

constexpr COLORREF kHitBoxColor = RGB(255, 0, 0);
constexpr int kCursorHalf = 21;
constexpr std::uint8_t kCursorAlpha = 150;
constexpr std::uint8_t kPanelAlpha = 180;
constexpr int kCloseBoxSide = 24;

// The keys, shown under the open panel where a player looks for them.
constexpr const char* kKeyLines[] = {
    "M music \u00b7 S effects \u00b7 Esc or Start: close",
    "Arrows or d-pad: move \u00b7 Space, Return or A: pick",
    "R or Y: refresh \u00b7 B or Backspace: back",
};
constexpr int kKeyLineHeight = 18;
constexpr int kKeyPlateMargin = 6;
constexpr COLORREF kKeyTextColor = 0x191919;
constexpr std::uint32_t kKeyPlateColor = 0xFFF8EC;  // a surface pixel, 0x00RRGGBB
constexpr COLORREF kKeyPlateEdge = RGB(120, 130, 160);
constexpr std::uint8_t kKeyPlateAlpha = 215;

// A picture that failed to load is null; the panel still lays itself out and
// answers clicks from where its pictures were meant to be.
float xOf(const bitmapPicture* p, float fallback) { return p ? p->getX() : fallback; }
float yOf(const bitmapPicture* p, float fallback) { return p ? p->getY() : fallback; }
int heightOf(const bitmapPicture* p, int fallback) { return p ? p->getHeight() : fallback; }
int widthOf(const bitmapPicture* p, int fallback) { return p ? p->getWidth() : fallback; }

RECT placedRect(float x, float y, int w, int h) {
    const int left = static_cast<int>(x);
    const int top = static_cast<int>(y);
    return RECT{left, top, left + w, top + h};
}

bool mouseIn(const RECT& r) { return PtInRect(r, mouseX, mouseY); }

void drawAt(bitmapPicture* p, HDC dc) {
    if (p && dc) p->render(dc, static_cast<int>(p->getX()), static_cast<int>(p->getY()));
}

}  // namespace

HRESULT mainGame::init() {
    gameNode::init();

    SceneManager* scenes = SceneManager::get();
    scenes->addScene(names::kRankScene, new Rank());
    playScene = new ThreeMatchGame();
    scenes->addScene(names::kGameScene, playScene);
    scenes->addScene(names::kIntroScene, new IntroSceen(this));

    soundRegistry* sounds = soundRegistry::get();
    sounds->addSound(names::kPlayMusic, "soundfile/playbgm.mp3", false, false);
    sounds->addSound(names::kIntro2Music, "soundfile/intro2.mp3", false, false);
    sounds->addSound(names::kIntro1Music, "soundfile/intro1.mp3", false, false);

    pictureRegistry* pictures = pictureRegistry::get();
    cursorMove = pictures->addPicture("pointMove", "img/pointMove.bmp", 42, 42, true, MAGENTA);
    cursorClick = pictures->addPicture("pointClick", "img/pointClick.bmp", 42, 42, true, MAGENTA);

    registerOptionPictures();

    ThreeMatchGame::prepareText();
    running = 1;
    // The intro starts its music as it is entered; with music switched off
    // it must start silent.
    applyVolumes();
    scenes->changeScene(names::kIntroScene);
    return S_OK;
}

void mainGame::registerOptionPictures() {
    pictureRegistry* pictures = pictureRegistry::get();
    optionButton = pictures->addPicture("option", "img/option.bmp", 545.9f, 5.0f, 50, 50, true,
                                        MAGENTA);
    optionPannel = pictures->addPicture("optionPannel", "img/optionPannel.bmp", 200.1f, 459.1f,
                                        200, 106, false, 0);

    // Each row sits where the one before it says, so the panel moves as a whole.
    const float panelX = xOf(optionPannel, 200.1f);
    const float panelY = yOf(optionPannel, 459.1f);
    musicOnRow = pictures->addPicture("bgmOn", "img/bgmOn.bmp", panelX, panelY + 16.0f, 200, 35,
                                      true, MAGENTA);
    const float musicX = xOf(musicOnRow, panelX);
    const float musicY = yOf(musicOnRow, panelY + 16.0f);
    musicOffRow = pictures->addPicture("bgmOff", "img/bgmOff.bmp", musicX, musicY, 200, 35, true,
                                       MAGENTA);
    const float effectsY = musicY + static_cast<float>(heightOf(musicOnRow, 35));
    effectsOnRow = pictures->addPicture("effectOn", "img/effectOn.bmp", musicX, effectsY, 200, 35,
                                        true, MAGENTA);
    const float effectsX = xOf(effectsOnRow, musicX);
    const float effectsRowY = yOf(effectsOnRow, effectsY);
    effectsOffRow = pictures->addPicture("effectOff", "img/effectOff.bmp", effectsX, effectsRowY,
                                         200, 35, true, MAGENTA);

    optionButtonRect = placedRect(xOf(optionButton, 545.9f), yOf(optionButton, 5.0f),
                                  widthOf(optionButton, 50), heightOf(optionButton, 50));
    musicRowRect = placedRect(musicX, musicY, widthOf(musicOnRow, 200), heightOf(musicOnRow, 35));
    effectsRowRect = placedRect(effectsX, effectsRowY, widthOf(effectsOnRow, 200),
                                heightOf(effectsOnRow, 35));
    // The close box is the panel's top-right square.
    const int closeLeft =
        static_cast<int>(static_cast<float>(widthOf(optionPannel, 200)) + panelX - 24.0);
    const int closeTop = static_cast<int>(panelY);
    closeBoxRect = RECT{closeLeft, closeTop, closeLeft + kCloseBoxSide, closeTop + kCloseBoxSide};
}

void mainGame::release() { gameNode::release(); }

void mainGame::update() {
    const int wasRunning = running;
    // Losing the focus in the play scene opens the panel, as Escape would:
    // the countdown waits too.
    if (platform::input().takeFocusLost() && running == 1 && inPlayScene()) running = 0;
    updateOptionPanel();
    // A switch turned off by the click that closed the panel holds already for
    // what the scene starts in this frame.
    muteBySwitches();
    if (wasRunning == 1 && running == 0) beginPause();
    if (wasRunning == 0 && running == 1) endPause();
    cursorRect = RECT{mouseX - kCursorHalf, mouseY - kCursorHalf, mouseX + kCursorHalf,
                      mouseY + kCursorHalf};

    soundRegistry* sounds = soundRegistry::get();
    if (running == 1) {
        if (gameNode* scene = SceneManager::get()->currentScene) scene->update();
        sounds->update();
        for (const char* key : kPausedMusic) {
            if (sounds->isPaused(key)) sounds->resume(key);
        }
    }
    if (running == 0) {
        for (const char* key : kPausedMusic) {
            if (sounds->isPlaying(key)) sounds->pause(key);
        }
    }
    applyVolumes();
}

bool mainGame::inPlayScene() const { return playScene && SceneManager::get()->currentScene == playScene; }

void mainGame::beginPause() {
    pauseWorldTime = FrameTimer::get()->worldTime();
    pauseTick = platform::tickCount();
}

void mainGame::endPause() {
    if (!playScene || SceneManager::get()->currentScene != playScene) return;
    playScene->skipPausedTime(FrameTimer::get()->worldTime() - pauseWorldTime,
                              platform::tickCount() - pauseTick);
}

void mainGame::muteBySwitches() {
    soundRegistry* sounds = soundRegistry::get();
    for (const char* key : names::kMusicKeys) sounds->setMuted(key, !musicOn);
    for (const char* key : names::kEffectKeys) sounds->setMuted(key, !effectsOn);
}

void mainGame::applyVolumes() {
    muteBySwitches();
    soundRegistry* sounds = soundRegistry::get();
    const float music = musicOn ? 1.0f : 0.0f;
    for (const char* key : names::kMusicKeys) sounds->setVolume(key, music);
    const float effects = effectsOn ? 1.0f : 0.0f;
    for (const char* key : names::kEffectKeys) sounds->setVolume(key, effects);
}

void mainGame::updateOptionPanel() {
    KeyState* keys = KeyState::get();
    if (running == 1) {
        if (keys->wasReleased(VK_ESCAPE)) running = 0;
        if (keys->wasReleased(VK_GAMEPAD_MENU)) running = 0;
        if (mouseIn(optionButtonRect) && keys->wasPressed(VK_LBUTTON)) running = 0;
        if (running == 0) panelFocusShown = false;
    }
    if (running == 0) {
        if (keys->wasReleased(VK_ESCAPE)) {
            saveOptions();
            running = 1;
        }
        if (keys->wasPressed(VK_LBUTTON)) {
            if (mouseIn(musicRowRect)) musicOn = !musicOn;
            if (mouseIn(effectsRowRect)) effectsOn = !effectsOn;
            if (mouseIn(closeBoxRect)) {
                saveOptions();
                if (optionsSaved) loadOptions();
                running = 1;
            }
        }
    }
    if (running == 0) updatePanelKeys();
}

void mainGame::updatePanelKeys() {
    KeyState* keys = KeyState::get();
    // Start or B closes as Escape does.
    const bool start = keys->wasReleased(VK_GAMEPAD_MENU);
    if (keys->wasReleased(VK_GAMEPAD_B) || start) {
        saveOptions();
        running = 1;
        return;
    }
    bool music = keys->wasPressed('M');
    bool effects = keys->wasPressed('S');
    const int direction = playerKeys::directionPressed();
    const bool choose = playerKeys::choosePressed();
    if (direction != playerKeys::kNone || choose) {
        if (direction == playerKeys::kUp) panelFocus = 0;
        if (direction == playerKeys::kDown) panelFocus = 1;
        // Left and right switch the chosen row too, as a switch would.
        const bool sideways = direction == playerKeys::kLeft || direction == playerKeys::kRight;
        if (choose || sideways) (panelFocus == 0 ? music : effects) = true;
        panelFocusShown = true;
    }
    if (music) musicOn = !musicOn;
    if (effects) effectsOn = !effectsOn;
}

void mainGame::render() {
    HDC back = backDC();
    if (!back) return;
    platform::fillWhite(*back, 0, 0, names::kClientWidth, names::kClientHeight);
    if (gameNode* scene = SceneManager::get()->currentScene) scene->render();

    KeyState* keys = KeyState::get();
    if (keys->isToggled('F')) drawOverlay();

    drawAt(optionButton, back);
    renderOptionPanel();
    if (running == 0 && keys->isToggled('F')) {
        platform::frameRect(*back, closeBoxRect, kHitBoxColor);
        platform::frameRect(*back, musicRowRect, kHitBoxColor);
        platform::frameRect(*back, effectsRowRect, kHitBoxColor);
    }

    if (keys->isToggled('P')) {
        bitmapPicture* cursor = keys->isDown(VK_LBUTTON) ? cursorClick : cursorMove;
        if (cursor) cursor->alphaRender(back, cursorRect.left, cursorRect.top, kCursorAlpha);
    }

    if (hdc) backBuffer()->render(hdc, 0, 0);
}

void mainGame::drawOverlay() {
    HDC back = backDC();
    platform::Font* font = platform::getFont("", 16);
    char text[64];
    FrameTimer* timer = FrameTimer::get();
    std::snprintf(text, sizeof text, "FPS: %d", timer->frameRate());
    platform::drawText(*back, font, 5, 974, text, MAGENTA);
    std::snprintf(text, sizeof text, "Time: %.2f", static_cast<double>(timer->worldTime()));
    platform::drawText(*back, font, 5, 994, text, MAGENTA);
}

void mainGame::renderOptionPanel() {
    if (running != 0) return;
    HDC back = backDC();
    if (!back) return;
    if (optionPannel) {
        optionPannel->alphaRender(back, static_cast<int>(optionPannel->getX()),
                                  static_cast<int>(optionPannel->getY()), kPanelAlpha);
    }
    drawAt(musicOn ? musicOnRow : musicOffRow, back);
    drawAt(effectsOn ? effectsOnRow : effectsOffRow, back);
    renderPanelKeys();
}

void mainGame::renderPanelKeys() {
    HDC back = backDC();
    if (panelFocusShown) playerKeys::drawCursor(back, panelFocus == 0 ? musicRowRect : effectsRowRect);
    // Under the panel, centred on it, on a pale plate so they read over any scene.
    platform::Font* font = platform::getFont("Arial Black", kKeyLineHeight - 2);
    int widest = 0;
    for (const char* line : kKeyLines) widest = std::max(widest, platform::textWidth(font, line));
    const int centre = (musicRowRect.left + musicRowRect.right) / 2;
    const int lines = static_cast<int>(std::size(kKeyLines));
    const int left = centre - widest / 2 - kKeyPlateMargin;
    const int top = closeBoxRect.top + heightOf(optionPannel, 106) + 4;
    platform::Surface pixels(widest + 2 * kKeyPlateMargin, lines * kKeyLineHeight + 2 * kKeyPlateMargin);
    pixels.fill(kKeyPlateColor);
    const auto plate = platform::Picture::of(std::move(pixels));
    platform::alphaBlend(*back, left, top, plate->width(), plate->height(), *plate, 0, 0, kKeyPlateAlpha);
    platform::frameRect(*back, RECT{left, top, left + plate->width(), top + plate->height()}, kKeyPlateEdge);
    int y = top + kKeyPlateMargin;
    for (const char* line : kKeyLines) {
        const int x = centre - platform::textWidth(font, line) / 2;
        drawOutlined(back, font, x, y, line, 0xFFFFFF, kKeyTextColor);
        y += kKeyLineHeight;
    }
}
