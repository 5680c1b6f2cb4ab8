#include "framework/OutlinedText.h"

#include "platform/Surface.h"

void drawOutlined(HDC dc, platform::Font* font, int x, int y, std::string_view text,
                  COLORREF halo, COLORREF color, platform::TextAlign align) {
    if (!dc || !font) return;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) platform::drawText(*dc, font, x + dx, y + dy, text, halo, align);
    }
    platform::drawText(*dc, font, x, y, text, color, align);
}
