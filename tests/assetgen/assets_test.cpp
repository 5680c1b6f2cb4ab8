// The generated run folder: every picture and sound the game loads, at the
// size and frame grid it cuts them by, with clean colour keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

enum class Kind { Keyed, Opaque, Png };

struct Expected {
    const char* file;
    int width, height, cols, rows;
    Kind kind;
};

// Sizes and grids as the game registers them.
const std::vector<Expected>& expectedPictures() {
    using K = Kind;
    static const std::vector<Expected> list = {
        {"block1.bmp", 128, 64, 2, 1, K::Keyed},     {"block2.bmp", 128, 64, 2, 1, K::Keyed},
        {"block3.bmp", 128, 64, 2, 1, K::Keyed},     {"block4.bmp", 128, 64, 2, 1, K::Keyed},
        {"block5.bmp", 128, 64, 2, 1, K::Keyed},     {"block6.bmp", 128, 64, 2, 1, K::Keyed},
        {"bg.bmp", 600, 1024, 1, 1, K::Keyed},       {"white.bmp", 557, 557, 1, 1, K::Opaque},
        {"watch.bmp", 30, 30, 1, 1, K::Keyed},       {"refresh.bmp", 40, 40, 1, 1, K::Keyed},
        {"strings.bmp", 600, 335, 1, 5, K::Keyed},   {"bgBack.bmp", 1728, 486, 1, 1, K::Opaque},
        {"bgFront.bmp", 1420, 400, 1, 1, K::Keyed},  {"marlo.bmp", 1278, 200, 8, 1, K::Keyed},
        {"dust.bmp", 240, 30, 4, 1, K::Keyed},       {"string_slow.bmp", 60, 25, 1, 1, K::Keyed},
        {"string_fast.bmp", 60, 25, 1, 1, K::Keyed}, {"speed.bmp", 250, 75, 1, 3, K::Keyed},
        {"niddle.bmp", 5, 20, 1, 1, K::Keyed},       {"speed_down.bmp", 45, 45, 1, 1, K::Keyed},
        {"talkboxBg.bmp", 600, 115, 1, 1, K::Keyed}, {"talkbox2.bmp", 600, 805, 1, 7, K::Keyed},
        {"daruma.bmp", 800, 100, 8, 1, K::Keyed},    {"drum.bmp", 800, 100, 8, 1, K::Keyed},
        {"pot.bmp", 800, 100, 8, 1, K::Keyed},       {"dynamite.bmp", 800, 100, 8, 1, K::Keyed},
        {"bat.bmp", 800, 100, 8, 1, K::Keyed},       {"manhole.bmp", 800, 100, 8, 1, K::Keyed},
        {"main0.bmp", 600, 1024, 1, 1, K::Keyed},    {"main1.bmp", 600, 1024, 1, 1, K::Keyed},
        {"main2.bmp", 600, 1024, 1, 1, K::Keyed},    {"main3.bmp", 600, 1024, 1, 1, K::Keyed},
        {"main4.bmp", 600, 1024, 1, 1, K::Keyed},    {"main5.bmp", 600, 1024, 1, 1, K::Keyed},
        {"main6.bmp", 600, 1024, 1, 1, K::Keyed},    {"main7.bmp", 600, 1024, 1, 1, K::Keyed},
        {"main8.bmp", 600, 1024, 1, 1, K::Keyed},    {"main9.bmp", 600, 1024, 1, 1, K::Keyed},
        {"light.bmp", 4256, 1024, 8, 1, K::Keyed},   {"play.bmp", 155, 90, 1, 1, K::Keyed},
        {"pointMove.bmp", 42, 42, 1, 1, K::Keyed},   {"pointClick.bmp", 42, 42, 1, 1, K::Keyed},
        {"option.bmp", 50, 50, 1, 1, K::Keyed},      {"optionPannel.bmp", 200, 106, 1, 1, K::Opaque},
        {"bgmOn.bmp", 200, 35, 1, 1, K::Keyed},      {"bgmOff.bmp", 200, 35, 1, 1, K::Keyed},
        {"effectOn.bmp", 200, 35, 1, 1, K::Keyed},   {"effectOff.bmp", 200, 35, 1, 1, K::Keyed},
        {"alphabet.bmp", 500, 350, 10, 5, K::Keyed}, {"alphabet2.bmp", 400, 350, 10, 5, K::Keyed},
        {"rank123.bmp", 70, 210, 1, 3, K::Keyed},    {"rankBg1.bmp", 600, 1024, 1, 1, K::Opaque},
        {"rankBg2.bmp", 600, 1024, 1, 1, K::Opaque}, {"rankbutton.bmp", 157, 90, 1, 3, K::Keyed},
        {"rankMarlo.bmp", 600, 1024, 1, 1, K::Keyed}, {"rankframe.bmp", 600, 1024, 1, 1, K::Keyed},
        // PNGs keep their own size; the board cuts special.png 4 x 2.
        {"special.png", 304, 152, 4, 2, K::Png},     {"target.png", 64, 64, 1, 1, K::Png},
        {"homebutton.png", 90, 90, 1, 1, K::Png},    {"skip.png", 80, 36, 1, 1, K::Png},
        {"icon.png", 256, 256, 1, 1, K::Png},
    };
    return list;
}

std::string imgPath(const std::string& file) { return assetcheck::gameDir() + "/img/" + file; }

std::optional<Picture> load(const Expected& e) {
    return e.kind == Kind::Png ? assetcheck::readPng(imgPath(e.file)) : assetcheck::readBmp24(imgPath(e.file));
}

bool visible(const Picture& p, const Expected& e, int x, int y) {
    return e.kind == Kind::Png ? (p.at(x, y) >> 24) > 0 : p.rgb(x, y) != kMagenta;
}

// A pink halo: a colour that is mostly magenta without being the key.
bool pinkish(uint32_t rgb) {
    uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return rgb != kMagenta && r >= 200 && b >= 200 && g <= 110;
}

TEST(GeneratedPictures, EveryFileExistsAtItsExactSize) {
    for (const Expected& e : expectedPictures()) {
        auto p = load(e);
        ASSERT_TRUE(p) << e.file << " missing or not a 24-bit BMP / PNG";
        EXPECT_EQ(p->width, e.width) << e.file;
        EXPECT_EQ(p->height, e.height) << e.file;
    }
}

TEST(GeneratedPictures, KeysAreCleanAndUnkeyedPicturesNeverUseMagenta) {
    for (const Expected& e : expectedPictures()) {
        if (e.kind == Kind::Png) continue;
        auto p = load(e);
        ASSERT_TRUE(p) << e.file;
        int magenta = 0, halos = 0;
        for (int y = 0; y < p->height; ++y)
            for (int x = 0; x < p->width; ++x) {
                uint32_t c = p->rgb(x, y);
                magenta += c == kMagenta;
                halos += pinkish(c);
            }
        EXPECT_EQ(halos, 0) << e.file << " has pixels blended with the key";
        if (e.kind == Kind::Opaque) {
            EXPECT_EQ(magenta, 0) << e.file << " is drawn without a key";
        }
    }
    // The sky behind the whole intro is drawn keyed but must hide nothing.
    auto sky = assetcheck::readBmp24(imgPath("main0.bmp"));
    ASSERT_TRUE(sky);
    for (uint32_t px : sky->argb) ASSERT_NE(px & 0xFFFFFF, kMagenta) << "main0 must be opaque";
}

TEST(GeneratedPictures, EveryFrameCellHasVisibleContent) {
    for (const Expected& e : expectedPictures()) {
        auto p = load(e);
        ASSERT_TRUE(p) << e.file;
        const int cw = e.width / e.cols, ch = e.height / e.rows;
        for (int r = 0; r < e.rows; ++r)
            for (int c = 0; c < e.cols; ++c) {
                int seen = 0;
                for (int y = r * ch; y < (r + 1) * ch; ++y)
                    for (int x = c * cw; x < (c + 1) * cw; ++x) seen += visible(*p, e, x, y);
                EXPECT_GE(seen, cw * ch / 100 + 1) << e.file << " cell " << c << "," << r << " is empty";
            }
    }
}

// The pixels of every cell, for telling glyphs apart.
std::vector<std::vector<uint32_t>> cellPixels(const Picture& p, int cols, int rows) {
    const int cw = p.width / cols, ch = p.height / rows;
    std::vector<std::vector<uint32_t>> cells;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            std::vector<uint32_t> m;
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) m.push_back(p.rgb(c * cw + x, r * ch + y));
            cells.push_back(m);
        }
    return cells;
}

TEST(GeneratedPictures, GlyphSheetsHoldFiftyDistinctGlyphs) {
    for (const char* file : {"alphabet.bmp", "alphabet2.bmp"}) {
        auto p = assetcheck::readBmp24(imgPath(file));
        ASSERT_TRUE(p) << file;
        auto cells = cellPixels(*p, 10, 5);
        std::set<std::vector<uint32_t>> distinct(cells.begin(), cells.end());
        EXPECT_EQ(distinct.size(), 50u) << file;
    }
}

TEST(GeneratedPictures, LayersLetTheRightThingsShowThrough) {
    // Name entry: the frame lies over the cheering runner and under the glyph
    // sheet (drawn at 50, 350), the letters and the buttons. Wherever the glyph
    // sheet is keyed the frame must be solid, or the runner peeks between keys;
    // the same under the name slots and the buttons.
    auto frame = assetcheck::readBmp24(imgPath("rankframe.bmp"));
    auto glyphs = assetcheck::readBmp24(imgPath("alphabet.bmp"));
    ASSERT_TRUE(frame && glyphs);
    int leaks = 0;
    for (int y = 0; y < glyphs->height; ++y)
        for (int x = 0; x < glyphs->width; ++x)
            leaks += glyphs->rgb(x, y) == kMagenta && frame->rgb(50 + x, 350 + y) == kMagenta;
    EXPECT_EQ(leaks, 0) << "the runner shows through the glyph grid";
    for (auto [left, top, w, h] : {std::array{30, 160, 500, 70}, {340, 740, 157, 110}})
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x)
                ASSERT_NE(frame->rgb(x, y), kMagenta) << "rankframe has a hole at (" << x << "," << y << ")";
    EXPECT_EQ(frame->rgb(300, 1000), kMagenta) << "rankframe hides the runner's feet";
    // The near strip layer keys its sky and is solid along the ground line.
    auto front = assetcheck::readBmp24(imgPath("bgFront.bmp"));
    ASSERT_TRUE(front);
    for (int x = 0; x < front->width; ++x) {
        ASSERT_EQ(front->rgb(x, 0), kMagenta) << "bgFront sky must be keyed at x " << x;
        ASSERT_NE(front->rgb(x, 335), kMagenta) << "bgFront ground has a hole at x " << x;
    }
    // The cursors' hot spot is their centre.
    for (const char* file : {"pointMove.bmp", "pointClick.bmp"}) {
        auto cur = assetcheck::readBmp24(imgPath(file));
        ASSERT_TRUE(cur);
        EXPECT_NE(cur->rgb(21, 21), kMagenta) << file;
    }
}

// The cloud layer is wiped in down to row 200 and then shown whole, and later
// drifts left and down, bringing its top and right edges into view: every
// cloud and bird must sit clear of those edges and above row 200.
TEST(GeneratedPictures, CloudLayerStaysInsideItsRevealBand) {
    auto clouds = assetcheck::readBmp24(imgPath("main2.bmp"));
    ASSERT_TRUE(clouds);
    int left = clouds->width, right = -1, top = clouds->height, bottom = -1;
    for (int y = 0; y < clouds->height; ++y)
        for (int x = 0; x < clouds->width; ++x)
            if (clouds->rgb(x, y) != kMagenta) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "main2 is empty";
    EXPECT_GE(left, 8);
    EXPECT_LE(right, clouds->width - 9);
    EXPECT_GE(top, 8);
    EXPECT_LT(bottom, 200);
}

// Obstacles show frames 0..6 and wrap to 0: each shown frame must move on
// from the one before, the wrap included, or the loop stalls.
TEST(GeneratedPictures, ObstacleLoopsNeverStall) {
    for (const char* file : {"daruma.bmp", "drum.bmp", "pot.bmp", "dynamite.bmp", "bat.bmp", "manhole.bmp"}) {
        auto p = assetcheck::readBmp24(imgPath(file));
        ASSERT_TRUE(p) << file;
        auto cells = cellPixels(*p, 8, 1);
        for (int f = 0; f < 7; ++f)
            EXPECT_NE(cells[f], cells[(f + 1) % 7]) << file << " frame " << f << " to " << (f + 1) % 7;
    }
}

// The window icon: a badge on a clear background with soft edges.
TEST(GeneratedPictures, IconHasClearCornersAndSolidMiddle) {
    auto icon = assetcheck::readPng(imgPath("icon.png"));
    ASSERT_TRUE(icon);
    for (auto [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}})
        EXPECT_EQ(icon->at(x, y) >> 24, 0u) << "corner (" << x << "," << y << ")";
    int solid = 0, partial = 0;
    for (uint32_t px : icon->argb) {
        solid += (px >> 24) == 255;
        partial += (px >> 24) > 0 && (px >> 24) < 255;
    }
    EXPECT_EQ(icon->at(128, 128) >> 24, 255u);
    EXPECT_GT(solid, 256 * 256 * 3 / 4);
    EXPECT_GT(partial, 0) << "icon edges are not smoothed";
}

// Repeating a strip must not show a seam: the last column continues into the first.
TEST(GeneratedPictures, StripLayersTileSeamlessly) {
    for (const char* file : {"bgBack.bmp", "bgFront.bmp"}) {
        auto p = assetcheck::readBmp24(imgPath(file));
        ASSERT_TRUE(p) << file;
        auto columnDiff = [&](int a, int b) {
            double sum = 0;
            for (int y = 0; y < p->height; ++y) {
                uint32_t u = p->rgb(a, y), v = p->rgb(b, y);
                for (int s = 0; s < 24; s += 8) sum += std::abs(int((u >> s) & 0xFF) - int((v >> s) & 0xFF));
            }
            return sum / p->height;
        };
        double seam = columnDiff(p->width - 1, 0);
        double typical = 0;
        for (int x = 1; x < p->width; ++x) typical += columnDiff(x - 1, x);
        typical /= p->width - 1;
        EXPECT_LE(seam, typical * 3 + 6) << file << " shows a seam when repeated";
    }
}

TEST(GeneratedPictures, SkipButtonAvoidsItsKeyColour) {
    auto skip = assetcheck::readPng(imgPath("skip.png"));
    ASSERT_TRUE(skip);
    int solid = 0;
    for (uint32_t px : skip->argb) {
        EXPECT_NE(px & 0xFFFFFF, 0x000049u);
        solid += (px >> 24) >= 128;
    }
    EXPECT_GT(solid, skip->width * skip->height / 2) << "skip button barely visible";
}

struct ExpectedSound {
    const char* file;
    double minSeconds, maxSeconds;
};

TEST(GeneratedSounds, EverySoundDecodesWithItsLength) {
    const ExpectedSound sounds[] = {
        {"intro1.mp3", 8, 12},    {"intro2.mp3", 20, 30},  {"playbgm.mp3", 62, 64},
        {"ranking.mp3", 20, 30},  {"combo1.mp3", 0.1, 2},  {"combo2.mp3", 0.1, 2},
        {"combo3.mp3", 0.1, 2},   {"combo4.mp3", 0.1, 2},  {"combo5.mp3", 0.1, 2},
        {"delete.mp3", 0.05, 1},
    };
    for (const ExpectedSound& e : sounds) {
        auto s = assetcheck::decodeMp3(assetcheck::gameDir() + "/soundfile/" + e.file);
        ASSERT_TRUE(s) << e.file << " does not decode";
        EXPECT_EQ(s->sampleRate, 44100) << e.file;
        EXPECT_EQ(s->bitrateKbps, 128) << e.file;
        EXPECT_GE(s->seconds(), e.minSeconds) << e.file;
        EXPECT_LE(s->seconds(), e.maxSeconds) << e.file;
    }
    auto jump = assetcheck::readWav(assetcheck::gameDir() + "/soundfile/jump.wav");
    ASSERT_TRUE(jump) << "jump.wav is not PCM WAV";
    EXPECT_EQ(jump->sampleRate, 44100);
    EXPECT_GE(jump->seconds(), 0.1);
    EXPECT_LE(jump->seconds(), 1.5);
}

// A second run into a fresh folder writes the very same bytes.
TEST(GeneratedFiles, GenerationIsByteIdenticalAcrossRuns) {
    const fs::path game = assetcheck::gameDir();
    const fs::path generator = game.parent_path() / "tools" / "assetgen" / "assetgen";
    ASSERT_TRUE(fs::exists(generator)) << generator;
    const fs::path out = fs::temp_directory_path() / ("assetgen-rerun-" + std::to_string(::getpid()));
    fs::remove_all(out);
    ASSERT_EQ(std::system((generator.string() + " " + out.string()).c_str()), 0);
    size_t compared = 0;
    for (const char* sub : {"img", "soundfile"}) {
        for (const auto& entry : fs::directory_iterator(out / sub)) {
            auto fresh = assetcheck::readBytes(entry.path().string());
            auto built = assetcheck::readBytes((game / sub / entry.path().filename()).string());
            ASSERT_TRUE(fresh && built) << entry.path();
            EXPECT_TRUE(*fresh == *built) << entry.path().filename() << " differs between runs";
            ++compared;
        }
    }
    EXPECT_EQ(compared, expectedPictures().size() + 11);
    fs::remove_all(out);
}

}  // namespace
