// Controls shared across scenes: option button and panel, the cursor pictures,
// the intro's play and skip buttons.
#include <cmath>
#include <string>

#include "art.hpp"

namespace assetgen {

namespace {
using palette::ink;

void gear(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    for (int i = 0; i < 16; ++i) {
        double a0 = i * M_PI / 8;
        double rr = (i % 2 == 0) ? r : r * 0.74;
        cairo_arc(cr, cx, cy, rr, a0 - M_PI / 16, a0 + M_PI / 16);
    }
    cairo_close_path(cr);
    circle(cr, cx, cy, r * 0.32);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillStroke(cr, {1, 1, 1}, ink, 2);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void noteIcon(cairo_t* cr, double x, double y) {
    circle(cr, x, y + 8, 5);
    circle(cr, x + 13, y + 5, 5);
    cairo_fill(cr);
    cairo_move_to(cr, x + 3.5, y + 8);
    cairo_line_to(cr, x + 3.5, y - 9);
    cairo_line_to(cr, x + 16.5, y - 12);
    cairo_line_to(cr, x + 16.5, y + 5);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

void speakerIcon(cairo_t* cr, double x, double y) {
    cairo_move_to(cr, x, y - 4);
    cairo_line_to(cr, x + 6, y - 4);
    cairo_line_to(cr, x + 13, y - 11);
    cairo_line_to(cr, x + 13, y + 11);
    cairo_line_to(cr, x + 6, y + 4);
    cairo_line_to(cr, x, y + 4);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2.5);
    cairo_new_path(cr);
    cairo_arc(cr, x + 14, y, 6, -0.9, 0.9);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + 14, y, 11, -0.9, 0.9);
    cairo_stroke(cr);
}

// The panel is blended over whatever is behind it (alpha 180), so its own
// lettering and marks are dark ink on pale flat plates: over the busiest grid
// they keep a contrast of 4.5:1 or better, where white on a colour would not.
// The rows are drawn solid over it, each an opaque card.
const Rgb kPanelInk = hex(0x2A1E38);
const Rgb kPanelCream = hex(0xFFFBF2);
const Rgb kPanelHeader = hex(0xD8EEFF);
const Rgb kCloseBox = hex(0xFFE0DC);
const Rgb kCloseMark = hex(0x7A0A0A);

// One row of the panel: icon, label and an on/off switch, solid across the
// panel's width and carrying on its edge. The music row's top right 24 x 8
// stays clear for the panel's close box, which overlaps it. White on the
// switch's dark track reads at 5:1.
void optionRow(cairo_t* cr, bool music, bool on) {
    cairo_rectangle(cr, 0, 0, 200, 35);
    setColor(cr, kPanelCream);
    cairo_fill(cr);
    cairo_rectangle(cr, 1, -1, 198, 37);
    setColor(cr, kPanelInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, 10, music ? 34.5 : 0.5);
    cairo_line_to(cr, 190, music ? 34.5 : 0.5);
    setColor(cr, hex(0xD9CCF0));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (music) {
        cairo_rectangle(cr, 176, 0, 24, 8);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    setColor(cr, kPanelInk);
    if (music) noteIcon(cr, 12, 18);
    else speakerIcon(cr, 12, 17.5);
    outlinedText(cr, music ? "MUSIC" : "SOUND", 17, 40, 24, Align::Left, kPanelInk, {1, 1, 1}, 0);
    const Rgb track = on ? hex(0x1A7A40) : hex(0x6E6880);
    roundRect(cr, 112, 8, 62, 22, 11);
    fillStroke(cr, track, kPanelInk, 2);
    const double knob = on ? 163 : 123;
    circle(cr, knob, 19, 8);
    fillStroke(cr, {1, 1, 1}, kPanelInk, 2);
    centredText(cr, on ? "ON" : "OFF", 11, on ? 135 : 151, 19, {1, 1, 1}, track, 0);
}

void cursorRing(cairo_t* cr, double r, bool pressed) {
    const double c = 21;
    if (pressed) {
        for (int i = 0; i < 8; ++i) {
            double a = i * M_PI / 4;
            cairo_move_to(cr, c + 13 * std::cos(a), c + 13 * std::sin(a));
            cairo_line_to(cr, c + 19 * std::cos(a), c + 19 * std::sin(a));
        }
        setColor(cr, ink);
        cairo_set_line_width(cr, 4.5);
        cairo_stroke_preserve(cr);
        setColor(cr, palette::gold);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    circle(cr, c, c, r);
    setColor(cr, ink);
    cairo_set_line_width(cr, 6);
    cairo_stroke_preserve(cr);
    setColor(cr, pressed ? palette::gold : hex(0xFFFFFF));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    circle(cr, c, c, 3.2);
    fillStroke(cr, pressed ? hex(0xF0443A) : hex(0xFFFFFF), ink, 1.5);
}

}  // namespace

void drawOptionButton(cairo_t* cr, int, int) {
    circle(cr, 25, 25, 22.5);
    fillPathVertical(cr, 2, 48, hex(0x7BC4F5), hex(0x3A8EE0));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    gear(cr, 25, 25, 14);
}

void drawOptionPanel(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 0, 0, w, h);
    setColor(cr, kPanelCream);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, w, 16);
    setColor(cr, kPanelHeader);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 15, w, 1.5);
    setColor(cr, hex(0x3A8EE0));
    cairo_fill(cr);
    outlinedText(cr, "OPTIONS", 13, 8, 13, Align::Left, kPanelInk, {1, 1, 1}, 0);
    // Close box in the top right 24 x 24.
    cairo_rectangle(cr, w - 24, 0, 24, 24);
    fillStroke(cr, kCloseBox, hex(0xE0302A), 2);
    cairo_move_to(cr, w - 17, 7);
    cairo_line_to(cr, w - 7, 17);
    cairo_move_to(cr, w - 7, 7);
    cairo_line_to(cr, w - 17, 17);
    setColor(cr, kCloseMark);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    setColor(cr, kPanelInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    outlinedText(cr, "ESC closes", 12, w / 2.0, 100, Align::Center, kPanelInk, {1, 1, 1}, 0);
}

void drawBgmOn(cairo_t* cr, int, int) { optionRow(cr, true, true); }
void drawBgmOff(cairo_t* cr, int, int) { optionRow(cr, true, false); }
void drawEffectOn(cairo_t* cr, int, int) { optionRow(cr, false, true); }
void drawEffectOff(cairo_t* cr, int, int) { optionRow(cr, false, false); }

// The cursors' hot spot is the picture's centre (21, 21).
void drawPointMove(cairo_t* cr, int, int) { cursorRing(cr, 11, false); }
void drawPointClick(cairo_t* cr, int, int) { cursorRing(cr, 8, true); }

void drawPlayButton(cairo_t* cr, int w, int h) {
    roundRect(cr, 6, 10, w - 10, h - 14, 30);
    setColor(cr, darken(palette::button, 0.45));
    cairo_fill(cr);
    roundRect(cr, 3, 4, w - 10, h - 14, 30);
    fillPathVertical(cr, 4, h - 10, hex(0x7FE39B), hex(0x2EA355));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    roundRect(cr, 14, 10, w - 34, 18, 9);
    setColor(cr, {1, 1, 1}, 0.45);
    cairo_fill(cr);
    cairo_move_to(cr, 22, 25);
    cairo_line_to(cr, 50, 41);
    cairo_line_to(cr, 22, 57);
    cairo_close_path(cr);
    fillStroke(cr, {1, 1, 1}, ink, 3);
    centredText(cr, "PLAY", 34, 98, 41, {1, 1, 1}, ink, 3);
}

void drawSkip(cairo_t* cr, int w, int h) {
    roundRect(cr, 1.5, 1.5, w - 3, h - 3, 16);
    setColor(cr, hex(0x2B2540), 0.72);
    cairo_fill_preserve(cr);
    setColor(cr, {1, 1, 1}, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    outlinedText(cr, "SKIP", 16, 12, 24, Align::Left, {1, 1, 1}, ink, 0);
    for (int i = 0; i < 2; ++i) {
        double x = 54 + i * 9;
        cairo_move_to(cr, x, 11);
        cairo_line_to(cr, x + 9, 18);
        cairo_line_to(cr, x, 25);
        cairo_close_path(cr);
    }
    setColor(cr, palette::gold);
    cairo_fill(cr);
}

}  // namespace assetgen
