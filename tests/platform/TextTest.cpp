// Text drawing: where the ink lands, that nothing else is touched, clipping,
// the string cache, and the font files chosen for each face.
#include <utility>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Text.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;
using platform::Surface;
using platform::TextAlign;
using testing_support::same;

namespace {

// Text drawn at once onto a plain surface, through a canvas that holds it.
template <class... Args>
void drawText(Surface& s, Args&&... args) {
    platform::Canvas c(std::move(s));
    platform::drawText(c, std::forward<Args>(args)...);
    s = std::move(c.changePixels());
}

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
            if (before.pixel(x, y) != after.pixel(x, y))
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1), b.changed + 1};
    return b;
}

// Every pixel differs from its neighbours, so a box painted behind the text shows.
Surface patterned(int w, int h) {
    return testing_support::makeSurface(w, h, [](int x, int y) { return std::uint32_t(x * 7919 + y * 104729) & 0xFFFFFF; });
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::releaseFonts(); }
    void TearDown() override { platform::releaseFonts(); }
};

TEST_F(TextTest, InkFillsTheCellBelowTheTopLeftOrEndsAtTheRightEdge) {
    for (const char* face : {"Arial Black", kKorean, ""})
        for (int h : {20, 30, 50}) {
            SCOPED_TRACE(std::string(face) + " " + std::to_string(h));
            platform::Font* font = platform::getFont(face, h);
            ASSERT_NE(font, nullptr);
            const std::string text = "Ag|jW 09";
            const int w = platform::textWidth(font, text);
            const Surface bg = patterned(400, 160);
            Surface left = bg, right = bg;
            drawText(left, font, 10, 40, text, RGB(0, 0, 0));
            drawText(right, font, 390, 40, text, RGB(0, 0, 0), TextAlign::Right);
            const Box l = diffBox(bg, left), r = diffBox(bg, right);
            EXPECT_TRUE(l.left >= 10 && l.right <= 10 + w && l.top >= 40 && l.bottom <= 40 + h);
            // A cell far smaller than asked would also pass the bounds above.
            EXPECT_GE(l.bottom - l.top, h * 6 / 10);
            EXPECT_GE(l.right - l.left, w * 8 / 10);
            // Right alignment is the same ink shifted to end at x.
            EXPECT_EQ(r.left - l.left, 390 - w - 10);
            EXPECT_EQ(r.right - l.right, 390 - w - 10);
            EXPECT_EQ(r.changed, l.changed);
        }
}

TEST_F(TextTest, InkIsTheExactColourWithBlendedEdgesAndDrawsAlikeAfterTheCacheTurnsOver) {
    platform::Font* font = platform::getFont("Arial Black", 50);
    ASSERT_NE(font, nullptr);
    const Surface bg = patterned(300, 80);
    Surface s = bg;
    drawText(s, font, 5, 5, "I  I", RGB(0x12, 0x34, 0x56));
    const Box b = diffBox(bg, s);
    // The gap between the strokes keeps its background.
    EXPECT_LT(b.changed, (b.right - b.left) * (b.bottom - b.top) * 6 / 10);
    EXPECT_GT(std::count(s.pixels(), s.pixels() + 300 * 80, 0x123456u), 100);

    // Antialiased edges lie between the ink and a white background.
    Surface white(100, 80);
    white.fill(0xFFFFFF);
    drawText(white, font, 5, 5, "O", RGB(0x12, 0x34, 0x56));
    int edge = 0;
    for (const std::uint32_t* p = white.pixels(); p != white.pixels() + 100 * 80; ++p)
        if (*p != 0xFFFFFFu && *p != 0x123456u) {
            ++edge;
            EXPECT_TRUE(*p >> 16 >= 0x12 && (*p >> 8 & 0xFF) >= 0x34 && (*p & 0xFF) >= 0x56) << std::hex << *p;
        }
    EXPECT_GT(edge, 10);

    // A long game draws a new score string every frame.
    for (int i = 0; i < 3000; ++i) drawText(white, font, 0, 0, std::to_string(i), 0);
    Surface again = bg;
    drawText(again, font, 5, 5, "I  I", RGB(0x12, 0x34, 0x56));
    EXPECT_TRUE(same(again, s));
}

TEST_F(TextTest, ClipsAtEveryEdgeLikeTheUnclippedDrawing) {
    platform::Font* font = platform::getFont("", 30);
    ASSERT_NE(font, nullptr);
    // Drawn on a big surface, then partly off a small one that sits at (100, 100) inside it.
    Surface big(300, 300);
    for (auto [x, y] : {std::pair{85, 88}, {190, 110}, {120, 180}, {95, 190}}) {
        big.fill(0);
        drawText(big, font, x, y, "Clip 123", RGB(255, 255, 255));
        Surface small(100, 100);
        drawText(small, font, x - 100, y - 100, "Clip 123", RGB(255, 255, 255));
        for (int sy = 0; sy < 100; ++sy)
            for (int sx = 0; sx < 100; ++sx)
                ASSERT_EQ(small.pixel(sx, sy), big.pixel(100 + sx, 100 + sy)) << x << "," << y;
    }
    // Far away and at the limits of int: nothing drawn, nothing broken.
    Surface tiny(8, 8), none;
    for (auto [x, y] : {std::pair{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, 0}, {0, INT_MAX}, {-100000, 0}, {0, 9}})
        for (TextAlign align : {TextAlign::Left, TextAlign::Right})
            drawText(tiny, font, x, y, "Clip 123", RGB(255, 255, 255), align);
    EXPECT_TRUE(same(tiny, Surface(8, 8)));
    drawText(none, font, 0, 0, "Clip 123", RGB(255, 255, 255));
}

TEST_F(TextTest, FacesMapToTheirOwnFontsAndBadRequestsAreHarmless) {
    const auto width = [](const char* face, const std::string& text) { return platform::textWidth(platform::getFont(face, 30), text); };
    EXPECT_EQ(width("arial BLACK", "Score 1234"), width("Arial Black", "Score 1234"));
    EXPECT_EQ(width("Some Other Face", "Score 1234"), width("", "Score 1234"));
    EXPECT_NE(width("Arial Black", "Score 1234"), width("", "Score 1234"));
    // Hangul has real glyphs only in the Korean face; elsewhere boxes of another width.
    EXPECT_NE(width(kKorean, "점수 한글"), width("", "점수 한글"));
    EXPECT_FALSE(platform::getFont("Arial Black", 0) || platform::getFont("Arial Black", -20));
    EXPECT_EQ(platform::textWidth(nullptr, "text"), 0);
    EXPECT_EQ(platform::textWidth(platform::getFont("", 20), ""), 0);
    Surface s = patterned(200, 40);
    const Surface before = s;
    drawText(s, nullptr, 10, 10, "text", 0, TextAlign::Right);
    drawText(s, platform::getFont("", 20), 10, 10, "", 0);
    EXPECT_TRUE(same(s, before));
    const std::string bad("\xff\xfe\xc3(\x80\xe2\x82\xed\xa0\x80z\0tail", 16);
    drawText(s, platform::getFont("", 20), 200, 0, bad, RGB(255, 255, 255), TextAlign::Right);
    EXPECT_GE(platform::textWidth(platform::getFont("", 20), bad), 0);
}

// The copy in "fonts/" beside the game wins over the system's; a damaged copy is passed over.
TEST_F(TextTest, LocalFontFilesComeFirstAndBrokenOnesAreSkipped) {
    const fs::path dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!fs::exists(dejavu)) GTEST_SKIP() << "no system DejaVu font";
    const auto heavyWidth = [] { return platform::textWidth(platform::getFont("Arial Black", 30), "Score 1234"); };
    const int plain = platform::textWidth(platform::getFont("", 30), "Score 1234"), heavy = heavyWidth();
    testing_support::TempDir dir;
    const fs::path old = fs::current_path();
    fs::current_path(dir.folder("fonts") + "/..");
    platform::releaseFonts();
    fs::copy_file(dejavu, "fonts/Lato-Black.ttf");  // a plain font standing in as the heavy one
    const int standIn = heavyWidth();
    platform::releaseFonts();
    fs::remove("fonts/Lato-Black.ttf");
    std::ofstream("fonts/Lato-Black.ttf") << "not a font at all";
    fs::create_directories("fonts/NanumGothicBold.ttf");  // a folder where a file belongs
    const int skipped = heavyWidth();
    const bool korean = platform::getFont(kKorean, 30) != nullptr;
    platform::releaseFonts();
    fs::current_path(old);
    EXPECT_NE(plain, heavy);
    EXPECT_EQ(standIn, plain);
    EXPECT_EQ(skipped, heavy);
    EXPECT_TRUE(korean);
}

}  // namespace
