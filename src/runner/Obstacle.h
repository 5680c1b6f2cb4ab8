// One obstacle travelling along the runner strip from right to left, with the
// talk box that names what sent it.
#pragma once

#include <cstdint>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class AnimationBoard;
class bitmapPicture;

class Obstacle : public gameNode {
public:
    static constexpr int kCellSize = 800 / 8;  // 100 x 100, every kind's cell
    static constexpr float kStep = 2.5f;       // pixels per frame, whatever the speed
    static constexpr float kStartX = 800.0f;
    static constexpr float kStartY = 300.0f;
    static constexpr int kTalkX = 0;
    static constexpr int kTalkY = 300;
    static constexpr int kTalkAlpha = 160;
    static constexpr int kLastFrame = 6;       // frame 7 of the picture is never shown

    int setup(int kind, AnimationBoard* board);
    void release() override {}
    void update() override;
    void render() override;

    RECT rect{};
    bitmapPicture* picture = nullptr;
    AnimationBoard* board = nullptr;
    float x = 0;
    float y = 0;
    std::uint8_t finished = 0;
    int frame = 0;
    bitmapPicture* talkBoxPicture = nullptr;
    bitmapPicture* talkTextPicture = nullptr;
    std::uint8_t talking = 0;

    // The hit cell: 100 x 100 for kinds 1..6 (also when the kind's picture
    // failed to load, so play does not change with the art); 0 x 0 for any
    // other kind, which the game never makes: such an obstacle is invisible,
    // never touches the runner, and still travels and finishes.
    int cellWidth = 0;
    int cellHeight = 0;

    // Set by the first update. One added after the strip's obstacles were
    // updated (by the grid, or the debug key) is drawn only once it has been
    // placed, never at the corner its empty rectangle names.
    bool placed = false;
};
