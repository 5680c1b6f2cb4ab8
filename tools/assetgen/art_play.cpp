// The play screen: background, board panel, clock and refresh icons, and the
// countdown banners.
#include <cmath>

#include "art.hpp"

namespace assetgen {

namespace {
using palette::ink;
// The grid area the board draws its cells in.
constexpr double kBoardL = 21, kBoardT = 409, kBoardR = 578, kBoardB = 966;
}  // namespace

// Below the strip: kerb, a lawn with flowers, and a wooden tray for the grid.
// Opaque everywhere; the strip covers the top 380 rows.
void drawPlayBg(cairo_t* cr, int w, int h) {
    fillVertical(cr, 0, 0, w, 380, palette::skyTop, palette::skyLow);
    fillVertical(cr, 0, 380, w, h - 380, hex(0xA8DE86), hex(0x86CC6A));
    // Lawn stripes
    for (int i = 0; i < 12; ++i) {
        cairo_rectangle(cr, i * 56 - 20, 380, 28, h - 380);
    }
    setColor(cr, {1, 1, 1}, 0.08);
    cairo_fill(cr);
    // Kerb right under the road.
    cairo_rectangle(cr, 0, 380, w, 8);
    setColor(cr, hex(0xB0A7B8));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 388, w, 3);
    setColor(cr, hex(0x6F9E55));
    cairo_fill(cr);
    // Flowers on the lawn below the tray, left of the refresh plate: the only
    // lawn wide enough for a whole one. Beside the tray the lawn is a strip of
    // nine pixels, where the screen's edge would cut them in half.
    Rng rng(21);
    for (int i = 0; i < 12; ++i) {
        double x = 22 + i * 28 + rng.range(-6, 6), y = rng.range(kBoardB + 22, h - 9);
        for (int p = 0; p < 5; ++p) circle(cr, x + 4 * std::cos(p * 1.2566), y + 4 * std::sin(p * 1.2566), 3);
        setColor(cr, kindColor(i % 6 + 1));
        cairo_fill(cr);
        circle(cr, x, y, 2);
        setColor(cr, {1, 1, 1});
        cairo_fill(cr);
    }
    // The tray: a wooden frame with a cream floor.
    roundRect(cr, kBoardL - 12, kBoardT - 12, kBoardR - kBoardL + 24, kBoardB - kBoardT + 24, 20);
    fillPathVertical(cr, kBoardT, kBoardB, hex(0xD99A5B), hex(0xB77540));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    roundRect(cr, kBoardL - 1, kBoardT - 1, kBoardR - kBoardL + 2, kBoardB - kBoardT + 2, 10);
    fillPathVertical(cr, kBoardT, kBoardB, hex(0xFFF3DA), hex(0xF6E2BE));
    setColor(cr, darken(hex(0xB77540), 0.3));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Nail heads on the frame
    setColor(cr, hex(0x8A5A36));
    for (double x : {kBoardL - 5, kBoardR + 5})
        for (double y : {kBoardT - 5, kBoardB + 5}) circle(cr, x, y, 2.5);
    cairo_fill(cr);
    // A plate under the refresh counter at the bottom right.
    roundRect(cr, 372, 968, 222, 50, 14);
    fillStroke(cr, hex(0xFFF6E0), ink, 2.5);
}

// The board panel (drawn faintly): white with the cell pattern.
void drawWhite(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 0, 0, w, h);
    setColor(cr, {1, 1, 1});
    cairo_fill(cr);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            if ((r + c) % 2 == 0) cairo_rectangle(cr, 5 + 69 * c, 5 + 69 * r, 64, 64);
    setColor(cr, hex(0xE9E4FF));
    cairo_fill(cr);
}

void drawWatch(cairo_t* cr, int, int) {
    roundRect(cr, 12, 1, 6, 5, 1.5);
    fillStroke(cr, hex(0xF0443A), ink, 1.5);
    circle(cr, 15, 17, 11.5);
    fillStroke(cr, {1, 1, 1}, ink, 2.5);
    circle(cr, 15, 17, 8.5);
    setColor(cr, hex(0xFFE9A8));
    cairo_fill(cr);
    cairo_move_to(cr, 15, 17);
    cairo_line_to(cr, 15, 10);
    cairo_move_to(cr, 15, 17);
    cairo_line_to(cr, 20, 19);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void drawRefresh(cairo_t* cr, int, int) {
    circle(cr, 20, 20, 18);
    fillPathVertical(cr, 2, 38, hex(0x6FD98F), hex(0x2E9E55));
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    for (int s = 0; s < 2; ++s) {
        double a0 = s * M_PI + 0.35, a1 = s * M_PI + M_PI - 0.35;
        cairo_new_path(cr);
        cairo_arc(cr, 20, 20, 10, a0, a1);
        setColor(cr, {1, 1, 1});
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
        double ex = 20 + 10 * std::cos(a1), ey = 20 + 10 * std::sin(a1);
        double tx = -std::sin(a1), ty = std::cos(a1);  // tangent, direction of travel
        double nx = std::cos(a1), ny = std::sin(a1);
        cairo_move_to(cr, ex + tx * 5, ey + ty * 5);
        cairo_line_to(cr, ex + nx * 5, ey + ny * 5);
        cairo_line_to(cr, ex - nx * 5, ey - ny * 5);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

// Five banners: READY?, 3, 2, 1 in turn, then TIME UP! when play ends.
void drawStrings(cairo_t* cr, int w, int) {
    static const char* words[] = {"READY?", "3", "2", "1", "TIME UP!"};
    static const uint32_t colors[] = {0x4A90E2, 0xF0443A, 0xFF9A1F, 0x4CC84A, 0xA55CE0};
    forEachCell(cr, 1, 5, w, 67, [&](int, int row) {
        Rgb c = hex(colors[row]);
        const bool number = row >= 1 && row <= 3;
        const double half = number ? 90 : 210;
        // Ribbon with folded ends.
        for (int s = -1; s <= 1; s += 2) {
            double x = 300 + s * (half + 10);
            cairo_move_to(cr, x, 14);
            cairo_line_to(cr, x + s * 40, 14);
            cairo_line_to(cr, x + s * 26, 36);
            cairo_line_to(cr, x + s * 40, 58);
            cairo_line_to(cr, x, 58);
            cairo_close_path(cr);
            fillStroke(cr, darken(c, 0.25), ink, 3);
        }
        roundRect(cr, 300 - half, 5, half * 2, 57, 14);
        fillPathVertical(cr, 5, 62, lighten(c, 0.25), darken(c, 0.1));
        setColor(cr, ink);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        centredText(cr, words[row], 46, 300, 33.5, {1, 1, 1}, ink, 3.5);
    });
}

}  // namespace assetgen
