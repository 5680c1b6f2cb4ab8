// The Windows value types the game logic is written in. The platform layer
// converts them at its edge; everything above keeps these exact values.
#pragma once

#include <cstdint>

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// 0x00BBGGRR, as the game's colour constants are written.
using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr COLORREF MAGENTA = 0x00FF00FF;

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Left and top edges inside, right and bottom edges outside.
inline bool PtInRect(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// True only for a real overlap; rectangles that share an edge do not intersect.
inline bool IntersectRect(RECT* out, const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    bool hit = r.left < r.right && r.top < r.bottom;
    if (out) *out = hit ? r : RECT{};
    return hit;
}

// Virtual-key codes the game polls. Letters and digits are their ASCII codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_ESCAPE = 0x1B;

namespace platform { class Canvas; }
// A device context is a canvas here: a surface, and the frame's draws.
using HDC = platform::Canvas*;
