// The six tile kinds, the special-tile sparkle and the selection marker.
#include <cmath>

#include "art.hpp"

namespace assetgen {

Rgb kindColor(int kind) {
    static const Rgb colors[] = {hex(0xF0443A), hex(0xFF9A1F), hex(0xFFD21F),
                                 hex(0x4CC84A), hex(0x3A8EF0), hex(0xA55CE0)};
    return colors[(kind - 1 + 6) % 6];
}

namespace {

void shapePath(cairo_t* cr, int kind, double cx, double cy, double r) {
    switch (kind) {
    case 1: circle(cr, cx, cy, r * 0.92); break;
    case 2: roundRect(cr, cx - r * 0.82, cy - r * 0.82, r * 1.64, r * 1.64, r * 0.3); break;
    case 3: starPath(cr, cx, cy + r * 0.06, r * 1.08, r * 0.5, 5); break;
    case 4: {
        cairo_new_sub_path(cr);
        cairo_move_to(cr, cx, cy - r * 0.95);
        cairo_line_to(cr, cx + r * 1.0, cy + r * 0.78);
        cairo_line_to(cr, cx - r * 1.0, cy + r * 0.78);
        cairo_close_path(cr);
        break;
    }
    case 5: polygonPath(cr, cx, cy, r * 1.05, 4, -M_PI / 2); break;
    default: heartPath(cr, cx, cy + r * 0.05, r * 0.95); break;
    }
}

// The shape filled top to bottom between two colours, outlined, with a gloss.
void shadedShape(cairo_t* cr, int kind, double cx, double cy, double r, Rgb top, Rgb bottom, Rgb line) {
    cairo_save(cr);
    cairo_new_path(cr);
    shapePath(cr, kind, cx, cy, r);
    fillPathVertical(cr, cy - r, cy + r, top, bottom);
    setColor(cr, line);
    cairo_set_line_width(cr, std::max(1.5, r * 0.12));
    cairo_stroke(cr);
    // Gloss: the shape's own outline, shrunk toward the upper left.
    cairo_save(cr);
    cairo_translate(cr, cx - r * 0.18, cy - r * 0.22);
    cairo_scale(cr, 0.45, 0.35);
    shapePath(cr, kind, 0, 0, r);
    cairo_restore(cr);
    setColor(cr, {1, 1, 1}, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

void kindShape(cairo_t* cr, int kind, double cx, double cy, double r) {
    const Rgb c = kindColor(kind);
    shadedShape(cr, kind, cx, cy, r, lighten(c, 0.35), darken(c, 0.12), darken(c, 0.55));
}

// Plain: a pale face in the kind's colour with the shape in full colour.
// Highlighted (marked for clearing, or special): the same tile lit up, still in
// its own colour: the face turns full colour and the shape light, ringed in
// white, so a marked star is plainly a star and plainly marked. Everything
// keeps a pixel clear of the 64 x 64 cell's edge.
void drawTile(cairo_t* cr, int kind, bool highlighted) {
    const Rgb c = kindColor(kind);
    if (highlighted) {
        roundRect(cr, 2.5, 2.5, 59, 59, 12);
        fillPathVertical(cr, 2, 62, lighten(c, 0.35), darken(c, 0.08));
        setColor(cr, darken(c, 0.5));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        roundRect(cr, 5.5, 5.5, 53, 53, 9.5);
        setColor(cr, {1, 1, 1}, 0.95);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        shadedShape(cr, kind, 32, 33, 20, {1, 1, 1}, lighten(c, 0.6), darken(c, 0.6));
        setColor(cr, {1, 1, 1});
        starPath(cr, 13, 13, 5.5, 1.6, 4);
        starPath(cr, 51, 50, 4.5, 1.3, 4);
        cairo_fill(cr);
    } else {
        roundRect(cr, 2.5, 2.5, 59, 59, 12);
        fillPathVertical(cr, 2, 62, lighten(c, 0.82), lighten(c, 0.6));
        setColor(cr, darken(c, 0.3));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        kindShape(cr, kind, 32, 33, 19.5);
    }
}

void drawBlock(cairo_t* cr, int, int, int kind) {
    forEachCell(cr, 2, 1, 64, 64, [&](int col, int) { drawTile(cr, kind, col == 1); });
}
void drawBlock1(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 1); }
void drawBlock2(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 2); }
void drawBlock3(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 3); }
void drawBlock4(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 4); }
void drawBlock5(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 5); }
void drawBlock6(cairo_t* cr, int w, int h) { drawBlock(cr, w, h, 6); }

// Eight frames of a rainbow sparkle ring, drawn over a 64 x 64 tile from 6
// pixels up and left, so each 76 x 76 cell is centred on the tile. Glow, dots
// and stars all stay within 36 pixels of the middle, clear of the cell's edge.
void drawSpecial(cairo_t* cr, int w, int h) {
    const int cw = w / 4, ch = h / 2;
    forEachCell(cr, 4, 2, cw, ch, [&](int col, int row) {
        const int frame = row * 4 + col;
        const double t = frame / 8.0;
        const double cx = cw / 2.0, cy = ch / 2.0;
        // Soft pulsing glow around the tile's edge, clear in the middle.
        cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 22, cx, cy, 36);
        double pulse = 0.55 + 0.3 * std::sin(t * 2 * M_PI);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 0.8, 0);
        cairo_pattern_add_color_stop_rgba(glow, 0.55, 1, 0.95, 0.5, pulse);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.8, 0.3, 0);
        cairo_set_source(cr, glow);
        cairo_paint(cr);
        cairo_pattern_destroy(glow);
        // A rainbow ring of dots turning round the tile.
        for (int i = 0; i < 12; ++i) {
            double a = t * 2 * M_PI / 3 + i * 2 * M_PI / 12;
            double rr = 33;
            setColor(cr, kindColor(i % 6 + 1));
            circle(cr, cx + rr * std::cos(a), cy + rr * std::sin(a), 2.6);
            cairo_fill(cr);
        }
        // Four twinkling stars whose size swaps in turn.
        for (int i = 0; i < 4; ++i) {
            double a = M_PI / 4 + i * M_PI / 2 + t * M_PI / 2;
            double size = 5 + 4 * std::pow(std::sin((t + i * 0.25) * M_PI), 2);
            double sx = cx + 27 * std::cos(a), sy = cy + 27 * std::sin(a);
            starPath(cr, sx, sy, size, size * 0.28, 4, t * M_PI);
            setColor(cr, {1, 1, 1});
            cairo_fill_preserve(cr);
            setColor(cr, hex(0xFFB000));
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
    });
}

// Corner brackets in white on a dark edge, with a light wash to lift the tile.
void drawTarget(cairo_t* cr, int, int) {
    roundRect(cr, 2, 2, 60, 60, 12);
    setColor(cr, {1, 1, 1}, 0.22);
    cairo_fill(cr);
    auto bracket = [&](double x, double y, double dx, double dy) {
        cairo_move_to(cr, x + dx * 18, y);
        cairo_line_to(cr, x + dx * 4, y);
        cairo_curve_to(cr, x + dx * 1, y, x, y + dy * 1, x, y + dy * 4);
        cairo_line_to(cr, x, y + dy * 18);
    };
    for (int pass = 0; pass < 2; ++pass) {
        bracket(4, 4, 1, 1);
        bracket(60, 4, -1, 1);
        bracket(4, 60, 1, -1);
        bracket(60, 60, -1, -1);
        if (pass == 0) {
            setColor(cr, palette::ink, 0.85);
            cairo_set_line_width(cr, 8);
        } else {
            setColor(cr, {1, 1, 1});
            cairo_set_line_width(cr, 4);
        }
        cairo_stroke(cr);
    }
}

}  // namespace assetgen
