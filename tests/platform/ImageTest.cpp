// BMP and PNG decoding: the layouts our tools and other editors write, and a
// clean refusal of every malformed file or request.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Image.h"
#include "support/TestFiles.h"

using platform::Surface;
using testing_support::BmpLayout;
using testing_support::bmpBytes;
using testing_support::Bytes;
using testing_support::makeSurface;
using testing_support::pngBytes;

namespace {

// Size and pixels in one vector, so a mismatch shows both.
std::vector<std::uint32_t> contents(const std::optional<Surface>& s) {
    if (!s) return {};
    std::vector<std::uint32_t> v{std::uint32_t(s->width()), std::uint32_t(s->height())};
    v.insert(v.end(), s->pixels(), s->pixels() + s->width() * s->height());
    return v;
}

TEST(ImageTest, BmpReadsEveryLayoutToThePixel) {
    // Three pixels a row: 24-bit rows of 9 bytes pad to 12 and 8-bit rows of 3
    // to 4, so a padding fault shears the picture.
    const std::uint32_t colours[] = {0xFF00FF, 0x123456, 0xABCDEF, 0x010203, 0xFFFFFF, 0x00FF00};
    const auto at = [&](int x, int y) { return colours[y * 3 + x]; };
    const Surface want = makeSurface(3, 2, at);
    // A 32-bit file's spare byte must not reach the pixel; the V5 masks below put red lowest.
    const Surface junkTop = makeSurface(3, 2, [&](int x, int y) { return at(x, y) | 0x80000000u; });
    const Surface swapped = makeSurface(3, 2, [&](int x, int y) { return platform::toColorRef(at(x, y)); });
    const Surface indexes = makeSurface(3, 2, [](int x, int y) { return std::uint32_t(y * 3 + x); });
    const std::pair<const Surface*, BmpLayout> files[] = {
        {&want, {}},
        {&want, {.topDown = true}},
        {&junkTop, {.bpp = 32}},
        {&want, {.bpp = 32, .masks = {0xFF0000, 0xFF00, 0xFF}}},
        {&swapped, {.bpp = 32, .topDown = true, .infoSize = 124, .masks = {0xFF, 0xFF00, 0xFF0000}}},
        {&indexes, {.bpp = 8, .palette = {colours, colours + 6}}},
    };
    testing_support::TempDir dir;
    for (const auto& [pixels, layout] : files) {
        SCOPED_TRACE(testing::Message() << layout.bpp << " bits, header " << layout.infoSize
                                        << (layout.topDown ? ", top-down" : ""));
        const std::string path = dir.write("a.bmp", bmpBytes(*pixels, layout));
        EXPECT_EQ(contents(platform::loadBmpScaled(path, 3, 2)), contents(want));
    }
    // Another size asked for is the picture scaled to it.
    const std::string path = dir.write("b.bmp", bmpBytes(want));
    EXPECT_EQ(contents(platform::loadBmpScaled(path, 7, 1)), contents(platform::scaleNearest(want, 7, 1)));
}

TEST(ImageTest, MalformedBmpFilesAndRequestsFailCleanly) {
    testing_support::TempDir dir;
    const Surface pic = makeSurface(3, 2, [](int x, int y) { return 0x010203u * (x + 3 * y + 1); });
    const Bytes good = bmpBytes(pic);
    const auto patched = [&](std::size_t at, std::uint32_t v, int bytes = 4) {
        Bytes b = good;
        for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> 8 * i);
        return b;
    };
    Bytes bigPalette = bmpBytes(Surface(2, 1), {.bpp = 8, .palette = {0, 0}});
    bigPalette[46] = 0x2C;  // 300 colours
    bigPalette[47] = 0x01;
    // The last row may lack its padding (3 bytes), not a byte more.
    EXPECT_TRUE(platform::loadBmpScaled(dir.write("ok.bmp", Bytes(good.begin(), good.end() - 3)), 3, 2));
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 54)},
        {"pixels cut short", Bytes(good.begin(), good.end() - 4)},
        {"noise", Bytes(good.size(), 0xA5)},
        {"wrong magic", patched(0, 'X', 2)},
        {"zero width", patched(18, 0)},
        {"zero height", patched(22, 0)},
        {"negative width", patched(18, static_cast<std::uint32_t>(-3))},
        {"most negative height", patched(22, 0x80000000u)},
        {"huge header", bmpBytes(pic, {.claimW = 100000, .claimH = 100000})},
        {"large claim, small file", bmpBytes(pic, {.claimW = 16000, .claimH = 16000})},
        {"pixel offset past the end", patched(10, 0x7FFFFFF0u)},
        {"pixel offset inside the header", patched(10, 20)},
        {"unknown header size", patched(14, 64)},
        {"run-length compressed", patched(30, 1)},
        {"palette larger than 256", bigPalette},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(platform::loadBmpScaled(dir.write("bad.bmp", bytes), 3, 2)) << name;
    EXPECT_FALSE(platform::loadBmpScaled(dir.file("missing.bmp"), 3, 2));
    EXPECT_FALSE(platform::loadBmpScaled(dir.folder("folder.bmp"), 3, 2));
    const std::string goodPath = dir.write("good.bmp", good);
    for (auto [w, h] : {std::pair{0, 2}, {3, 0}, {-1, 2}, {3, platform::kMaxImageSide + 1}})
        EXPECT_FALSE(platform::loadBmpScaled(goodPath, w, h)) << w << "x" << h;
}

TEST(ImageTest, PngKeepsChannelOrderAndAlphaAndSavesOpaque) {
    testing_support::TempDir dir;
    const std::uint32_t px[] = {0xFF123456, 0x80FF0000, 0x00000000, 0x4000FF00, 0xFF0000FF, 0xC0ABCDEF};
    const Surface pic = makeSurface(3, 2, [&](int x, int y) { return px[y * 3 + x]; });
    EXPECT_EQ(contents(platform::loadPng(dir.write("a.png", pngBytes(pic)))), contents(pic));

    const std::string saved = dir.file("saved.png");
    ASSERT_TRUE(platform::savePng(pic, saved));
    const Surface opaque = makeSurface(3, 2, [&](int x, int y) { return px[y * 3 + x] | 0xFF000000u; });
    EXPECT_EQ(contents(platform::loadPng(saved)), contents(opaque));
    EXPECT_FALSE(platform::savePng(Surface(), dir.file("empty.png")));
}

TEST(ImageTest, BrokenPngFilesFailCleanly) {
    testing_support::TempDir dir;
    const Surface pic(2, 2);
    const Bytes good = pngBytes(pic);
    ASSERT_TRUE(platform::loadPng(dir.write("good.png", good)));
    Bytes badLength = good;
    badLength[45] ^= 0xFF;  // the stored block's length no longer matches its complement
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"truncated", Bytes(good.begin(), good.end() - 30)},
        {"zero size", pngBytes(Surface(), 0, 0)},
        {"huge header", pngBytes(pic, 100000, 100000)},
        {"corrupt data", badLength},
        {"noise", Bytes(64, 0x5A)},
        {"a bmp", bmpBytes(pic)},
    };
    for (const auto& [name, bytes] : cases) EXPECT_FALSE(platform::loadPng(dir.write("bad.png", bytes))) << name;
    EXPECT_FALSE(platform::loadPng(dir.file("missing.png")));
    EXPECT_FALSE(platform::loadPng(dir.folder("folder.png")));
}

}  // namespace
