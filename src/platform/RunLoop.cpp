#include "platform/RunLoop.h"

#include "platform/Input.h"
#include "platform/Window.h"

namespace platform {

void runFrames(Window& window, const std::function<void()>& step, const std::function<void()>& show) {
    while (window.pumpEvents(input())) {
        step();
        show();
    }
}

bool spareThreads() { return true; }

}  // namespace platform
