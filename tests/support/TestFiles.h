// Small picture and sound files written by the tests themselves, every byte
// under the test's control, in a temporary folder that goes with the test.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Surface.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir() { std::filesystem::create_directories(path_); }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const Bytes& b) const {
        std::ofstream(path_ / name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        return file(name);
    }
    std::string folder(const std::string& name) const {
        std::filesystem::create_directories(path_ / name);
        return file(name);
    }

private:
    static inline int count_ = 0;
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("swapsprint_test_" + std::to_string(::getpid()) + "_" + std::to_string(count_++));
};

inline void putLe(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> 8 * i));
}
inline void putBe(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> 8 * i));
}

// A surface whose every pixel is fn(x, y).
inline platform::Surface makeSurface(int w, int h, const std::function<std::uint32_t(int, int)>& fn) {
    platform::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.setPixel(x, y, fn(x, y));
    return s;
}

inline bool same(const platform::Surface& a, const platform::Surface& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.pixels(), a.pixels() + a.width() * a.height(), b.pixels());
}
inline bool same(const platform::Canvas& a, const platform::Surface& b) { return same(a.pixels(), b); }
inline bool same(const platform::Canvas& a, const platform::Canvas& b) { return same(a.pixels(), b.pixels()); }
inline bool same(const platform::Picture& a, const platform::Surface& b) { return same(a.copy(), b); }

struct BmpLayout {
    int bpp = 24;  // 8: pixels are palette indexes; 24 and 32: pixels are written as they are
    std::vector<std::uint32_t> palette = {};
    int claimW = -1, claimH = -1;  // a header size other than the pixels'
};

// A bottom-up BMP with the plain 40-byte header.
inline Bytes bmpBytes(const platform::Surface& s, const BmpLayout& o = {}) {
    const int w = s.width(), h = s.height(), stride = (w * o.bpp + 31) / 32 * 4;
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(o.palette.size());
    Bytes b{'B', 'M'};
    for (std::uint32_t v : {offset + stride * h, 0u, offset, 40u, static_cast<std::uint32_t>(o.claimW >= 0 ? o.claimW : w),
                            static_cast<std::uint32_t>(o.claimH >= 0 ? o.claimH : h)})
        putLe(b, v, 4);
    putLe(b, 1, 2);
    putLe(b, o.bpp, 2);
    for (std::uint32_t v : {0u, std::uint32_t(stride * h), 2835u, 2835u, static_cast<std::uint32_t>(o.palette.size()), 0u})
        putLe(b, v, 4);
    for (std::uint32_t v : o.palette) putLe(b, v, 4);
    for (int row = 0; row < h; ++row) {
        const std::size_t start = b.size();
        for (int x = 0; x < w; ++x) putLe(b, s.pixel(x, h - 1 - row), o.bpp / 8);
        b.resize(start + stride, 0);
    }
    return b;
}

inline std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

inline void pngChunk(Bytes& png, const char* type, const Bytes& data) {
    putBe(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBe(png, crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored (uncompressed) blocks around raw.
inline Bytes zlibStored(const Bytes& raw) {
    Bytes z{0x78, 0x01};
    std::size_t at = 0;
    do {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(raw.size() - at, 65535));
        z.push_back(at + n == raw.size());  // the last block's flag
        putLe(z, n | ~n << 16, 4);          // the block's length and its complement
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    putBe(z, b << 16 | a);
    return z;
}

inline Bytes pngHeader(std::uint32_t w, std::uint32_t h, int depth, int colourType, bool interlaced) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, ihdr;
    putBe(ihdr, w);
    putBe(ihdr, h);
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colourType), 0, 0,
                             static_cast<std::uint8_t>(interlaced)});
    pngChunk(png, "IHDR", ihdr);
    return png;
}

// An RGBA PNG of the surface's 0xAARRGGBB pixels. The header may claim
// another size.
inline Bytes pngBytes(const platform::Surface& s, int claimW = -1, int claimH = -1) {
    Bytes raw;
    for (int y = 0; y < s.height(); ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < s.width(); ++x) {
            const std::uint32_t p = s.pixel(x, y);
            putBe(raw, p << 8 | p >> 24);
        }
    }
    Bytes png = pngHeader(claimW >= 0 ? claimW : s.width(), claimH >= 0 ? claimH : s.height(), 8, 6, false);
    pngChunk(png, "IDAT", zlibStored(raw));
    pngChunk(png, "IEND", {});
    return png;
}

// Mono 16-bit PCM at 22050 Hz.
inline Bytes wavBytes(int samples) {
    Bytes b{'R', 'I', 'F', 'F'};
    putLe(b, 36 + samples * 2, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    for (auto [v, n] : {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}})
        putLe(b, v, n);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    putLe(b, samples * 2, 4);
    for (int i = 0; i < samples; ++i) putLe(b, (i * 997) & 0x7FFF, 2);
    return b;
}

}  // namespace testing_support
