#include "platform/Viewport.h"

#include <algorithm>
#include <cstdint>

namespace platform {

Viewport fitPicture(int areaW, int areaH, int picW, int picH) {
    if (areaW <= 0 || areaH <= 0 || picW <= 0 || picH <= 0) return {};
    // Compared and scaled in whole numbers, so an exact multiple stays exact.
    const std::int64_t byWidth = static_cast<std::int64_t>(areaW) * picH;
    const std::int64_t byHeight = static_cast<std::int64_t>(areaH) * picW;
    Viewport v;
    if (byWidth <= byHeight) {
        v.w = areaW;
        v.h = static_cast<int>(byWidth / picW);
    } else {
        v.h = areaH;
        v.w = static_cast<int>(byHeight / picH);
    }
    v.x = (areaW - v.w) / 2;
    v.y = (areaH - v.h) / 2;
    return v;
}

bool wholeMultiple(const Viewport& shown, int picW, int picH) {
    if (picW <= 0 || picH <= 0 || shown.w <= 0 || shown.w % picW != 0) return false;
    return shown.h == shown.w / picW * picH;
}

bool toPicture(const Viewport& shown, int picW, int picH, int x, int y, int& px, int& py) {
    const int dx = x - shown.x;
    const int dy = y - shown.y;
    if (dx < 0 || dy < 0 || dx >= shown.w || dy >= shown.h) return false;
    // The picture pixel under the window pixel's centre.
    px = static_cast<int>((2 * static_cast<std::int64_t>(dx) + 1) * picW / (2 * shown.w));
    py = static_cast<int>((2 * static_cast<std::int64_t>(dy) + 1) * picH / (2 * shown.h));
    return true;
}

Viewport openingSize(int usableW, int usableH, int picW, int picH, int titleBar) {
    const Viewport whole{0, 0, picW, picH};
    if (picW <= 0 || picH <= 0) return whole;
    const int roomH = usableH - titleBar;
    const int times = std::min(usableW / picW, roomH > 0 ? roomH / picH : 0);
    if (times >= 1) return Viewport{0, 0, picW * times, picH * times};
    const Viewport down = fitPicture(usableW, roomH, picW, picH);
    // A screen too small to be true (or misreported): open at 1x and let the
    // player resize.
    if (down.w * 10 < picW) return whole;
    return Viewport{0, 0, down.w, down.h};
}

}  // namespace platform
