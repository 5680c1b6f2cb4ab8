// Engine-side helpers under the picture types: clipping a blit to both of its
// surfaces before it reaches the platform, and the one-pass colour-keyed
// constant-alpha blend behind bitmapPicture::alphaRender.
#pragma once

#include <cstdint>

#include "platform/Surface.h"

namespace blitOps {

// A blit rectangle that lies wholly inside its source and destination.
struct Clipped {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

// Clips the w x h rectangle at (sx, sy) of a srcW x srcH source, drawn at
// (dx, dy) on a dstW x dstH destination. Source pixels outside the source
// shift the destination with them, as a blit does. Wide arithmetic, so frame
// indexes that overflow an int after multiplying by the cell size are safe.
// False when nothing is left to draw.
bool clip(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
          std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, Clipped& out);

inline bool clip(const platform::Surface& dst, const platform::Surface& src, std::int64_t dx,
                 std::int64_t dy, std::int64_t sx, std::int64_t sy, std::int64_t w,
                 std::int64_t h, Clipped& out) {
    return clip(dst.width(), dst.height(), src.width(), src.height(), dx, dy, sx, sy, w, h, out);
}

// For every pixel of an already clipped rectangle: when the source pixel's
// RGB equals keyRgb (0x00RRGGBB) the destination keeps its colour, otherwise
// dst = (src * alpha + dst * (255 - alpha)) / 255 per colour channel, exactly;
// the top byte ends 0, as after any constant-alpha blend. This is the result
// of copying the destination aside, drawing the keyed picture over the copy
// and blending the copy back, without the two extra passes. Alpha 0 belongs
// to the caller (it must leave the destination, top bytes included).
void keyedAlphaBlend(platform::Surface& dst, const platform::Surface& src, const Clipped& r,
                     std::uint32_t keyRgb, std::uint8_t alpha);

}  // namespace blitOps
