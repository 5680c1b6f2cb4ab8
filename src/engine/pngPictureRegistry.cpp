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
    picture->decoder = [this](const char* fileName) { return decodeOnce(fileName); };
    init(*picture);
    return pictures.emplace(key, std::move(picture)).first->second.get();
}

// The tiles' special overlays load one file under eight keys: it is decoded
// once and its pixels are shared (no picture changes its pixels). Files come
// decoded ahead from the prefetch when they can. A file that does not decode
// is left to the failure record, which tries it again once it changes.
std::shared_ptr<const platform::Surface> pngPictureRegistry::decodeOnce(const char* fileName) {
    if (!fileName) return nullptr;
    if (auto it = decoded.find(fileName); it != decoded.end()) return it->second;
    std::shared_ptr<const platform::Surface> pixels;
    if (!prefetch) {
        if (PicturePrefetch::allowed()) prefetch = std::make_unique<PicturePrefetch>(fileName);
    } else if (auto ahead = prefetch->take(fileName)) {
        if (!ahead->empty()) pixels = std::make_shared<const platform::Surface>(std::move(*ahead));
    }
    if (!pixels) pixels = decodePng(fileName);
    if (pixels) decoded.emplace(fileName, pixels);
    return pixels;
}

// A file that failed before and has not changed since is not decoded again:
// the new key gets a picture that draws nothing, at the cost of one look.
template <typename Init>
pngPicture* pngPictureRegistry::addFromFile(const std::string& key, const char* fileName,
                                            Init&& init) {
    if (auto it = pictures.find(key); it != pictures.end()) return it->second.get();
    const bool skip = fileName && failures.knownBad(fileName, "");
    pngPicture* picture = add(key, [&](pngPicture& p) { init(p, skip ? nullptr : fileName); });
    if (fileName && !skip && !picture->image) failures.remember(fileName, "");
    return picture;
}

pngPicture* pngPictureRegistry::addPicture(const std::string& key, const char* fileName,
                                           bool transparent, std::uint32_t transColor,
                                           int rotateFlip) {
    return addFromFile(key, fileName, [&](pngPicture& p, const char* file) {
        p.init(file, transparent, transColor, rotateFlip);
    });
}

pngPicture* pngPictureRegistry::addPicture(const std::string& key, const char* fileName, int x,
                                           int y, bool transparent, std::uint32_t transColor,
                                           int rotateFlip) {
    return addFromFile(key, fileName, [&](pngPicture& p, const char* file) {
        p.init(file, x, y, transparent, transColor, rotateFlip);
    });
}

pngPicture* pngPictureRegistry::addFramePicture(const std::string& key, const char* fileName,
                                                int x, int y, int frameCountX, int frameCountY,
                                                bool transparent, std::uint32_t transColor,
                                                int rotateFlip) {
    return addFromFile(key, fileName, [&](pngPicture& p, const char* file) {
        p.initFrames(file, x, y, frameCountX, frameCountY, transparent, transColor, rotateFlip);
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
    prefetch.reset();
    pictures.clear();
    decoded.clear();
    failures.clear();
}
