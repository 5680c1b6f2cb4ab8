// Pictures of known colours at the exact sizes and grids the runner strip
// loads, written into img/ of the working folder, so tests can tell what was
// drawn where and benchmarks can draw without the generated art.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "framework/GameNames.h"
#include "support/TestFiles.h"

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

// A 24-bit BMP of w x h whose pixel (x, y) is colour(x, y).
inline void writeBmp(const std::string& path, int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    const auto bytes = testing_support::bmpBytes(testing_support::makeSurface(w, h, colour));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
    writeBmp("img/talkboxBg.bmp", names::kClientWidth, 115, solid(0x000080));
    writeBmp("img/talkbox2.bmp", names::kClientWidth, 805,
             [](int x, int) { return x >= 10 && x < 30 ? kTalkTextColour : kMagenta; });
    const char* kinds[6] = {"daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    for (int k = 1; k <= 6; ++k) {
        writeBmp(std::string("img/") + kinds[k - 1] + ".bmp", 800, 100,
                 [k](int x, int) { return obstacleColour(k, x / 100); });
    }
    // Any non-empty file will do for the simulated audio.
    for (const char* s : {"soundfile/jump.wav", "soundfile/playbgm.mp3"}) std::ofstream(s, std::ios::binary) << "sound";
}

}  // namespace runner_test
