// BMP and PNG decoding: every layout either format allows, checked pixel for
// pixel against an independent decoder (ImageMagick), and a clean, cheap
// refusal of every malformed or hostile file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FileFaults.h"
#include "platform/Image.h"
#include "support/TestFiles.h"

using platform::Surface;
using testing_support::bmpBytes;
using testing_support::Bytes;
using testing_support::FileFaults;
using testing_support::makeSurface;
using testing_support::pngBytes;
using testing_support::putBe;
using testing_support::putLe;

namespace {

// Size and pixels in one vector, so a mismatch shows both.
std::vector<std::uint32_t> contents(const std::optional<Surface>& s) {
    if (!s) return {};
    std::vector<std::uint32_t> v{std::uint32_t(s->width()), std::uint32_t(s->height())};
    v.insert(v.end(), s->pixels(), s->pixels() + s->width() * s->height());
    return v;
}

// ---- Pictures of every layout, written byte by byte.

constexpr int kW = 13, kH = 7;  // odd sizes: partial bytes, partial interlace passes, row padding

// A sample of depth bits for pixel (x, y), channel c: spread over the range.
std::uint32_t sampleAt(int x, int y, int c, int depth) {
    const std::uint32_t h = (x * 7919u + y * 104729u + c * 31337u + 17u) * 2654435761u;
    return depth >= 32 ? h : (h >> 5) & ((1u << depth) - 1);
}

struct PngCase {
    int type, depth;
    bool transparency, interlaced;
};

Bytes pngOf(const PngCase& c) {
    const int channels = c.type == 2 ? 3 : c.type == 4 ? 2 : c.type == 6 ? 4 : 1;
    const int colours = c.type == 3 ? (c.depth == 8 ? 200 : 1 << c.depth) : 0;
    auto sample = [&](int x, int y, int ch) {
        return c.type == 3 ? sampleAt(x, y, ch, 16) % colours : sampleAt(x, y, ch, c.depth);
    };
    auto rowBytes = [&](const std::vector<int>& xs, int y) {
        Bytes row{0};  // no filter
        std::uint32_t bits = 0;
        int held = 0;
        for (int x : xs)
            for (int ch = 0; ch < channels; ++ch) {  // most significant bits first, 16-bit samples too
                bits = bits << c.depth | sample(x, y, ch);
                for (held += c.depth; held >= 8; held -= 8) row.push_back(static_cast<std::uint8_t>(bits >> (held - 8)));
            }
        if (held > 0) row.push_back(static_cast<std::uint8_t>(bits << (8 - held)));
        return row;
    };
    using Pass = std::array<int, 4>;  // first column and row, and the steps between them
    const std::vector<Pass> passes =
        c.interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                     : std::vector<Pass>{{0, 0, 1, 1}};
    Bytes raw;
    for (const Pass& pass : passes) {
        std::vector<int> xs;
        for (int x = pass[0]; x < kW; x += pass[2]) xs.push_back(x);
        for (int y = pass[1]; y < kH && !xs.empty(); y += pass[3]) {
            const Bytes row = rowBytes(xs, y);
            raw.insert(raw.end(), row.begin(), row.end());
        }
    }
    Bytes png = testing_support::pngHeader(kW, kH, c.depth, c.type, c.interlaced);
    if (c.type == 3) {
        Bytes plte;
        for (int i = 0; i < colours; ++i) plte.insert(plte.end(), {std::uint8_t(i * 53), std::uint8_t(i * 97), std::uint8_t(i * 29)});
        testing_support::pngChunk(png, "PLTE", plte);
    }
    if (c.transparency) {
        Bytes trns;
        if (c.type == 3) {
            for (int i = 0; i < 7 && i < colours; ++i) trns.push_back(static_cast<std::uint8_t>(i * 37));
        } else {  // the colour of one pixel, so that pixel and its twins turn transparent
            for (int ch = 0; ch < channels; ++ch) {
                trns.push_back(static_cast<std::uint8_t>(sample(2, 1, ch) >> 8));
                trns.push_back(static_cast<std::uint8_t>(sample(2, 1, ch)));
            }
        }
        testing_support::pngChunk(png, "tRNS", trns);
    }
    testing_support::pngChunk(png, "IDAT", testing_support::zlibStored(raw));
    testing_support::pngChunk(png, "IEND", {});
    return png;
}

struct BmpCase {
    const char* name;
    int bpp;
    std::uint32_t compression;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t header = 40;  // 12 is the oldest header; 108 and 124 hold the masks themselves
    bool topDown = false;
    std::vector<std::uint32_t> masks = {};
    std::uint32_t colorsUsed = 0;
};

// The palette index of (x, y): one row and the start of another are index 0,
// so run-length files can jump over them.
std::uint32_t indexAt(const BmpCase& c, int x, int y) {
    const std::uint32_t colours = c.colorsUsed ? c.colorsUsed : 1u << c.bpp;
    if (y == kH - 3 || (y == kH - 4 && x < 2)) return 0;
    return sampleAt(x < 9 ? x / 3 : x, y, 0, 16) % colours;  // runs of three, then single pixels
}

// Run-length data, bottom row first: runs, literal stretches, a jump over a
// whole row and one over two pixels, ends of rows and of the picture.
Bytes runLength(const BmpCase& c) {
    const bool four = c.bpp == 4;
    Bytes out;
    for (int row = 0; row < kH; ++row) {
        const int y = kH - 1 - row;
        if (row == 2) continue;  // skipped by the jump at the end of the row before
        int x = row == 3 ? 2 : 0;
        if (row == 3) out.insert(out.end(), {0, 2, 2, 0});
        while (x < kW) {
            int run = 1;
            while (x + run < kW && run < 255 && indexAt(c, x + run, y) == indexAt(c, x, y)) ++run;
            int literal = 0;
            while (x + literal < kW && literal < 255 &&
                   (x + literal + 1 == kW || indexAt(c, x + literal, y) != indexAt(c, x + literal + 1, y)))
                ++literal;
            if (run == 1 && literal >= 3) {
                out.insert(out.end(), {0, std::uint8_t(literal)});
                const std::size_t start = out.size();
                for (int i = 0; i < literal; ++i) {
                    const std::uint32_t v = indexAt(c, x + i, y);
                    if (!four) out.push_back(std::uint8_t(v));
                    else if (i % 2 == 0) out.push_back(std::uint8_t(v << 4));
                    else out.back() |= std::uint8_t(v);
                }
                if ((out.size() - start) % 2) out.push_back(0);
                x += literal;
            } else {
                const std::uint32_t v = indexAt(c, x, y);
                out.insert(out.end(), {std::uint8_t(run), std::uint8_t(four ? v << 4 | v : v)});
                x += run;
            }
        }
        if (row == 1) out.insert(out.end(), {0, 2, 0, 1});  // down one row, at the row's end
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

Bytes bmpOf(const BmpCase& c) {
    const bool core = c.header == 12, indexed = c.bpp <= 8;
    const std::uint32_t colours = indexed ? (c.colorsUsed ? c.colorsUsed : 1u << c.bpp) : 0;
    Bytes pixels;
    if (c.compression == 1 || c.compression == 2) {
        pixels = runLength(c);
    } else {
        for (int row = 0; row < kH; ++row) {
            const int y = c.topDown ? row : kH - 1 - row;
            const std::size_t start = pixels.size();
            std::uint32_t bits = 0;
            int held = 0;
            for (int x = 0; x < kW; ++x) {
                if (!indexed) {  // every bit set at random, spare ones too
                    putLe(pixels, sampleAt(x, y, 0, 32), c.bpp / 8);
                    continue;
                }
                bits = bits << c.bpp | indexAt(c, x, y);
                for (held += c.bpp; held >= 8; held -= 8) pixels.push_back(std::uint8_t(bits >> (held - 8)));
            }
            if (held > 0) pixels.push_back(std::uint8_t(bits << (8 - held)));
            pixels.resize(start + (kW * c.bpp + 31) / 32 * 4, 0);
        }
    }
    Bytes info;
    if (core) {
        putLe(info, 12, 4);
        for (int v : {kW, kH, 1, c.bpp}) putLe(info, v, 2);  // sizes of 16 bits
    } else {
        for (std::uint32_t v : {c.header, std::uint32_t(kW), std::uint32_t(c.topDown ? -kH : kH)}) putLe(info, v, 4);
        putLe(info, 1, 2);
        putLe(info, c.bpp, 2);
        for (std::uint32_t v : {c.compression, std::uint32_t(pixels.size()), 2835u, 2835u, c.colorsUsed, 0u}) putLe(info, v, 4);
        for (std::uint32_t m : c.masks) putLe(info, m, 4);  // inside a larger header, or just after a plain one
        if (c.header > 40) info.resize(c.header, 0);
    }
    for (std::uint32_t i = 0; i < colours; ++i) {
        info.insert(info.end(), {std::uint8_t(i * 29), std::uint8_t(i * 97 + 5), std::uint8_t(i * 53 + 11)});
        if (!core) info.push_back(0);
    }
    Bytes file{'B', 'M'};
    const std::uint32_t offset = 14 + static_cast<std::uint32_t>(info.size());
    for (std::uint32_t v : {offset + std::uint32_t(pixels.size()), 0u, offset}) putLe(file, v, 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// The independent decoder's pixels as 0xAARRGGBB. PNG files are read at 16
// bits a sample and rounded to 8 here (v / 257, rounded), as our decoder
// does; ImageMagick's own 8-bit output truncates instead.
std::vector<std::uint32_t> reference(const std::string& path) {
    std::ifstream in(path + ".rgba", std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(in)), {});
    const bool wide = path.ends_with(".png");
    std::vector<std::uint32_t> v{kW, kH};
    auto at = [&](std::size_t i) {
        return wide ? (std::uint32_t(b[2 * i] | b[2 * i + 1] << 8) + 128) / 257 : std::uint32_t(b[i]);
    };
    for (std::size_t i = 0; i + 3 < b.size() / (wide ? 2 : 1); i += 4)
        v.push_back(at(i + 3) << 24 | at(i) << 16 | at(i + 1) << 8 | at(i + 2));
    return v;
}

bool convertAll(const testing_support::TempDir& dir) {
    const std::string convert = ::access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "convert";
    const std::string command = "cd '" + dir.file("") + "' && for f in *.png; do " + convert +
                                " \"$f\" -depth 16 -endian LSB rgba:\"$f.rgba\" || exit 1; done && for f in *.bmp; do " +
                                convert + " \"$f\" -depth 8 rgba:\"$f.rgba\" || exit 1; done";
    return std::system(command.c_str()) == 0;
}

TEST(ImageTest, EveryPngAndBmpLayoutDecodesAsAnIndependentDecoderDoes) {
    testing_support::TempDir dir;
    std::vector<std::string> pngs, bmps;
    const std::pair<int, std::vector<int>> depths[] = {{0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}},
                                                       {4, {8, 16}}, {6, {8, 16}}};
    for (const auto& [type, list] : depths)
        for (int depth : list)
            for (bool transparency : {false, true})
                for (bool interlaced : {false, true}) {
                    if (transparency && (type == 4 || type == 6)) continue;  // these carry alpha already
                    char name[32];
                    std::snprintf(name, sizeof name, "p%d_%d%s%s.png", type, depth, transparency ? "t" : "",
                                  interlaced ? "i" : "");
                    dir.write(name, pngOf({type, depth, transparency, interlaced}));
                    pngs.push_back(name);
                }
    const BmpCase bmpCases[] = {
        {"core1", 1, 0, 12}, {"core8", 8, 0, 12}, {"pal1", 1, 0}, {"pal4", 4, 0},
        {"pal8_100", 8, 0, 40, false, {}, 100}, {"pal8_topdown", 8, 0, 40, true},
        {"rle4", 4, 2}, {"rle8", 8, 1, 40, false, {}, 40}, {"rgb555", 16, 0},
        {"fields565", 16, 3, 40, false, {0xF800, 0x07E0, 0x001F}},
        {"v3_fields555", 16, 3, 56, false, {0x001F, 0x03E0, 0x7C00, 0x8000}},
        {"rgb24", 24, 0}, {"rgb24_topdown", 24, 0, 40, true}, {"rgb32", 32, 0},
        {"fields32", 32, 3, 40, false, {0x0000FF00, 0x00FF0000, 0xFF000000}},
        {"v4_fields32", 32, 3, 108, false, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
        {"v5_fields16", 16, 3, 124, true, {0x7C00, 0x03E0, 0x001F, 0x8000}},
    };
    for (const BmpCase& c : bmpCases) {
        dir.write(std::string(c.name) + ".bmp", bmpOf(c));
        bmps.push_back(std::string(c.name) + ".bmp");
    }
    ASSERT_TRUE(convertAll(dir)) << "ImageMagick's convert is needed (scripts/setup.sh installs it)";

    for (const std::string& name : pngs)
        EXPECT_EQ(contents(platform::loadPng(dir.file(name))), reference(dir.file(name))) << name;
    for (const std::string& name : bmps) {
        auto want = reference(dir.file(name));
        for (std::size_t i = 2; i < want.size(); ++i) want[i] &= 0x00FFFFFF;  // pictures of ours carry no alpha
        EXPECT_EQ(contents(platform::loadBmpScaled(dir.file(name), kW, kH)), want) << name;
    }
    // Another size asked for is the picture scaled to it, nearest neighbour.
    const auto whole = platform::loadBmpScaled(dir.file("rle8.bmp"), kW, kH);
    ASSERT_TRUE(whole);
    for (auto [w, h] : {std::pair{31, 3}, {5, 17}})
        EXPECT_EQ(contents(platform::loadBmpScaled(dir.file("rle8.bmp"), w, h)),
                  contents(platform::scaleNearest(*whole, w, h)));
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
    const Bytes rle = bmpOf({"rle8", 8, 1});
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
        {"24 bits run-length compressed", patched(30, 1)},
        {"unknown bit depth", patched(28, 7, 2)},
        {"palette larger than 256", bigPalette},
        {"run-length data cut short", Bytes(rle.begin(), rle.end() - 6)},
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
    // A whole header, then a chunk whose length runs past the end: 49 bytes.
    Bytes skip = testing_support::pngHeader(64, 64, 8, 6, false);
    putBe(skip, 0x7FFFFFF0);
    skip.insert(skip.end(), {'t', 'E', 'X', 't', 'k', 'e', 'y', 0, 'a', 'b', 'c', 'd'});
    ASSERT_EQ(skip.size(), 49u);
    std::vector<std::pair<std::string, Bytes>> cases = {
        {"skip.png", skip},
        {"zero size", pngBytes(Surface(), 0, 0)},
        {"huge header", pngBytes(pic, 100000, 100000)},
        {"large claim, tiny data", pngBytes(pic, 4000, 4000)},
        {"corrupt data", badLength},
        {"noise", Bytes(64, 0x5A)},
        {"a bmp", bmpBytes(pic)},
    };
    // Cut anywhere, a file never decodes from bytes it does not hold.
    for (std::size_t n = 0; n < good.size(); ++n) cases.emplace_back("cut to " + std::to_string(n), Bytes(good.begin(), good.begin() + n));
    for (const auto& [name, bytes] : cases) EXPECT_FALSE(platform::loadPng(dir.write("bad.png", bytes))) << name;
    EXPECT_FALSE(platform::loadPng(dir.file("missing.png")));
    EXPECT_FALSE(platform::loadPng(dir.folder("folder.png")));
}

// Hostile files cost a header read at most: junk, a picture far larger than
// needed, a FIFO (which must not block), a giant ancillary chunk.
TEST(ImageTest, HostileFilesCostNoMoreThanTheirFormatNeeds) {
    testing_support::TempDir dir;
    auto sparse = [&](const std::string& name, const Bytes& head, off_t size) {
        const std::string path = dir.write(name, head);
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    };
    // 16384 x 16384 at one bit a pixel: 32 MB, all of palette colour 0.
    Bytes hugeHead{'B', 'M'};
    for (std::uint32_t v : {62u + 2048u * 16384u, 0u, 62u, 40u, 16384u, 16384u}) putLe(hugeHead, v, 4);
    putLe(hugeHead, 1, 2);
    putLe(hugeHead, 1, 2);
    for (std::uint32_t v : {0u, 0u, 2835u, 2835u, 2u, 0u, 0x000B0500u, 0x00FFFFFFu}) putLe(hugeHead, v, 4);
    const std::string hugePath = sparse("huge.bmp", hugeHead, 62 + 2048LL * 16384);
    ASSERT_EQ(::mkfifo(dir.file("fifo.bmp").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(dir.file("fifo.png").c_str(), 0644), 0);
    Bytes bigChunk = testing_support::pngHeader(2, 2, 8, 6, false);
    putBe(bigChunk, 150u << 20);
    bigChunk.insert(bigChunk.end(), {'t', 'E', 'X', 't'});

    FileFaults faults;
    auto scaled = platform::loadBmpScaled(hugePath, 128, 64);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->pixel(127, 63), 0x0B0500u);  // palette entry 0
    EXPECT_LT(faults.bytesRead(), 64u * 2048 + 4096);  // the 64 rows sampled, and the header
    const std::pair<std::string, bool> refused[] = {
        {sparse("junk.bmp", Bytes(64, 0xA5), 200 << 20), true},
        {sparse("junk.png", Bytes(64, 0xA5), 200 << 20), false},
        {sparse("chunk.png", bigChunk, (150 << 20) + 100), false},
        {dir.file("fifo.bmp"), true},
        {dir.file("fifo.png"), false},
    };
    for (const auto& [path, bmp] : refused) {
        faults.clear();
        EXPECT_FALSE(bmp ? platform::loadBmpScaled(path, 128, 64) : platform::loadPng(path)) << path;
        EXPECT_LT(faults.bytesRead(), 2048u) << path;
        EXPECT_EQ(faults.reports().size(), 1u) << path;
    }
}

}  // namespace
