// Pictures of known colours at the exact sizes and grids the runner strip
// loads, written into img/ of the working folder, so tests can tell what was
// drawn where and benchmarks can draw without the generated art.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace runner_test {

// Known colours (0x00RRGGBB); a cell's colour says which frame column it is.
constexpr std::uint32_t kMagenta = 0xFF00FF;
inline std::uint32_t runnerColour(int column) { return 0x800011 | (column * 16 + 8) << 8; }
inline std::uint32_t dustColour(int column) { return 0x900022 | (column * 16 + 8) << 8; }
inline std::uint32_t obstacleColour(int kind, int column) {
    return (kind * 20) << 16 | (column * 16 + 8) << 8 | 0x55;
}
constexpr std::uint32_t kFillColour = 0xE01010;
constexpr std::uint32_t kNeedleColour = 0x4040F0;
constexpr std::uint32_t kSpeedDownColour = 0xF0F040;
constexpr std::uint32_t kTalkTextColour = 0xA00033;

// A 24-bit bottom-up BMP of w x h whose pixel (x, y) is colour(x, y).
inline void writeBmp(const std::string& path, int w, int h,
                     const std::function<std::uint32_t(int, int)>& colour) {
    const int stride = (w * 3 + 3) & ~3;
    const auto size = static_cast<std::uint32_t>(54 + stride * h);
    std::vector<std::uint8_t> out(size, 0);
    // Header: size, pixel offset 54, a 40-byte info header, w, h, 1 plane, 24 bits.
    const std::uint32_t fields[][2] = {{2, size}, {10, 54}, {14, 40}, {18, std::uint32_t(w)},
                                       {22, std::uint32_t(h)}, {26, 1}, {28, 24}};
    for (const auto& [at, v] : fields) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    out[0] = 'B';
    out[1] = 'M';
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            for (int ch = 0; ch < 3; ++ch) {
                out[54 + static_cast<std::size_t>(h - 1 - y) * stride + x * 3 + ch] =
                    static_cast<std::uint8_t>(c >> (8 * ch));
            }
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                                static_cast<std::streamsize>(out.size()));
}

// Every picture the strip and its obstacles load, in colours the tests know.
inline void writeKnownArt() {
    std::filesystem::create_directory("img");
    std::filesystem::create_directory("soundfile");
    auto solid = [](std::uint32_t c) { return [c](int, int) { return c; }; };
    writeBmp("img/bgBack.bmp", 1728, 486, solid(0x404040));
    writeBmp("img/bgFront.bmp", 1420, 400, [](int, int y) { return y < 360 ? kMagenta : 0x202020u; });
    writeBmp("img/marlo.bmp", 1278, 200,
             [](int x, int) { return x < 159 * 8 ? runnerColour(x / 159) : kMagenta; });
    writeBmp("img/dust.bmp", 240, 30, [](int x, int) { return dustColour(x / 60); });
    writeBmp("img/string_slow.bmp", 60, 25, solid(0x2060A0));
    writeBmp("img/string_fast.bmp", 60, 25, solid(0xA06020));
    // Fill, track, then a see-through frame row.
    writeBmp("img/speed.bmp", 250, 75,
             [](int, int y) { return y < 25 ? kFillColour : y < 50 ? 0x10E010u : kMagenta; });
    writeBmp("img/niddle.bmp", 5, 20, solid(kNeedleColour));
    writeBmp("img/speed_down.bmp", 45, 45, solid(kSpeedDownColour));
    writeBmp("img/talkboxBg.bmp", 600, 115, solid(0x000080));
    writeBmp("img/talkbox2.bmp", 600, 805,
             [](int x, int) { return x >= 10 && x < 30 ? kTalkTextColour : kMagenta; });
    const char* kinds[6] = {"daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    for (int k = 1; k <= 6; ++k) {
        writeBmp(std::string("img/") + kinds[k - 1] + ".bmp", 800, 100,
                 [k](int x, int) { return obstacleColour(k, x / 100); });
    }
    // Any non-empty file will do for the simulated audio.
    for (const char* s : {"soundfile/jump.wav", "soundfile/playbgm.mp3"}) {
        std::ofstream(s, std::ios::binary) << "sound";
    }
}

}  // namespace runner_test
