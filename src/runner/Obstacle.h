// Team rules for code, comments, tests and commits: read CONVENTIONS.md at the repository root first.
// One obstacle travelling along the runner strip from right to left, with the
// talk box that names what sent it.
#pragma once

#include <cstdint>

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class AnimationBoard;
class bitmapPicture;

class Obstacle : public gameNode {
public:
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
};
