// Fonts and text through SDL_ttf. A font is opened once per (face, height)
// and kept; each rendered string is kept as an 8-bit coverage mask so that
// the nine halo draws and the one body draw of an outlined text cost a single
// rasterisation.
#include "platform/Text.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Paths.h"
#include "platform/FileIO.h"
#include "platform/ReadableFile.h"

namespace platform {

class Font {
public:
    explicit Font(TTF_Font* ttf) : ttf_(ttf) {}
    ~Font() { TTF_CloseFont(ttf_); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    TTF_Font* ttf() const { return ttf_; }

private:
    TTF_Font* ttf_;
};

namespace {

enum class FaceKind { Heavy, Korean, Plain };

struct FontFile {
    const char* file;
    const char* systemDir;
};

FontFile fileFor(FaceKind kind) {
    switch (kind) {
        case FaceKind::Heavy: return {"Lato-Black.ttf", "lato"};
        case FaceKind::Korean: return {"NanumGothicBold.ttf", "nanum"};
        case FaceKind::Plain: break;
    }
    return {"DejaVuSans.ttf", "dejavu"};
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

FaceKind kindOf(std::string_view face) {
    // Lower-casing touches ASCII bytes only, so the Hangul bytes compare exactly.
    const std::string f = asciiLower(face);
    if (f == "arial black") return FaceKind::Heavy;
    if (f == asciiLower("HY견고딕")) return FaceKind::Korean;
    return FaceKind::Plain;
}

// The copy beside the game first, then the system's, then the plain face.
std::vector<std::string> candidatePaths(FaceKind kind) {
    std::vector<std::string> paths;
    auto add = [&paths](FontFile f) {
        for (std::string& path : fontCandidates(f.file, f.systemDir)) paths.push_back(std::move(path));
    };
    add(fileFor(kind));
    if (kind != FaceKind::Plain) add(fileFor(FaceKind::Plain));
    return paths;
}

// Far above any real font file (ours are a few megabytes).
constexpr std::uint64_t kMaxFontFileBytes = 64u << 20;

// A font file is opened as every file is: without blocking, and only once it
// has shown itself to be a regular file of a sane size. The font library then
// reads from that very file, never from the path again.
TTF_Font* openFontFile(const std::string& path, int height) {
    ReadableFile file(path, kMaxFontFileBytes);
    if (!file.isOpen()) return nullptr;
    const int fd = file.releaseDescriptor();
    FILE* stream = ::fdopen(fd, "rb");
    if (!stream) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFP(stream, SDL_TRUE);
    if (!rw) {
        std::fclose(stream);
        return nullptr;
    }
    TTF_Font* ttf = TTF_OpenFontRW(rw, 1, height);  // closes the file when it fails or when closed
    if (!ttf) reportFile(path, std::string("refused: not a usable font (") + TTF_GetError() + ")");
    return ttf;
}

// Heights beyond this would rasterise absurdly large masks; no text in the game
// comes near it.
constexpr int kMaxFontHeight = 1024;

// Bounds of the string cache: score and time strings change every frame, so
// the least recently drawn strings are dropped.
constexpr std::size_t kMaxCachedStrings = 512;
constexpr std::size_t kMaxCachedBytes = 16u << 20;

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width * height, row-major
};

struct CachedString {
    std::string key;
    Mask mask;
};

struct TextState {
    bool weInitialisedTtf = false;
    // A null entry remembers that nothing could be opened, so a missing font
    // costs one search, not one per frame.
    std::map<std::pair<FaceKind, int>, std::unique_ptr<Font>> fonts;
    std::list<CachedString> lru;  // most recently used first
    std::unordered_map<std::string, std::list<CachedString>::iterator> index;
    std::size_t cachedBytes = 0;
};

// Never destroyed: a static destructor running after SDL_ttf has shut down at
// exit would close fonts on a dead library.
TextState& state() {
    static TextState* s = new TextState;
    return *s;
}

bool ensureTtf() {
    if (TTF_WasInit() > 0) return true;
    if (TTF_Init() != 0) return false;
    state().weInitialisedTtf = true;
    return true;
}

// Largest point size whose cell height does not exceed the wanted pixel
// height; the cell height grows with the point size, so a bisection finds it.
void fitPointSize(TTF_Font* ttf, int height) {
    int lo = 1;
    int hi = height * 2 + 8;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (TTF_SetFontSize(ttf, mid) == 0 && TTF_FontHeight(ttf) <= height)
            lo = mid;
        else
            hi = mid - 1;
    }
    TTF_SetFontSize(ttf, lo);
}

std::unique_ptr<Font> openFont(FaceKind kind, int height) {
    if (!ensureTtf()) return nullptr;
    for (const std::string& path : candidatePaths(kind)) {
        TTF_Font* ttf = openFontFile(path, height);
        if (!ttf) continue;  // missing, refused or not a font: try the next one
        fitPointSize(ttf, height);
        return std::make_unique<Font>(ttf);
    }
    return nullptr;
}

std::string cacheKey(const Font* font, std::string_view text) {
    std::string key(sizeof font, '\0');
    std::memcpy(key.data(), &font, sizeof font);
    key.append(text);
    return key;
}

bool rasterise(const Font& font, std::string_view text, Mask& out) {
    const std::string z(text);  // SDL_ttf wants a terminated string
    if (z.empty() || z[0] == '\0') return false;
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font.ttf(), z.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) return false;
    SDL_Surface* argb = rendered;
    if (rendered->format->format != SDL_PIXELFORMAT_ARGB8888) {
        argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(rendered);
        if (!argb) return false;
    }
    bool ok = false;
    if (argb->w > 0 && argb->h > 0 && SDL_LockSurface(argb) == 0) {
        out.width = argb->w;
        out.height = argb->h;
        out.coverage.resize(static_cast<std::size_t>(argb->w) * static_cast<std::size_t>(argb->h));
        for (int y = 0; y < argb->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(argb->pixels) +
                static_cast<std::size_t>(y) * static_cast<std::size_t>(argb->pitch));
            std::uint8_t* dst = out.coverage.data() + static_cast<std::size_t>(y) * argb->w;
            for (int x = 0; x < argb->w; ++x) dst[x] = static_cast<std::uint8_t>(row[x] >> 24);
        }
        SDL_UnlockSurface(argb);
        ok = true;
    }
    SDL_FreeSurface(argb);
    return ok;
}

// The cached mask of a string, rasterising it on first use; null when the
// string renders to nothing.
const Mask* maskFor(Font* font, std::string_view text) {
    TextState& s = state();
    std::string key = cacheKey(font, text);
    if (auto it = s.index.find(key); it != s.index.end()) {
        s.lru.splice(s.lru.begin(), s.lru, it->second);
        return &it->second->mask;
    }
    Mask mask;
    if (!rasterise(*font, text, mask)) return nullptr;

    const std::size_t bytes = mask.coverage.size();
    while (!s.lru.empty() &&
           (s.lru.size() >= kMaxCachedStrings || s.cachedBytes + bytes > kMaxCachedBytes)) {
        s.cachedBytes -= s.lru.back().mask.coverage.size();
        s.index.erase(s.lru.back().key);
        s.lru.pop_back();
    }
    s.lru.push_front(CachedString{key, std::move(mask)});
    s.index.emplace(std::move(key), s.lru.begin());
    s.cachedBytes += bytes;
    return &s.lru.front().mask;
}

}  // namespace

Font* getFont(std::string_view face, int height) {
    if (height <= 0 || height > kMaxFontHeight) return nullptr;
    const auto key = std::make_pair(kindOf(face), height);
    auto& fonts = state().fonts;
    auto it = fonts.find(key);
    if (it == fonts.end()) it = fonts.emplace(key, openFont(key.first, height)).first;
    return it->second.get();
}

void drawText(Canvas& dst, Font* font, int x, int y, std::string_view text, COLORREF color,
              TextAlign align) {
    if (!font || text.empty() || dst.empty()) return;
    const Mask* m = maskFor(font, text);
    if (!m) return;

    const long long left = align == TextAlign::Right ? static_cast<long long>(x) - m->width : x;
    coverageBlend(dst, left, y, m->coverage.data(), m->width, m->height, color);
}

void drawTextWithHalo(Canvas& dst, Font* font, int x, int y, std::string_view text,
                      COLORREF halo, COLORREF color, TextAlign align) {
    if (!font || text.empty() || dst.empty()) return;
    const Mask* m = maskFor(font, text);
    if (!m) return;
    const long long left = align == TextAlign::Right ? static_cast<long long>(x) - m->width : x;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy)
            coverageBlend(dst, left + dx, static_cast<long long>(y) + dy, m->coverage.data(), m->width,
                          m->height, halo);
    }
    coverageBlend(dst, left, y, m->coverage.data(), m->width, m->height, color);
}

int textWidth(Font* font, std::string_view text) {
    if (!font || text.empty()) return 0;
    // Measured from the same mask drawText places, so right alignment and
    // width always agree.
    const Mask* m = maskFor(font, text);
    return m ? m->width : 0;
}

void releaseFonts() {
    TextState& s = state();
    s.index.clear();
    s.lru.clear();
    s.cachedBytes = 0;
    s.fonts.clear();
    if (s.weInitialisedTtf) {
        TTF_Quit();
        s.weInitialisedTtf = false;
    }
}

}  // namespace platform
