// A PNG picture with per-pixel alpha, drawn colour-keyed, rotated about its
// destination point, or by frame cell. A file that fails to load leaves an
// empty picture that draws nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Picture.h"
#include "platform/Win32Types.h"

struct pngPictureInfo {
    float x = 0, y = 0;
    std::uint32_t width = 0, height = 0;
    int currentFrameX = 0, currentFrameY = 0;
    int maxFrameX = 0, maxFrameY = 0;
    std::uint32_t frameWidth = 0, frameHeight = 0;
};

// Decodes a PNG file; null when it is missing or broken.
std::shared_ptr<const platform::Picture> decodePng(const char* fileName);

class pngPicture {
public:
    pngPicture() = default;
    pngPicture(const pngPicture&) = delete;
    pngPicture& operator=(const pngPicture&) = delete;

    // transColor is read as 0xAARRGGBB and matched on its RGB.
    HRESULT init(const char* fileName, bool transparent, std::uint32_t transColor, int rotateFlip);
    HRESULT init(const char* fileName, int x, int y, bool transparent, std::uint32_t transColor,
                 int rotateFlip);
    HRESULT initFrames(const char* fileName, int x, int y, int frameCountX, int frameCountY,
                       bool transparent, std::uint32_t transColor, int rotateFlip);

    void render(HDC hdc, int destX, int destY, int angle);
    void frameRender(HDC hdc, int destX, int destY);

    // Callers set the current cell of a frame picture through info.
    std::unique_ptr<pngPictureInfo> info;
    bool transparent = false;
    std::uint32_t transColor = 0;
    std::shared_ptr<const platform::Picture> image;  // null when the file did not load

    // Where init gets its pixels; decodePng when empty. The registry hands
    // out one decoding per file, however many keys load it.
    std::function<std::shared_ptr<const platform::Picture>(const char*)> decoder;

private:
    void decode(const char* fileName);
    void turn(int rotateFlip);
};
