// The runner strip: two layers that tile seamlessly, the run cycle, dust, the
// speed gauge and the obstacle talk boxes. The ground line is y = 330.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.hpp"

namespace assetgen {

namespace {

using palette::ink;
constexpr double kGroundY = 330;

// Draws fn at x and at its copies one width left and right, so anything near
// the seam continues on the other side.
template <typename Fn>
void wrapped(double x, double width, Fn fn) {
    fn(x - width);
    fn(x);
    fn(x + width);
}

// A hill line built from sines whose periods divide the width: seamless.
void hillBand(cairo_t* cr, int width, double base, double amp, int waves, double phase,
              double bottom, Rgb top, Rgb low) {
    cairo_move_to(cr, 0, bottom);
    for (int x = 0; x <= width; x += 4) {
        double t = 2 * M_PI * x / width;
        double y = base - amp * (0.6 * std::sin(waves * t + phase) +
                                 0.4 * std::sin(2 * waves * t + 2.1 * phase));
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, width, bottom);
    cairo_close_path(cr);
    fillPathVertical(cr, base - amp, bottom, top, low);
    cairo_new_path(cr);
}

void distantHouse(cairo_t* cr, double x, double groundY, double w, double h, Rgb wall, Rgb roof) {
    cairo_rectangle(cr, x, groundY - h, w, h);
    setColor(cr, wall);
    cairo_fill(cr);
    cairo_move_to(cr, x - 4, groundY - h);
    cairo_line_to(cr, x + w / 2, groundY - h - w * 0.45);
    cairo_line_to(cr, x + w + 4, groundY - h);
    cairo_close_path(cr);
    setColor(cr, roof);
    cairo_fill(cr);
    setColor(cr, lighten(palette::sun, 0.4));
    for (double wy = groundY - h + 8; wy < groundY - 10; wy += 16)
        for (double wx = x + 6; wx < x + w - 8; wx += 14) cairo_rectangle(cr, wx, wy, 6, 7);
    cairo_fill(cr);
}

void lampPost(cairo_t* cr, double x) {
    roundRect(cr, x - 5, 180, 10, kGroundY - 180, 3);
    fillStroke(cr, hex(0x3E5C76), ink, 2.5);
    roundRect(cr, x - 10, kGroundY - 14, 20, 14, 3);
    fillStroke(cr, hex(0x3E5C76), ink, 2.5);
    // Lantern
    cairo_move_to(cr, x - 14, 176);
    cairo_line_to(cr, x + 14, 176);
    cairo_line_to(cr, x + 9, 150);
    cairo_line_to(cr, x - 9, 150);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xFFF1B0), ink, 2.5);
    cairo_move_to(cr, x - 16, 150);
    cairo_line_to(cr, x, 138);
    cairo_line_to(cr, x + 16, 150);
    cairo_close_path(cr);
    fillStroke(cr, hex(0x3E5C76), ink, 2.5);
}

void tree(cairo_t* cr, double x, double s) {
    roundRect(cr, x - 7 * s, kGroundY - 70 * s, 14 * s, 70 * s, 4);
    fillStroke(cr, hex(0x8A5A36), ink, 2.5);
    for (auto p : {std::pair{-22.0, -80.0}, {22.0, -82.0}, {0.0, -108.0}, {0.0, -78.0}}) {
        circle(cr, x + p.first * s, kGroundY + p.second * s, 30 * s);
    }
    fillStroke(cr, palette::grass, ink, 2.5);
    for (auto p : {std::pair{-22.0, -80.0}, {22.0, -82.0}, {0.0, -108.0}, {0.0, -78.0}})
        circle(cr, x + p.first * s, kGroundY + p.second * s, 29 * s);
    setColor(cr, palette::grass);
    cairo_fill(cr);
    circle(cr, x - 8 * s, kGroundY - 116 * s, 9 * s);
    setColor(cr, lighten(palette::grass, 0.35));
    cairo_fill(cr);
}

void bush(cairo_t* cr, double x, double w) {
    for (int i = 0; i < 4; ++i) circle(cr, x + w * (0.15 + 0.23 * i), kGroundY - 16 - (i % 2) * 6, w * 0.2);
    fillStroke(cr, palette::grassDark, ink, 2.5);
    for (int i = 0; i < 4; ++i) circle(cr, x + w * (0.15 + 0.23 * i), kGroundY - 16 - (i % 2) * 6, w * 0.2 - 1.5);
    setColor(cr, palette::grassDark);
    cairo_fill(cr);
    Rgb flowers[] = {kindColor(1), kindColor(3), kindColor(6)};
    for (int i = 0; i < 5; ++i) {
        circle(cr, x + w * (0.12 + 0.19 * i), kGroundY - 20 - (i % 3) * 7, 3.5);
        setColor(cr, flowers[i % 3]);
        cairo_fill(cr);
    }
}

void fence(cairo_t* cr, double x0, double x1) {
    Rgb wood = hex(0xFFF4DC);
    roundRect(cr, x0, kGroundY - 44, x1 - x0, 7, 2);
    roundRect(cr, x0, kGroundY - 22, x1 - x0, 7, 2);
    fillStroke(cr, wood, ink, 2);
    for (double x = x0 + 4; x < x1 - 10; x += 18) {
        cairo_move_to(cr, x, kGroundY - 4);
        cairo_line_to(cr, x, kGroundY - 52);
        cairo_line_to(cr, x + 5, kGroundY - 60);
        cairo_line_to(cr, x + 10, kGroundY - 52);
        cairo_line_to(cr, x + 10, kGroundY - 4);
        cairo_close_path(cr);
        fillStroke(cr, wood, ink, 2);
    }
}

void bunting(cairo_t* cr, double x0, double x1) {
    const double sag = 26, y0 = 160;
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x0 + (x1 - x0) / 3, y0 + sag, x0 + 2 * (x1 - x0) / 3, y0 + sag, x1, y0);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    int n = int((x1 - x0) / 28);
    for (int i = 1; i < n; ++i) {
        double t = double(i) / n;
        double x = x0 + (x1 - x0) * t;
        double y = y0 + sag * 4 * t * (1 - t) * 0.75;
        cairo_move_to(cr, x - 8, y);
        cairo_line_to(cr, x + 8, y);
        cairo_line_to(cr, x, y + 16);
        cairo_close_path(cr);
        fillStroke(cr, kindColor(i % 6 + 1), ink, 1.5);
    }
}

}  // namespace

// Far layer: sky, sun, clouds, hills and a distant town. Opaque.
void drawBgBack(cairo_t* cr, int w, int h) {
    fillVertical(cr, 0, 0, w, 300, palette::skyTop, palette::skyLow);
    fillVertical(cr, 0, 300, w, h - 300, palette::skyLow, palette::skyLow);
    // Sun with a soft halo.
    wrapped(380, w, [&](double x) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(x, 95, 30, x, 95, 120);
        cairo_pattern_add_color_stop_rgba(halo, 0, 1, 0.95, 0.7, 0.8);
        cairo_pattern_add_color_stop_rgba(halo, 1, 1, 0.95, 0.7, 0);
        cairo_set_source(cr, halo);
        circle(cr, x, 95, 120);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
        circle(cr, x, 95, 40);
        fillStroke(cr, palette::sun, hex(0xFFB53A), 4);
    });
    Rng rng(7);
    for (int i = 0; i < 7; ++i) {
        double cx = i * w / 7.0 + rng.range(0, 120), cy = rng.range(40, 150), s = rng.range(0.7, 1.2);
        wrapped(cx, w, [&](double x) { cloud(cr, x, cy, s, {1, 1, 1}, hex(0xE4EEFA)); });
    }
    hillBand(cr, w, 215, 35, 3, 0.5, h, hex(0xA9C8E8), hex(0xC7D9EE));
    // Distant town on the far hill line.
    Rng town(11);
    for (double x = 10; x < w; x += town.range(46, 80)) {
        double hw = town.range(30, 44), hh = town.range(40, 80);
        Rgb wall = mix(hex(0xB7B3DA), hex(0xE9C8D8), town.uniform());
        Rgb roof = mix(hex(0x8C86C0), hex(0xC98AA8), town.uniform());
        wrapped(x, w, [&](double xx) { distantHouse(cr, xx, 268, hw, hh, wall, roof); });
    }
    hillBand(cr, w, 262, 16, 4, 1.3, h, hex(0x9ED67C), hex(0x7CC45E));
    hillBand(cr, w, 300, 12, 6, 2.0, h, hex(0x84CC62), hex(0x5FAF4D));
}

// Near layer: fences, trees, lamp posts with bunting, the pavement and the
// road. Sky keyed so the far layer shows through.
void drawBgFront(cairo_t* cr, int w, int h) {
    const int posts = 4;
    const double pitch = double(w) / posts;  // 355
    for (int i = 0; i < posts; ++i) {
        double x = i * pitch + 60;
        wrapped(x + pitch * 0.5, w, [&](double xx) { tree(cr, xx, i % 2 ? 0.9 : 1.1); });
        wrapped(x + 40, w, [&](double xx) { fence(cr, xx, xx + 150); });
        wrapped(x + 210, w, [&](double xx) { bush(cr, xx, 90); });
    }
    for (int i = 0; i < posts; ++i) {
        double x = i * pitch + 20;
        wrapped(x, w, [&](double xx) { bunting(cr, xx, xx + pitch); });
    }
    for (int i = 0; i < posts; ++i) wrapped(i * pitch + 20, w, [&](double xx) { lampPost(cr, xx); });
    // Pavement with slabs, kerb, road with a dashed line.
    cairo_rectangle(cr, 0, kGroundY, w, 24);
    setColor(cr, hex(0xE8D9C0));
    cairo_fill(cr);
    setColor(cr, hex(0xC9B79C));
    cairo_set_line_width(cr, 2);
    for (double x = 0; x < w; x += 40) {
        cairo_move_to(cr, x, kGroundY);
        cairo_line_to(cr, x - 6, kGroundY + 24);
    }
    cairo_move_to(cr, 0, kGroundY + 1);
    cairo_line_to(cr, w, kGroundY + 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 0, kGroundY + 24, w, 6);
    setColor(cr, hex(0xB0A7B8));
    cairo_fill(cr);
    fillVertical(cr, 0, kGroundY + 30, w, h - kGroundY - 30, palette::road, darken(palette::road, 0.1));
    setColor(cr, {1, 1, 1});
    for (double x = 10; x < w; x += 71) cairo_rectangle(cr, x, kGroundY + 47, 36, 5);  // 1420 / 71 = 20
    cairo_fill(cr);
}

// Eight frames of the run cycle, each in its own 159-pixel cell. The cell's
// bottom is the ground line; the soles stop a pixel short of it.
void drawMarlo(cairo_t* cr, int, int) {
    forEachCell(cr, 8, 1, 159, 200, [&](int col, int) {
        drawRunner(cr, 76, 191, 1.0, col / 8.0, Pose::Run);
    });
}

// Four puffs of dust kicked up behind the heels, growing and breaking up.
// Each puff sits on the cell's floor and stays a pixel inside its walls.
void drawDust(cairo_t* cr, int, int) {
    forEachCell(cr, 4, 1, 60, 30, [&](int col, int) {
        const double grow = 1.0 + col * 0.3;
        const int puffs = 3 + col;
        for (int i = 0; i < puffs; ++i) {
            double r = std::min(9.0, (4.0 + (i % 3) * 1.5) * grow * (col == 3 ? 0.8 : 1.0));
            double x = std::clamp(48 - i * (36.0 / puffs) - col * 3, r + 2.5, 57.5 - r);
            double y = std::min(24.0 - (i % 2) * 5 - col * 1.5, 27.5 - r);
            circle(cr, x, y, r);
        }
        // Outline under the fill, so only the cloud's outer edge shows.
        setColor(cr, hex(0xC9B79C));
        cairo_set_line_width(cr, 3);
        cairo_stroke_preserve(cr);
        setColor(cr, mix(hex(0xF3E6CF), hex(0xFFFFFF), col / 4.0));
        cairo_fill(cr);
    });
}

namespace {
void speedLabel(cairo_t* cr, const std::string& text, Rgb color) {
    roundRect(cr, 1.5, 2.5, 57, 20, 9);
    fillStroke(cr, color, ink, 2);
    centredText(cr, text, 13, 30, 12.5, {1, 1, 1}, ink, 1.2);
}
}  // namespace

void drawStringSlow(cairo_t* cr, int, int) { speedLabel(cr, "SLOW", hex(0x4A90E2)); }
void drawStringFast(cairo_t* cr, int, int) { speedLabel(cr, "FAST", hex(0xF0443A)); }

// Three rows: the coloured fill (cut to the speed), the track under it, and
// the frame laid over both; each a pixel inside its cell.
void drawSpeed(cairo_t* cr, int w, int) {
    // Row 0: fill, green to yellow to red.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.30, 0.78, 0.29);
    cairo_pattern_add_color_stop_rgb(g, 0.55, 1.0, 0.82, 0.12);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.94, 0.27, 0.23);
    cairo_rectangle(cr, 1, 5, w - 2, 15);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_rectangle(cr, 1, 6, w - 2, 4);
    setColor(cr, {1, 1, 1}, 0.45);
    cairo_fill(cr);
    // Row 1: the dark track.
    roundRect(cr, 1, 25 + 4, w - 2, 17, 8);
    setColor(cr, hex(0x2B2540));
    cairo_fill(cr);
    // Row 2: frame with ticks, hollow inside.
    roundRect(cr, 2.5, 50 + 3.5, w - 5, 18, 8);
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    roundRect(cr, 3.5, 50 + 5.5, w - 7, 14, 6);
    setColor(cr, {1, 1, 1});
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (int i = 1; i < 10; ++i) {
        double x = i * w / 10.0;
        cairo_move_to(cr, x, 50 + 5);
        cairo_line_to(cr, x, 50 + (i == 5 ? 12 : 9));
    }
    setColor(cr, ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void drawNeedle(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 0, 0, w, h);
    setColor(cr, ink);
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    setColor(cr, {1, 1, 1});
    cairo_fill(cr);
    cairo_rectangle(cr, 2, 0, 1, h);
    setColor(cr, hex(0xE0302A));
    cairo_fill(cr);
}

// A red badge with a falling arrow, shown over the needle while airborne.
void drawSpeedDown(cairo_t* cr, int w, int h) {
    circle(cr, w / 2.0, h / 2.0, 20.5);
    fillPathVertical(cr, 2, h - 2, hex(0xFF6A5C), hex(0xD2281F));
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 17, 8);
    cairo_line_to(cr, 28, 8);
    cairo_line_to(cr, 28, 22);
    cairo_line_to(cr, 35, 22);
    cairo_line_to(cr, 22.5, 37);
    cairo_line_to(cr, 10, 22);
    cairo_line_to(cr, 17, 22);
    cairo_close_path(cr);
    fillStroke(cr, {1, 1, 1}, ink, 2);
}

// A speech banner with its tail pointing up to where obstacles come in. The
// tail is a short, broad nub: a long thin one reads as a stick laid across
// the obstacle passing behind it.
void drawTalkboxBg(cairo_t* cr, int w, int h) {
    cairo_new_path(cr);
    roundRect(cr, 8, 20, w - 16, h - 26, 22);
    cairo_move_to(cr, 454, 22);
    cairo_line_to(cr, 490, 8);
    cairo_line_to(cr, 482, 22);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    fillPathVertical(cr, 0, h, hex(0xFFFFFF), hex(0xFFF1D2));
    setColor(cr, ink);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    roundRect(cr, 8, 20, w - 16, h - 26, 22);
    cairo_move_to(cr, 459, 24);
    cairo_line_to(cr, 485, 13);
    cairo_line_to(cr, 478, 24);
    cairo_close_path(cr);
    fillPathVertical(cr, 0, h, hex(0xFFFFFF), hex(0xFFF1D2));
    cairo_new_path(cr);
}

// Row 0 is a general warning; rows 1..6 talk about obstacle kinds 1..6.
void drawTalkbox2(cairo_t* cr, int w, int) {
    static const char* lines[] = {"Heads up, runner!",        "A daruma wobbles in!",
                                  "Ba-dum! A drum bounces!",  "Mind the hopping pot!",
                                  "Fizz... dynamite! Jump!",  "A bat swoops down!",
                                  "Open manhole ahead!"};
    forEachCell(cr, 1, 7, w, 115, [&](int, int row) {
        const double cy = 20 + (115 - 26) / 2.0;
        if (row == 0) {
            starPath(cr, 62, cy, 22, 10, 5);
            fillStroke(cr, palette::gold, ink, 3);
        } else {
            kindShape(cr, row, 62, cy, 21);
        }
        outlinedText(cr, lines[row], 34, 100, cy + 12, Align::Left, ink, {1, 1, 1}, 3);
    });
}

}  // namespace assetgen
