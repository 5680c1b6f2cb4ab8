// Fonts and text. Faces map to the fonts shipped in "fonts/" beside the game:
// "Arial Black" (any case) to a heavy sans, the Korean face to a Hangul font,
// anything else to a plain sans. Fonts and rendered strings are cached for
// the process life, so an outlined text costs one rasterisation.
#pragma once

#include <string_view>

#include "platform/Canvas.h"

namespace platform {

class Font;

// The font of a face at a pixel height (the height of its text cell). nullptr
// when no font file can be opened; drawing with nullptr draws nothing.
Font* getFont(std::string_view face, int height);

enum class TextAlign { Left, Right };

// Draws UTF-8 text with a transparent background, antialiased, the top of the
// text cell at y; x is the left edge, or the right edge for TextAlign::Right.
void drawText(Canvas& dst, Font* font, int x, int y, std::string_view text, COLORREF color,
              TextAlign align = TextAlign::Left);

// The text in halo at the eight positions one pixel around (x, y), then in
// color at (x, y): an outline, for the price of one look-up of the string.
void drawTextWithHalo(Canvas& dst, Font* font, int x, int y, std::string_view text,
                      COLORREF halo, COLORREF color, TextAlign align = TextAlign::Left);
int textWidth(Font* font, std::string_view text);

// Frees every cached font and string (tests; the game keeps them to the end).
void releaseFonts();

}  // namespace platform
