// BMP and PNG decoding: layouts the asset tools and other editors write, exact
// nearest-neighbour scaling, and clean refusal of every malformed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace fs = std::filesystem;
using platform::Surface;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

struct BmpOptions {
    int bpp = 24;
    bool topDown = false;
    std::uint32_t infoSize = 40;
    bool bitfields = false;  // 32-bit only
    std::array<std::uint32_t, 3> masks{0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    std::vector<std::uint32_t> palette;  // 8-bit only; pixels are then indexes
    std::uint8_t fourthByte = 0;         // what a 32-bit BI_RGB file keeps in byte 4
};

// Writes a BMP of w x h given row-major top-to-bottom pixels (0x00RRGGBB, or
// palette indexes for 8-bit).
Bytes makeBmp(int w, int h, const std::vector<std::uint32_t>& px, const BmpOptions& o = {}) {
    const bool sideMasks = o.bitfields && o.infoSize == 40;
    const std::size_t paletteBytes = o.palette.size() * 4;
    const std::size_t offset = 14 + o.infoSize + (sideMasks ? 12 : 0) + paletteBytes;
    const std::size_t stride = ((static_cast<std::size_t>(w) * o.bpp + 31) / 32) * 4;
    Bytes b(offset + stride * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, static_cast<std::uint32_t>(offset));
    put32(b, 14, o.infoSize);
    put32(b, 18, static_cast<std::uint32_t>(w));
    put32(b, 22, static_cast<std::uint32_t>(o.topDown ? -h : h));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(o.bpp));
    put32(b, 30, o.bitfields ? 3 : 0);
    put32(b, 46, static_cast<std::uint32_t>(o.palette.size()));
    if (o.bitfields)
        for (int i = 0; i < 3; ++i) put32(b, 54 + 4 * i, o.masks[i]);
    for (std::size_t i = 0; i < o.palette.size(); ++i)
        put32(b, 14 + o.infoSize + i * 4, o.palette[i]);
    for (int y = 0; y < h; ++y) {
        const int fileRow = o.topDown ? y : h - 1 - y;
        std::uint8_t* row = b.data() + offset + stride * fileRow;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = px[static_cast<std::size_t>(y) * w + x];
            if (o.bpp == 8) {
                row[x] = static_cast<std::uint8_t>(p);
            } else if (o.bpp == 24) {
                row[3 * x] = p & 0xFF;
                row[3 * x + 1] = (p >> 8) & 0xFF;
                row[3 * x + 2] = (p >> 16) & 0xFF;
            } else {
                std::uint32_t v = 0;
                const std::uint32_t ch[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
                for (int i = 0; i < 3; ++i) v |= (ch[i] << std::countr_zero(o.masks[i])) & o.masks[i];
                if (!o.bitfields) v |= std::uint32_t{o.fourthByte} << 24;
                put32(b, offset + stride * fileRow + 4 * x, v);
            }
        }
    }
    return b;
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("swapsprint_image_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const Bytes& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }

    fs::path dir_;
};

void expectPixels(const Surface& s, int w, int h, const std::vector<std::uint32_t>& px) {
    ASSERT_EQ(s.width(), w);
    ASSERT_EQ(s.height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(s.pixel(x, y), px[static_cast<std::size_t>(y) * w + x]) << x << "," << y;
}

// 3 pixels of 24 bits make 9-byte rows padded to 12: padding bugs shear the picture.
const std::vector<std::uint32_t> kPixels3x2 = {0xFF00FF, 0x123456, 0xABCDEF,
                                               0x010203, 0xFFFFFF, 0x00FF00};

TEST_F(ImageTest, Reads24BitBothRowOrdersWithPadding) {
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        BmpOptions o;
        o.topDown = topDown;
        auto s = platform::loadBmpScaled(write("a.bmp", makeBmp(3, 2, kPixels3x2, o)), 3, 2);
        ASSERT_TRUE(s);
        expectPixels(*s, 3, 2, kPixels3x2);
    }
}

TEST_F(ImageTest, Reads32BitPlainAndWithChannelMasks) {
    BmpOptions plain;
    plain.bpp = 32;
    plain.fourthByte = 0x80;  // never leaks into the pixel's top byte
    auto a = platform::loadBmpScaled(write("a.bmp", makeBmp(3, 2, kPixels3x2, plain)), 3, 2);
    ASSERT_TRUE(a);
    expectPixels(*a, 3, 2, kPixels3x2);

    BmpOptions side;  // masks after a plain header
    side.bpp = 32;
    side.bitfields = true;
    auto b = platform::loadBmpScaled(write("b.bmp", makeBmp(3, 2, kPixels3x2, side)), 3, 2);
    ASSERT_TRUE(b);
    expectPixels(*b, 3, 2, kPixels3x2);

    BmpOptions v5;  // masks inside a V5 header, channels in R, G, B byte order
    v5.bpp = 32;
    v5.bitfields = true;
    v5.infoSize = 124;
    v5.topDown = true;
    v5.masks = {0x000000FFu, 0x0000FF00u, 0x00FF0000u};
    auto c = platform::loadBmpScaled(write("c.bmp", makeBmp(3, 2, kPixels3x2, v5)), 3, 2);
    ASSERT_TRUE(c);
    expectPixels(*c, 3, 2, kPixels3x2);
}

TEST_F(ImageTest, ReadsPalettedPictures) {
    BmpOptions o;
    o.bpp = 8;
    o.palette = {0xFF00FF, 0x336699, 0x000000};
    const std::vector<std::uint32_t> idx = {0, 1, 2, 1, 0, 2, 2, 1, 0, 0};
    auto s = platform::loadBmpScaled(write("p.bmp", makeBmp(5, 2, idx, o)), 5, 2);
    ASSERT_TRUE(s);
    std::vector<std::uint32_t> want;
    for (auto i : idx) want.push_back(o.palette[i]);
    expectPixels(*s, 5, 2, want);
}

TEST_F(ImageTest, ScalingIsNearestNeighbourAndKeepsTheKeyExact) {
    const std::vector<std::uint32_t> quad = {0xFF00FF, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::string path = write("q.bmp", makeBmp(2, 2, quad));

    auto up = platform::loadBmpScaled(path, 6, 4);
    ASSERT_TRUE(up);
    ASSERT_EQ(up->width(), 6);
    ASSERT_EQ(up->height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(up->pixel(x, y), quad[(y / 2) * 2 + x / 3]) << x << "," << y;

    // Odd factors must still only ever produce source colours, never blends.
    auto odd = platform::loadBmpScaled(path, 5, 3);
    ASSERT_TRUE(odd);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_NE(std::find(quad.begin(), quad.end(), odd->pixel(x, y)), quad.end());
    EXPECT_EQ(odd->pixel(0, 0), 0xFF00FFu);

    auto down = platform::loadBmpScaled(path, 1, 1);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->pixel(0, 0), 0xFF00FFu);
}

TEST_F(ImageTest, TheLastRowMayLackItsPadding) {
    // 2 pixels of 24 bits: 6 bytes of pixels, 2 of padding per row.
    Bytes b = makeBmp(2, 2, {1, 2, 3, 4});
    b.erase(b.end() - 2, b.end());
    EXPECT_TRUE(platform::loadBmpScaled(write("ok.bmp", b), 2, 2));
    b.pop_back();
    EXPECT_FALSE(platform::loadBmpScaled(write("short.bmp", b), 2, 2));
}

TEST_F(ImageTest, MalformedFilesAndRequestsFailCleanly) {
    const Bytes good = makeBmp(3, 2, kPixels3x2);
    const std::string goodPath = write("good.bmp", good);
    ASSERT_TRUE(platform::loadBmpScaled(goodPath, 3, 2));

    auto patched = [&](std::size_t at, std::uint32_t v, int bytes = 4) {
        Bytes b = good;
        if (bytes == 2) put16(b, at, v); else put32(b, at, v);
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 54)},
        {"pixels cut short", Bytes(good.begin(), good.end() - 8)},
        {"wrong magic", patched(0, 'X', 2)},
        {"zero width", patched(18, 0)},
        {"zero height", patched(22, 0)},
        {"negative width", patched(18, static_cast<std::uint32_t>(-3))},
        {"most negative height", patched(22, 0x80000000u)},
        {"huge header", [&] { Bytes b = patched(18, 100000); put32(b, 22, 100000); return b; }()},
        {"large claim, small file", [&] { Bytes b = patched(18, 16000); put32(b, 22, 16000); return b; }()},
        {"pixel offset past the end", patched(10, 0x7FFFFFF0u)},
        {"pixel offset inside the header", patched(10, 20)},
        {"unknown header size", patched(14, 64)},
        {"16 bits per pixel", patched(28, 16, 2)},
        {"run-length compressed", patched(30, 1)},
        {"palette larger than 256", [&] {
             BmpOptions o;
             o.bpp = 8;
             o.palette = {0, 0};
             Bytes b = makeBmp(2, 1, {0, 1}, o);
             put32(b, 46, 300);
             return b;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(platform::loadBmpScaled(write("bad.bmp", c.bytes), 3, 2));
    }

    EXPECT_FALSE(platform::loadBmpScaled((dir_ / "missing.bmp").string(), 3, 2));
    fs::create_directories(dir_ / "folder.bmp");
    EXPECT_FALSE(platform::loadBmpScaled((dir_ / "folder.bmp").string(), 3, 2));
    for (auto [w, h] : {std::pair{0, 2}, {3, 0}, {-1, 2}, {3, platform::kMaxImageSide + 1}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        EXPECT_FALSE(platform::loadBmpScaled(goodPath, w, h));
    }
}

// --- PNG ------------------------------------------------------------------

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void putBe32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back((v >> (8 * i)) & 0xFF);
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    putBe32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBe32(png, crc32(png.data() + start, png.size() - start));
}

// A small RGBA PNG with uncompressed deflate blocks, so the test controls
// every byte the decoder sees. Pixels are 0xAARRGGBB.
Bytes makeRgbaPng(int w, int h, const std::vector<std::uint32_t>& px) {
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = px[static_cast<std::size_t>(y) * w + x];
            raw.insert(raw.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
        }
    }
    Bytes z = {0x78, 0x01, 0x01};  // one final stored block (raw is small)
    z.push_back(raw.size() & 0xFF);
    z.push_back((raw.size() >> 8) & 0xFF);
    z.push_back(~raw.size() & 0xFF);
    z.push_back((~raw.size() >> 8) & 0xFF);
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (auto v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    putBe32(z, (b << 16) | a);

    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    putBe32(ihdr, static_cast<std::uint32_t>(w));
    putBe32(ihdr, static_cast<std::uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

TEST_F(ImageTest, PngKeepsChannelOrderAndAlpha) {
    const std::vector<std::uint32_t> px = {0xFF123456, 0x80FF0000, 0x00000000, 0x4000FF00,
                                           0xFF0000FF, 0xC0ABCDEF};
    auto s = platform::loadPng(write("a.png", makeRgbaPng(3, 2, px)));
    ASSERT_TRUE(s);
    expectPixels(*s, 3, 2, px);
}

TEST_F(ImageTest, SavedPngLoadsBackOpaque) {
    Surface src(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) src.setPixel(x, y, 0x00102030u + static_cast<std::uint32_t>(x * 0x40 + y * 0x400000));
    const std::string path = (dir_ / "saved.png").string();
    ASSERT_TRUE(platform::savePng(src, path));
    auto back = platform::loadPng(path);
    ASSERT_TRUE(back);
    std::vector<std::uint32_t> want;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) want.push_back(0xFF000000u | src.pixel(x, y));
    expectPixels(*back, 4, 3, want);

    EXPECT_FALSE(platform::savePng(Surface(), (dir_ / "empty.png").string()));
}

TEST_F(ImageTest, BrokenPngFilesFailCleanly) {
    const Bytes good = makeRgbaPng(2, 2, {1, 2, 3, 4});
    ASSERT_TRUE(platform::loadPng(write("good.png", good)));

    Bytes huge = makeRgbaPng(2, 2, {1, 2, 3, 4});
    huge[16] = 0x00;
    huge[17] = 0x01;  // width 65538 (with a CRC that no longer matches either)
    Bytes badData = good;
    badData[45] ^= 0xFF;  // inside the stored pixel bytes: the checksums break
    Bytes noise(64, 0x5A);

    for (const auto& [name, bytes] : std::vector<std::pair<const char*, Bytes>>{
             {"empty", {}},
             {"truncated", Bytes(good.begin(), good.end() - 30)},
             {"huge width", huge},
             {"corrupt data", badData},
             {"not a png", noise},
             {"a bmp", makeBmp(2, 2, {1, 2, 3, 4})}}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(platform::loadPng(write("bad.png", bytes)));
    }
    EXPECT_FALSE(platform::loadPng((dir_ / "missing.png").string()));
    fs::create_directories(dir_ / "folder.png");
    EXPECT_FALSE(platform::loadPng((dir_ / "folder.png").string()));
}

}  // namespace
