#include "file_readers.hpp"

#include <lame/lame.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

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
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// Bottom-up rows, as the generator and the game's loader both use.
std::optional<Picture> readBmp24(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->size() < 54 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M') return std::nullopt;
    const auto& b = *bytes;
    Picture p{int(le(b, 18, 4)), int(le(b, 22, 4)), {}};
    const size_t offset = le(b, 10, 4), rowBytes = (size_t(p.width) * 3 + 3) & ~size_t(3);
    if (le(b, 28, 2) != 24 || le(b, 30, 4) != 0 || p.width <= 0 || p.height <= 0 ||
        offset + rowBytes * p.height > b.size())
        return std::nullopt;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.argb.push_back(0xFF000000u | le(b, offset + rowBytes * size_t(p.height - 1 - y) + size_t(x) * 3, 3));
    return p;
}

std::optional<Picture> readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    Picture p{int(image.width), int(image.height), std::vector<uint32_t>(size_t(image.width) * image.height)};
    if (png_image_finish_read(&image, nullptr, p.argb.data(), 0, nullptr)) return p;
    png_image_free(&image);
    return std::nullopt;
}

std::optional<Sound> decodeMp3(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->empty()) return std::nullopt;
    hip_t hip = hip_decode_init();
    Sound s;
    std::vector<short> left(1152 * 8), right(1152 * 8);
    mp3data_struct info{};
    // The decoder wants its input in small pieces; after each piece it is
    // drained with empty reads until it needs more.
    int got = 0;
    for (size_t at = 0; at < bytes->size() && got >= 0; at += 512) {
        got = hip_decode1_headers(hip, bytes->data() + at, std::min<size_t>(512, bytes->size() - at), left.data(),
                                  right.data(), &info);
        for (; got > 0; got = hip_decode1_headers(hip, bytes->data(), 0, left.data(), right.data(), &info))
            s.frames += size_t(got);
        if (info.header_parsed) s = {info.samplerate, info.stereo, info.bitrate, s.frames};
    }
    hip_decode_exit(hip);
    if (got < 0 || !s.sampleRate) return std::nullopt;
    return s;
}

// Walks the chunks to "fmt " and "data"; PCM only.
std::optional<Sound> readWav(const std::string& path) {
    auto bytes = readBytes(path);
    if (!bytes || bytes->size() < 44) return std::nullopt;
    const auto& b = *bytes;
    if (std::memcmp(b.data(), "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4)) return std::nullopt;
    Sound s;
    size_t blockAlign = 0;
    for (size_t at = 12; at + 8 <= b.size(); at += 8 + le(b, at + 4, 4) + (le(b, at + 4, 4) & 1)) {
        if (!std::memcmp(&b[at], "fmt ", 4) && at + 24 <= b.size()) {
            if (le(b, at + 8, 2) != 1) return std::nullopt;
            s.channels = int(le(b, at + 10, 2));
            s.sampleRate = int(le(b, at + 12, 4));
            blockAlign = le(b, at + 20, 2);
        } else if (!std::memcmp(&b[at], "data", 4)) {
            if (!blockAlign || at + 8 + le(b, at + 4, 4) > b.size()) return std::nullopt;
            s.frames = le(b, at + 4, 4) / blockAlign;
            return s;
        }
    }
    return std::nullopt;
}

}  // namespace assetcheck
