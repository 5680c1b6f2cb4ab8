// Text drawing: where the ink lands, that nothing else is touched, clipping,
// the string cache, and the font files chosen for each face.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Text.h"

namespace fs = std::filesystem;
using platform::Surface;
using platform::TextAlign;

namespace {

const char* const kKorean = "HY견고딕";

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // right/bottom exclusive
    int changed = 0;
};

// The bounding box of the pixels that differ between two equal-sized surfaces.
Box diffBox(const Surface& before, const Surface& after) {
    Box b;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x + 1);
                b.bottom = std::max(b.bottom, y + 1);
                ++b.changed;
            }
    return b;
}

// A background where every pixel differs from its neighbours, so a painted
// box behind the text cannot go unnoticed.
Surface patterned(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.setPixel(x, y, static_cast<std::uint32_t>((x * 7919 + y * 104729) & 0x00FFFFFF));
    return s;
}

bool samePixels(const Surface& a, const Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::releaseFonts(); }
    void TearDown() override { platform::releaseFonts(); }
};

TEST_F(TextTest, InkStaysInsideTheCellOfEveryFaceAndHeight) {
    for (const char* face : {"Arial Black", kKorean, ""}) {
        for (int h : {20, 30, 50}) {
            SCOPED_TRACE(std::string(face) + " " + std::to_string(h));
            platform::Font* font = platform::getFont(face, h);
            ASSERT_NE(font, nullptr);
            const std::string text = "Ag|jW 09";
            const int w = platform::textWidth(font, text);
            ASSERT_GT(w, 0);

            const Surface bg = patterned(400, 160);
            Surface left = bg;
            platform::drawText(left, font, 10, 40, text, RGB(0, 0, 0));
            const Box l = diffBox(bg, left);
            EXPECT_GE(l.left, 10);
            EXPECT_LE(l.right, 10 + w);
            EXPECT_GE(l.top, 40);
            EXPECT_LE(l.bottom, 40 + h);
            // A cell far smaller than asked would also pass the bounds above.
            EXPECT_GE(l.bottom - l.top, h * 6 / 10);
            EXPECT_GE(l.right - l.left, w * 8 / 10);

            // Right alignment is the same ink shifted to end at x.
            Surface right = bg;
            platform::drawText(right, font, 390, 40, text, RGB(0, 0, 0), TextAlign::Right);
            const Box r = diffBox(bg, right);
            EXPECT_EQ(r.left - l.left, 390 - w - 10);
            EXPECT_EQ(r.right - l.right, 390 - w - 10);
            EXPECT_EQ(r.changed, l.changed);
        }
    }
}

TEST_F(TextTest, DrawsInTheGivenColourOverATransparentBackground) {
    platform::Font* font = platform::getFont("Arial Black", 50);
    ASSERT_NE(font, nullptr);
    const Surface bg = patterned(300, 80);
    Surface s = bg;
    platform::drawText(s, font, 5, 5, "I  I", RGB(0x12, 0x34, 0x56));

    const Box b = diffBox(bg, s);
    ASSERT_GT(b.changed, 0);
    // The gap between the strokes keeps its background.
    EXPECT_LT(b.changed, (b.right - b.left) * (b.bottom - b.top) * 6 / 10);
    int solid = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) solid += s.pixel(x, y) == 0x123456u;
    EXPECT_GT(solid, 100) << "full-coverage pixels must be exactly the COLORREF's colour";

    // Antialiased edges: blends that lie between the ink and the background.
    Surface white(100, 80);
    white.fill(0xFFFFFF);
    platform::drawText(white, font, 5, 5, "O", RGB(0x12, 0x34, 0x56));
    int edge = 0;
    for (int y = 0; y < white.height(); ++y)
        for (int x = 0; x < white.width(); ++x) {
            const std::uint32_t p = white.pixel(x, y);
            if (p == 0xFFFFFFu || p == 0x123456u) continue;
            ++edge;
            EXPECT_GE(p >> 16, 0x12u);
            EXPECT_GE((p >> 8) & 0xFF, 0x34u);
            EXPECT_GE(p & 0xFF, 0x56u);
        }
    EXPECT_GT(edge, 10);
}

TEST_F(TextTest, ClipsAtEveryEdgeAndMatchesTheUnclippedDrawing) {
    platform::Font* font = platform::getFont("", 30);
    ASSERT_NE(font, nullptr);
    const std::string text = "Clip 123";

    // Drawn on a big surface, then compared with the same text drawn partly
    // off a small surface placed at (100, 100) inside it.
    Surface big(300, 300);
    for (auto [x, y] : {std::pair{85, 88}, {190, 110}, {120, 180}, {95, 190}}) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        big.fill(0);
        platform::drawText(big, font, x, y, text, RGB(255, 255, 255));
        Surface small(100, 100);
        platform::drawText(small, font, x - 100, y - 100, text, RGB(255, 255, 255));
        for (int sy = 0; sy < 100; ++sy)
            for (int sx = 0; sx < 100; ++sx)
                ASSERT_EQ(small.pixel(sx, sy), big.pixel(100 + sx, 100 + sy)) << sx << "," << sy;
    }

    // Far away and at the limits of int: nothing drawn, nothing broken.
    Surface tiny(8, 8);
    for (auto [x, y] : {std::pair{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, 0}, {0, INT_MAX},
                        {-100000, 0}, {0, 9}}) {
        platform::drawText(tiny, font, x, y, text, RGB(255, 255, 255));
        platform::drawText(tiny, font, x, y, text, RGB(255, 255, 255), TextAlign::Right);
    }
    EXPECT_TRUE(samePixels(tiny, Surface(8, 8)));
    Surface none;
    platform::drawText(none, font, 0, 0, text, RGB(255, 255, 255));
}

TEST_F(TextTest, RepeatedDrawsAreIdenticalEvenAfterTheCacheTurnsOver) {
    platform::Font* font = platform::getFont("Arial BLACK", 30);
    ASSERT_NE(font, nullptr);
    Surface first(200, 40);
    platform::drawText(first, font, 0, 0, "Score 4711", RGB(255, 200, 0));
    Surface again(200, 40);
    platform::drawText(again, font, 0, 0, "Score 4711", RGB(255, 200, 0));
    EXPECT_TRUE(samePixels(first, again));

    // A long game draws a new score string every frame.
    Surface scratch(200, 40);
    for (int i = 0; i < 3000; ++i) platform::drawText(scratch, font, 0, 0, std::to_string(i), 0);
    Surface later(200, 40);
    platform::drawText(later, font, 0, 0, "Score 4711", RGB(255, 200, 0));
    EXPECT_TRUE(samePixels(first, later));
}

TEST_F(TextTest, FacesMapToTheirOwnFonts) {
    const std::string text = "Score 1234";
    const int heavy = platform::textWidth(platform::getFont("Arial Black", 30), text);
    EXPECT_EQ(platform::textWidth(platform::getFont("arial BLACK", 30), text), heavy);
    const int plain = platform::textWidth(platform::getFont("Some Other Face", 30), text);
    EXPECT_EQ(platform::textWidth(platform::getFont("", 30), text), plain);
    EXPECT_NE(heavy, plain);
    // The same font object comes back for the same face and height.
    EXPECT_EQ(platform::getFont("Arial Black", 30), platform::getFont("ARIAL BLACK", 30));
    EXPECT_NE(platform::getFont("Arial Black", 30), platform::getFont("Arial Black", 20));

    // Hangul only renders as real glyphs in the Korean face; elsewhere it
    // falls back to placeholder boxes of another width.
    const std::string hangul = "점수 한글";
    EXPECT_NE(platform::textWidth(platform::getFont(kKorean, 30), hangul),
              platform::textWidth(platform::getFont("", 30), hangul));
}

TEST_F(TextTest, NullFontsEmptyTextAndBadBytesAreHarmless) {
    Surface s = patterned(50, 50);
    const Surface before = s;
    platform::drawText(s, nullptr, 10, 10, "text", 0);
    platform::drawText(s, nullptr, 10, 10, "text", 0, TextAlign::Right);
    EXPECT_EQ(platform::textWidth(nullptr, "text"), 0);
    EXPECT_EQ(platform::getFont("Arial Black", 0), nullptr);
    EXPECT_EQ(platform::getFont("Arial Black", -20), nullptr);

    platform::Font* font = platform::getFont("", 20);
    ASSERT_NE(font, nullptr);
    platform::drawText(s, font, 10, 10, "", 0);
    EXPECT_EQ(platform::textWidth(font, ""), 0);
    EXPECT_TRUE(samePixels(s, before));

    const std::string bad("\xff\xfe\xc3(\x80\xe2\x82\xed\xa0\x80z\0tail", 16);
    Surface t(200, 40);
    platform::drawText(t, font, 0, 0, bad, RGB(255, 255, 255));
    platform::drawText(t, font, 200, 0, bad, RGB(255, 255, 255), TextAlign::Right);
    EXPECT_GE(platform::textWidth(font, bad), 0);
}

// The copy in "fonts/" beside the game wins over the system's; a damaged copy
// is passed over.
class FontFolderTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        old_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("swapsprint_fonts_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "fonts");
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
        TextTest::TearDown();
    }
    fs::path old_, dir_;
};

TEST_F(FontFolderTest, LocalFontFilesComeFirstAndBrokenOnesAreSkipped) {
    const fs::path dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!fs::exists(dejavu)) GTEST_SKIP() << "no system DejaVu font";
    const std::string text = "Score 1234";
    const int plain = platform::textWidth(platform::getFont("", 30), text);
    const int heavy = platform::textWidth(platform::getFont("Arial Black", 30), text);
    ASSERT_NE(plain, heavy);

    // A plain font standing in as the heavy one measures like the plain face.
    platform::releaseFonts();
    fs::copy_file(dejavu, "fonts/Lato-Black.ttf");
    EXPECT_EQ(platform::textWidth(platform::getFont("Arial Black", 30), text), plain);

    platform::releaseFonts();
    fs::remove("fonts/Lato-Black.ttf");
    std::ofstream("fonts/Lato-Black.ttf") << "not a font at all";
    fs::create_directories("fonts/NanumGothicBold.ttf");  // a folder where a file belongs
    EXPECT_EQ(platform::textWidth(platform::getFont("Arial Black", 30), text), heavy);
    EXPECT_NE(platform::getFont(kKorean, 30), nullptr);
}

}  // namespace
