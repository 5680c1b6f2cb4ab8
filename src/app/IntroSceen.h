// The intro: a scripted title sequence of full-screen layers with a light
// animation, slides and cross-fades, ending in a pulsing play button; a skip
// button is live from the first frame. Either button leaves for "game".
#pragma once

#include <cstdint>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class bitmapPicture;
class pngPicture;

class IntroSceen : public gameNode {
public:
    // options: the node whose musicOn decides whether the intro keeps its
    // music going (the controller; scenes keep no switches of their own).
    explicit IntroSceen(const gameNode* options = nullptr) : options(options) {}

    HRESULT init() override;
    void release() override {}
    void update() override;
    void render() override;

    void keepIntroMusic();

    bitmapPicture* main[10] = {};  // "main0" ... "main9", full-screen layers
    bitmapPicture* light = nullptr;
    pngPicture* skip = nullptr;
    bitmapPicture* playButton = nullptr;

    int alphaA = 0;       // blend level of "main1" and "main8"
    int alphaB = 0;       // blend level of "main6"
    int alphaC = 0;       // blend level of "main7"
    int buttonAlpha = 0;  // pulse counter; its low byte is the play button's blend level
    int lightFrame = 0;
    bool lightDone = false;
    bool riseActive = true;
    bool revealActive = true;
    int revealHeight = 20;
    std::uint64_t holdUntil = 0;  // millisecond tick
    bool holdOver = false;
    int slideY = 400;
    bool slideDone = false;
    bool fadeDone = false;
    bool driftDone = false;
    bool buttonShown = false;
    bool leaving = false;

private:
    void rise();
    void crossFade();
    void reveal();
    void hold();
    void slide();
    void drift();
    void sweep();
    void pulse();
    void handleInput();

    const gameNode* options = nullptr;
};
