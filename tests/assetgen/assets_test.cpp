// The generated run folder: every picture and sound the game loads, at the
// size and frame grid it cuts them by, with clean colour keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "file_readers.hpp"

namespace {

using assetcheck::Picture;
namespace fs = std::filesystem;

constexpr uint32_t kMagenta = 0xFF00FF;

// Opaque pictures are drawn without a key (or, like the sky, must hide nothing).
enum class Kind { Keyed, Opaque, Png };

struct Expected {
    std::string file;
    int width, height, cols = 1, rows = 1;
    Kind kind = Kind::Keyed;
};

// Sizes and frame grids as the game registers them.
std::vector<Expected> expectedPictures() {
    using K = Kind;
    std::vector<Expected> list = {
        {"bg.bmp", 600, 1024},          {"white.bmp", 557, 557, 1, 1, K::Opaque},
        {"watch.bmp", 30, 30},          {"refresh.bmp", 40, 40},
        {"strings.bmp", 600, 335, 1, 5}, {"bgBack.bmp", 1728, 486, 1, 1, K::Opaque},
        {"bgFront.bmp", 1420, 400},     {"marlo.bmp", 1278, 200, 8, 1},
        {"dust.bmp", 240, 30, 4, 1},    {"string_slow.bmp", 60, 25},
        {"string_fast.bmp", 60, 25},    {"speed.bmp", 250, 75, 1, 3},
        {"niddle.bmp", 5, 20},          {"speed_down.bmp", 45, 45},
        {"talkboxBg.bmp", 600, 115},    {"talkbox2.bmp", 600, 805, 1, 7},
        {"light.bmp", 4256, 1024, 8, 1}, {"play.bmp", 155, 90},
        {"pointMove.bmp", 42, 42},      {"pointClick.bmp", 42, 42},
        {"option.bmp", 50, 50},         {"optionPannel.bmp", 200, 106, 1, 1, K::Opaque},
        {"alphabet.bmp", 500, 350, 10, 5}, {"alphabet2.bmp", 400, 350, 10, 5},
        {"rank123.bmp", 70, 210, 1, 3}, {"rankbutton.bmp", 157, 90, 1, 3},
        {"rankBg1.bmp", 600, 1024, 1, 1, K::Opaque}, {"rankBg2.bmp", 600, 1024, 1, 1, K::Opaque},
        {"rankMarlo.bmp", 600, 1024},   {"rankframe.bmp", 600, 1024},
        {"main0.bmp", 600, 1024, 1, 1, K::Opaque},
        // PNGs keep their own size; the board cuts special.png 4 x 2.
        {"special.png", 304, 152, 4, 2, K::Png}, {"target.png", 64, 64, 1, 1, K::Png},
        {"homebutton.png", 90, 90, 1, 1, K::Png}, {"skip.png", 80, 36, 1, 1, K::Png},
        {"icon.png", 256, 256, 1, 1, K::Png},
    };
    for (int i = 1; i <= 6; ++i) list.push_back({"block" + std::to_string(i) + ".bmp", 128, 64, 2, 1});
    for (int i = 1; i <= 9; ++i) list.push_back({"main" + std::to_string(i) + ".bmp", 600, 1024});
    for (const char* row : {"bgmOn", "bgmOff", "effectOn", "effectOff"})
        list.push_back({row + std::string(".bmp"), 200, 35});
    for (const char* o : {"daruma", "drum", "pot", "dynamite", "bat", "manhole"})
        list.push_back({o + std::string(".bmp"), 800, 100, 8, 1});
    return list;
}

std::optional<Picture> load(const std::string& file) {
    const std::string path = assetcheck::gameDir() + "/img/" + file;
    return file.ends_with(".png") ? assetcheck::readPng(path) : assetcheck::readBmp24(path);
}

// The pixels of every cell of a cols x rows grid, row by row.
std::vector<std::vector<uint32_t>> cells(const Picture& p, int cols, int rows) {
    const int cw = p.width / cols, ch = p.height / rows;
    std::vector<std::vector<uint32_t>> out(size_t(cols) * rows);
    for (int y = 0; y < rows * ch; ++y)
        for (int x = 0; x < cols * cw; ++x) out[size_t(y / ch) * cols + x / cw].push_back(p.at(x, y));
    return out;
}

TEST(GeneratedPictures, EachHasItsSizeCleanKeysAndContentInEveryCell) {
    for (const Expected& e : expectedPictures()) {
        auto p = load(e.file);
        ASSERT_TRUE(p) << e.file << " missing or not a 24-bit BMP / PNG";
        ASSERT_EQ(std::pair(p->width, p->height), std::pair(e.width, e.height)) << e.file;
        int magenta = 0, halos = 0;
        for (uint32_t px : p->argb) {
            const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            magenta += (px & 0xFFFFFF) == kMagenta;
            // A pink halo: mostly magenta without being the key, left by blending with it.
            halos += (px & 0xFFFFFF) != kMagenta && r >= 200 && b >= 200 && g <= 110;
        }
        if (e.kind != Kind::Png) {
            EXPECT_EQ(halos, 0) << e.file << " has pixels blended with the key";
        }
        if (e.kind == Kind::Opaque) {
            EXPECT_EQ(magenta, 0) << e.file << " must show no key colour";
        }
        int index = 0;
        for (const auto& cell : cells(*p, e.cols, e.rows)) {
            const auto seen = std::count_if(cell.begin(), cell.end(), [&](uint32_t px) {
                return e.kind == Kind::Png ? (px >> 24) > 0 : (px & 0xFFFFFF) != kMagenta;
            });
            // A hundredth of the cell, or a small figure's worth: the ranking's
            // runner stands alone in the band below the list on a whole screen.
            EXPECT_GT(seen, std::min(long(cell.size() / 100), 1000L)) << e.file << " cell " << index++ << " is empty";
        }
    }
}

// Every glyph is its own; obstacles show frames 0..6 and wrap to 0, so each
// shown frame must differ from the next, the wrap included, or the loop stalls.
TEST(GeneratedPictures, GlyphsAreDistinctAndObstacleLoopsNeverStall) {
    for (const char* file : {"alphabet.bmp", "alphabet2.bmp"}) {
        auto grid = cells(*load(file), 10, 5);
        EXPECT_EQ(std::set(grid.begin(), grid.end()).size(), 50u) << file;
    }
    for (const char* file : {"daruma.bmp", "drum.bmp", "pot.bmp", "dynamite.bmp", "bat.bmp", "manhole.bmp"}) {
        auto frames = cells(*load(file), 8, 1);
        for (int f = 0; f < 7; ++f) EXPECT_NE(frames[f], frames[(f + 1) % 7]) << file << " frame " << f;
    }
}

// Nothing an animation or a sheet shows may touch its cell's edge, or it is
// drawn cut off: every cell keeps a ring of one pixel clear.
TEST(GeneratedPictures, EveryFrameKeepsAPixelOfMargin) {
    for (const Expected& e : expectedPictures()) {
        if (e.cols * e.rows == 1) continue;
        auto p = load(e.file);
        ASSERT_TRUE(p) << e.file;
        const int cw = p->width / e.cols, ch = p->height / e.rows;
        for (int y = 0; y < e.rows * ch; ++y)
            for (int x = 0; x < e.cols * cw; ++x) {
                const bool edge = x % cw == 0 || x % cw == cw - 1 || y % ch == 0 || y % ch == ch - 1;
                const bool clear = e.kind == Kind::Png ? (p->at(x, y) >> 24) == 0 : p->rgb(x, y) == kMagenta;
                if (edge && !clear) {
                    ADD_FAILURE() << e.file << " cell " << (y / ch) * e.cols + x / cw << " touches its edge at "
                                  << x % cw << "," << y % ch;
                    y = p->height, x = p->width;  // one report per picture
                }
            }
    }
}

// The hue most of a picture's colourful pixels share, in degrees; key,
// greys, ink and pale fills do not count.
double dominantHue(const std::vector<uint32_t>& pixels) {
    std::array<double, 36> bins{};
    std::vector<double> hues;
    for (uint32_t px : pixels) {
        const double r = ((px >> 16) & 0xFF) / 255.0, g = ((px >> 8) & 0xFF) / 255.0, b = (px & 0xFF) / 255.0;
        const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
        if ((px & 0xFFFFFF) == kMagenta || (px >> 24) == 0 || hi < 0.4 || hi - lo < 0.4 * hi) continue;
        double h = hi == r ? (g - b) / (hi - lo) : hi == g ? 2 + (b - r) / (hi - lo) : 4 + (r - g) / (hi - lo);
        h = std::fmod(h * 60 + 360, 360);
        hues.push_back(h);
        bins[size_t(h / 10)] += 1;
    }
    const double peak = (std::max_element(bins.begin(), bins.end()) - bins.begin()) * 10 + 5;
    double sx = 0, sy = 0;  // the circular mean of the hues near the peak
    for (double h : hues)
        if (std::abs(std::remainder(h - peak, 360)) <= 20) sx += std::cos(h * M_PI / 180), sy += std::sin(h * M_PI / 180);
    return std::fmod(std::atan2(sy, sx) * 180 / M_PI + 360, 360);
}

// Tile kind k, highlighted or not, and obstacle kind k read as one colour: the
// dominant hue of each is nearer kind k's tile than any other kind's.
TEST(GeneratedPictures, TilesHighlightsAndObstaclesShareTheirKindsColour) {
    const char* obstacles[] = {"daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    std::array<double, 6> tileHue{};
    std::array<std::vector<uint32_t>, 6> highlighted, obstacle;
    for (int k = 0; k < 6; ++k) {
        auto tile = cells(*load("block" + std::to_string(k + 1) + ".bmp"), 2, 1);
        tileHue[k] = dominantHue(tile[0]);
        highlighted[k] = tile[1];
        auto frames = cells(*load(obstacles[k] + std::string(".bmp")), 8, 1);
        for (int f = 0; f < 7; ++f) obstacle[k].insert(obstacle[k].end(), frames[f].begin(), frames[f].end());
    }
    auto nearestKind = [&](double hue) {
        int best = 0;
        for (int k = 1; k < 6; ++k)
            if (std::abs(std::remainder(hue - tileHue[k], 360)) < std::abs(std::remainder(hue - tileHue[best], 360))) best = k;
        return best;
    };
    for (int k = 0; k < 6; ++k) {
        for (auto [what, pixels] : {std::pair{"highlighted tile", &highlighted[k]}, {obstacles[k], &obstacle[k]}}) {
            const double hue = dominantHue(*pixels);
            EXPECT_EQ(nearestKind(hue) + 1, k + 1) << what << " of kind " << k + 1 << ": hue " << hue
                                                   << ", its tile's " << tileHue[k];
            std::printf("kind %d %-16s hue %5.1f, %4.1f from its tile's %5.1f\n", k + 1, what, hue,
                        std::abs(std::remainder(hue - tileHue[k], 360)), tileHue[k]);
        }
    }
}

TEST(GeneratedPictures, LayersLetTheRightThingsShowThrough) {
    // Name entry: the frame lies over the cheering runner and under the glyph
    // sheet (drawn at 50, 350), the name slots and the buttons; where those
    // are keyed the frame must be solid, or the runner peeks through.
    auto frame = load("rankframe.bmp"), glyphs = load("alphabet.bmp"), front = load("bgFront.bmp");
    auto clouds = load("main2.bmp"), skip = load("skip.png");
    ASSERT_TRUE(frame && glyphs && front && clouds && skip);
    int leaks = 0;
    for (int y = 0; y < glyphs->height; ++y)
        for (int x = 0; x < glyphs->width; ++x)
            leaks += glyphs->rgb(x, y) == kMagenta && frame->rgb(50 + x, 350 + y) == kMagenta;
    for (auto [left, top, w, h] : {std::array{30, 160, 500, 70}, {340, 740, 157, 110}})
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x) leaks += frame->rgb(x, y) == kMagenta;
    EXPECT_EQ(leaks, 0) << "the runner shows through the name entry";
    EXPECT_EQ(frame->rgb(300, 1000), kMagenta) << "rankframe hides the runner's feet";
    // The near strip keys its sky and is solid along the ground line.
    for (int x = 0; x < front->width; ++x)
        ASSERT_TRUE(front->rgb(x, 0) == kMagenta && front->rgb(x, 335) != kMagenta) << "bgFront at x " << x;
    // The cloud layer is wiped in down to row 200, then drifts left and down,
    // bringing its top and right edges into view: it must keep clear of both.
    for (int y = 0; y < clouds->height; ++y)
        for (int x = 0; x < clouds->width; ++x)
            ASSERT_TRUE(clouds->rgb(x, y) == kMagenta || (x >= 8 && x <= clouds->width - 9 && y >= 8 && y < 200))
                << "main2 shows at " << x << "," << y;
    // The skip button is keyed with 0x000049 whatever the alpha: no pixel of it may use that colour.
    for (uint32_t px : skip->argb) ASSERT_NE(px & 0xFFFFFF, 0x000049u) << "skip.png loses pixels to its key";
}

// Repeating a strip must not show a seam: the last column continues into the first.
TEST(GeneratedPictures, StripLayersTileSeamlessly) {
    for (const char* file : {"bgBack.bmp", "bgFront.bmp"}) {
        auto p = load(file);
        ASSERT_TRUE(p) << file;
        auto columnDiff = [&](int a, int b) {
            double sum = 0;
            for (int y = 0; y < p->height; ++y)
                for (int s = 0; s < 24; s += 8)
                    sum += std::abs(int((p->rgb(a, y) >> s) & 0xFF) - int((p->rgb(b, y) >> s) & 0xFF));
            return sum / p->height;
        };
        double typical = 0;
        for (int x = 1; x < p->width; ++x) typical += columnDiff(x - 1, x) / (p->width - 1);
        EXPECT_LE(columnDiff(p->width - 1, 0), typical * 3 + 6) << file << " shows a seam when repeated";
    }
}

TEST(GeneratedSounds, EverySoundDecodesWithItsLength) {
    const struct { const char* file; double minSeconds, maxSeconds; } sounds[] = {
        {"intro1.mp3", 8, 12},   {"intro2.mp3", 20, 30},  {"playbgm.mp3", 62, 64}, {"ranking.mp3", 20, 30},
        {"combo1.mp3", 0.1, 2},  {"combo2.mp3", 0.1, 2},  {"combo3.mp3", 0.1, 2},  {"combo4.mp3", 0.1, 2},
        {"combo5.mp3", 0.1, 2},  {"delete.mp3", 0.05, 1}, {"jump.wav", 0.1, 1.5},
    };
    for (const auto& e : sounds) {
        const std::string path = assetcheck::gameDir() + "/soundfile/" + e.file;
        const bool wav = std::string(e.file).ends_with(".wav");
        auto s = wav ? assetcheck::readWav(path) : assetcheck::decodeMp3(path);
        ASSERT_TRUE(s) << e.file << " does not decode";
        EXPECT_EQ(std::pair(s->sampleRate, s->bitrateKbps), std::pair(44100, wav ? 0 : 128)) << e.file;
        EXPECT_GE(s->seconds(), e.minSeconds) << e.file;
        EXPECT_LE(s->seconds(), e.maxSeconds) << e.file;
    }
}

// A second run into a fresh folder writes the very same bytes.
TEST(GeneratedFiles, GenerationIsByteIdenticalAcrossRuns) {
    const fs::path game = assetcheck::gameDir();
    const fs::path generator = game.parent_path() / "tools" / "assetgen" / "assetgen";
    const fs::path out = fs::temp_directory_path() / ("assetgen-rerun-" + std::to_string(::getpid()));
    fs::remove_all(out);
    ASSERT_EQ(std::system((generator.string() + " " + out.string()).c_str()), 0) << generator;
    size_t compared = 0;
    for (const char* sub : {"img", "soundfile"})
        for (const auto& entry : fs::directory_iterator(out / sub)) {
            auto built = assetcheck::readBytes((game / sub / entry.path().filename()).string());
            EXPECT_TRUE(built && *built == *assetcheck::readBytes(entry.path().string()))
                << entry.path().filename() << " differs between runs";
            ++compared;
        }
    EXPECT_EQ(compared, expectedPictures().size() + 11);
    fs::remove_all(out);
}

}  // namespace
