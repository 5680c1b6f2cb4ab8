// icon-sizes SOURCE.png OUTDIR SIZE...: writes OUTDIR/SIZE.png, the icon
// scaled to SIZE x SIZE for each size a desktop asks for. cairo's "good"
// filter averages the source pixels a smaller icon covers, so small sizes stay
// clean rather than aliased.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: icon-sizes SOURCE.png OUTDIR SIZE...\n");
        return 2;
    }
    cairo_surface_t* source = cairo_image_surface_create_from_png(argv[1]);
    if (cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "icon-sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    const int width = cairo_image_surface_get_width(source);
    const int height = cairo_image_surface_get_height(source);
    int status = 0;
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 4096) {
            std::fprintf(stderr, "icon-sizes: bad size %s\n", argv[i]);
            status = 1;
            continue;
        }
        cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
        cairo_t* cr = cairo_create(out);
        cairo_scale(cr, static_cast<double>(size) / width, static_cast<double>(size) / height);
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        const std::string path = std::string(argv[2]) + "/" + argv[i] + ".png";
        if (cairo_surface_write_to_png(out, path.c_str()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "icon-sizes: cannot write %s\n", path.c_str());
            status = 1;
        }
        cairo_surface_destroy(out);
    }
    cairo_surface_destroy(source);
    cairo_debug_reset_static_data();  // so a leak checker sees nothing left
    return status;
}
