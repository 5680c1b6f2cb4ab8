#include "file_readers.hpp"

#include <lame/lame.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace assetcheck {

namespace {
uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + size_t(i)];
    return v;
}
}  // namespace

std::string gameDir() { return SWAPSPRINT_GAME_DIR; }

std::optional<std::vector<uint8_t>> readBytes(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<uint8_t> out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

std::optional<Picture> readBmp24(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->size() < 54 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') return std::nullopt;
    const auto& b = *bytes;
    if (le(b, 28, 2) != 24 || le(b, 30, 4) != 0) return std::nullopt;
    Picture p;
    p.width = int(le(b, 18, 4));
    int32_t h = int32_t(le(b, 22, 4));
    p.height = h < 0 ? -h : h;
    const size_t offset = le(b, 10, 4);
    const size_t rowBytes = (size_t(p.width) * 3 + 3) & ~size_t(3);
    if (p.width <= 0 || offset + rowBytes * p.height > b.size()) return std::nullopt;
    p.argb.resize(size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        size_t row = offset + rowBytes * size_t(h < 0 ? y : p.height - 1 - y);
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = &b[row + size_t(x) * 3];
            p.argb[size_t(y) * p.width + x] = 0xFF000000u | (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
        }
    }
    return p;
}

std::optional<Picture> readPng(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    Picture p;
    p.width = int(image.width);
    p.height = int(image.height);
    p.argb.resize(size_t(p.width) * p.height);
    if (!png_image_finish_read(&image, nullptr, p.argb.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return p;
}

std::optional<Sound> decodeMp3(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->empty()) return std::nullopt;
    hip_t hip = hip_decode_init();
    Sound s;
    std::vector<short> left(1152 * 8), right(1152 * 8);
    mp3data_struct info;
    std::memset(&info, 0, sizeof info);
    // The decoder wants its input in small pieces; after each piece it is
    // drained with empty reads until it needs more.
    constexpr size_t kChunk = 512;
    bool anyHeader = false;
    for (size_t at = 0; at < bytes->size(); at += kChunk) {
        size_t n = std::min(kChunk, bytes->size() - at);
        int got = hip_decode1_headers(hip, bytes->data() + at, n, left.data(), right.data(), &info);
        while (got > 0) {
            s.frames += size_t(got);
            got = hip_decode1_headers(hip, bytes->data(), 0, left.data(), right.data(), &info);
        }
        if (got < 0) {
            hip_decode_exit(hip);
            return std::nullopt;
        }
        if (info.header_parsed) {
            anyHeader = true;
            s.sampleRate = info.samplerate;
            s.channels = info.stereo;
            s.bitrateKbps = info.bitrate;
        }
    }
    hip_decode_exit(hip);
    if (!anyHeader) return std::nullopt;
    return s;
}

std::optional<Sound> readWav(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->size() < 44) return std::nullopt;
    const auto& b = *bytes;
    if (std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    Sound s;
    size_t at = 12;
    int bits = 0;
    while (at + 8 <= b.size()) {
        uint32_t size = le(b, at + 4, 4);
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && at + 24 <= b.size()) {
            if (le(b, at + 8, 2) != 1) return std::nullopt;  // PCM only
            s.channels = int(le(b, at + 10, 2));
            s.sampleRate = int(le(b, at + 12, 4));
            bits = int(le(b, at + 22, 2));
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (!s.channels || !bits || at + 8 + size > b.size()) return std::nullopt;
            s.frames = size / (size_t(s.channels) * size_t(bits / 8));
            return s;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace assetcheck
