// Base of everything that takes part in a frame: the controller, the scenes,
// the boards and their pieces. Its base init and release start and stop the
// process-wide services; only the controller runs them.
#pragma once

#include <cstdint>

#include "platform/Win32Types.h"

class gameNode {
public:
    virtual ~gameNode() = default;

    virtual HRESULT init();
    virtual void release();
    virtual void update() {}
    virtual void render() {}
    virtual void saveOptions();
    virtual void loadOptions();

    // Where the frame's final copy goes: the back buffer itself, as the window
    // shows the back buffer (so the copy changes nothing).
    HDC hdc = nullptr;
    // The two sound switches, bytes 0 and 1 of "option". Kept as the bytes read,
    // so a file's value is written back unchanged unless the player toggles it;
    // any non-zero byte counts as on.
    std::uint8_t effectsOn = 0;
    std::uint8_t musicOn = 0;
    // Whether the last saveOptions reached the disk; reading the file back after
    // a failed save would silently undo the player's choice.
    bool optionsSaved = false;
};

// Name of the option file, in the working directory.
inline constexpr const char* kOptionFile = "option";
