// The runner: a kid in a yellow cap and an orange shirt, built from stroked
// limbs so one rig serves the run cycle, the intro and the ranking pose.
#include <algorithm>
#include <cmath>

#include "art.hpp"

namespace assetgen {

namespace {

using palette::ink;
const Rgb kSkin = hex(0xFFD2A8);
const Rgb kShirt = hex(0xFF6B3D);
const Rgb kShorts = hex(0x34408C);
const Rgb kCap = hex(0xFFC83A);
const Rgb kHair = hex(0x6B3F24);
const Rgb kShoe = hex(0xF2F2F2);

struct Pt {
    double x, y;
};

Pt along(Pt from, double angle, double length) {
    // Angle 0 points straight down, positive swings forward (to the right).
    return {from.x + length * std::sin(angle), from.y + length * std::cos(angle)};
}

void limb(cairo_t* cr, Pt a, Pt b, Pt c, double width, Rgb color) {
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_line_to(cr, c.x, c.y);
    setColor(cr, ink);
    cairo_set_line_width(cr, width + 5);
    cairo_stroke_preserve(cr);
    setColor(cr, color);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void shoe(cairo_t* cr, Pt foot, double angle, bool back) {
    cairo_save(cr);
    cairo_translate(cr, foot.x, foot.y);
    cairo_rotate(cr, -angle * 0.5);
    roundRect(cr, -7, -6, 24, 12, 5);
    fillStroke(cr, back ? darken(kShoe, 0.15) : kShoe, ink, 2.5);
    cairo_rectangle(cr, -6, 2, 22, 3);
    setColor(cr, back ? darken(kShirt, 0.2) : kShirt);
    cairo_fill(cr);
    cairo_restore(cr);
}

void head(cairo_t* cr, Pt c, bool cheer) {
    // Hair at the back, face, cap with a peak pointing forward.
    circle(cr, c.x - 3, c.y + 2, 23);
    fillStroke(cr, kHair, ink, 3);
    circle(cr, c.x + 2, c.y + 3, 21);
    fillStroke(cr, kSkin, ink, 3);
    // Ear
    circle(cr, c.x - 6, c.y + 6, 5);
    fillStroke(cr, darken(kSkin, 0.08), ink, 2);
    // Cap; cheering, it is turned back to front, which leaves room in front
    // of the face for the raised fist.
    cairo_new_path(cr);
    cairo_arc(cr, c.x, c.y - 1, 23, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    fillStroke(cr, kCap, ink, 3);
    roundRect(cr, cheer ? c.x - 36 : c.x + 10, c.y - 6, 26, 8, 4);
    fillStroke(cr, darken(kCap, 0.12), ink, 2.5);
    circle(cr, cheer ? c.x + 2 : c.x - 2, c.y - 14, 5);
    setColor(cr, kShirt);
    cairo_fill(cr);
    // Eye and smile
    setColor(cr, ink);
    if (cheer) {
        cairo_arc(cr, c.x + 12, c.y + 6, 3.5, M_PI, 2 * M_PI);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    } else {
        roundRect(cr, c.x + 11, c.y + 2, 4.5, 8, 2.2);
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    cairo_arc(cr, c.x + 12, c.y + 13, 6, 0.2, M_PI * 0.85);
    if (cheer) {
        cairo_close_path(cr);
        fillStroke(cr, hex(0xC2334A), ink, 2);
    } else {
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    circle(cr, c.x + 4, c.y + 12, 3.5);
    setColor(cr, hex(0xFF8A8A), 0.8);
    cairo_fill(cr);
}

}  // namespace

void drawRunner(cairo_t* cr, double x, double groundY, double scale, double phase, Pose pose) {
    const double thighLen = 34, shinLen = 34, upperArm = 24, foreArm = 22;
    const bool cheer = pose == Pose::Cheer;
    double thigh[2], knee[2], shoulder[2], elbow[2];
    for (int i = 0; i < 2; ++i) {
        double phi = 2 * M_PI * (phase + i * 0.5);
        if (cheer) {
            // A victory hop, both fists up: upper arms out to the sides and
            // forearms raised, so each fist rises beside the head and no arm
            // crosses the face.
            thigh[i] = i == 0 ? 0.45 : -0.3;
            knee[i] = i == 0 ? -0.25 : -0.7;
            shoulder[i] = i == 0 ? 1.7 : -1.7;
            elbow[i] = i == 0 ? 2.75 : -2.75;
        } else {
            thigh[i] = 0.8 * std::sin(phi);
            double bend = 0.25 + 1.3 * std::max(0.0, std::cos(phi));
            knee[i] = thigh[i] - bend;
            shoulder[i] = -0.95 * std::sin(phi);
            elbow[i] = shoulder[i] + 1.5;
        }
    }
    // Put the lower foot on the ground.
    double drop = 0;
    for (int i = 0; i < 2; ++i) {
        Pt k = along({0, 0}, thigh[i], thighLen);
        Pt f = along(k, knee[i], shinLen);
        drop = std::max(drop, f.y);
    }
    const double lean = cheer ? 0.0 : 0.22;
    cairo_save(cr);
    cairo_translate(cr, x, groundY);
    cairo_scale(cr, scale, scale);
    const Pt hip{0, -drop - 6};
    const Pt neck = along(hip, M_PI - lean, 44);
    const Pt headC = along(neck, M_PI - lean, 26);

    auto drawLeg = [&](int i, bool back) {
        Pt k = along(hip, thigh[i], thighLen);
        Pt f = along(k, knee[i], shinLen);
        limb(cr, hip, k, f, 11, back ? darken(kSkin, 0.12) : kSkin);
        // Shorts cover the thigh top.
        limb(cr, hip, along(hip, thigh[i], 15), along(hip, thigh[i], 16), 15,
             back ? darken(kShorts, 0.2) : kShorts);
        shoe(cr, f, knee[i], back);
    };
    auto drawArm = [&](int i, bool back) {
        Pt s = along(neck, 0, 6);
        Pt e = along(s, shoulder[i], upperArm);
        Pt h = along(e, elbow[i], foreArm);
        limb(cr, s, e, h, 9, back ? darken(kSkin, 0.12) : kSkin);
        limb(cr, s, along(s, shoulder[i], 9), along(s, shoulder[i], 10), 12,
             back ? darken(kShirt, 0.2) : kShirt);
        circle(cr, h.x, h.y, 6);
        fillStroke(cr, back ? darken(kSkin, 0.12) : kSkin, ink, 2.5);
    };
    drawArm(1, true);
    drawLeg(1, true);
    // Torso
    cairo_save(cr);
    cairo_translate(cr, hip.x, hip.y);
    cairo_rotate(cr, lean);
    roundRect(cr, -14, -48, 28, 52, 11);
    fillStroke(cr, kShirt, ink, 3);
    cairo_rectangle(cr, -13, -30, 26, 6);
    setColor(cr, {1, 1, 1});
    cairo_fill(cr);
    roundRect(cr, -14, -6, 28, 14, 5);
    fillStroke(cr, kShorts, ink, 3);
    cairo_restore(cr);
    drawLeg(0, false);
    head(cr, headC, cheer);
    drawArm(0, false);
    cairo_restore(cr);
}

}  // namespace assetgen
