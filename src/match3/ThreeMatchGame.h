// The play scene: the runner strip over the match-3 grid, the countdown, the
// 60-second clock, the score display and the end of play.
#pragma once

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class AnimationBoard;
class BlockBoard;
class bitmapPicture;

class ThreeMatchGame : public gameNode {
public:
    ~ThreeMatchGame() override;
    HRESULT init() override;
    void release() override;
    void update() override;
    void render() override;
};
