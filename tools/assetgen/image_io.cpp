#include "image_io.hpp"

#include <png.h>

#include <cstdio>

namespace assetgen {

namespace {

struct Argb {
    uint32_t a, r, g, b;
};

Argb unpremultiply(uint32_t p) {
    Argb c{p >> 24, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
    if (c.a == 0) return {0, 0, 0, 0};
    if (c.a < 255) {
        c.r = std::min<uint32_t>(255, (c.r * 255 + c.a / 2) / c.a);
        c.g = std::min<uint32_t>(255, (c.g * 255 + c.a / 2) / c.a);
        c.b = std::min<uint32_t>(255, (c.b * 255 + c.a / 2) / c.a);
    }
    return c;
}

uint32_t pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

template <typename Fn>
Image convert(const Canvas& canvas, Fn fn) {
    cairo_surface_flush(canvas.surface());
    Image img;
    img.width = canvas.width();
    img.height = canvas.height();
    img.pixels.resize(size_t(img.width) * img.height);
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < img.height; ++y) {
        auto row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < img.width; ++x) img.pixels[size_t(y) * img.width + x] = fn(row[x]);
    }
    return img;
}

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

}  // namespace

Image toKeyed(const Canvas& canvas) {
    return convert(canvas, [](uint32_t p) {
        Argb c = unpremultiply(p);
        if (c.a < 128) return 0xFF000000u | kMagenta;
        uint32_t rgb = pack(0, c.r, c.g, c.b);
        if (rgb == kMagenta) rgb = 0xFE00FF;
        return 0xFF000000u | rgb;
    });
}

Image toOpaque(const Canvas& canvas) {
    return convert(canvas, [](uint32_t p) {
        // Premultiplied over white: c + (255 - a).
        uint32_t a = p >> 24;
        uint32_t r = ((p >> 16) & 0xFF) + 255 - a;
        uint32_t g = ((p >> 8) & 0xFF) + 255 - a;
        uint32_t b = (p & 0xFF) + 255 - a;
        return pack(255, r, g, b);
    });
}

Image toStraight(const Canvas& canvas, bool avoidSkipKey) {
    return convert(canvas, [avoidSkipKey](uint32_t p) {
        Argb c = unpremultiply(p);
        if (c.a == 0) return 0u;
        if (avoidSkipKey && pack(0, c.r, c.g, c.b) == kSkipKey) c.b += 1;
        return pack(c.a, c.r, c.g, c.b);
    });
}

std::vector<uint8_t> encodeBmp24(const Image& image) {
    const size_t rowBytes = (size_t(image.width) * 3 + 3) & ~size_t(3);
    const size_t dataSize = rowBytes * image.height;
    std::vector<uint8_t> out(54 + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, uint32_t(out.size()));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, uint32_t(image.width));
    put32(out, 22, uint32_t(image.height));  // positive: bottom-up rows
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, uint32_t(dataSize));
    put32(out, 38, 2835);  // 72 dpi
    put32(out, 42, 2835);
    for (int y = 0; y < image.height; ++y) {
        size_t at = 54 + rowBytes * size_t(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.pixels[size_t(y) * image.width + x];
            out[at++] = p & 0xFF;
            out[at++] = (p >> 8) & 0xFF;
            out[at++] = (p >> 16) & 0xFF;
        }
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool writeBmp(const std::string& path, const Image& image) {
    return writeFile(path, encodeBmp24(image));
}

bool writePng(const std::string& path, const Image& image) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    // The run folder has a size budget; the strongest deflate costs little here.
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, uint32_t(image.width), uint32_t(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.pixels[size_t(y) * image.width + x];
            row[size_t(x) * 4 + 0] = (p >> 16) & 0xFF;
            row[size_t(x) * 4 + 1] = (p >> 8) & 0xFF;
            row[size_t(x) * 4 + 2] = p & 0xFF;
            row[size_t(x) * 4 + 3] = p >> 24;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

}  // namespace assetgen
