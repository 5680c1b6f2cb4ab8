// The title sequence. Layers, back to front as the intro draws them:
// main0 sky (opaque), light (sun rays through main1's sky), main1 the town at
// dawn rising from below, main2 clouds revealed from the top, main6 the town
// awake (cross-fades over main1), main8 rainbow and bunting, main9 the title
// sweeping in from the left, main7 the rosette under the play button, then
// main4 the street, main5 floating tiles and main3 the runner on top.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.hpp"

namespace assetgen {

namespace {

using palette::ink;
constexpr double kSunX = 270, kSunY = 640;
constexpr double kStreetY = 930;

struct House {
    double x, w, h;
    int roof;  // 0 gable, 1 flat with parapet, 2 round dome
};
// The runner (main3) covers x 40..300 with its head at y 600..720, so the
// houses behind it stay low there and the domed clock tower stands at the
// left edge, clear of the head.
const House kHouses[] = {{8, 78, 300, 2},    {95, 95, 170, 1},  {185, 70, 160, 1},
                         {250, 100, 170, 0}, {345, 90, 250, 1}, {430, 105, 180, 0},
                         {530, 90, 240, 0}};

struct TownColors {
    Rgb hill, hillLow, walls[3], roofs[3], window, outline;
};

TownColors dawnColors() {
    return {hex(0x6F7FB8), hex(0x4C5A92),
            {hex(0x9C9CD0), hex(0x8E8AC4), hex(0xA99AC8)},
            {hex(0x5B4F8E), hex(0x6A4E86), hex(0x4E5A8E)},
            hex(0xFFD77A), hex(0x2E2A52)};
}
TownColors dayColors() {
    return {hex(0x8FD46E), hex(0x5FAF4D),
            {hex(0xFFF1D6), hex(0xFFD6DE), hex(0xD8F2E4)},
            {hex(0xE8553F), hex(0xFF9A1F), hex(0x3FA7B5)},
            hex(0xBDE6FF), ink};
}

void house(cairo_t* cr, const House& hs, int i, const TownColors& c) {
    const double base = kStreetY, top = base - hs.h;
    Rgb wall = c.walls[i % 3], roof = c.roofs[i % 3];
    cairo_rectangle(cr, hs.x, top, hs.w, hs.h + 4);
    fillStroke(cr, wall, c.outline, 3);
    cairo_new_path(cr);
    if (hs.roof == 0) {
        cairo_move_to(cr, hs.x - 10, top + 2);
        cairo_line_to(cr, hs.x + hs.w / 2, top - hs.w * 0.55);
        cairo_line_to(cr, hs.x + hs.w + 10, top + 2);
        cairo_close_path(cr);
    } else if (hs.roof == 1) {
        cairo_rectangle(cr, hs.x - 6, top - 14, hs.w + 12, 16);
    } else {
        cairo_arc(cr, hs.x + hs.w / 2, top + 2, hs.w / 2 + 6, M_PI, 2 * M_PI);
        cairo_close_path(cr);
    }
    fillStroke(cr, roof, c.outline, 3);
    if (hs.roof == 2) {
        // Clock face on the tower.
        circle(cr, hs.x + hs.w / 2, top + 40, 22);
        fillStroke(cr, palette::cream, c.outline, 3);
        cairo_move_to(cr, hs.x + hs.w / 2, top + 40);
        cairo_line_to(cr, hs.x + hs.w / 2, top + 26);
        cairo_move_to(cr, hs.x + hs.w / 2, top + 40);
        cairo_line_to(cr, hs.x + hs.w / 2 + 10, top + 44);
        setColor(cr, c.outline);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    }
    // Windows in a grid, a door at the bottom.
    const double startY = top + (hs.roof == 2 ? 80 : 22);
    for (double wy = startY; wy < base - 60; wy += 44)
        for (double wx = hs.x + 14; wx + 22 < hs.x + hs.w - 8; wx += 34) {
            roundRect(cr, wx, wy, 22, 26, 4);
            fillStroke(cr, c.window, c.outline, 2.5);
        }
    roundRect(cr, hs.x + hs.w / 2 - 14, base - 46, 28, 48, 10);
    fillStroke(cr, darken(roof, 0.15), c.outline, 2.5);
}

void town(cairo_t* cr, const TownColors& c) {
    // Hill behind the houses.
    cairo_move_to(cr, 0, 1024);
    cairo_line_to(cr, 0, 700);
    cairo_curve_to(cr, 150, 640, 420, 650, 600, 720);
    cairo_line_to(cr, 600, 1024);
    cairo_close_path(cr);
    fillPathVertical(cr, 640, 1024, c.hill, c.hillLow);
    cairo_new_path(cr);
    int i = 0;
    for (const House& hs : kHouses) house(cr, hs, i++, c);
    // Lawn in front of the houses.
    cairo_rectangle(cr, 0, kStreetY, 600, 1024 - kStreetY);
    fillPathVertical(cr, kStreetY, 1024, c.hill, c.hillLow);
    cairo_new_path(cr);
}

void bird(cairo_t* cr, double x, double y, double s) {
    cairo_move_to(cr, x - 12 * s, y - 4 * s);
    cairo_curve_to(cr, x - 6 * s, y - 10 * s, x - 2 * s, y - 6 * s, x, y);
    cairo_curve_to(cr, x + 2 * s, y - 6 * s, x + 6 * s, y - 10 * s, x + 12 * s, y - 4 * s);
    setColor(cr, ink);
    cairo_set_line_width(cr, 3 * s);
    cairo_stroke(cr);
}

}  // namespace

// The sky behind everything: opaque, morning gradient with the rising sun.
void drawMain0(cairo_t* cr, int w, int h) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.36, 0.72, 0.95);
    cairo_pattern_add_color_stop_rgb(g, 0.45, 0.62, 0.84, 0.97);
    cairo_pattern_add_color_stop_rgb(g, 0.7, 1.0, 0.89, 0.74);
    cairo_pattern_add_color_stop_rgb(g, 1, 1.0, 0.80, 0.62);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_pattern_t* halo = cairo_pattern_create_radial(kSunX, kSunY, 50, kSunX, kSunY, 260);
    cairo_pattern_add_color_stop_rgba(halo, 0, 1, 0.96, 0.75, 0.9);
    cairo_pattern_add_color_stop_rgba(halo, 1, 1, 0.96, 0.75, 0);
    cairo_set_source(cr, halo);
    cairo_paint(cr);
    cairo_pattern_destroy(halo);
    circle(cr, kSunX, kSunY, 62);
    fillStroke(cr, palette::sun, hex(0xFFB53A), 5);
}

// The town at dawn, cool colours and lit windows; the sky is keyed.
void drawMain1(cairo_t* cr, int, int) { town(cr, dawnColors()); }

// The same town wide awake, for the cross-fade.
void drawMain6(cairo_t* cr, int, int) {
    town(cr, dayColors());
    // Trees between houses once it is day.
    for (double x : {88.0, 338.0, 522.0}) {
        roundRect(cr, x - 6, kStreetY - 50, 12, 52, 3);
        fillStroke(cr, hex(0x8A5A36), ink, 2.5);
        circle(cr, x, kStreetY - 70, 30);
        fillStroke(cr, palette::grass, ink, 3);
    }
}

// Sun rays in eight growing frames, centred on the sun.
void drawLight(cairo_t* cr, int w, int h) {
    const int cw = w / 8;
    forEachCell(cr, 8, 1, cw, h, [&](int col, int) {
        const double grow = (col + 1) / 8.0;
        const int rays = 18;
        for (int i = 0; i < rays; ++i) {
            double a = i * 2 * M_PI / rays + col * 0.04;
            double spread = 0.07 + 0.02 * (i % 2);
            // Keep both far corners of every ray inside its 532-pixel cell.
            double maxLen = 900.0;
            for (double b : {a - spread, a + spread})
                maxLen = std::min({maxLen, (kSunX - 6) / std::max(1e-3, -std::cos(b)),
                                   (cw - kSunX - 6) / std::max(1e-3, std::cos(b)),
                                   (kSunY - 6) / std::max(1e-3, -std::sin(b)),
                                   (h - kSunY - 6) / std::max(1e-3, std::sin(b))});
            double len = std::min(maxLen, (i % 2 ? 200.0 : 300.0) * (0.35 + 0.65 * grow));
            cairo_move_to(cr, kSunX, kSunY);
            cairo_line_to(cr, kSunX + len * std::cos(a - spread), kSunY + len * std::sin(a - spread));
            cairo_line_to(cr, kSunX + len * std::cos(a + spread), kSunY + len * std::sin(a + spread));
            cairo_close_path(cr);
        }
        cairo_pattern_t* g = cairo_pattern_create_radial(kSunX, kSunY, 40, kSunX, kSunY, 300);
        cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 0.9);
        cairo_pattern_add_color_stop_rgb(g, 1, 1, 0.9, 0.62);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        circle(cr, kSunX, kSunY, 70 + 30 * grow);
        setColor(cr, hex(0xFFF3C4));
        cairo_fill(cr);
        circle(cr, kSunX, kSunY, 62);
        fillStroke(cr, palette::sun, hex(0xFFB53A), 5);
    });
}

// Clouds and birds across the top, revealed like a curtain and later drifting
// away down and to the left. Everything sits inside rows 12..196: the curtain
// stops at row 200 and then shows the rest at once, and the drift pulls the
// layer's top and right edges into view, so a cloud touching an edge would show
// a flat side.
void drawMain2(cairo_t* cr, int, int) {
    const double clouds[][3] = {{104, 74, 1.2}, {322, 72, 1.25}, {512, 92, 1.0},
                                {226, 152, 0.9}, {432, 156, 0.85}, {64, 160, 0.6}};
    for (auto& c : clouds) cloud(cr, c[0], c[1], c[2], {1, 1, 1}, hex(0xD6E6F7));
    bird(cr, 528, 170, 1.4);
    bird(cr, 562, 150, 1.1);
    bird(cr, 330, 178, 1.0);
}

// The runner, big, in full stride on the street.
void drawMain3(cairo_t* cr, int, int) { drawRunner(cr, 165, 985, 2.3, 0.15, Pose::Run); }

// The street in front: pavement, kerb and flower boxes at both ends.
void drawMain4(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 0, 955, w, h - 955);
    fillPathVertical(cr, 955, h, hex(0xEAD8BC), hex(0xD4BE9C));
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    setColor(cr, hex(0xC9B79C));
    cairo_set_line_width(cr, 2);
    for (double x = 30; x < w; x += 60) {
        cairo_move_to(cr, x, 958);
        cairo_line_to(cr, x - 10, h);
    }
    cairo_stroke(cr);
    for (double x : {-20.0, 470.0}) {
        roundRect(cr, x, 920, 150, 44, 8);
        fillStroke(cr, hex(0xC98B4E), ink, 3);
        for (int i = 0; i < 7; ++i) {
            double fx = x + 16 + i * 20, fy = 910 - (i % 2) * 10;
            circle(cr, fx, fy, 13);
            fillStroke(cr, palette::grassDark, ink, 2);
        }
        for (int i = 0; i < 6; ++i) {
            double fx = x + 24 + i * 21, fy = 903 - (i % 3) * 6;
            starPath(cr, fx, fy, 8, 4, 5);
            fillStroke(cr, kindColor(i + 1), ink, 1.5);
        }
    }
}

// A little swap puzzle floating by the button: three tiles lined up.
void drawMain5(cairo_t* cr, int, int) {
    const int grid[3][3] = {{1, 3, 5}, {6, 2, 4}, {3, 3, 3}};
    cairo_save(cr);
    cairo_translate(cr, 455, 740);
    cairo_rotate(cr, -0.12);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            cairo_save(cr);
            cairo_translate(cr, -104 + c * 72, -104 + r * 72);
            drawTile(cr, grid[r][c], r == 2);
            cairo_restore(cr);
        }
    cairo_restore(cr);
    for (auto p : {std::pair{330.0, 640.0}, {585.0, 650.0}, {575.0, 860.0}}) {
        starPath(cr, p.first, p.second, 13, 4, 4);
        fillStroke(cr, {1, 1, 1}, hex(0xFFB000), 2);
    }
}

// The final touch: a sunburst rosette under the play button at (380, 470).
void drawMain7(cairo_t* cr, int, int) {
    const double cx = 457, cy = 515;
    for (int i = 0; i < 24; ++i) {
        double a = i * 2 * M_PI / 24;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + 125 * std::cos(a - 0.1), cy + 105 * std::sin(a - 0.1));
        cairo_line_to(cr, cx + 125 * std::cos(a + 0.1), cy + 105 * std::sin(a + 0.1));
        cairo_close_path(cr);
        setColor(cr, i % 2 ? hex(0xFFE9A0) : hex(0xFFF8DA));
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1.0, 0.72);
    circle(cr, 0, 0, 98);
    cairo_restore(cr);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    outlinedText(cr, "TAP TO PLAY!", 22, cx, 600, Align::Center, {1, 1, 1}, ink, 3);
}

// Rainbow behind the rooftops and bunting strung across.
void drawMain8(cairo_t* cr, int, int) {
    const uint32_t bands[] = {0xF0443A, 0xFF9A1F, 0xFFD21F, 0x4CC84A, 0x3A8EF0, 0xA55CE0};
    cairo_push_group(cr);
    for (int i = 0; i < 6; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, 300, 980, 430 - i * 14, M_PI, 2 * M_PI);
        setColor(cr, hex(bands[i]));
        cairo_set_line_width(cr, 14);
        cairo_stroke(cr);
    }
    // Cut the houses and the hill out, so the bands sink behind the town.
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    town(cr, dayColors());
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    for (int row = 0; row < 2; ++row) {
        double y0 = 360 + row * 40, sag = 40;
        cairo_move_to(cr, -10, y0);
        cairo_curve_to(cr, 200, y0 + sag, 400, y0 + sag, 610, y0);
        setColor(cr, ink);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        for (int i = 0; i < 14; ++i) {
            double t = (i + 0.5 + row * 0.5) / 14.5;
            double x = -10 + 620 * t;
            double y = y0 + sag * 3 * t * (1 - t);
            if (row == 1 && x > 360) continue;  // keep the play button area clear
            cairo_move_to(cr, x - 11, y);
            cairo_line_to(cr, x + 11, y);
            cairo_line_to(cr, x, y + 22);
            cairo_close_path(cr);
            fillStroke(cr, kindColor((i + row * 3) % 6 + 1), ink, 2);
        }
    }
}

// The title, sweeping in from the left.
void drawMain9(cairo_t* cr, int, int) {
    const char* line1[] = {"S", "w", "a", "p"};
    double x = 60;
    for (int i = 0; i < 4; ++i) {
        Rgb c = kindColor(i + 1);
        double yy = 195 + (i % 2 ? -8 : 4);
        gradientText(cr, line1[i], 118, x, yy, Align::Left, lighten(c, 0.35), darken(c, 0.1), ink, 7);
        x += textWidth(cr, line1[i], 118) + 2;
    }
    gradientText(cr, "&", 90, x + 14, 190, Align::Left, hex(0xFFFFFF), hex(0xFFE9A0), ink, 6);
    // Speed lines trailing from the back of the "S", as if the word had just
    // dashed in; drawn first so the letter's outline overlaps their ends.
    const double sprintLeft = 300 - textWidth(cr, "Sprint!", 128) / 2;
    for (int i = 0; i < 3; ++i) {
        const double len = 58 - i * 12, right = sprintLeft + 14 + i * 2;
        roundRect(cr, right - len, 256 + i * 22, len, 9, 4.5);
        fillStroke(cr, {1, 1, 1}, ink, 2.5);
    }
    gradientText(cr, "Sprint!", 128, 300, 330, Align::Center, hex(0x7BC4F5), hex(0x3A63D0), ink, 8);
    starPath(cr, 548, 110, 22, 8, 4);
    fillStroke(cr, {1, 1, 1}, hex(0xFFB000), 3);
    starPath(cr, 520, 360, 14, 5, 4);
    fillStroke(cr, {1, 1, 1}, hex(0xFFB000), 2);
}

}  // namespace assetgen
