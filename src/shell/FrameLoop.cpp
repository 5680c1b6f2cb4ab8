#include "shell/FrameLoop.h"

#include "platform/Input.h"
#include "shell/FrameTimer.h"
#include "shell/mainGame.h"

void runFrame(mainGame& game) {
    FrameTimer::get()->tick(kFrameLock);
    game.update();
    game.render();
    // Releases that arrived with their press in the last drain take effect
    // only now, so this frame still saw the key down.
    platform::input().endFrame();
}
