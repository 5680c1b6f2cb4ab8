// Font and text path with arbitrary bytes as text: the face, height and
// position come from the first bytes, the rest is drawn (clipped) onto a
// small surface and measured.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/Canvas.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    static const char* const kFaces[] = {"Arial Black", "arial BLACK", "HY견고딕", "System", ""};
    const char* face = kFaces[data[0] % 5];
    const int height = data[1] % 80 + 1;
    // Positions around and beyond the surface's edges, and near the int limits.
    const int x = static_cast<std::int8_t>(data[2]) * (data[4] & 0x80 ? 16777216 : 4);
    const int y = static_cast<std::int8_t>(data[3]) * (data[4] & 0x40 ? 16777216 : 2);
    const auto align = (data[4] & 1) ? platform::TextAlign::Right : platform::TextAlign::Left;
    const COLORREF color = 0x00FFFFFFu & (data[5] * 0x010203u);
    std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);

    static platform::Canvas surface(160, 48);
    platform::Font* font = platform::getFont(face, height);
    fuzz_support::check(font != nullptr, "the system fonts open");
    platform::drawText(surface, font, x, y, text, color, align);
    const int width = platform::textWidth(font, text);
    fuzz_support::check(width >= 0, "a width is never negative");
    return 0;
}
