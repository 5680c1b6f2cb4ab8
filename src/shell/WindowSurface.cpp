#include "shell/WindowSurface.h"

#include <memory>

#include "platform/Surface.h"

namespace {
std::unique_ptr<platform::Surface>& slot() {
    static std::unique_ptr<platform::Surface> surface;
    return surface;
}
}  // namespace

HDC windowSurface() {
    auto& s = slot();
    if (!s) s = std::make_unique<platform::Surface>(600, 1024);
    return s.get();
}

void destroyWindowSurface() { slot().reset(); }
