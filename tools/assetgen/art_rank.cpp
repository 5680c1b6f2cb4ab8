// The ranking scene: two glyph sheets holding the same 50 glyphs, medals,
// backgrounds, the cheering runner, the name-entry frame and its buttons.
#include <algorithm>
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

// One glyph centred at (cx, cy); wide letters are narrowed, keeping their
// height, to stay a pixel clear of a cell maxWidth wide.
void glyph(cairo_t* cr, int g, double cx, double cy, double size, double maxWidth, Rgb fill, Rgb outline) {
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
        const double room = maxWidth - 2 * 2.5 - 4;
        const double ink = inkWidth(cr, s, size);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, std::min(1.0, room / ink), 1.0);
        centredText(cr, s, size, 0, 0, fill, outline, 2.5);
        cairo_restore(cr);
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

// Where the list's lettering ends: ten rows 86 apart from y 110, the last
// glyphs' ink ending above y 944. Below it runs a band nothing is written in,
// the only place the cheering runner can stand clear of the text: the picture
// slides right one pixel a frame while the list is uncovered from the bottom
// up, so anything drawn higher would pass under rows already shown.
constexpr double kBandTop = 951;

// Sky, sunburst, the grass the runner stands on and confetti; with plates,
// the pale plates behind the ten list rows, which stop above the band.
void rankBackground(cairo_t* cr, int w, int h, Rgb top, Rgb low, Rgb ray, Rgb plate, bool plates) {
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
    // A low hill along the bottom, the runner's stage.
    cairo_move_to(cr, 0, h);
    cairo_line_to(cr, 0, 992);
    cairo_curve_to(cr, 200, 978, 400, 980, 600, 994);
    cairo_line_to(cr, 600, h);
    cairo_close_path(cr);
    fillPathVertical(cr, 978, h, palette::grass, palette::grassDark);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    for (int i = 0; plates && i < 10; ++i) {
        roundRect(cr, 18, 104 + 86 * i, 530, 72, 16);
        setColor(cr, plate, 0.55);
        cairo_fill(cr);
    }
    Rng rng(5);
    for (int i = 0; i < 60; ++i) {
        double x = rng.range(0, w), y = rng.range(0, 940);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rng.range(0, M_PI));
        cairo_rectangle(cr, -4, -2, 8, 4);
        cairo_restore(cr);
        setColor(cr, kindColor(i % 6 + 1), 0.7);
        cairo_fill(cr);
    }
}

// A pill button, a pixel inside its 157 x 30 cell, with a shadow below.
void rankButtonFace(cairo_t* cr, const char* label, Rgb color) {
    roundRect(cr, 3, 4.5, 151, 24, 12);
    setColor(cr, darken(color, 0.45));
    cairo_fill(cr);
    roundRect(cr, 3, 2.75, 151, 23.5, 11.75);
    fillPathVertical(cr, 2, 27, lighten(color, 0.3), color);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    centredText(cr, label, 18, 78.5, 14.5, {1, 1, 1}, ink, 2);
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
        glyph(cr, g, 25, 33, 34, 44, hex(0x3A63D0), {1, 1, 1});
    });
}

// The same glyphs, slimmer, for the list (cells 40 x 70).
void drawAlphabet2(cairo_t* cr, int, int) {
    forEachCell(cr, 10, 5, 40, 70, [&](int col, int row) {
        glyph(cr, row * 10 + col, 20, 30, 32, 40, hex(0x3A63D0), {1, 1, 1});
    });
}

void drawRank123(cairo_t* cr, int, int) {
    forEachCell(cr, 1, 3, 70, 70, [&](int, int row) { medal(cr, row); });
}

void drawRankBg1(cairo_t* cr, int w, int h) {
    rankBackground(cr, w, h, hex(0x8ED3F7), hex(0xFFE6BF), hex(0xFFFFFF), hex(0xFFFFFF), true);
}
// Evening variant (registered by the game but not shown).
void drawRankBg2(cairo_t* cr, int w, int h) {
    rankBackground(cr, w, h, hex(0x5A5AA8), hex(0xF7A98A), hex(0xFFE6BF), hex(0xFFF1E0), true);
}

void drawRankButton(cairo_t* cr, int, int) {
    static const char* labels[] = {"BACK", "CLEAR", "OK"};
    static const uint32_t colors[] = {0xFF9A1F, 0x3A8EF0, 0x3DBB6A};
    forEachCell(cr, 1, 3, 157, 30, [&](int, int row) { rankButtonFace(cr, labels[row], hex(colors[row])); });
}

// The runner cheering on the grass in the band below the list, stars round
// it. The picture is drawn at x 0 for the name entry and slides to x 300 as
// the list is shown, so the figure stands at x 170..260: bottom left of the
// entry screen, bottom right of the list. Its raised fists stay below the
// band's top, where the entry screen's frame would cut them off flat.
void drawRankMarlo(cairo_t* cr, int, int) {
    drawRunner(cr, 212, 1021, 0.42, 0, Pose::Cheer);
    const double stars[][3] = {{160, 968, 7}, {268, 962, 8}, {140, 1000, 5}, {286, 996, 6}, {246, 1012, 4}};
    for (int i = 0; i < 5; ++i) {
        starPath(cr, stars[i][0], stars[i][1], stars[i][2], stars[i][2] * 0.42, 4, 0.2 * i);
        fillStroke(cr, kindColor((i * 2) % 6 + 1), ink, 1.5);
    }
}

// A golden cup on a plinth, its top at y, to fill the sky beside the buttons.
void trophy(cairo_t* cr, double cx, double y) {
    const Rgb gold = hex(0xFFC83A), deep = hex(0xE09A12);
    for (int s = -1; s <= 1; s += 2) {  // handles
        cairo_new_path(cr);
        cairo_arc(cr, cx + s * 46, y + 40, 18, s < 0 ? M_PI * 0.5 : -M_PI * 0.5, s < 0 ? M_PI * 1.5 : M_PI * 0.5);
        setColor(cr, ink);
        cairo_set_line_width(cr, 12);
        cairo_stroke_preserve(cr);
        setColor(cr, deep);
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, cx - 52, y + 6);
    cairo_line_to(cr, cx + 52, y + 6);
    cairo_curve_to(cr, cx + 52, y + 70, cx + 30, y + 96, cx, y + 98);
    cairo_curve_to(cr, cx - 30, y + 96, cx - 52, y + 70, cx - 52, y + 6);
    cairo_close_path(cr);
    fillPathVertical(cr, y, y + 98, lighten(gold, 0.35), deep);
    setColor(cr, ink);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    roundRect(cr, cx - 56, y, 112, 12, 6);
    fillStroke(cr, gold, ink, 3.5);
    starPath(cr, cx, y + 48, 22, 9, 5);
    fillStroke(cr, {1, 1, 1}, ink, 3);
    roundRect(cr, cx - 9, y + 96, 18, 26, 4);  // stem
    fillStroke(cr, deep, ink, 3);
    roundRect(cr, cx - 44, y + 120, 88, 20, 6);  // plinth
    fillStroke(cr, hex(0xA8683A), ink, 3.5);
    roundRect(cr, cx - 30, y + 125, 60, 10, 3);
    setColor(cr, hex(0xFFE9A0));
    cairo_fill(cr);
    for (auto p : {std::pair{cx - 92, y + 20}, {cx + 96, y + 10}, {cx + 84, y + 112}})
        starPath(cr, p.first, p.second, 11, 4, 4);
    fillStroke(cr, {1, 1, 1}, hex(0xFFB000), 2);
}

// Over the entry screen: the same sky as the list's background without its
// row plates, so no empty list rows show round the card, and open (keyed) only
// in the band where the cheering runner stands. On it, the card with the name
// pockets, the glyph tray and the buttons' card: all solid, so the glyph sheet,
// the letters and the buttons drawn on top never let anything peek through.
void drawRankFrame(cairo_t* cr, int w, int h) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, kBandTop);
    cairo_clip(cr);
    rankBackground(cr, w, h, hex(0x8ED3F7), hex(0xFFE6BF), hex(0xFFFFFF), hex(0xFFFFFF), false);
    cairo_restore(cr);
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
    // A line under every name slot, all alike: the art cannot know which slot
    // the next letter goes to, so none of them may look like a cursor.
    for (int j = 0; j < 10; ++j) {
        roundRect(cr, 34 + 50 * j, 238, 42, 5, 2.5);
        setColor(cr, hex(0xB9A7D8));
        cairo_fill(cr);
    }
    outlinedText(cr, "PICK A LETTER", 20, 300, 336, Align::Center, hex(0x3A63D0), {1, 1, 1}, 0);
    trophy(cr, 168, 752);
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
