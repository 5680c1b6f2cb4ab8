// The intro: a scripted title sequence of full-screen layers with a light
// animation, slides and cross-fades, ending in a pulsing play button; a skip
// button is live from the first frame.
#pragma once

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class IntroSceen : public gameNode {
public:
    HRESULT init() override;
    void release() override {}
    void update() override;
    void render() override;
};
