// Picture decoding: our own BMP reader and PNG through libpng. Each reads the
// file's header first and decides from it how many bytes the picture can
// need: a file that claims more than we accept, or holds less than it claims,
// is refused (one line on stderr) before its body is read.
#include "platform/Image.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Paths.h"
#include "platform/ReadableFile.h"

namespace platform {

namespace {

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

bool validSide(std::int64_t v) { return v > 0 && v <= kMaxImageSide; }

// ---------------------------------------------------------------- BMP

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the oldest header: 16-bit sizes, 3-byte palette entries
// Everything before the pixels a BMP can need: file header, the largest info
// header, masks after a plain header, and a full palette.
constexpr std::size_t kMaxBmpHead = kFileHeaderSize + 124 + 16 + 256 * 4;
// The largest file worth opening as a BMP: the biggest picture we accept.
constexpr std::uint64_t kMaxBmpFileBytes = std::uint64_t{kMaxImageSide} * kMaxImageSide * 4 + kMaxBmpHead;

// One colour channel described by a bit mask, widened to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    // Masks must be one contiguous run of bits; anything else is a corrupt file.
    bool setup(std::uint32_t m) {
        mask = m;
        if (m == 0) return true;  // channel absent: reads as 0
        shift = std::countr_zero(m);
        const std::uint32_t run = m >> shift;
        bits = std::popcount(run);
        return (run & (run + 1)) == 0;
    }
    std::uint32_t extract(std::uint32_t px) const {
        if (mask == 0) return 0;
        const std::uint32_t v = (px & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        // A narrow channel is widened by repeating its bits, so full scale
        // stays full: five bits 10000 become 10000100.
        std::uint32_t wide = 0;
        int have = 0;
        for (; have < 8; have += bits) wide = (wide << bits) | v;
        return wide >> (have - 8);
    }
};

struct BmpLayout {
    int width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    std::uint32_t compression = kBiRgb;
    std::uint64_t pixelOffset = 0;
    Channel red, green, blue;
    std::vector<std::uint32_t> palette;

    bool runLength() const { return compression == kBiRle8 || compression == kBiRle4; }
    std::uint64_t stride() const { return (std::uint64_t{static_cast<std::uint32_t>(width)} * bpp + 31) / 32 * 4; }
    std::uint64_t lastRowBytes() const { return (std::uint64_t{static_cast<std::uint32_t>(width)} * bpp + 7) / 8; }
};

// Reads the headers, masks and palette from the first len bytes of a file of
// fileSize bytes. Null on success, else why the file is refused.
const char* parseBmpHead(const std::uint8_t* f, std::size_t len, std::uint64_t fileSize, BmpLayout& b) {
    if (len < kFileHeaderSize + 4 || f[0] != 'B' || f[1] != 'M') return "not a BMP picture";
    const std::uint8_t* ih = f + kFileHeaderSize;
    const std::uint32_t infoSize = le32(ih);
    const bool core = infoSize == kCoreHeaderSize;
    if (!core && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return "a BMP header of unknown size";
    if (kFileHeaderSize + infoSize > len) return "the file ends inside its header";

    std::int64_t w, h;
    unsigned planes, bpp;
    std::uint32_t compression = kBiRgb, colorsUsed = 0;
    if (core) {
        w = le16(ih + 4);
        h = le16(ih + 6);
        planes = le16(ih + 8);
        bpp = le16(ih + 10);
    } else {
        w = static_cast<std::int32_t>(le32(ih + 4));
        h = static_cast<std::int32_t>(le32(ih + 8));
        planes = le16(ih + 12);
        bpp = le16(ih + 14);
        compression = le32(ih + 16);
        colorsUsed = le32(ih + 32);
    }
    b.topDown = h < 0;
    if (b.topDown) h = -h;
    if (planes != 1) return "not a BMP picture";
    if (!validSide(w) || !validSide(h)) return "a picture size out of range";
    b.width = static_cast<int>(w);
    b.height = static_cast<int>(h);
    b.bpp = static_cast<int>(bpp);
    b.compression = compression;

    std::uint64_t tableStart = kFileHeaderSize + infoSize;
    const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
    switch (bpp) {
        case 1:
        case 4:
        case 8: {
            const bool rle = (bpp == 8 && compression == kBiRle8) || (bpp == 4 && compression == kBiRle4);
            if (compression != kBiRgb && !rle) return "an unsupported compression";
            if (rle && b.topDown) return "a compressed picture stored top-down";
            const std::uint32_t maxColors = 1u << bpp;
            const std::uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
            if (count > maxColors) return "a palette larger than its pixels can use";
            const std::uint64_t entry = core ? 3 : 4;  // B, G, R (, reserved)
            if (tableStart + count * entry > len) return "the file ends inside its palette";
            b.palette.resize(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::uint8_t* e = f + tableStart + i * entry;
                b.palette[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
            }
            tableStart += count * entry;
            break;
        }
        case 16:
        case 32:
            if (compression == kBiRgb) {
                // No masks given: 5 bits a channel in 16-bit pixels, 8 in 32-bit ones.
                if (bpp == 16) {
                    b.red.setup(0x7C00);
                    b.green.setup(0x03E0);
                    b.blue.setup(0x001F);
                } else {
                    b.red.setup(0xFF0000);
                    b.green.setup(0x00FF00);
                    b.blue.setup(0x0000FF);
                }
            } else if (bitfields && !core) {
                const std::uint8_t* m = ih + 40;
                if (infoSize == 40) {  // the masks follow the plain header
                    const std::uint64_t maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
                    if (tableStart + maskBytes > len) return "the file ends inside its colour masks";
                    tableStart += maskBytes;
                }
                if (!b.red.setup(le32(m)) || !b.green.setup(le32(m + 4)) || !b.blue.setup(le32(m + 8)))
                    return "colour masks that are not runs of bits";
            } else {
                return "an unsupported compression";
            }
            break;
        case 24:
            if (compression != kBiRgb) return "an unsupported compression";
            break;
        default:
            return "an unsupported number of bits per pixel";
    }

    b.pixelOffset = le32(f + 10);
    if (b.pixelOffset < tableStart || b.pixelOffset > fileSize) return "its pixels placed outside the file";
    // Every row is padded to a multiple of four bytes; the last row's padding
    // may be missing in files from careless writers, so it is not required.
    if (!b.runLength() &&
        b.stride() * static_cast<std::uint64_t>(b.height - 1) + b.lastRowBytes() > fileSize - b.pixelOffset)
        return "the file holds fewer pixels than its header claims";
    return nullptr;
}

// The file's bytes from a start offset onward, read in large blocks and
// never past an end offset.
class ForwardReader {
public:
    // readAhead reads in large blocks; without it each read takes only what
    // is asked, for rows sampled far apart.
    ForwardReader(ReadableFile& file, std::uint64_t start, std::uint64_t end, bool readAhead)
        : file_(file), next_(start), end_(std::max(start, end)), readAhead_(readAhead) {}

    // The next n bytes, or null when the data ends first.
    const std::uint8_t* take(std::size_t n) {
        if (!fill(n)) return nullptr;
        const std::uint8_t* p = buffer_.data() + begin_;
        begin_ += n;
        return p;
    }
    // The next byte, or -1 at the end of the data.
    int byte() {
        if (begin_ == filled_ && !fill(1)) return -1;
        return buffer_[begin_++];
    }
    bool skip(std::uint64_t n) {
        const std::size_t held = filled_ - begin_;
        if (n <= held) {
            begin_ += static_cast<std::size_t>(n);
            return true;
        }
        n -= held;
        begin_ = filled_ = 0;
        if (n > end_ - next_) return false;
        next_ += n;
        return true;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    bool fill(std::size_t n) {
        if (filled_ - begin_ >= n) return true;
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, filled_ - begin_);
            filled_ -= begin_;
            begin_ = 0;
        }
        if (buffer_.size() < n) buffer_.resize(std::max(n, kBlock));
        const std::size_t room = readAhead_ ? buffer_.size() - filled_ : n - filled_;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(room, end_ - next_));
        const std::size_t got = file_.readAt(next_, buffer_.data() + filled_, want);
        next_ += got;
        filled_ += got;
        return filled_ - begin_ >= n;
    }

    ReadableFile& file_;
    std::uint64_t next_, end_;
    bool readAhead_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, filled_ = 0;
};

// Puts decoded picture rows, which arrive in file order, on the output rows
// that sample them (nearest neighbour), so a picture of any size costs no
// more memory than its output and one row.
class RowTargets {
public:
    RowTargets(int width, int height, Surface& out) : width_(width), height_(height), out_(out) {
        if (width_ != out_.width()) {
            scratch_.resize(static_cast<std::size_t>(width_));
            columns_.resize(static_cast<std::size_t>(out_.width()));
            for (int x = 0; x < out_.width(); ++x)
                columns_[x] = static_cast<int>(static_cast<std::int64_t>(x) * width_ / out_.width());
        }
    }
    bool wanted(int y) const { return first(y) < first(y + 1); }
    // Where to decode picture row y (only when wanted): straight into the
    // output when the widths agree.
    std::uint32_t* row(int y) { return scratch_.empty() ? out_.row(first(y)) : scratch_.data(); }
    void done(int y) {
        const int top = first(y), end = first(y + 1);
        if (!scratch_.empty()) {
            std::uint32_t* dst = out_.row(top);
            for (int x = 0; x < out_.width(); ++x) dst[x] = scratch_[columns_[x]];
        }
        for (int r = top + 1; r < end; ++r)
            std::memcpy(out_.row(r), out_.row(top), static_cast<std::size_t>(out_.width()) * 4);
    }

private:
    // The first output row whose sample lies at picture row y or below.
    int first(int y) const {
        const std::int64_t h = out_.height();
        return static_cast<int>((std::int64_t{y} * h + height_ - 1) / height_);
    }

    int width_, height_;
    Surface& out_;
    std::vector<std::uint32_t> scratch_;
    std::vector<int> columns_;
};

// Rows of 24-bit pixels, stored B, G, R: the drawing code's vector converter.
void convertRow24(const std::uint8_t* src, std::uint32_t* dst, int width) {
    bgrToPixels(dst, src, width);
}

// Rows of 16- or 32-bit pixels described by channel masks.
void convertRowMasked(const std::uint8_t* src, std::uint32_t* dst, int width, const BmpLayout& b) {
    const int bytes = b.bpp / 8;
    for (int x = 0; x < width; ++x, src += bytes) {
        const std::uint32_t px = bytes == 4 ? le32(src) : le16(src);
        dst[x] = (b.red.extract(px) << 16) | (b.green.extract(px) << 8) | b.blue.extract(px);
    }
}

std::uint32_t paletteColour(const BmpLayout& b, std::uint32_t index) {
    return index < b.palette.size() ? b.palette[index] : 0u;  // past the palette: black
}

// Rows of palette indexes packed from the high bits.
void convertRowIndexed(const std::uint8_t* src, std::uint32_t* dst, int width, const BmpLayout& b) {
    const int perByte = 8 / b.bpp;
    const std::uint32_t mask = (1u << b.bpp) - 1u;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - b.bpp * (x % perByte + 1);
        dst[x] = paletteColour(b, (src[x / perByte] >> shift) & mask);
    }
}

const char* decodeBmpRows(ForwardReader& in, const BmpLayout& b, RowTargets& rows) {
    for (int fileRow = 0; fileRow < b.height; ++fileRow) {
        const int y = b.topDown ? fileRow : b.height - 1 - fileRow;
        const bool last = fileRow == b.height - 1;
        if (!rows.wanted(y)) {
            if (!last && !in.skip(b.stride())) return "the file holds fewer pixels than its header claims";
            continue;
        }
        const std::uint8_t* src = in.take(static_cast<std::size_t>(last ? b.lastRowBytes() : b.stride()));
        if (!src) return "the file holds fewer pixels than its header claims";
        std::uint32_t* dst = rows.row(y);
        if (b.bpp == 24)
            convertRow24(src, dst, b.width);
        else if (b.bpp >= 16)
            convertRowMasked(src, dst, b.width, b);
        else
            convertRowIndexed(src, dst, b.width, b);
        rows.done(y);
    }
    return nullptr;
}

// Run-length data, bottom row first: runs of one index (two alternating
// ones in 4-bit files), literal stretches, jumps ahead, ends of rows and of
// the picture. Pixels jumped over keep index 0; pixels past a row's end are
// dropped.
const char* decodeBmpRunLength(ForwardReader& in, const BmpLayout& b, RowTargets& rows) {
    const bool four = b.compression == kBiRle4;
    const int w = b.width;
    std::vector<std::uint8_t> index(static_cast<std::size_t>(w), 0);
    int fileRow = 0, x = 0;
    auto endRow = [&] {
        const int y = b.height - 1 - fileRow;
        if (rows.wanted(y)) {
            std::uint32_t* dst = rows.row(y);
            for (int i = 0; i < w; ++i) dst[i] = paletteColour(b, index[i]);
            rows.done(y);
        }
        std::fill(index.begin(), index.end(), std::uint8_t{0});
        ++fileRow;
        x = 0;
    };
    auto put = [&](int i, int value) {
        if (x < w) index[x] = static_cast<std::uint8_t>(four ? (i % 2 ? value & 15 : value >> 4) : value);
    };
    constexpr const char* kShort = "the run-length data ends before the picture does";
    while (fileRow < b.height) {
        const int count = in.byte();
        const int code = in.byte();
        if (code < 0) return kShort;
        if (count > 0) {
            for (int i = 0; i < count && x < w; ++i, ++x) put(i, code);
        } else if (code == 0) {
            endRow();
        } else if (code == 1) {
            while (fileRow < b.height) endRow();
        } else if (code == 2) {
            const int dx = in.byte();
            const int dy = in.byte();
            if (dx < 0 || dy < 0) return kShort;
            const int to = std::min(x + dx, w);
            for (int i = 0; i < dy && fileRow < b.height; ++i) endRow();
            x = to;
        } else {
            // code literal indexes, padded to an even number of bytes.
            const int bytes = four ? (code + 1) / 2 : code;
            const std::uint8_t* p = in.take(static_cast<std::size_t>(bytes + bytes % 2));
            if (!p) return kShort;
            for (int i = 0; i < code && x < w; ++i, ++x) put(i, four ? p[i / 2] : p[i]);
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- PNG

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::size_t kPngHeadBytes = 33;  // signature and the whole header chunk
// Largest PNG area accepted: 64 MB of pixels, far above any picture of ours.
constexpr std::uint64_t kMaxPngPixels = std::uint64_t{4096} * 4096;
// Ancillary chunks (text, colour profiles) a picture may carry beyond its pixels.
constexpr std::uint64_t kPngExtraBytes = 4u << 20;
// Beyond any header we accept: the exact limit comes from the header itself.
constexpr std::uint64_t kMaxPngFileBytes = std::uint64_t{1} << 30;
// Deflate shrinks data by at most this ratio.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct PngHeader {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0;
    bool interlaced = false;
};

int pngChannels(int colourType) {
    switch (colourType) {
        case 0: return 1;
        case 2: return 3;
        case 3: return 1;
        case 4: return 2;
        case 6: return 4;
        default: return 0;
    }
}

bool pngDepthAllowed(int colourType, int depth) {
    switch (colourType) {
        case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6: return depth == 8 || depth == 16;
        default: return false;
    }
}

const char* parsePngHead(const std::uint8_t* f, std::size_t len, PngHeader& h) {
    if (len < kPngHeadBytes || std::memcmp(f, kPngSignature, 8) != 0) return "not a PNG picture";
    if (be32(f + 8) != 13 || std::memcmp(f + 12, "IHDR", 4) != 0) return "not a PNG picture: no header chunk first";
    h.width = be32(f + 16);
    h.height = be32(f + 20);
    h.depth = f[24];
    h.colourType = f[25];
    h.interlaced = f[28] == 1;
    if (!pngDepthAllowed(h.colourType, h.depth)) return "an unknown colour type or bit depth";
    if (f[26] != 0 || f[27] != 0 || f[28] > 1) return "an unknown compression, filter or interlace method";
    if (!validSide(h.width) || !validSide(h.height) || std::uint64_t{h.width} * h.height > kMaxPngPixels)
        return "a picture size out of range";
    return nullptr;
}

// Bytes of filtered pixel data the picture inflates to.
std::uint64_t pngRawBytes(const PngHeader& h) {
    const std::uint64_t bitsPerPixel = std::uint64_t(pngChannels(h.colourType)) * h.depth;
    auto rows = [&](std::uint64_t w, std::uint64_t n) { return w == 0 ? 0 : n * (1 + (w * bitsPerPixel + 7) / 8); };
    if (!h.interlaced) return rows(h.width, h.height);
    // The seven passes: first column and row, and the steps between them.
    static constexpr int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::uint64_t total = 0;
    for (const auto& p : kPass) {
        auto count = [](std::uint64_t size, int start, int step) {
            return size > std::uint64_t(start) ? (size - start + step - 1) / step : 0;
        };
        total += rows(count(h.width, p[0], p[2]), count(h.height, p[1], p[3]));
    }
    return total;
}

// Walks the chunks before anything is decoded: each must lie whole inside the
// file, up to the closing one, and the pixel data must be able to inflate to
// the picture's size, so a small file never makes us allocate a large one.
const char* checkPngChunks(const std::vector<std::uint8_t>& f, const PngHeader& h) {
    std::uint64_t pos = 8, data = 0;
    bool inData = false, dataDone = false;
    for (;;) {
        if (f.size() - pos < 12) return "the file ends before its last chunk";
        const std::uint64_t len = be32(f.data() + pos);
        const std::uint8_t* type = f.data() + pos + 4;
        if (len > f.size() - pos - 12) return "a chunk runs past the end of the file";
        if (std::memcmp(type, "IDAT", 4) == 0) {
            if (dataDone) return "its pixel data is split by other chunks";
            inData = true;
            data += len;
        } else if (inData) {
            dataDone = true;
        }
        if (std::memcmp(type, "IEND", 4) == 0) break;
        pos += 12 + len;
    }
    if (data == 0) return "no pixel data";
    if (pngRawBytes(h) > data * kMaxDeflateRatio + 64) return "far too little pixel data for its size";
    return nullptr;
}

// What the decoder's callbacks reach. Plain data only: an error leaves the
// decoder by longjmp, which must skip no destructor.
struct PngRun {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    char error[160];
};

// The decoder's only source of bytes: a read past the end of the file is an
// error, never stale or missing bytes handed on as if they were data.
void readPngBytes(png_structp png, png_bytep out, png_size_t n) {
    auto* run = static_cast<PngRun*>(png_get_io_ptr(png));
    if (n > run->size - run->pos) png_error(png, "the file ends inside a chunk");
    std::memcpy(out, run->data + run->pos, n);
    run->pos += n;
}

void onPngError(png_structp png, png_const_charp message) {
    auto* run = static_cast<PngRun*>(png_get_error_ptr(png));
    std::snprintf(run->error, sizeof run->error, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Decodes every colour type and depth, interlaced or not, to 0xAARRGGBB in
// out, already sized from the checked header. Transparency chunks become
// alpha; 16-bit samples are rounded to 8 bits.
bool decodePng(PngRun& run, Surface& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &run, onPngError, onPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &run, readPngBytes);
        png_set_user_limits(png, static_cast<png_uint_32>(out.width()), static_cast<png_uint_32>(out.height()));
        // Every ancillary chunk but transparency is skipped unread.
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        png_read_info(png, info);
        const int type = png_get_color_type(png, info);
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
        png_set_bgr(png);  // B, G, R, A in memory: 0xAARRGGBB on little-endian
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_image_width(png, info) == static_cast<png_uint_32>(out.width()) &&
            png_get_image_height(png, info) == static_cast<png_uint_32>(out.height()) &&
            png_get_rowbytes(png, info) == static_cast<std::size_t>(out.width()) * 4) {
            for (int pass = 0; pass < passes; ++pass)
                for (int y = 0; y < out.height(); ++y)
                    png_read_row(png, reinterpret_cast<png_bytep>(out.row(y)), nullptr);
            ok = true;
        } else {
            std::snprintf(run.error, sizeof run.error, "an unexpected decoded layout");
        }
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok;
}

// Writes the 0x00RRGGBB pixels as an 8-bit RGB PNG, one row at a time.
// Plain data again for the longjmp out of an error.
bool encodePng(const Surface& s, std::FILE* file) {
    PngRun run{nullptr, 0, 0, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &run, onPngError, onPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(static_cast<std::size_t>(s.width()) * 3);
    volatile bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(s.width()), static_cast<png_uint_32>(s.height()),
                     8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < s.height(); ++y) {
            const std::uint32_t* from = s.row(y);
            for (int x = 0; x < s.width(); ++x) {
                row[3 * x] = static_cast<png_byte>(from[x] >> 16);
                row[3 * x + 1] = static_cast<png_byte>(from[x] >> 8);
                row[3 * x + 2] = static_cast<png_byte>(from[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return ok;
}

// Reads and checks the head of an open BMP file; false (the file refused,
// when it is not one) otherwise.
bool readBmpHead(ReadableFile& file, BmpLayout& layout) {
    if (!file.isOpen()) return false;
    std::uint8_t head[kMaxBmpHead];
    const std::size_t got = file.readAt(0, head, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof head, file.size())));
    if (const char* why = parseBmpHead(head, got, file.size(), layout)) {
        file.refuse(why);
        return false;
    }
    return true;
}

}  // namespace

std::optional<Surface> loadBmpScaled(const std::string& path, int width, int height) {
    if (!validSide(width) || !validSide(height)) return std::nullopt;
    ReadableFile file(dataPath(path), kMaxBmpFileBytes);
    BmpLayout layout;
    if (!readBmpHead(file, layout)) return std::nullopt;
    // Run-length data can need at most a few bytes a pixel; more is not read.
    const std::uint64_t end =
        layout.runLength()
            ? layout.pixelOffset + (std::uint64_t{static_cast<std::uint32_t>(layout.width)} + 2) * layout.height * 4 + 64
            : file.size();
    ForwardReader in(file, layout.pixelOffset, std::min(end, file.size()),
                     layout.runLength() || height >= layout.height);
    Surface out = Surface::uninitialised(width, height);  // every row is written below
    RowTargets rows(layout.width, layout.height, out);
    const char* why = layout.runLength() ? decodeBmpRunLength(in, layout, rows) : decodeBmpRows(in, layout, rows);
    if (why || !file.isOpen()) {
        file.refuse(why ? why : "read error");
        return std::nullopt;
    }
    return out;
}

std::optional<BmpSize> bmpSize(const std::string& path) {
    ReadableFile file(dataPath(path), kMaxBmpFileBytes);
    BmpLayout layout;
    if (!readBmpHead(file, layout) || !file.isOpen()) return std::nullopt;
    return BmpSize{layout.width, layout.height, !layout.runLength()};
}

std::optional<Surface> loadPng(const std::string& path) {
    ReadableFile file(dataPath(path), kMaxPngFileBytes);
    if (!file.isOpen()) return std::nullopt;
    std::uint8_t head[kPngHeadBytes];
    const std::size_t got = file.readAt(0, head, std::min<std::uint64_t>(sizeof head, file.size()));
    PngHeader header;
    if (const char* why = parsePngHead(head, got, header)) {
        file.refuse(why);
        return std::nullopt;
    }
    // Compressed data can outgrow its raw size only by a little; twice that,
    // plus room for ancillary chunks, is more than any real writer needs.
    if (file.size() > pngRawBytes(header) * 2 + kPngExtraBytes) {
        file.refuse("larger than a picture of its size can need");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    bytes.resize(file.readAt(0, bytes.data(), bytes.size()));
    if (!file.isOpen()) return std::nullopt;
    if (const char* why = checkPngChunks(bytes, header)) {
        file.refuse(why);
        return std::nullopt;
    }
    Surface out(static_cast<int>(header.width), static_cast<int>(header.height));
    PngRun run{bytes.data(), bytes.size(), 0, "cannot be decoded"};
    if (!decodePng(run, out)) {
        file.refuse(run.error);
        return std::nullopt;
    }
    return out;
}

bool savePng(const Surface& s, const std::string& path) {
    if (s.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = encodePng(s, file);
    // A full disk shows only when the buffered rest is written out.
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) std::remove(path.c_str());
    return written && closed;
}

}  // namespace platform
