#include "framework/WindowSurface.h"

#include <memory>

#include "framework/GameNames.h"
#include "platform/Surface.h"

namespace {
std::unique_ptr<platform::Surface>& slot() {
    static std::unique_ptr<platform::Surface> surface;
    return surface;
}
}  // namespace

HDC windowSurface() {
    auto& s = slot();
    if (!s) s = std::make_unique<platform::Surface>(names::kClientWidth, names::kClientHeight);
    return s.get();
}

void destroyWindowSurface() { slot().reset(); }
