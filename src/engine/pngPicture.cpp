#include "engine/pngPicture.h"

#include <new>

#include "platform/Canvas.h"
#include "platform/Image.h"

std::shared_ptr<const platform::Picture> decodePng(const char* fileName) {
    if (!fileName) return nullptr;
    try {
        auto decoded = platform::loadPng(fileName);
        if (!decoded || decoded->empty()) return nullptr;
        return platform::Picture::of(std::move(*decoded));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace {

std::uint32_t sizeOf(const std::shared_ptr<const platform::Picture>& image, bool wide) {
    if (!image) return 0;
    return static_cast<std::uint32_t>(wide ? image->width() : image->height());
}

}  // namespace

// A missing or broken file leaves the picture without an image: it still
// registers, and draws nothing.
void pngPicture::decode(const char* fileName) {
    image = decoder ? decoder(fileName) : decodePng(fileName);
}

// Decoded pixels may be shared with other pictures of the same file, so a
// turn works on a copy.
void pngPicture::turn(int rotateFlip) {
    if (!image || rotateFlip == 0) return;
    try {
        platform::Surface turned = image->copy();
        platform::rotateFlip(turned, rotateFlip);
        image = platform::Picture::of(std::move(turned));
    } catch (const std::bad_alloc&) {
        image = nullptr;
    }
}

HRESULT pngPicture::init(const char* fileName, bool keyed, std::uint32_t key, int rotateFlip) {
    info.reset();
    decode(fileName);
    turn(rotateFlip);
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
    decode(fileName);
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
    turn(rotateFlip);
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
