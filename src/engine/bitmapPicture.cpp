#include "engine/bitmapPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <optional>

#include "engine/PictureLoader.h"
#include "platform/Canvas.h"
#include "platform/Image.h"

namespace {

// Positions are floats; hit tests and draws use them truncated toward zero.
// Values far off any surface (never used by the game) are pinned, so the
// conversion and the sums after it stay defined.
int truncate(float v) {
    constexpr float kFar = 1073741824.0f;  // 2^30: leaves room to add a size
    if (std::isnan(v)) return 0;
    if (v >= kFar) return static_cast<int>(kFar);
    if (v <= -kFar) return -static_cast<int>(kFar);
    return static_cast<int>(v);
}

bool sizeAccepted(int width, int height) {
    return width > 0 && height > 0 && width <= platform::kMaxImageSide &&
           height <= platform::kMaxImageSide;
}

}  // namespace

HRESULT bitmapPicture::initBlank(int width, int height) {
    release();
    if (!sizeAccepted(width, height)) return E_FAIL;
    try {
        auto fresh = std::make_unique<pictureInfo>();
        fresh->memDC = std::make_unique<platform::Canvas>(width, height);
        fresh->width = width;
        fresh->height = height;
        info = std::move(fresh);
    } catch (const std::bad_alloc&) {
        release();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT bitmapPicture::load(const char* name, int width, int height, bool keyed, COLORREF key) {
    release();
    if (!name || !sizeAccepted(width, height)) return E_FAIL;
    const std::optional<std::uint32_t> keyPixel =
        keyed ? std::optional(platform::toPixel(key)) : std::nullopt;
    try {
        auto fresh = std::make_unique<pictureInfo>();
        fresh->width = width;
        fresh->height = height;
        if (loader) {
            if (!loader->ask(name, width, height, keyPixel)) return E_FAIL;
            fresh->pending = loader;
        } else {
            auto decoded = platform::loadBmpScaled(name, width, height);
            if (!decoded || decoded->empty()) return E_FAIL;
            fresh->picture = platform::Picture::freeze(std::move(*decoded), keyPixel);
        }
        fileName = name;
        info = std::move(fresh);
    } catch (const std::bad_alloc&) {
        release();
        return E_FAIL;
    }
    transparent = keyed;
    transColor = key;
    return S_OK;
}

void bitmapPicture::takePending() {
    if (!info || !info->pending) return;
    const auto from = std::move(info->pending);
    info->pending = nullptr;
    const std::optional<std::uint32_t> key =
        transparent ? std::optional(platform::toPixel(transColor)) : std::nullopt;
    try {
        auto pixels = from->take(fileName, info->width, info->height, key);
        if (pixels && pixels->width() == info->width && pixels->height() == info->height) {
            info->picture = std::move(pixels);
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    info->picture = nullptr;
}

HDC bitmapPicture::getMemDC() {
    if (!info) return nullptr;
    takePending();
    if (!info->memDC) {
        try {
            info->memDC = std::make_unique<platform::Canvas>(info->picture ? info->picture->copy() : platform::Surface());
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        info->picture.reset();
    }
    return info->memDC.get();
}

std::shared_ptr<const platform::Picture> bitmapPicture::getPicture() {
    if (!info) return nullptr;
    takePending();
    if (info->picture) return info->picture;
    if (!info->memDC) return nullptr;
    try {
        return info->memDC->picture();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRESULT bitmapPicture::init(const char* name, int width, int height, bool keyed, COLORREF key) {
    return load(name, width, height, keyed, key);
}

HRESULT bitmapPicture::init(const char* name, float x, float y, int width, int height, bool keyed,
                            COLORREF key) {
    HRESULT hr = load(name, width, height, keyed, key);
    if (hr != S_OK) return hr;
    info->x = x;
    info->y = y;
    return S_OK;
}

HRESULT bitmapPicture::initFrames(const char* name, int width, int height, int frameCountX,
                                  int frameCountY, bool keyed, COLORREF key) {
    // A grid without cells could never be drawn; refusing it also keeps the
    // cell size division safe.
    if (frameCountX <= 0 || frameCountY <= 0) {
        release();
        return E_FAIL;
    }
    HRESULT hr = load(name, width, height, keyed, key);
    if (hr != S_OK) return hr;
    info->currentFrameX = 0;
    info->currentFrameY = 0;
    info->maxFrameX = frameCountX - 1;
    info->maxFrameY = frameCountY - 1;
    // Truncated: columns of pixels past the last whole cell are never drawn.
    info->frameWidth = info->width / frameCountX;
    info->frameHeight = info->height / frameCountY;
    return S_OK;
}

void bitmapPicture::release() {
    info.reset();
    fileName.clear();
    transparent = false;
    transColor = 0;
}

void bitmapPicture::draw(HDC hdc, int destX, int destY, std::int64_t srcX, std::int64_t srcY,
                         int w, int h) {
    if (!info || !hdc) return;
    platform::Blit r;
    // Pixels still to be taken are taken only for a draw that shows some.
    if (info->pending && !platform::clipBlit(hdc->width(), hdc->height(), info->width,
                                             info->height, destX, destY, srcX, srcY, w, h, r))
        return;
    // A canvas drawn onto itself where it already is changes nothing (the
    // back buffer's last copy to the window, which it now is).
    if (info->memDC && hdc == info->memDC.get() && destX == srcX && destY == srcY) return;
    const auto src = getPicture();
    if (!src || !platform::clipBlit(hdc->width(), hdc->height(), src->width(), src->height(), destX, destY,
                                    srcX, srcY, w, h, r))
        return;
    if (transparent)
        platform::keyedCopy(*hdc, r.dx, r.dy, r.w, r.h, *src, r.sx, r.sy, transColor);
    else
        platform::copyRect(*hdc, r.dx, r.dy, r.w, r.h, *src, r.sx, r.sy);
}

void bitmapPicture::render(HDC hdc, int destX, int destY) {
    if (!info) return;
    draw(hdc, destX, destY, 0, 0, info->width, info->height);
}

void bitmapPicture::render(HDC hdc, int destX, int destY, int srcX, int srcY, int srcWidth,
                           int srcHeight) {
    draw(hdc, destX, destY, srcX, srcY, srcWidth, srcHeight);
}

void bitmapPicture::frameRender(HDC hdc, int destX, int destY, int frameX, int frameY) {
    if (!info) return;
    // Only the upper end is clamped; a negative cell lies outside the picture
    // and the clipped draw leaves the destination alone.
    info->currentFrameX = frameX > info->maxFrameX ? info->maxFrameX : frameX;
    info->currentFrameY = frameY > info->maxFrameY ? info->maxFrameY : frameY;
    draw(hdc, destX, destY, std::int64_t{info->currentFrameX} * info->frameWidth,
         std::int64_t{info->currentFrameY} * info->frameHeight, info->frameWidth,
         info->frameHeight);
}

void bitmapPicture::blend(HDC hdc, int destX, int destY, int srcX, int srcY, int w, int h,
                          std::uint8_t alpha) {
    if (!info || !hdc) return;
    if (transparent) {
        // The blended area is the blend surface's: at most the picture's size,
        // whatever source rectangle was asked for.
        if (w > info->width) w = info->width;
        if (h > info->height) h = info->height;
    }
    platform::Blit r;
    if (info->pending && !platform::clipBlit(hdc->width(), hdc->height(), info->width,
                                             info->height, destX, destY, srcX, srcY, w, h, r))
        return;
    const auto src = getPicture();
    if (!src) return;
    if (transparent)
        platform::keyedBlend(*hdc, destX, destY, w, h, *src, srcX, srcY, transColor, alpha);
    else
        platform::alphaBlend(*hdc, destX, destY, w, h, *src, srcX, srcY, alpha);
}

void bitmapPicture::alphaRender(HDC hdc, int destX, int destY, std::uint8_t alpha) {
    if (!info) return;
    blend(hdc, destX, destY, 0, 0, info->width, info->height, alpha);
}

void bitmapPicture::alphaRender(HDC hdc, int destX, int destY, int srcX, int srcY, int srcWidth,
                                int srcHeight, std::uint8_t alpha) {
    blend(hdc, destX, destY, srcX, srcY, srcWidth, srcHeight, alpha);
}

void bitmapPicture::loopRender(HDC hdc, const RECT* drawArea, int offsetX) {
    if (!info || !hdc || !drawArea) return;
    const int width = info->width, height = info->height;
    // Scrolling by any multiple of the width changes nothing; a negative
    // offset counts back from the right edge (-1 is width - 1).
    int offset = offsetX % width;
    if (offset < 0) offset += width;
    const std::int64_t drawWidth = std::int64_t{drawArea->right} - drawArea->left;
    const std::int64_t drawHeight = std::int64_t{drawArea->bottom} - drawArea->top;
    // Only the part of the area that lies on the destination is walked, so an
    // area reaching far off the surface costs no empty iterations. Tiles keep
    // the positions they would have had had the walk started at 0.
    const std::int64_t xEnd = std::min<std::int64_t>(drawWidth, std::int64_t{hdc->width()} - drawArea->left);
    const std::int64_t yEnd = std::min<std::int64_t>(drawHeight, std::int64_t{hdc->height()} - drawArea->top);
    const std::int64_t xFrom = std::max<std::int64_t>(0, -std::int64_t{drawArea->left});
    const std::int64_t yFrom = std::max<std::int64_t>(0, -std::int64_t{drawArea->top});
    if (xFrom >= xEnd || yFrom >= yEnd) return;
    // The first tile of a row is width - offset wide, the rest a full width.
    const std::int64_t firstW = width - offset;
    const std::int64_t xStart =
        xFrom < firstW ? 0 : firstW + (xFrom - firstW) / width * width;
    for (std::int64_t y = yFrom / height * height; y < yEnd;) {
        const int srcY = static_cast<int>(y % height);
        const int srcH = static_cast<int>(std::min<std::int64_t>(height - srcY, drawHeight - y));
        for (std::int64_t x = xStart; x < xEnd;) {
            const int srcX = static_cast<int>((x + offset) % width);
            const int srcW = static_cast<int>(std::min<std::int64_t>(width - srcX, drawWidth - x));
            draw(hdc, static_cast<int>(drawArea->left + x), static_cast<int>(drawArea->top + y),
                 srcX, srcY, srcW, srcH);
            x += srcW;
        }
        y += srcH;
    }
}

void bitmapPicture::setX(float x) {
    if (info) info->x = x;
}

void bitmapPicture::setY(float y) {
    if (info) info->y = y;
}

void bitmapPicture::setFrameX(int frameX) {
    if (info) info->currentFrameX = frameX > info->maxFrameX ? info->maxFrameX : frameX;
}

void bitmapPicture::setFrameY(int frameY) {
    if (info) info->currentFrameY = frameY > info->maxFrameY ? info->maxFrameY : frameY;
}

RECT bitmapPicture::getBoundingRect() const {
    if (!info) return RECT{};
    const int left = truncate(info->x), top = truncate(info->y);
    return RECT{left, top, left + info->width, top + info->height};
}
