#include "engine/pngPicture.h"

#include <new>

#include "platform/Image.h"

namespace {

// Decodes the file, or leaves the picture without an image: a missing or
// broken file still gives a picture, one that draws nothing.
std::unique_ptr<platform::Surface> decode(const char* fileName) {
    if (!fileName) return nullptr;
    try {
        auto decoded = platform::loadPng(fileName);
        if (!decoded || decoded->empty()) return nullptr;
        return std::make_unique<platform::Surface>(std::move(*decoded));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::uint32_t sizeOf(const std::unique_ptr<platform::Surface>& image, bool wide) {
    if (!image) return 0;
    return static_cast<std::uint32_t>(wide ? image->width() : image->height());
}

}  // namespace

HRESULT pngPicture::init(const char* fileName, bool keyed, std::uint32_t key, int rotateFlip) {
    info.reset();
    image = decode(fileName);
    if (image && rotateFlip != 0) platform::rotateFlip(*image, rotateFlip);
    info = std::make_unique<pngPictureInfo>();
    // Measured after the turn: a quarter turn swaps width and height.
    info->width = sizeOf(image, true);
    info->height = sizeOf(image, false);
    transparent = keyed;
    transColor = key;
    return S_OK;
}

HRESULT pngPicture::init(const char* fileName, int x, int y, bool keyed, std::uint32_t key,
                         int rotateFlip) {
    init(fileName, keyed, key, rotateFlip);
    info->x = static_cast<float>(x);
    info->y = static_cast<float>(y);
    return S_OK;
}

HRESULT pngPicture::initFrames(const char* fileName, int x, int y, int frameCountX,
                               int frameCountY, bool keyed, std::uint32_t key, int rotateFlip) {
    info.reset();
    image = decode(fileName);
    info = std::make_unique<pngPictureInfo>();
    info->x = static_cast<float>(x);
    info->y = static_cast<float>(y);
    // The grid is measured on the unturned picture; only then is it turned.
    info->width = sizeOf(image, true);
    info->height = sizeOf(image, false);
    info->maxFrameX = frameCountX - 1;
    info->maxFrameY = frameCountY - 1;
    info->frameWidth = frameCountX > 0 ? info->width / static_cast<std::uint32_t>(frameCountX) : 0;
    info->frameHeight = frameCountY > 0 ? info->height / static_cast<std::uint32_t>(frameCountY) : 0;
    if (image && rotateFlip != 0) platform::rotateFlip(*image, rotateFlip);
    transparent = keyed;
    transColor = key;
    return S_OK;
}

void pngPicture::render(HDC hdc, int destX, int destY, int angle) {
    if (!hdc || !image || !info) return;
    const int w = static_cast<int>(info->width), h = static_cast<int>(info->height);
    // The key is given as 0xAARRGGBB; only its colour is compared.
    const std::uint32_t keyRgb = transColor & 0x00FFFFFFu;
    if (angle % 360 == 0) {
        platform::alphaPixelCopy(*hdc, destX, destY, w, h, *image, 0, 0, transparent, keyRgb);
        return;
    }
    platform::rotatedAlphaCopy(*hdc, destX, destY, w, h, *image, 0, 0, angle, transparent, keyRgb);
}

void pngPicture::frameRender(HDC hdc, int destX, int destY) {
    if (!info) return;
    if (info->currentFrameX > info->maxFrameX) info->currentFrameX = info->maxFrameX;
    if (info->currentFrameY > info->maxFrameY) info->currentFrameY = info->maxFrameY;
    if (!hdc || !image) return;
    // A negative cell (never clamped from below) lies outside the picture and
    // draws nothing.
    platform::Blit r;
    if (!platform::clipBlit(hdc->width(), hdc->height(), image->width(), image->height(), destX,
                            destY, std::int64_t{info->currentFrameX} * info->frameWidth,
                            std::int64_t{info->currentFrameY} * info->frameHeight,
                            info->frameWidth, info->frameHeight, r))
        return;
    platform::alphaPixelCopy(*hdc, r.dx, r.dy, r.w, r.h, *image, r.sx, r.sy, transparent,
                             transColor & 0x00FFFFFFu);
}
