// Picture decoding: our own BMP reader (every header field is checked against
// the real file before anything is allocated) and PNG through SDL_image.
#include "platform/Image.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Paths.h"

namespace platform {

namespace {

// A byte buffer that read() fills at once: growing it leaves the bytes unset
// instead of zeroing them first.
template <class T>
struct UnsetAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnsetAllocator<U>;
    };
    template <class U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
};
using FileBytes = std::vector<std::uint8_t, UnsetAllocator<std::uint8_t>>;

// Reads a whole regular file. Folders, devices and unreadable files give
// nothing; the buffer is sized from the opened file itself, never from a path
// that might change between two looks.
std::optional<FileBytes> readRegularFile(const std::string& path,
                                                         std::uint64_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    FileBytes data(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < data.size()) {
        ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got == 0) return std::nullopt;
    data.resize(got);  // the file shrank under us: decode only what we really hold
    return data;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::size_t kFileHeaderSize = 14;

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
        std::uint32_t run = m >> shift;
        bits = std::popcount(run);
        return (run & (run + 1)) == 0;
    }
    std::uint32_t extract(std::uint32_t px) const {
        if (mask == 0) return 0;
        std::uint32_t v = (px & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        return v * 255u / ((1u << bits) - 1u);
    }
};

std::optional<Surface> decodeBmp(const FileBytes& f) {
    const std::uint64_t len = f.size();
    if (len < kFileHeaderSize + 40 || f[0] != 'B' || f[1] != 'M') return std::nullopt;
    const std::uint8_t* ih = f.data() + kFileHeaderSize;
    const std::uint32_t pixelOffset = le32(f.data() + 10);
    const std::uint32_t infoSize = le32(ih);
    // BITMAPINFOHEADER and its later extensions (V2, V3, V4, V5).
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return std::nullopt;
    if (kFileHeaderSize + infoSize > len) return std::nullopt;

    const std::int64_t rawW = static_cast<std::int32_t>(le32(ih + 4));
    const std::int64_t rawH = static_cast<std::int32_t>(le32(ih + 8));
    const std::uint16_t planes = le16(ih + 12);
    const std::uint16_t bpp = le16(ih + 14);
    const std::uint32_t compression = le32(ih + 16);
    const std::uint32_t colorsUsed = le32(ih + 32);

    const bool topDown = rawH < 0;
    const std::int64_t w = rawW;
    const std::int64_t h = topDown ? -rawH : rawH;
    if (planes != 1 || w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide)
        return std::nullopt;

    // Where the header and any masks or palette end.
    std::uint64_t tableStart = kFileHeaderSize + infoSize;
    Channel red, green, blue;
    std::vector<std::uint32_t> palette;

    if (bpp == 24) {
        if (compression != kBiRgb) return std::nullopt;
    } else if (bpp == 32) {
        if (compression == kBiRgb) {
            red.setup(0x00FF0000u);
            green.setup(0x0000FF00u);
            blue.setup(0x000000FFu);
        } else if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
            const std::uint8_t* m = ih + 40;
            if (infoSize == 40) {
                // The masks follow the plain header.
                const std::uint64_t maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
                if (tableStart + maskBytes > len) return std::nullopt;
                tableStart += maskBytes;
            }
            if (!red.setup(le32(m)) || !green.setup(le32(m + 4)) || !blue.setup(le32(m + 8)))
                return std::nullopt;
        } else {
            return std::nullopt;  // compressed or unknown
        }
    } else if (bpp == 1 || bpp == 4 || bpp == 8) {
        if (compression != kBiRgb) return std::nullopt;
        const std::uint32_t maxColors = 1u << bpp;
        const std::uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors) return std::nullopt;
        if (tableStart + std::uint64_t{count} * 4 > len) return std::nullopt;
        palette.resize(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* e = f.data() + tableStart + i * 4;  // B, G, R, reserved
            palette[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
        }
        tableStart += std::uint64_t{count} * 4;
    } else {
        return std::nullopt;
    }

    // Every row is padded to a multiple of four bytes; the last row's padding
    // may be missing in files from careless writers, so it is not required.
    const std::uint64_t stride = ((static_cast<std::uint64_t>(w) * bpp + 31) / 32) * 4;
    const std::uint64_t lastRowBytes = (static_cast<std::uint64_t>(w) * bpp + 7) / 8;
    if (pixelOffset < tableStart || pixelOffset > len) return std::nullopt;
    if (stride * static_cast<std::uint64_t>(h - 1) + lastRowBytes > len - pixelOffset)
        return std::nullopt;

    Surface out = Surface::uninitialised(static_cast<int>(w), static_cast<int>(h));
    const int iw = static_cast<int>(w);
    const int ih2 = static_cast<int>(h);
    for (int y = 0; y < ih2; ++y) {
        const int fileRow = topDown ? y : ih2 - 1 - y;
        const std::uint8_t* src = f.data() + pixelOffset + stride * static_cast<std::uint64_t>(fileRow);
        std::uint32_t* dst = out.row(y);
        switch (bpp) {
            case 24:
                bgrToPixels(dst, src, iw);
                break;
            case 32:
                for (int x = 0; x < iw; ++x, src += 4) {
                    const std::uint32_t px = le32(src);
                    dst[x] = (red.extract(px) << 16) | (green.extract(px) << 8) | blue.extract(px);
                }
                break;
            default: {
                // Paletted: indexes packed from the high bits; an index past the
                // palette shows black.
                const int perByte = 8 / bpp;
                const std::uint32_t indexMask = (1u << bpp) - 1u;
                for (int x = 0; x < iw; ++x) {
                    const std::uint8_t byte = src[x / perByte];
                    const int shift = 8 - bpp * (x % perByte + 1);
                    const std::uint32_t idx = (byte >> shift) & indexMask;
                    dst[x] = idx < palette.size() ? palette[idx] : 0u;
                }
                break;
            }
        }
    }
    return out;
}

// Largest file we will read as a BMP: the biggest picture we accept, plus headers
// and a full palette.
constexpr std::uint64_t kMaxBmpFileBytes =
    std::uint64_t{kMaxImageSide} * kMaxImageSide * 4 + 4096;

bool validSide(int v) { return v > 0 && v <= kMaxImageSide; }

void ensureImageInit() {
    static const bool done = [] {
        IMG_Init(IMG_INIT_PNG);
        return true;
    }();
    (void)done;
}

// Largest PNG area accepted: 64 MB of pixels, far above any picture of ours.
constexpr std::uint64_t kMaxPngPixels = std::uint64_t{4096} * 4096;

// The PNG header's own size, read before the decoder allocates anything, so a
// file claiming an enormous picture is refused up front.
bool pngHeaderAcceptable(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::uint8_t head[24];
    std::size_t got = 0;
    while (got < sizeof head) {
        ssize_t n = ::read(fd, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (got < sizeof head || std::memcmp(head, kSignature, 8) != 0 ||
        std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    const std::uint32_t w = be32(head + 16);
    const std::uint32_t h = be32(head + 20);
    // The decoder allocates the whole picture before it finds the rows missing,
    // so a few hundred bytes could otherwise cost a gigabyte: the area is
    // capped too (a BMP's size is bounded by the bytes the file really holds).
    return w > 0 && h > 0 && w <= static_cast<std::uint32_t>(kMaxImageSide) &&
           h <= static_cast<std::uint32_t>(kMaxImageSide) &&
           std::uint64_t{w} * h <= kMaxPngPixels;
}

}  // namespace

std::optional<Surface> loadBmpScaled(const std::string& path, int width, int height) {
    if (!validSide(width) || !validSide(height)) return std::nullopt;
    auto data = readRegularFile(dataPath(path), kMaxBmpFileBytes);
    if (!data) return std::nullopt;
    auto decoded = decodeBmp(*data);
    data.reset();  // the file bytes are no longer needed: keep the peak low
    if (!decoded) return std::nullopt;
    if (decoded->width() == width && decoded->height() == height) return decoded;
    return scaleNearest(*decoded, width, height);
}

std::optional<Surface> loadPng(const std::string& name) {
    const std::string path = dataPath(name);
    if (!isRegularFile(path) || !pngHeaderAcceptable(path)) return std::nullopt;
    ensureImageInit();
    SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
    if (!rw) return std::nullopt;
    SDL_Surface* loaded = IMG_LoadTyped_RW(rw, 1, "PNG");
    if (!loaded) return std::nullopt;
    // SDL_image hands back whatever layout the file suggests (often ABGR8888):
    // bring it to ARGB8888, which is our pixel layout on little-endian memory.
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return std::nullopt;

    std::optional<Surface> result;
    if (validSide(argb->w) && validSide(argb->h) && SDL_LockSurface(argb) == 0) {
        Surface out = Surface::uninitialised(argb->w, argb->h);
        for (int y = 0; y < argb->h; ++y) {
            const auto* src = static_cast<const std::uint8_t*>(argb->pixels) +
                              static_cast<std::size_t>(y) * static_cast<std::size_t>(argb->pitch);
            std::memcpy(out.row(y), src, static_cast<std::size_t>(argb->w) * 4);
        }
        SDL_UnlockSurface(argb);
        result = std::move(out);
    }
    SDL_FreeSurface(argb);
    return result;
}

bool savePng(const Surface& s, const std::string& path) {
    if (s.empty()) return false;
    ensureImageInit();
    // RGB888 is 0x00RRGGBB with the top byte ignored, so the file has no alpha.
    SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(s.pixels()), s.width(), s.height(), 32, s.width() * 4,
        SDL_PIXELFORMAT_RGB888);
    if (!view) return false;
    const bool ok = IMG_SavePNG(view, path.c_str()) == 0;
    SDL_FreeSurface(view);
    return ok;
}

}  // namespace platform
