// The one owner of bitmap pictures, by key. An existing key returns its first
// picture unchanged; a failed add registers nothing.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/PicturePrefetch.h"
#include "engine/bitmapPicture.h"
#include "engine/loadFailures.h"

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
    template <typename Init>
    bitmapPicture* addFromFile(const std::string& key, const char* fileName, int width, int height,
                               int columns, int rows, Init&& init);
    std::optional<platform::Surface> decodeOnce(const char* fileName, int width, int height);

    std::map<std::string, std::unique_ptr<bitmapPicture>> pictures;  // byte-wise key order
    loadFailures failures;
    // Started by the first picture read from a file, on that file's folder.
    std::unique_ptr<PicturePrefetch> prefetch;
};

