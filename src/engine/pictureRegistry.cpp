#include "engine/pictureRegistry.h"

#include <cstring>

#include "platform/Image.h"

namespace {

// Constant-initialised, so a lookup made while other globals are still being
// constructed finds it empty rather than unbuilt.
std::unique_ptr<pictureRegistry> instance;

}  // namespace

pictureRegistry* pictureRegistry::get() {
    if (!instance) instance = std::make_unique<pictureRegistry>();
    return instance.get();
}

void pictureRegistry::destroy() {
    if (!instance) return;
    instance->releaseAll();
    instance.reset();
}

// The add steps every kind of picture shares: an existing key wins and loads
// nothing; a failed load leaves the key free for a later try.
template <typename Init>
bitmapPicture* pictureRegistry::add(const std::string& key, Init&& init) {
    if (auto it = pictures.find(key); it != pictures.end()) return it->second.get();
    auto picture = std::make_unique<bitmapPicture>();
    picture->decoder = [this](const char* fileName, int width, int height) {
        return decodeOnce(fileName, width, height);
    };
    picture->laterDecoder = [this](const char* fileName, int width, int height) {
        return decodeLater(fileName, width, height);
    };
    if (init(*picture) != S_OK) return nullptr;  // the picture frees what it made
    return pictures.emplace(key, std::move(picture)).first->second.get();
}

// A file that failed before and has not changed since is not read again: the
// key stays free and the add answers null at the cost of one look.
template <typename Init>
bitmapPicture* pictureRegistry::addFromFile(const std::string& key, const char* fileName, int width,
                                            int height, int columns, int rows, Init&& init) {
    if (auto it = pictures.find(key); it != pictures.end()) return it->second.get();
    const std::string request = std::to_string(width) + "x" + std::to_string(height) + " in " +
                                std::to_string(columns) + "x" + std::to_string(rows);
    if (fileName && failures.knownBad(fileName, request)) return nullptr;
    bitmapPicture* picture = add(key, init);
    if (fileName && !picture) failures.remember(fileName, request);
    return picture;
}

// A file that another key already loaded at the same size is not decoded
// again: that picture's pixels are copied, if they are still as loaded (a
// keyed picture's copy shares its runs, so it costs next to nothing). Other
// files come decoded ahead from the prefetch, or are decoded now.
std::optional<platform::Surface> pictureRegistry::decodeOnce(const char* fileName, int width,
                                                            int height) {
    for (const auto& [key, picture] : pictures) {
        const char* loaded = picture->getFileName();
        if (loaded && std::strcmp(loaded, fileName) == 0 && picture->getWidth() == width &&
            picture->getHeight() == height && picture->unchangedSinceLoad())
            return picture->getMemDC()->pixels();
    }
    if (!prefetch) {
        if (PicturePrefetch::allowed()) prefetch = std::make_shared<PicturePrefetch>(fileName);
    } else if (auto ahead = prefetch->take(fileName)) {
        if (ahead->width() == width && ahead->height() == height) return ahead;
        // Another size: scaled as the decoder scales a picture it reads.
        return platform::scaleNearest(*ahead, width, height);
    }
    return platform::loadBmpScaled(fileName, width, height);
}

// While the game decodes ahead, a picture of a sound BMP file is registered
// at once and decoded beside the scene, which meets it at its first draw: a
// scene that registers many pictures and draws few of them at first shows its
// first frame without waiting for the rest. A file another key holds, or one
// whose header does not promise a picture the decoder takes, is decoded now
// as ever.
std::function<std::optional<platform::Surface>()> pictureRegistry::decodeLater(
    const char* fileName, int width, int height) {
    if (!PicturePrefetch::allowed() || !fileName) return nullptr;
    const std::string file = fileName;
    if (!file.ends_with(".bmp") || (prefetch && (prefetch->isPng() || prefetch->ready(file))))
        return nullptr;  // a file decoded ahead is taken now: that costs next to nothing
    int fileWidth = 0, fileHeight = 0;
    if (!PicturePrefetch::bmpHeader(file, fileWidth, fileHeight)) return nullptr;
    for (const auto& [key, picture] : pictures) {
        const char* loaded = picture->getFileName();
        if (loaded && file == loaded) return nullptr;
    }
    if (!prefetch) prefetch = std::make_shared<PicturePrefetch>(file);
    prefetch->want(file);
    return [ahead = prefetch, file, width, height]() -> std::optional<platform::Surface> {
        if (auto pixels = ahead->await(file)) {
            if (pixels->width() == width && pixels->height() == height) return pixels;
            return platform::scaleNearest(*pixels, width, height);
        }
        return platform::loadBmpScaled(file, width, height);
    };
}

bitmapPicture* pictureRegistry::addBlankPicture(const std::string& key, int width, int height) {
    return add(key, [&](bitmapPicture& p) { return p.initBlank(width, height); });
}

bitmapPicture* pictureRegistry::addPicture(const std::string& key, const char* fileName, int width,
                                           int height, bool transparent, COLORREF transColor) {
    return addFromFile(key, fileName, width, height, 1, 1, [&](bitmapPicture& p) {
        return p.init(fileName, width, height, transparent, transColor);
    });
}

bitmapPicture* pictureRegistry::addPicture(const std::string& key, const char* fileName, float x,
                                           float y, int width, int height, bool transparent,
                                           COLORREF transColor) {
    return addFromFile(key, fileName, width, height, 1, 1, [&](bitmapPicture& p) {
        return p.init(fileName, x, y, width, height, transparent, transColor);
    });
}

bitmapPicture* pictureRegistry::addFramePicture(const std::string& key, const char* fileName,
                                                int width, int height, int frameCountX,
                                                int frameCountY, bool transparent,
                                                COLORREF transColor) {
    return addFromFile(key, fileName, width, height, frameCountX, frameCountY,
                       [&](bitmapPicture& p) {
        return p.initFrames(fileName, width, height, frameCountX, frameCountY, transparent,
                            transColor);
    });
}

bitmapPicture* pictureRegistry::findPicture(const std::string& key) const {
    auto it = pictures.find(key);
    return it == pictures.end() ? nullptr : it->second.get();
}

void pictureRegistry::releaseAll() {
    prefetch.reset();
    failures.clear();
    // Key order, each picture released before it is freed.
    for (auto it = pictures.begin(); it != pictures.end();) {
        it->second->release();
        it = pictures.erase(it);
    }
}

