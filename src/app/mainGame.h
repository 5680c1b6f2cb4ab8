// The one top-level node the frame loop drives: starts the services, registers
// the scenes, owns the option panel, forwards update and render to the current
// scene and composes each frame.
#pragma once

#include <cstdint>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class ThreeMatchGame;
class bitmapPicture;

class mainGame : public gameNode {
public:
    HRESULT init() override;
    void release() override;
    void update() override;
    void render() override;

    // Forces every known sound's volume from the two option flags, and mutes
    // the sounds whose switch is off, known yet or not.
    void applyVolumes();
    // The option panel: input first in update, drawing right after the option
    // button in render.
    void updateOptionPanel();
    void renderOptionPanel();

    bitmapPicture* cursorMove = nullptr;   // "pointMove", button up
    bitmapPicture* cursorClick = nullptr;  // "pointClick", button down
    RECT cursorRect{};
    int running = 0;  // 1 while play runs, 0 while the option panel is open

    bitmapPicture* optionButton = nullptr;   // "option"
    bitmapPicture* optionPannel = nullptr;   // "optionPannel"
    bitmapPicture* musicOnRow = nullptr;     // "bgmOn"
    bitmapPicture* musicOffRow = nullptr;    // "bgmOff"
    bitmapPicture* effectsOnRow = nullptr;   // "effectOn"
    bitmapPicture* effectsOffRow = nullptr;  // "effectOff"

    // The panel's click areas, worked out from the pictures once they are
    // registered (from their intended places when a picture failed to load).
    RECT optionButtonRect{};
    RECT musicRowRect{};
    RECT effectsRowRect{};
    RECT closeBoxRect{};

    // Without a mouse: the row the arrows or the pad chose, framed once they
    // were used while the panel is open.
    int panelFocus = 0;
    bool panelFocusShown = false;

private:
    void registerOptionPictures();
    void updatePanelKeys();
    void renderPanelKeys();
    void drawOverlay();
    bool inPlayScene() const;
    void muteBySwitches();
    // The time the panel stays open is not play time: the play scene's clock
    // and combo deadline are moved on by it when the panel closes.
    void beginPause();
    void endPause();

    ThreeMatchGame* playScene = nullptr;
    float pauseWorldTime = 0;
    std::uint32_t pauseTick = 0;
};
