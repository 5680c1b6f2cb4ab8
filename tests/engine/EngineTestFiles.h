// Small picture and sound files written by the engine tests themselves, in a
// temporary folder that disappears with the test.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace testing_support {

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("swapsprint_engine_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

using Bytes = std::vector<std::uint8_t>;

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void put16(Bytes& b, std::uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
inline void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void put32be(Bytes& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back((v >> shift) & 0xFF);
}

// A 24-bit bottom-up BMP of the surface's pixels (0x00RRGGBB). The header may
// claim another size than the pixels it carries.
inline Bytes bmpBytes(const platform::Surface& s, int claimW = -1, int claimH = -1) {
    const int w = s.width(), h = s.height();
    const int stride = (w * 3 + 3) & ~3;
    Bytes b{'B', 'M'};
    put32(b, 54 + stride * h);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(claimW >= 0 ? claimW : w));
    put32(b, static_cast<std::uint32_t>(claimH >= 0 ? claimH : h));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, static_cast<std::uint32_t>(stride * h));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = s.pixel(x, y);
            b.push_back(p & 0xFF);
            b.push_back((p >> 8) & 0xFF);
            b.push_back((p >> 16) & 0xFF);
        }
        for (int pad = w * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

inline std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c ^ 0xFFFFFFFFu;
}

inline void pngChunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, crc32(body.data(), body.size()));
}

// An RGBA PNG of the surface's pixels (0xAARRGGBB), its image data in stored
// (uncompressed) deflate blocks. The header may claim another size.
inline Bytes pngBytes(const platform::Surface& s, int claimW = -1, int claimH = -1) {
    Bytes raw;
    for (int y = 0; y < s.height(); ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < s.width(); ++x) {
            const std::uint32_t p = s.pixel(x, y);
            raw.push_back((p >> 16) & 0xFF);
            raw.push_back((p >> 8) & 0xFF);
            raw.push_back(p & 0xFF);
            raw.push_back(p >> 24);
        }
    }
    Bytes z{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        z.push_back(at + n == raw.size() ? 1 : 0);
        put16(z, static_cast<std::uint32_t>(n));
        put16(z, static_cast<std::uint32_t>(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, (b << 16) | a);

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    put32be(ihdr, static_cast<std::uint32_t>(claimW >= 0 ? claimW : s.width()));
    put32be(ihdr, static_cast<std::uint32_t>(claimH >= 0 ? claimH : s.height()));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    pngChunk(png, "IHDR", ihdr);
    pngChunk(png, "IDAT", z);
    pngChunk(png, "IEND", {});
    return png;
}

// A mono 16-bit PCM WAV of the given number of samples.
inline Bytes wavBytes(int samples) {
    Bytes b{'R', 'I', 'F', 'F'};
    put32(b, 36 + samples * 2);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, 22050);
    put32(b, 44100);
    put16(b, 2);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, static_cast<std::uint32_t>(samples * 2));
    for (int i = 0; i < samples; ++i) put16(b, static_cast<std::uint32_t>((i * 997) & 0x7FFF));
    return b;
}

// A surface whose every pixel is fn(x, y).
inline platform::Surface makeSurface(int w, int h,
                                     const std::function<std::uint32_t(int, int)>& fn) {
    platform::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.setPixel(x, y, fn(x, y));
    return s;
}

}  // namespace testing_support
