// The six obstacles the grid sends to the runner. Each is mostly its tile
// kind's colour, and wears the kind's shape as a mark where one fits, so the
// strip, the talk box and the grid read as one code; no obstacle uses another
// kind's colour for more than a detail. Cells are 100 x 100, the strip's ground
// line falls at y = 80 inside a cell, and everything keeps a pixel clear of
// the cell's edge.
#include <algorithm>
#include <cmath>

#include "art.hpp"

namespace assetgen {

namespace {

constexpr double kGround = 80.0;
using palette::ink;

void shadow(cairo_t* cr, double cx, double width) {
    cairo_save(cr);
    cairo_translate(cr, cx, kGround + 1);
    cairo_scale(cr, width / 2, 4);
    circle(cr, 0, 0, 1);
    cairo_restore(cr);
    // Solid, in the pavement's shade: a see-through shadow would not survive the key.
    setColor(cr, hex(0xC9B79C));
    cairo_fill(cr);
}

// The strip shows frames 0..6 and then wraps to 0; frame 7 is never drawn. So
// one loop spans seven frames (t = frame / 7), and frame 7 repeats frame 0.
template <typename Fn>
void eightFrames(cairo_t* cr, Fn fn) {
    forEachCell(cr, 8, 1, 100, 100, [&](int col, int) { fn(col / 7.0); });
}

void eyes(cairo_t* cr, double x, double y, double gap, double r) {
    for (int s = -1; s <= 1; s += 2) {
        setColor(cr, {1, 1, 1});
        circle(cr, x + s * gap, y, r);
        cairo_fill_preserve(cr);
        setColor(cr, ink);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        circle(cr, x + s * gap + r * 0.2, y + r * 0.1, r * 0.55);
        cairo_fill(cr);
    }
}

}  // namespace

// A round red daruma rocking from side to side.
void drawDaruma(cairo_t* cr, int, int) {
    const Rgb red = kindColor(1);
    eightFrames(cr, [&](double t) {
        shadow(cr, 50, 44);
        cairo_save(cr);
        cairo_translate(cr, 50, kGround);
        cairo_rotate(cr, 0.22 * std::sin(t * 2 * M_PI));
        cairo_new_path(cr);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, -36, 0, -34, -44, -22, -56);
        cairo_curve_to(cr, -12, -68, 12, -68, 22, -56);
        cairo_curve_to(cr, 34, -44, 36, 0, 0, 0);
        cairo_close_path(cr);
        fillPathVertical(cr, -68, 0, lighten(red, 0.25), darken(red, 0.15));
        setColor(cr, ink);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        // Face window
        cairo_save(cr);
        cairo_translate(cr, 0, -40);
        cairo_scale(cr, 1.0, 0.85);
        circle(cr, 0, 0, 15);
        cairo_restore(cr);
        fillStroke(cr, palette::cream, ink, 2);
        eyes(cr, 0, -42, 6.5, 4);
        // Belly mark: the round kind's own circle.
        circle(cr, 0, -16, 9);
        fillStroke(cr, palette::cream, ink, 2);
        circle(cr, 0, -16, 4.5);
        setColor(cr, darken(red, 0.1));
        cairo_fill(cr);
        cairo_restore(cr);
    });
}

// An orange drum beaten by two sticks in turn: each stroke squashes the drum,
// it springs back, and the other stick comes down.
void drawDrum(cairo_t* cr, int, int) {
    const Rgb orange = kindColor(2);
    // Per shown frame: how high each stick is raised (0 = on the skin) and how
    // the body gives (squash on the stroke, a small stretch on the rebound).
    const double leftLift[7] = {0.0, 0.55, 0.9, 1.0, 0.85, 0.6, 0.3};
    const double rightLift[7] = {0.85, 0.6, 0.3, 0.0, 0.55, 0.9, 1.0};
    const double squash[7] = {1.0, -0.4, 0.0, 1.0, -0.4, 0.0, 0.0};
    forEachCell(cr, 8, 1, 100, 100, [&](int col, int) {
        const int f = col % 7;
        const double sy = 1.0 - 0.1 * std::max(0.0, squash[f]) + 0.05 * std::max(0.0, -squash[f]);
        const double sx = 1.0 + 0.08 * std::max(0.0, squash[f]) - 0.03 * std::max(0.0, -squash[f]);
        shadow(cr, 50, 56 * sx);
        cairo_save(cr);
        cairo_translate(cr, 50, kGround);
        cairo_save(cr);
        cairo_scale(cr, sx, sy);
        roundRect(cr, -27, -50, 54, 48, 6);
        fillPathVertical(cr, -50, 0, lighten(orange, 0.3), darken(orange, 0.1));
        setColor(cr, ink);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        // Cords zigzag
        cairo_move_to(cr, -24, -44);
        for (int i = 0; i < 6; ++i) cairo_line_to(cr, -24 + 9.6 * (i + 0.5), (i % 2 == 0) ? -8 : -44);
        setColor(cr, palette::cream);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        // Top skin
        cairo_save(cr);
        cairo_translate(cr, 0, -50);
        cairo_scale(cr, 27, 7);
        circle(cr, 0, 0, 1);
        cairo_restore(cr);
        fillStroke(cr, palette::cream, ink, 2.5);
        cairo_restore(cr);
        const double top = -50 * sy;
        for (int s = -1; s <= 1; s += 2) {
            const double lift = s < 0 ? leftLift[f] : rightLift[f];
            // A burst over the spot the stick has just struck.
            if (lift == 0.0) {
                for (int k = -1; k <= 1; ++k) {
                    double a = -M_PI / 2 + k * 0.6 - s * 0.25;
                    cairo_move_to(cr, s * 10 + 9 * std::cos(a), top - 4 + 9 * std::sin(a));
                    cairo_line_to(cr, s * 10 + 16 * std::cos(a), top - 4 + 16 * std::sin(a));
                }
                setColor(cr, ink);
                cairo_set_line_width(cr, 2.5);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                cairo_stroke(cr);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
            }
            // The stick turns about its grip, outside the drum; at rest its tip
            // lies on the skin.
            const double gx = s * 38, gy = -54, length = 28;
            double a = std::atan2(top - gy, s * 10 - gx);
            a += s * 0.9 * lift;  // raise the tip away from the skin
            const double ex = gx + length * std::cos(a), ey = gy + length * std::sin(a);
            cairo_move_to(cr, gx, gy);
            cairo_line_to(cr, ex, ey);
            setColor(cr, ink);
            cairo_set_line_width(cr, 5);
            cairo_stroke_preserve(cr);
            setColor(cr, hex(0xC98B4E));
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
            circle(cr, ex, ey, 3.5);
            fillStroke(cr, palette::cream, ink, 1.5);
        }
        cairo_restore(cr);
    });
}

// A pot in a yellow glaze whose lid hops, a star on its belly.
void drawPot(cairo_t* cr, int, int) {
    const Rgb yellow = kindColor(3);
    auto body = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, -14, -54);
        cairo_curve_to(cr, -40, -48, -36, -2, -16, 0);
        cairo_line_to(cr, 16, 0);
        cairo_curve_to(cr, 36, -2, 40, -48, 14, -54);
        cairo_close_path(cr);
    };
    eightFrames(cr, [&](double t) {
        shadow(cr, 50, 52);
        double lift = 8 * std::max(0.0, std::sin(t * 2 * M_PI));
        double wob = 0.06 * std::sin(t * 4 * M_PI);
        cairo_save(cr);
        cairo_translate(cr, 50, kGround);
        cairo_rotate(cr, wob);
        // Shaded toward a deeper gold, not toward black, which turns yellow olive.
        const Rgb deep = hex(0xF2B705);
        body();
        fillPathVertical(cr, -54, 0, lighten(yellow, 0.4), yellow);
        // A deeper glaze round the foot, inside the outline.
        cairo_save(cr);
        cairo_clip(cr);
        cairo_rectangle(cr, -40, -12, 80, 14);
        setColor(cr, deep);
        cairo_fill(cr);
        cairo_restore(cr);
        body();
        setColor(cr, ink);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        // Belly mark: the star kind's own star.
        starPath(cr, 0, -29, 12, 5.5, 5);
        fillStroke(cr, {1, 1, 1}, ink, 2);
        // Lid
        roundRect(cr, -18, -60 - lift, 36, 8, 3);
        fillStroke(cr, yellow, ink, 2.5);
        circle(cr, 0, -64 - lift, 4);
        fillStroke(cr, deep, ink, 2);
        cairo_restore(cr);
    });
}

// Three sticks in green wrappers tied with dark bands, a triangular warning
// label, and a fizzing fuse.
void drawDynamite(cairo_t* cr, int, int) {
    const Rgb green = kindColor(4);
    eightFrames(cr, [&](double t) {
        shadow(cr, 50, 50);
        cairo_save(cr);
        cairo_translate(cr, 50, kGround);
        cairo_rotate(cr, 0.04 * std::sin(t * 6 * M_PI));
        // Bold outlines and a gloss on each stick keep the bundle standing out
        // from the lawn and the bushes behind it, which are green too.
        for (int i = -1; i <= 1; ++i) {
            const double top = -52 + std::abs(i) * 4;
            roundRect(cr, i * 14 - 7, top, 14, -top, 4);
            fillPathVertical(cr, -52, 0, lighten(green, 0.3), darken(green, 0.2));
            setColor(cr, ink);
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
            roundRect(cr, i * 14 - 4, top + 4, 3, -top - 10, 1.5);
            setColor(cr, {1, 1, 1}, 0.6);
            cairo_fill(cr);
        }
        // Dark bands tying the bundle.
        for (double by : {-44.0, -10.0}) {
            roundRect(cr, -23, by, 46, 6, 2);
            fillStroke(cr, darken(green, 0.5), ink, 2);
        }
        // Warning label: the triangle kind's own triangle.
        cairo_move_to(cr, 0, -33);
        cairo_line_to(cr, 11, -14);
        cairo_line_to(cr, -11, -14);
        cairo_close_path(cr);
        fillStroke(cr, palette::cream, darken(green, 0.55), 2);
        cairo_move_to(cr, 0, -27);
        cairo_line_to(cr, 0, -21);
        setColor(cr, ink);
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        circle(cr, 0, -17.5, 1.2);
        cairo_fill(cr);
        // Fuse and spark; the spark's tips stay below the cell's top.
        cairo_move_to(cr, 0, -52);
        cairo_curve_to(cr, 2, -59, 10, -57, 13, -62);
        setColor(cr, ink);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        double s = 7 + 3 * std::sin(t * 8 * M_PI);
        starPath(cr, 13, -64, s, s * 0.4, 6, t * 2 * M_PI);
        setColor(cr, hex(0xFFF3B0));
        cairo_fill_preserve(cr);
        setColor(cr, hex(0xFF8A1F));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        circle(cr, 13, -64, 2);
        setColor(cr, {1, 1, 1});
        cairo_fill(cr);
        cairo_restore(cr);
    });
}

// A friendly blue bat flapping at head height.
void drawBat(cairo_t* cr, int, int) {
    const Rgb blue = kindColor(5);
    eightFrames(cr, [&](double t) {
        double flap = std::sin(t * 2 * M_PI);
        double bob = 4 * std::cos(t * 2 * M_PI);
        cairo_save(cr);
        cairo_translate(cr, 50, 44 + bob);
        for (int s = -1; s <= 1; s += 2) {
            double tipY = -22 * flap;
            cairo_move_to(cr, s * 8, -6);
            cairo_curve_to(cr, s * 22, -16 + tipY * 0.5, s * 36, -10 + tipY, s * 46, -4 + tipY);
            cairo_curve_to(cr, s * 40, 4 + tipY * 0.6, s * 34, 2 + tipY * 0.5, s * 30, 8 + tipY * 0.4);
            cairo_curve_to(cr, s * 24, 4, s * 18, 6, s * 14, 12);
            cairo_curve_to(cr, s * 12, 6, s * 10, 4, s * 6, 6);
            cairo_close_path(cr);
            fillStroke(cr, darken(blue, 0.15), ink, 2.5);
        }
        circle(cr, 0, 0, 15);
        fillPathVertical(cr, -15, 15, lighten(blue, 0.3), darken(blue, 0.1));
        setColor(cr, ink);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        // Ears
        for (int s = -1; s <= 1; s += 2) {
            cairo_move_to(cr, s * 5, -13);
            cairo_line_to(cr, s * 10, -24);
            cairo_line_to(cr, s * 13, -9);
            cairo_close_path(cr);
            fillStroke(cr, blue, ink, 2);
        }
        eyes(cr, 0, -2, 5.5, 3.6);
        // Little fangs smile
        cairo_move_to(cr, -4, 7);
        cairo_line_to(cr, -2.5, 10.5);
        cairo_line_to(cr, -1, 7);
        cairo_move_to(cr, 1, 7);
        cairo_line_to(cr, 2.5, 10.5);
        cairo_line_to(cr, 4, 7);
        setColor(cr, {1, 1, 1});
        cairo_fill_preserve(cr);
        setColor(cr, ink);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_restore(cr);
    });
}

// An open manhole whose purple lid, a heart on it, pops up on puffs of steam.
void drawManhole(cairo_t* cr, int, int) {
    const Rgb purple = kindColor(6);
    eightFrames(cr, [&](double t) {
        // The hole in the street
        cairo_save(cr);
        cairo_translate(cr, 50, kGround - 2);
        cairo_scale(cr, 34, 9);
        circle(cr, 0, 0, 1);
        cairo_restore(cr);
        fillStroke(cr, hex(0x2E2838), hex(0x5E5670), 3);
        // Steam puffs rising
        for (int i = 0; i < 3; ++i) {
            double p = std::fmod(t + i / 3.0, 1.0);
            double r = 6 + 8 * p;
            circle(cr, 50 + 10 * std::sin((p + i) * 5), kGround - 10 - 55 * p, r);
            setColor(cr, {1, 1, 1}, 1.0 - p * 0.5);
            cairo_fill(cr);
        }
        // Lid, tilted as it hops
        double hop = 30 * std::fabs(std::sin(t * M_PI));
        cairo_save(cr);
        cairo_translate(cr, 50, kGround - 12 - hop);
        cairo_rotate(cr, 0.35 * std::sin(t * 2 * M_PI));
        cairo_save(cr);
        cairo_scale(cr, 30, 11);
        circle(cr, 0, 0, 1);
        cairo_restore(cr);
        fillStroke(cr, purple, ink, 3);
        cairo_save(cr);
        cairo_scale(cr, 20, 6.5);
        circle(cr, 0, 0, 1);
        cairo_restore(cr);
        setColor(cr, darken(purple, 0.35));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // Lid mark: the heart kind's own heart, lying flat with the lid.
        cairo_save(cr);
        cairo_scale(cr, 1.0, 0.42);
        heartPath(cr, 0, 1, 13);
        cairo_restore(cr);
        fillStroke(cr, lighten(purple, 0.55), darken(purple, 0.45), 1.5);
        cairo_restore(cr);
    });
}

}  // namespace assetgen
