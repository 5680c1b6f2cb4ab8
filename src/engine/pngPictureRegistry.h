// The owner of PNG pictures, by key. Every add of a new key registers a
// picture, loaded or not; an existing key returns its picture unchanged.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/PictureLoader.h"
#include "engine/pngPicture.h"

class pngPictureRegistry {
public:
    static pngPictureRegistry* get();
    static void destroy();

    pngPicture* addPicture(const std::string& key, const char* fileName, bool transparent,
                           std::uint32_t transColor, int rotateFlip);
    pngPicture* addPicture(const std::string& key, const char* fileName, int x, int y,
                           bool transparent, std::uint32_t transColor, int rotateFlip);
    pngPicture* addFramePicture(const std::string& key, const char* fileName, int x, int y,
                                int frameCountX, int frameCountY, bool transparent,
                                std::uint32_t transColor, int rotateFlip);
    pngPicture* findPicture(const std::string& key) const;
    void render(const std::string& key, HDC hdc, int destX, int destY, int angle);
    void releaseAll();
    std::size_t size() const { return pictures.size(); }

private:
    template <typename Init>
    pngPicture* add(const std::string& key, Init&& init);
    std::shared_ptr<const platform::Picture> decode(const char* fileName);

    std::map<std::string, std::unique_ptr<pngPicture>> pictures;
    // Made for the first picture, on its file's folder.
    std::unique_ptr<PictureLoader> loader;
};
