#include "contact_sheet.hpp"

#include <algorithm>
#include <cstdio>

namespace assetgen {

namespace {

constexpr int kSheetWidth = 2000;
constexpr int kBoxW = 380;
constexpr int kBoxH = 300;
constexpr int kLabelH = 34;
constexpr int kGap = 14;

const char* keyLabel(Format f) {
    switch (f) {
    case Format::KeyedBmp: return "BMP key FF00FF";
    case Format::OpaqueBmp: return "BMP opaque";
    case Format::Png: return "PNG alpha";
    case Format::PngSkip: return "PNG alpha, key 000049";
    }
    return "";
}

// The picture as the game would show it: key pixels transparent.
cairo_surface_t* previewSurface(const Image& img, Format f) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        auto row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < img.width; ++x) {
            uint32_t p = img.pixels[size_t(y) * img.width + x];
            uint32_t a = p >> 24;
            if (f == Format::KeyedBmp && (p & 0xFFFFFF) == kMagenta) a = 0;
            auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pm((p >> 16) & 0xFF) << 16) | (pm((p >> 8) & 0xFF) << 8) |
                     pm(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void checker(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.88);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.75);
    for (int j = 0; j * 8 < h; ++j)
        for (int i = (j % 2); i * 8 < w; i += 2) cairo_rectangle(cr, x + i * 8, y + j * 8, 8, 8);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

bool writeContactSheet(const std::string& path, const std::vector<SheetEntry>& entries) {
    const int perRow = (kSheetWidth - kGap) / (kBoxW + kGap);
    const int rowsNeeded = (int(entries.size()) + perRow - 1) / perRow;
    const int height = kGap + rowsNeeded * (kBoxH + kLabelH + kGap);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.2);
    cairo_paint(cr);
    for (size_t i = 0; i < entries.size(); ++i) {
        const SheetEntry& e = entries[i];
        const double bx = kGap + double(i % perRow) * (kBoxW + kGap);
        const double by = kGap + double(i / perRow) * (kBoxH + kLabelH + kGap);
        const double scale = std::min({1.0, double(kBoxW) / e.image->width,
                                       double(kBoxH) / e.image->height});
        const double w = e.image->width * scale, h = e.image->height * scale;
        const double x = bx + (kBoxW - w) / 2, y = by + (kBoxH - h) / 2;
        checker(cr, x, y, w, h);
        cairo_surface_t* pic = previewSurface(*e.image, e.format);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, pic, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(pic);
        // Frame grid lines, so cells can be checked by eye.
        cairo_set_source_rgba(cr, 0.2, 0.9, 1.0, 0.7);
        cairo_set_line_width(cr, 1);
        for (int c = 1; c < e.cols; ++c) {
            double gx = x + (e.image->width / e.cols) * c * scale;
            cairo_move_to(cr, gx, y);
            cairo_line_to(cr, gx, y + h);
        }
        for (int r = 1; r < e.rows; ++r) {
            double gy = y + (e.image->height / e.rows) * r * scale;
            cairo_move_to(cr, x, gy);
            cairo_line_to(cr, x + w, gy);
        }
        cairo_stroke(cr);
        char label[200];
        std::snprintf(label, sizeof label, "%s  %dx%d  %dx%d  %s", e.name.c_str(), e.image->width,
                      e.image->height, e.cols, e.rows, keyLabel(e.format));
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 13);
        cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
        cairo_move_to(cr, bx, by + kBoxH + 20);
        cairo_show_text(cr, label);
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(sheet, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(sheet);
    return ok;
}

}  // namespace assetgen
