// The application icon for the window and the desktop entry: a morning-sky
// badge with a gem tile and a running shoe, so it reads at 32 px as well.
#include <cmath>
#include <tuple>

#include "art.hpp"

namespace assetgen {

namespace {

using palette::ink;

// The shoe's outline, facing right, sole along y = 22, about 150 wide.
void shoePath(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, -62, 22);
    cairo_line_to(cr, 64, 22);
    cairo_curve_to(cr, 84, 22, 86, 2, 68, -4);
    cairo_curve_to(cr, 44, -12, 24, -22, 10, -40);
    cairo_line_to(cr, -20, -54);
    cairo_curve_to(cr, -32, -42, -46, -44, -58, -50);
    cairo_curve_to(cr, -68, -30, -70, 0, -62, 22);
    cairo_close_path(cr);
}

void runningShoe(cairo_t* cr) {
    // Speed lines trailing from the heel.
    for (int i = 0; i < 3; ++i) {
        roundRect(cr, -128 + i * 14, -36 + i * 22, 52 - i * 12, 10, 5);
        fillStroke(cr, {1, 1, 1}, ink, 3);
    }
    shoePath(cr);
    setColor(cr, hex(0xF7F7F7));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Sole and toe cap in the runner's orange, a wave stripe along the side.
    cairo_rectangle(cr, -90, 8, 190, 20);
    setColor(cr, hex(0xFF6B3D));
    cairo_fill(cr);
    cairo_move_to(cr, -70, -6);
    cairo_curve_to(cr, -30, -30, 10, 10, 60, -14);
    cairo_line_to(cr, 62, -2);
    cairo_curve_to(cr, 12, 22, -30, -16, -70, 8);
    cairo_close_path(cr);
    setColor(cr, palette::gold);
    cairo_fill_preserve(cr);
    setColor(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_move_to(cr, -64, 8);
    cairo_line_to(cr, 76, 8);
    setColor(cr, ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    shoePath(cr);
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    // Laces across the instep.
    for (int i = 0; i < 3; ++i) {
        double x = -8 + i * 14, y = -40 + i * 9;
        cairo_move_to(cr, x - 7, y - 5);
        cairo_line_to(cr, x + 7, y + 5);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

}  // namespace

void drawIcon(cairo_t* cr, int w, int h) {
    // Badge: rounded square with the intro's morning sky, clear outside.
    const double m = 10, r = 52;
    roundRect(cr, m, m, w - 2 * m, h - 2 * m, r);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, m, 0, h - m);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.43, 0.78, 0.96);
    cairo_pattern_add_color_stop_rgb(sky, 0.65, 0.75, 0.89, 0.98);
    cairo_pattern_add_color_stop_rgb(sky, 1, 1.0, 0.89, 0.72);
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sky);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // A green hill the shoe runs over.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 200);
    cairo_curve_to(cr, 80, 176, 180, 182, 256, 196);
    cairo_line_to(cr, 256, 256);
    cairo_line_to(cr, 0, 256);
    cairo_close_path(cr);
    fillPathVertical(cr, 176, 256, palette::grass, palette::grassDark);
    cairo_new_path(cr);
    cairo_restore(cr);
    roundRect(cr, m, m, w - 2 * m, h - 2 * m, r);
    setColor(cr, ink);
    cairo_set_line_width(cr, 8);
    cairo_stroke(cr);

    // The gem tile, tilted, in the upper left.
    cairo_save(cr);
    cairo_translate(cr, 90, 82);
    cairo_rotate(cr, -0.16);
    cairo_scale(cr, 1.75, 1.75);
    cairo_translate(cr, -32, -32);
    drawTile(cr, 3, true);
    cairo_restore(cr);

    // The shoe dashing across the lower right.
    cairo_save(cr);
    cairo_translate(cr, 152, 178);
    cairo_rotate(cr, -0.12);
    cairo_scale(cr, 0.95, 0.95);
    runningShoe(cr);
    cairo_restore(cr);

    for (auto [x, y, s] : {std::tuple{206.0, 58.0, 14.0}, {184.0, 96.0, 8.0}, {40.0, 160.0, 8.0}}) {
        starPath(cr, x, y, s, s * 0.35, 4);
        fillStroke(cr, {1, 1, 1}, hex(0xFFB000), 2.5);
    }
}

}  // namespace assetgen
