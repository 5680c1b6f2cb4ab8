// The ranking scene: name entry when the last score beats the tenth entry,
// then the ten best entries revealed; the home button leads to the intro.
#pragma once

#include "platform/Win32Types.h"
#include "shell/gameNode.h"

class Rank : public gameNode {
public:
    HRESULT init() override;
    void release() override {}
    void update() override;
    void render() override;
};
