// Text with a one-pixel halo: drawn nine times in the halo colour at the
// offsets -1, 0, +1 in x (outer) and y (inner), then once in its own colour.
#pragma once

#include <string_view>

#include "platform/Text.h"
#include "platform/Win32Types.h"

void drawOutlined(HDC dc, platform::Font* font, int x, int y, std::string_view text,
                  COLORREF halo, COLORREF color,
                  platform::TextAlign align = platform::TextAlign::Left);
