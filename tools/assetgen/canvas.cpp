#include "canvas.hpp"

#include <cmath>

namespace assetgen {

namespace {
constexpr const char* kFace = "Lato Black";

void selectFont(cairo_t* cr, double size) {
    cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double alignedX(cairo_t* cr, const std::string& text, double x, Align align) {
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    switch (align) {
    case Align::Left: return x;
    case Align::Center: return x - ext.x_advance / 2.0;
    case Align::Right: return x - ext.x_advance;
    }
    return x;
}
}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb lighten(Rgb c, double t) { return mix(c, {1, 1, 1}, t); }
Rgb darken(Rgb c, double t) { return mix(c, {0, 0, 0}, t); }

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void forEachCell(cairo_t* cr, int cols, int rows, int cellW, int cellH,
                 const std::function<void(int, int)>& fn) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            cairo_save(cr);
            cairo_rectangle(cr, c * cellW, r * cellH, cellW, cellH);
            cairo_clip(cr);
            cairo_translate(cr, c * cellW, r * cellH);
            fn(c, r);
            cairo_restore(cr);
        }
    }
}

void setColor(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2.0);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points,
              double rotation) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        double a = rotation - M_PI / 2 + i * M_PI / points;
        double rad = (i % 2 == 0) ? outer : inner;
        cairo_line_to(cr, cx + rad * std::cos(a), cy + rad * std::sin(a));
    }
    cairo_close_path(cr);
}

void heartPath(cairo_t* cr, double cx, double cy, double s) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, cx, cy + s * 0.9);
    cairo_curve_to(cr, cx - s * 1.25, cy + s * 0.05, cx - s * 0.95, cy - s * 1.05, cx,
                   cy - s * 0.45);
    cairo_curve_to(cr, cx + s * 0.95, cy - s * 1.05, cx + s * 1.25, cy + s * 0.05, cx,
                   cy + s * 0.9);
    cairo_close_path(cr);
}

void polygonPath(cairo_t* cr, double cx, double cy, double radius, int sides, double rotation) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < sides; ++i) {
        double a = rotation + i * 2 * M_PI / sides;
        cairo_line_to(cr, cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    cairo_rectangle(cr, x, y, w, h);
    fillPathVertical(cr, y, y + h, top, bottom);
    cairo_new_path(cr);
}

void fillPathVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void fillStroke(cairo_t* cr, Rgb fill, Rgb line, double lineWidth) {
    setColor(cr, fill);
    cairo_fill_preserve(cr);
    setColor(cr, line);
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

void cloud(cairo_t* cr, double cx, double cy, double s, Rgb fill, Rgb shade) {
    const double puffs[][3] = {{-1.0, 0.15, 0.55}, {-0.45, -0.25, 0.7}, {0.25, -0.35, 0.8},
                               {0.95, 0.05, 0.6}, {0.0, 0.2, 0.6}};
    setColor(cr, shade);
    for (auto& p : puffs) circle(cr, cx + p[0] * 40 * s, cy + p[1] * 40 * s + 5 * s, p[2] * 40 * s);
    cairo_fill(cr);
    setColor(cr, fill);
    for (auto& p : puffs) circle(cr, cx + p[0] * 40 * s, cy + p[1] * 40 * s, p[2] * 40 * s);
    cairo_fill(cr);
}

double textWidth(cairo_t* cr, const std::string& text, double size) {
    cairo_save(cr);
    selectFont(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

double inkWidth(cairo_t* cr, const std::string& text, double size) {
    cairo_save(cr);
    selectFont(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_restore(cr);
    return ext.width;
}

void outlinedText(cairo_t* cr, const std::string& text, double size, double x, double y,
                  Align align, Rgb fill, Rgb outline, double outlineWidth) {
    cairo_save(cr);
    selectFont(cr, size);
    cairo_new_path(cr);
    cairo_move_to(cr, alignedX(cr, text, x, align), y);
    cairo_text_path(cr, text.c_str());
    if (outlineWidth > 0) {
        setColor(cr, outline);
        cairo_set_line_width(cr, outlineWidth * 2);
        cairo_stroke_preserve(cr);
    }
    setColor(cr, fill);
    cairo_fill(cr);
    cairo_restore(cr);
}

void gradientText(cairo_t* cr, const std::string& text, double size, double x, double y,
                  Align align, Rgb top, Rgb bottom, Rgb outline, double outlineWidth) {
    cairo_save(cr);
    selectFont(cr, size);
    cairo_new_path(cr);
    cairo_move_to(cr, alignedX(cr, text, x, align), y);
    cairo_text_path(cr, text.c_str());
    setColor(cr, outline);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_stroke_preserve(cr);
    fillPathVertical(cr, y - size * 0.75, y, top, bottom);
    cairo_new_path(cr);
    cairo_restore(cr);
}

void centredText(cairo_t* cr, const std::string& text, double size, double cx, double cy,
                 Rgb fill, Rgb outline, double outlineWidth) {
    cairo_save(cr);
    selectFont(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    double y = cy - (ext.y_bearing + ext.height / 2.0);
    double x = cx - (ext.x_bearing + ext.width / 2.0);
    cairo_restore(cr);
    outlinedText(cr, text, size, x, y, Align::Left, fill, outline, outlineWidth);
}

uint32_t Rng::next() {
    // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}
double Rng::uniform() { return (next() >> 8) / 16777216.0; }
double Rng::range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

}  // namespace assetgen
