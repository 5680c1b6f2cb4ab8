// Where the game's picture sits in a window of any size: scaled whole, aspect
// kept, centred between bars. Plain arithmetic, shared by every window backend.
#pragma once

namespace platform {

struct Viewport {
    int x = 0, y = 0, w = 0, h = 0;  // the picture's rectangle in window pixels
};

// The largest rectangle of the picture's aspect that fits the area, centred.
Viewport fitPicture(int areaW, int areaH, int picW, int picH);

// True when the picture is shown at a whole multiple of its size (1x, 2x, ...),
// where every picture pixel covers the same square of window pixels.
bool wholeMultiple(const Viewport& shown, int picW, int picH);

// Maps a window point to the picture pixel under it; false over the bars.
bool toPicture(const Viewport& shown, int picW, int picH, int x, int y, int& px, int& py);

// The window size to open with where the usable screen is usableW x usableH
// and a title bar takes titleBar rows: the largest whole multiple of the
// picture that fits, or the picture scaled down to fit when not even 1x does.
Viewport openingSize(int usableW, int usableH, int picW, int picH, int titleBar);

}  // namespace platform
