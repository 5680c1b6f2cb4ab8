// The ranking scene: two glyph sheets holding the same 50 glyphs, medals,
// backgrounds, the cheering runner, the name-entry frame and its buttons.
#include <cmath>
#include <string>

#include "art.hpp"

namespace assetgen {

namespace {

using palette::ink;

// Glyph g sits in column g % 10, row g / 10 of both sheets: A..Z, 0..9, then
// punctuation and symbols, the last a blank space.
const char* const kGlyphs[50] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q",
    "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "0", "1", "2", "3", "4", "5", "6", "7",
    "8", "9", "!", "?", ".", ",", "-", "+", "&", "#", "@", "*", ":", "heart", "star", " "};

void glyph(cairo_t* cr, int g, double cx, double cy, double size, Rgb fill, Rgb outline) {
    std::string s = kGlyphs[g];
    if (s == "heart") {
        heartPath(cr, cx, cy, size * 0.4);
        fillStroke(cr, kindColor(1), outline, 2.5);
    } else if (s == "star") {
        starPath(cr, cx, cy + 2, size * 0.44, size * 0.2, 5);
        fillStroke(cr, palette::gold, outline, 2.5);
    } else if (s == " ") {
        // The blank: a faint space bracket so the key can be found.
        cairo_move_to(cr, cx - size * 0.3, cy + size * 0.05);
        cairo_line_to(cr, cx - size * 0.3, cy + size * 0.25);
        cairo_line_to(cr, cx + size * 0.3, cy + size * 0.25);
        cairo_line_to(cr, cx + size * 0.3, cy + size * 0.05);
        setColor(cr, mix(fill, outline, 0.5));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    } else {
        centredText(cr, s, size, cx, cy, fill, outline, 2.5);
    }
}

void medal(cairo_t* cr, int place) {
    static const uint32_t faces[][2] = {{0xFFE27A, 0xE0A21A}, {0xF4F6FA, 0xA6AFC0}, {0xF2B58A, 0xB86A36}};
    static const uint32_t ribbons[] = {0xF0443A, 0x3A8EF0, 0x4CC84A};
    Rgb rib = hex(ribbons[place]);
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, 35 + s * 4, 6);
        cairo_line_to(cr, 35 + s * 18, 6);
        cairo_line_to(cr, 35 + s * 10, 34);
        cairo_line_to(cr, 35 - s * 4, 30);
        cairo_close_path(cr);
        fillStroke(cr, s < 0 ? rib : darken(rib, 0.2), ink, 2);
    }
    circle(cr, 35, 42, 23);
    fillPathVertical(cr, 19, 65, hex(faces[place][0]), hex(faces[place][1]));
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    circle(cr, 35, 42, 17);
    setColor(cr, darken(hex(faces[place][1]), 0.15));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    centredText(cr, std::to_string(place + 1), 24, 35, 42, {1, 1, 1}, ink, 2);
}

void rankBackground(cairo_t* cr, int w, int h, Rgb top, Rgb low, Rgb ray, Rgb plate) {
    fillVertical(cr, 0, 0, w, h, top, low);
    // Soft sunburst from the top.
    for (int i = 0; i < 16; ++i) {
        double a = M_PI / 2 + (i - 7.5) * 0.12;
        cairo_move_to(cr, 300, -200);
        cairo_line_to(cr, 300 + 1600 * std::cos(a - 0.03), -200 + 1600 * std::sin(a - 0.03));
        cairo_line_to(cr, 300 + 1600 * std::cos(a + 0.03), -200 + 1600 * std::sin(a + 0.03));
        cairo_close_path(cr);
    }
    setColor(cr, ray, 0.18);
    cairo_fill(cr);
    // Hills at the bottom
    cairo_move_to(cr, 0, h);
    cairo_line_to(cr, 0, 960);
    cairo_curve_to(cr, 200, 920, 400, 930, 600, 970);
    cairo_line_to(cr, 600, h);
    cairo_close_path(cr);
    setColor(cr, palette::grass);
    cairo_fill(cr);
    // Plates behind the ten list rows keep the text readable.
    for (int i = 0; i < 10; ++i) {
        roundRect(cr, 18, 104 + 86 * i, 530, 80, 16);
        setColor(cr, plate, 0.55);
        cairo_fill(cr);
    }
    Rng rng(5);
    for (int i = 0; i < 60; ++i) {
        double x = rng.range(0, w), y = rng.range(0, h);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rng.range(0, M_PI));
        cairo_rectangle(cr, -4, -2, 8, 4);
        cairo_restore(cr);
        setColor(cr, kindColor(i % 6 + 1), 0.7);
        cairo_fill(cr);
    }
}

void rankButtonFace(cairo_t* cr, const char* label, Rgb color) {
    roundRect(cr, 2, 3, 153, 26, 13);
    setColor(cr, darken(color, 0.45));
    cairo_fill(cr);
    roundRect(cr, 2, 1.5, 153, 25, 12.5);
    fillPathVertical(cr, 1, 27, lighten(color, 0.3), color);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    centredText(cr, label, 18, 78.5, 14, {1, 1, 1}, ink, 2);
}

}  // namespace

// Big glyphs on key caps for name entry (cells 50 x 70).
void drawAlphabet(cairo_t* cr, int, int) {
    forEachCell(cr, 10, 5, 50, 70, [&](int col, int row) {
        int g = row * 10 + col;
        roundRect(cr, 3, 8, 44, 58, 10);
        setColor(cr, hex(0xB9A7D8));
        cairo_fill(cr);
        roundRect(cr, 3, 5, 44, 56, 10);
        fillPathVertical(cr, 5, 61, hex(0xFFFFFF), hex(0xEEE6FF));
        setColor(cr, ink);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        glyph(cr, g, 25, 33, 34, hex(0x3A63D0), {1, 1, 1});
    });
}

// The same glyphs, slimmer, for the list (cells 40 x 70).
void drawAlphabet2(cairo_t* cr, int, int) {
    forEachCell(cr, 10, 5, 40, 70, [&](int col, int row) {
        glyph(cr, row * 10 + col, 20, 30, 32, hex(0x3A63D0), {1, 1, 1});
    });
}

void drawRank123(cairo_t* cr, int, int) {
    forEachCell(cr, 1, 3, 70, 70, [&](int, int row) { medal(cr, row); });
}

void drawRankBg1(cairo_t* cr, int w, int h) {
    rankBackground(cr, w, h, hex(0x8ED3F7), hex(0xFFE6BF), hex(0xFFFFFF), hex(0xFFFFFF));
}
// Evening variant (registered by the game but not shown).
void drawRankBg2(cairo_t* cr, int w, int h) {
    rankBackground(cr, w, h, hex(0x5A5AA8), hex(0xF7A98A), hex(0xFFE6BF), hex(0xFFF1E0));
}

void drawRankButton(cairo_t* cr, int, int) {
    static const char* labels[] = {"BACK", "CLEAR", "OK"};
    static const uint32_t colors[] = {0xFF9A1F, 0x3A8EF0, 0x3DBB6A};
    forEachCell(cr, 1, 3, 157, 30, [&](int, int row) { rankButtonFace(cr, labels[row], hex(colors[row])); });
}

// The runner cheering, confetti round it; slides in from the left while the
// list is revealed.
void drawRankMarlo(cairo_t* cr, int, int) {
    drawRunner(cr, 150, 985, 2.4, 0, Pose::Cheer);
    Rng rng(9);
    for (int i = 0; i < 24; ++i) {
        double a = rng.range(0, 2 * M_PI), r = rng.range(170, 260);
        double x = 150 + r * std::cos(a) * 0.6, y = 700 + r * std::sin(a);
        starPath(cr, x, y, 9, 4, 4, rng.range(0, 1));
        fillStroke(cr, kindColor(i % 6 + 1), ink, 1.5);
    }
}

// A card over the entry screen. It is solid everywhere: the glyph sheet, the
// entered letters and the buttons are all drawn on top of it, and any hole
// would let the cheering runner behind peek through the gaps between keys.
void drawRankFrame(cairo_t* cr, int, int) {
    roundRect(cr, 12, 112, 576, 612, 24);
    fillPathVertical(cr, 112, 724, hex(0xFFF6E0), hex(0xFFE3B3));
    setColor(cr, ink);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    // A sunken strip for the name slots at (30, 160), one pocket per letter.
    roundRect(cr, 26, 156, 508, 78, 12);
    fillPathVertical(cr, 156, 234, hex(0xEDE4FA), hex(0xF8F3FF));
    setColor(cr, hex(0xB9A7D8));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    // A tray under the glyph grid at (50, 350); the keys' rounded corners and
    // the gaps between them show this.
    roundRect(cr, 42, 342, 516, 366, 14);
    fillPathVertical(cr, 342, 708, hex(0xE6DCF6), hex(0xD9CCF0));
    setColor(cr, hex(0x9C88C4));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // Card for the buttons at (340, 740).
    roundRect(cr, 325, 728, 187, 132, 18);
    fillPathVertical(cr, 728, 860, hex(0xFFF6E0), hex(0xFFE3B3));
    setColor(cr, ink);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    // Ribbon title.
    roundRect(cr, 110, 86, 380, 50, 16);
    fillPathVertical(cr, 86, 136, hex(0xFF7A6B), hex(0xE0302A));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    centredText(cr, "NEW RECORD!", 30, 300, 111, {1, 1, 1}, ink, 3);
    outlinedText(cr, "ENTER YOUR NAME", 20, 300, 154, Align::Center, hex(0x3A63D0), {1, 1, 1}, 0);
    // Underlines beneath each name slot.
    for (int j = 0; j < 10; ++j) {
        roundRect(cr, 34 + 50 * j, 238, 42, 5, 2.5);
        setColor(cr, j == 0 ? kindColor(1) : hex(0xB9A7D8));
        cairo_fill(cr);
    }
    outlinedText(cr, "PICK A LETTER", 20, 300, 336, Align::Center, hex(0x3A63D0), {1, 1, 1}, 0);
    // The runner stands behind the card: two hands gripping its lower edge make
    // it read as a sign held up, not a body cut off at the shoulders.
    for (double hx : {106.0, 194.0}) {
        cairo_save(cr);
        cairo_translate(cr, hx, 722);
        cairo_scale(cr, 1.0, 0.8);
        circle(cr, 0, 0, 15);
        cairo_restore(cr);
        fillStroke(cr, hex(0xFFD2A8), ink, 3);
        // Fingers curled over the edge.
        for (int k = -1; k <= 1; ++k) {
            cairo_move_to(cr, hx + k * 7, 713);
            cairo_line_to(cr, hx + k * 7, 721);
        }
        setColor(cr, ink);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

void drawHomeButton(cairo_t* cr, int w, int h) {
    circle(cr, w / 2.0, h / 2.0 + 2, 40);
    setColor(cr, darken(hex(0xFF9A1F), 0.5), 0.9);
    cairo_fill(cr);
    circle(cr, w / 2.0, h / 2.0, 40);
    fillPathVertical(cr, 5, 85, hex(0xFFC36B), hex(0xFF8A1F));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    // House
    cairo_move_to(cr, 22, 46);
    cairo_line_to(cr, 45, 24);
    cairo_line_to(cr, 68, 46);
    cairo_close_path(cr);
    fillStroke(cr, {1, 1, 1}, ink, 3);
    roundRect(cr, 29, 44, 32, 24, 3);
    fillStroke(cr, {1, 1, 1}, ink, 3);
    roundRect(cr, 40, 52, 10, 16, 2);
    fillStroke(cr, hex(0xF0443A), ink, 2);
}

}  // namespace assetgen
