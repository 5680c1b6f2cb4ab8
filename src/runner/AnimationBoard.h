// The runner strip: two scrolling layers, the running character with its dust,
// the speed gauge, and the obstacles the grid sends in.
#pragma once

#include <vector>

#include "framework/GameNames.h"
#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class bitmapPicture;
class Obstacle;

class AnimationBoard : public gameNode {
public:
    // The sizes the pictures are loaded at, used as constants so that nothing
    // moves when a picture failed to load (the registry then holds none).
    static constexpr int kRunnerCellWidth = 1278 / 8;  // 159
    static constexpr int kRunnerCellHeight = 200 / 1;  // 200
    static constexpr int kDustCellWidth = 240 / 4;     // 60
    static constexpr int kDustCellHeight = 30 / 1;     // 30
    static constexpr int kGaugeWidth = 250;
    static constexpr int kGaugeCellHeight = 75 / 3;    // 25
    static constexpr int kLabelWidth = 60;             // "string_slow", "string_fast"
    static constexpr int kSpeedDownWidth = 45;
    static constexpr int kGroundLine = 330;
    static constexpr int kWalkInTarget = 150;
    static constexpr int kExitRight = 850;
    static constexpr int kExitLeft = -500;
    static constexpr float kExitSpeed = 27.5f;
    static constexpr float kMinJumpSpeed = 5.0f;
    static constexpr int kGaugeLeft = (names::kClientWidth - kGaugeWidth - kLabelWidth - kLabelWidth) / 2;
    static constexpr RECT kStripRect{0, 0, names::kClientWidth, 380};
    static constexpr int kDebugAddKey = 0x30;   // '0'
    static constexpr int kDebugSlowKey = 0x39;  // '9'
    static constexpr int kDebugFrameKey = 0x46; // 'F'

    // Frees the list's storage; obstacles still in it (release was never
    // called) are destroyed too, so nothing leaks. After release the list is empty.
    ~AnimationBoard() override;

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

private:
    // The runner's hit rectangle and its dust from where it stands.
    void placeRunner();
};
