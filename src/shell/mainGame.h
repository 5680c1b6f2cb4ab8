// The one top-level node the frame loop drives: starts the services, owns the
// option panel, forwards update and render to the current scene and composes
// each frame.
#pragma once

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class bitmapPicture;

class mainGame : public gameNode {
public:
    HRESULT init() override;
    void release() override;
    void update() override;
    void render() override;

    void applyVolumes();
    void updateOptionPanel();
    void renderOptionPanel();

    RECT cursorRect{};
    int running = 0;  // 1 while play runs, 0 while the option panel is open

    bitmapPicture* cursorMove = nullptr;
    bitmapPicture* cursorClick = nullptr;
    bitmapPicture* optionButton = nullptr;
    bitmapPicture* optionPanel = nullptr;
    bitmapPicture* effectsOnRow = nullptr;
    bitmapPicture* effectsOffRow = nullptr;
    bitmapPicture* musicOnRow = nullptr;
    bitmapPicture* musicOffRow = nullptr;
};
