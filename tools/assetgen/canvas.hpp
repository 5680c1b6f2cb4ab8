// A cairo drawing surface plus the small shape and lettering helpers every
// picture shares, so all art comes out in one hand.
#pragma once
#include <cairo.h>
#include <cstdint>
#include <functional>
#include <string>

namespace assetgen {

struct Rgb {
    double r, g, b;
};

// 0xRRGGBB to components.
constexpr Rgb hex(uint32_t v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}
Rgb mix(Rgb a, Rgb b, double t);
Rgb lighten(Rgb c, double t);
Rgb darken(Rgb c, double t);

// An ARGB32 (premultiplied) surface starting fully transparent.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Runs fn once per frame cell with the origin moved to the cell and drawing
// clipped to it, so nothing bleeds into a neighbour frame.
void forEachCell(cairo_t* cr, int cols, int rows, int cellW, int cellH,
                 const std::function<void(int col, int row)>& fn);

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points,
              double rotation = 0.0);
void heartPath(cairo_t* cr, double cx, double cy, double size);
void polygonPath(cairo_t* cr, double cx, double cy, double radius, int sides, double rotation);
void fillVertical(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom);
// Fill the current path with a vertical gradient, keeping the path.
void fillPathVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);
// Fill and then stroke the current path with a dark outline.
void fillStroke(cairo_t* cr, Rgb fill, Rgb line, double lineWidth);
void circle(cairo_t* cr, double cx, double cy, double r);
// A fluffy cloud made of overlapping circles.
void cloud(cairo_t* cr, double cx, double cy, double scale, Rgb fill, Rgb shade);

enum class Align { Left, Center, Right };

// Lato Black lettering. y is the baseline; returns the advance width.
double textWidth(cairo_t* cr, const std::string& text, double size);
// The width the letters' ink covers, without the outline.
double inkWidth(cairo_t* cr, const std::string& text, double size);
void outlinedText(cairo_t* cr, const std::string& text, double size, double x, double y,
                  Align align, Rgb fill, Rgb outline, double outlineWidth);
// Lettering filled with a vertical gradient between two colours.
void gradientText(cairo_t* cr, const std::string& text, double size, double x, double y,
                  Align align, Rgb top, Rgb bottom, Rgb outline, double outlineWidth);
// Vertically centred variant: cy is the middle of the capital letters.
void centredText(cairo_t* cr, const std::string& text, double size, double cx, double cy,
                 Rgb fill, Rgb outline, double outlineWidth);

// Small deterministic random source (fixed seeds keep the output byte-identical).
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 1u) {}
    uint32_t next();
    double uniform();                      // [0, 1)
    double range(double lo, double hi);
private:
    uint32_t state_;
};

}  // namespace assetgen
