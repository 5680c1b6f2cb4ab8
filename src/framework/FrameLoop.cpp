#include "framework/FrameLoop.h"

#include "framework/FrameTimer.h"
#include "framework/gameNode.h"
#include "platform/Input.h"

void runFrame(gameNode& game) {
    FrameTimer::get()->tick(kFrameLock);
    game.update();
    game.render();
    // Releases that arrived with their press in the last drain take effect
    // only now, so this frame still saw the key down.
    platform::input().endFrame();
}
