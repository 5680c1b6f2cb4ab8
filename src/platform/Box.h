// A half-open box of pixels: [x0, x1) x [y0, y1).
#pragma once

namespace platform {

struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

}  // namespace platform
