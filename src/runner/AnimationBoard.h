// Team rules for code, comments, tests and commits: read CONVENTIONS.md at the repository root first.
// The runner strip: two scrolling layers, the running character with its dust,
// the speed gauge, and the obstacles the grid sends in.
#pragma once

#include <vector>

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class bitmapPicture;
class Obstacle;

class AnimationBoard : public gameNode {
public:
    ~AnimationBoard() override;  // frees the list's storage only

    HRESULT init() override;
    void release() override;
    void update() override;
    void render() override;

    void updateRunner(bool started, bool timeUp);
    void exitRun(bool timeUp);
    void drawSpeedGauge(HDC dc, int x, float speed);

    bitmapPicture* backLayer = nullptr;
    bitmapPicture* frontLayer = nullptr;
    bitmapPicture* runnerPicture = nullptr;
    bitmapPicture* dustPicture = nullptr;
    int runnerX = 0;
    int runnerY = 0;
    int groundY = 0;
    float jumpVelocity = 0;
    float speed = 0;
    int jumping = 0;
    RECT runnerRect{};
    RECT dustRect{};
    float backScroll = 0;
    float frontScroll = 0;
    int runnerFrame = 0;
    int dustFrame = 0;
    bitmapPicture* slowLabel = nullptr;
    bitmapPicture* fastLabel = nullptr;
    bitmapPicture* gaugePicture = nullptr;
    bitmapPicture* needlePicture = nullptr;
    bitmapPicture* speedDownPicture = nullptr;
    std::vector<Obstacle*> obstacles;  // owned, in order of creation

    float needleX = 0;  // where the gauge's needle was drawn last
};
