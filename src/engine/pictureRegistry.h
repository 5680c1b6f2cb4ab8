// The one owner of bitmap pictures, by key. An existing key returns its first
// picture unchanged; a failed add registers nothing.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/PictureLoader.h"
#include "engine/bitmapPicture.h"

class pictureRegistry {
public:
    // The process-wide registry, created on first use.
    static pictureRegistry* get();
    // Empties and destroys it (end of the game); the next get() makes a new one.
    static void destroy();

    bitmapPicture* addBlankPicture(const std::string& key, int width, int height);
    bitmapPicture* addPicture(const std::string& key, const char* fileName, int width, int height,
                              bool transparent, COLORREF transColor);
    bitmapPicture* addPicture(const std::string& key, const char* fileName, float x, float y,
                              int width, int height, bool transparent, COLORREF transColor);
    bitmapPicture* addFramePicture(const std::string& key, const char* fileName, int width,
                                   int height, int frameCountX, int frameCountY, bool transparent,
                                   COLORREF transColor);
    bitmapPicture* findPicture(const std::string& key) const;
    void releaseAll();
    std::size_t size() const { return pictures.size(); }

private:
    template <typename Init>
    bitmapPicture* add(const std::string& key, Init&& init);
    // The loader of every file picture, made for the first on its folder.
    std::shared_ptr<PictureLoader> loaderFor(const char* fileName);

    std::map<std::string, std::unique_ptr<bitmapPicture>> pictures;  // byte-wise key order
    // Shared with the pictures still waiting for their pixels.
    std::shared_ptr<PictureLoader> loader;
};

