#include "framework/OutlinedText.h"

#include "platform/Canvas.h"

void drawOutlined(HDC dc, platform::Font* font, int x, int y, std::string_view text,
                  COLORREF halo, COLORREF color, platform::TextAlign align) {
    if (!dc || !font) return;
    platform::drawTextWithHalo(*dc, font, x, y, text, halo, color, align);
}
