#include "engine/pictureRegistry.h"

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
    if (init(*picture) != S_OK) return nullptr;  // the picture frees what it made
    return pictures.emplace(key, std::move(picture)).first->second.get();
}

std::shared_ptr<PictureLoader> pictureRegistry::loaderFor(const char* fileName) {
    if (!loader && fileName) loader = std::make_shared<PictureLoader>(fileName);
    return loader;
}

bitmapPicture* pictureRegistry::addBlankPicture(const std::string& key, int width, int height) {
    return add(key, [&](bitmapPicture& p) { return p.initBlank(width, height); });
}

bitmapPicture* pictureRegistry::addPicture(const std::string& key, const char* fileName, int width,
                                           int height, bool transparent, COLORREF transColor) {
    return add(key, [&](bitmapPicture& p) {
        p.loader = loaderFor(fileName);
        return p.init(fileName, width, height, transparent, transColor);
    });
}

bitmapPicture* pictureRegistry::addPicture(const std::string& key, const char* fileName, float x,
                                           float y, int width, int height, bool transparent,
                                           COLORREF transColor) {
    return add(key, [&](bitmapPicture& p) {
        p.loader = loaderFor(fileName);
        return p.init(fileName, x, y, width, height, transparent, transColor);
    });
}

bitmapPicture* pictureRegistry::addFramePicture(const std::string& key, const char* fileName,
                                                int width, int height, int frameCountX,
                                                int frameCountY, bool transparent,
                                                COLORREF transColor) {
    return add(key, [&](bitmapPicture& p) {
        p.loader = loaderFor(fileName);
        return p.initFrames(fileName, width, height, frameCountX, frameCountY, transparent,
                            transColor);
    });
}

bitmapPicture* pictureRegistry::findPicture(const std::string& key) const {
    auto it = pictures.find(key);
    return it == pictures.end() ? nullptr : it->second.get();
}

void pictureRegistry::releaseAll() {
    loader.reset();
    // Key order, each picture released before it is freed.
    for (auto it = pictures.begin(); it != pictures.end();) {
        it->second->release();
        it = pictures.erase(it);
    }
}

