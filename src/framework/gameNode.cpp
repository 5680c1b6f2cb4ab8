#include "framework/gameNode.h"

#include <cstdlib>

#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameTimer.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "platform/Clock.h"
#include "platform/FileIO.h"

HRESULT gameNode::init() {
    hdc = backDC();
    loadOptions();
    KeyState::get()->clear();
    std::srand(platform::tickCount());
    pictureRegistry::get();
    SceneManager::get();
    soundRegistry::get()->init();
    FrameTimer::get()->init();
    pngPictureRegistry::get();
    return S_OK;
}

void gameNode::release() {
    KeyState::destroy();
    pictureRegistry::destroy();
    SceneManager::destroy();
    soundRegistry::destroy();
    FrameTimer::destroy();
    pngPictureRegistry::destroy();
    hdc = nullptr;
}

void gameNode::saveOptions() {
    const std::uint8_t bytes[2] = {effectsOn, musicOn};
    // A failed write leaves the flags in memory as they are. A file that is
    // there but cannot be read is the player's to mend: it is left as it is.
    if (platform::readFile(kOptionFile, 2).state == platform::FileState::unreadable) {
        platform::reportFile(kOptionFile, "not saved: it is there but cannot be read, so it is left as it is");
        optionsSaved = false;
        return;
    }
    optionsSaved = platform::writeFileAtomic(kOptionFile, bytes, sizeof bytes);
}

void gameNode::loadOptions() {
    const auto file = platform::readFile(kOptionFile, 2);
    // A short file sets only what it holds; a missing one changes nothing.
    if (file.bytes.size() >= 1) effectsOn = file.bytes[0];
    if (file.bytes.size() >= 2) musicOn = file.bytes[1];
}
