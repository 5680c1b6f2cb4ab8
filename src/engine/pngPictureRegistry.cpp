#include "engine/pngPictureRegistry.h"

namespace {

std::unique_ptr<pngPictureRegistry> instance;

}  // namespace

pngPictureRegistry* pngPictureRegistry::get() {
    if (!instance) instance = std::make_unique<pngPictureRegistry>();
    return instance.get();
}

void pngPictureRegistry::destroy() {
    if (!instance) return;
    instance->releaseAll();
    instance.reset();
}

// An existing key wins and loads nothing. Loading never fails: a file that
// does not decode still registers a picture, one that draws nothing.
template <typename Init>
pngPicture* pngPictureRegistry::add(const std::string& key, Init&& init) {
    if (auto it = pictures.find(key); it != pictures.end()) return it->second.get();
    auto picture = std::make_unique<pngPicture>();
    picture->decoder = [this](const char* fileName) { return decode(fileName); };
    init(*picture);
    return pictures.emplace(key, std::move(picture)).first->second.get();
}

// The tiles' special overlays load one file under eight keys: the loader
// decodes it once and its pixels are shared (no picture changes its pixels).
std::shared_ptr<const platform::Picture> pngPictureRegistry::decode(const char* fileName) {
    if (!fileName) return nullptr;
    if (!loader) loader = std::make_unique<PictureLoader>(fileName);
    return loader->take(fileName, 0, 0, std::nullopt);
}

pngPicture* pngPictureRegistry::addPicture(const std::string& key, const char* fileName,
                                           bool transparent, std::uint32_t transColor,
                                           int rotateFlip) {
    return add(key, [&](pngPicture& p) {
        p.init(fileName, transparent, transColor, rotateFlip);
    });
}

pngPicture* pngPictureRegistry::addPicture(const std::string& key, const char* fileName, int x,
                                           int y, bool transparent, std::uint32_t transColor,
                                           int rotateFlip) {
    return add(key, [&](pngPicture& p) {
        p.init(fileName, x, y, transparent, transColor, rotateFlip);
    });
}

pngPicture* pngPictureRegistry::addFramePicture(const std::string& key, const char* fileName,
                                                int x, int y, int frameCountX, int frameCountY,
                                                bool transparent, std::uint32_t transColor,
                                                int rotateFlip) {
    return add(key, [&](pngPicture& p) {
        p.initFrames(fileName, x, y, frameCountX, frameCountY, transparent, transColor, rotateFlip);
    });
}

pngPicture* pngPictureRegistry::findPicture(const std::string& key) const {
    auto it = pictures.find(key);
    return it == pictures.end() ? nullptr : it->second.get();
}

void pngPictureRegistry::render(const std::string& key, HDC hdc, int destX, int destY, int angle) {
    if (pngPicture* picture = findPicture(key)) picture->render(hdc, destX, destY, angle);
}

void pngPictureRegistry::releaseAll() {
    pictures.clear();
    loader.reset();
}
