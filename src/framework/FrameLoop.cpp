#include "framework/FrameLoop.h"

#include "framework/BackBuffer.h"
#include "framework/FrameTimer.h"
#include "framework/gameNode.h"
#include "platform/Canvas.h"
#include "platform/Input.h"

void runFrame(gameNode& game) {
    FrameTimer::get()->tick(kFrameLock);
    game.update();
    // The frame's draws are recorded, then done only where the frame changed.
    HDC frame = backDC();
    if (frame) frame->begin();
    game.render();
    if (frame) frame->finish();
    // Releases that arrived with their press in the last drain take effect
    // only now, so this frame still saw the key down.
    platform::input().endFrame();
}
