// The frame as the window shows it: the picture fitted whole into the window,
// aspect kept, centred between black bars, each window pixel taking the
// picture pixel under its centre. Drawn box by box into the window's own
// 32-bit pixels, so a frame that changed in a few places costs a few copies.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Box.h"
#include "platform/Surface.h"
#include "platform/Viewport.h"

namespace platform {

class WindowPicture {
public:
    WindowPicture(int picW, int picH) : picW_(picW), picH_(picH) {}

    // A window of w x h pixels; true when that is a new size.
    bool fit(int w, int h);
    int windowWidth() const { return areaW_; }
    int windowHeight() const { return areaH_; }
    const Viewport& shown() const { return shown_; }

    // The window rectangle that shows frame box b (clipped to the frame);
    // empty where no window pixel samples it (a small box scaled down).
    Viewport windowBox(Box b) const;

    // Draws box b of frame into the window's pixels (pitch bytes a row) and
    // returns the window rectangle drawn.
    Viewport draw(const Surface& frame, Box b, std::uint8_t* to, int pitch) const;

    // Paints the bars around the picture black.
    void fillBars(std::uint8_t* to, int pitch) const;

private:
    int picW_, picH_;
    int areaW_ = 0, areaH_ = 0;
    Viewport shown_;
    int times_ = 0;             // the whole multiple shown at, or 0 for any other scale
    std::vector<int> columns_;  // picture column under each window column of the picture
};

}  // namespace platform
