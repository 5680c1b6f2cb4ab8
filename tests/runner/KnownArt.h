// Pictures of known colours at the exact sizes and grids the runner strip
// loads, written into img/ of the working folder, so tests can check drawing
// pixel by pixel and benchmarks can draw without the generated art.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace runner_test {

// Known colours of the pictures written for pixel tests (0x00RRGGBB).
constexpr std::uint32_t kMagenta = 0xFF00FF;
inline std::uint32_t runnerColour(int column) { return 0x800011 | (column * 16 + 8) << 8; }
inline std::uint32_t dustColour(int column) { return 0x900022 | (column * 16 + 8) << 8; }
inline std::uint32_t obstacleColour(int kind, int column) {
    return (kind * 20) << 16 | (column * 16 + 8) << 8 | 0x55;
}
inline std::uint32_t talkTextColour(int row) { return 0xA00033 | (row * 16 + 8) << 8; }
constexpr std::uint32_t kSlowColour = 0x2060A0;
constexpr std::uint32_t kFastColour = 0xA06020;
constexpr std::uint32_t kFillColour = 0xE01010;
constexpr std::uint32_t kTrackColour = 0x10E010;
constexpr std::uint32_t kGaugeFrameColour = 0x101010;
constexpr std::uint32_t kNeedleColour = 0x4040F0;
constexpr std::uint32_t kSpeedDownColour = 0xF0F040;
constexpr std::uint32_t kTalkBoxColour = 0x000080;

// A 24-bit bottom-up BMP of w x h whose pixel (x, y) is colour(x, y).
inline void writeBmp(const std::string& path, int w, int h,
                     const std::function<std::uint32_t(int, int)>& colour) {
    const int stride = (w * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(stride * h);
    std::vector<std::uint8_t> out(54 + dataSize, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = out.data() + 54 + static_cast<std::size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            row[x * 3 + 0] = static_cast<std::uint8_t>(c);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                                static_cast<std::streamsize>(out.size()));
}

// Every picture the strip and its obstacles load, in colours the tests know.
inline void writeKnownArt() {
    std::filesystem::create_directory("img");
    std::filesystem::create_directory("soundfile");
    // Back layer: each column says where it came from (R = x low byte, G = x high byte).
    writeBmp("img/bgBack.bmp", 1728, 486,
             [](int x, int) { return static_cast<std::uint32_t>((x & 0xFF) << 16 | (x >> 8) << 8 | 0x40); });
    // Front layer: see-through above row 360, column-coded below.
    writeBmp("img/bgFront.bmp", 1420, 400, [](int x, int y) {
        return y < 360 ? kMagenta : static_cast<std::uint32_t>(0x200000 | (x & 0xFF) << 8 | (x >> 8));
    });
    writeBmp("img/marlo.bmp", 1278, 200,
             [](int x, int) { return x < 159 * 8 ? runnerColour(x / 159) : kMagenta; });
    writeBmp("img/dust.bmp", 240, 30, [](int x, int) { return dustColour(x / 60); });
    writeBmp("img/string_slow.bmp", 60, 25, [](int, int) { return kSlowColour; });
    writeBmp("img/string_fast.bmp", 60, 25, [](int, int) { return kFastColour; });
    writeBmp("img/speed.bmp", 250, 75, [](int x, int y) {
        if (y < 25) return kFillColour;
        if (y < 50) return kTrackColour;
        const int r = y - 50;
        return (x == 0 || x == 249 || r == 0 || r == 24) ? kGaugeFrameColour : kMagenta;
    });
    writeBmp("img/niddle.bmp", 5, 20, [](int, int) { return kNeedleColour; });
    writeBmp("img/speed_down.bmp", 45, 45, [](int, int) { return kSpeedDownColour; });
    writeBmp("img/talkboxBg.bmp", 600, 115, [](int, int) { return kTalkBoxColour; });
    // Talk rows: a marked patch at x 10..29 of each row, the rest see-through.
    writeBmp("img/talkbox2.bmp", 600, 805, [](int x, int y) {
        return (x >= 10 && x < 30) ? talkTextColour(y / 115) : kMagenta;
    });
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
