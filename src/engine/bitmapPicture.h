// A picture held in an off-screen surface, drawn whole, in part, by frame
// cell, tiled or with constant opacity onto another surface (as a rule the
// back buffer). Loaded from BMP files scaled to the size asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Canvas.h"
#include "platform/Win32Types.h"

class PictureLoader;

struct pictureInfo {
    // A loaded picture's pixels, frozen; null for a blank one, and for a
    // loaded one once its memDC was asked for (it then draws from that).
    std::shared_ptr<const platform::Picture> picture;
    // What is drawn into: a blank picture's pixels, or a loaded one's copy.
    std::unique_ptr<platform::Canvas> memDC;
    float x = 0, y = 0;
    int width = 0, height = 0;
    int currentFrameX = 0, currentFrameY = 0;
    int maxFrameX = 0, maxFrameY = 0;
    int frameWidth = 0, frameHeight = 0;
    // Set while the pixels are still to be taken from the loader they were
    // asked of: done by the first use that needs them.
    std::shared_ptr<PictureLoader> pending;
};

class bitmapPicture {
public:
    bitmapPicture() = default;
    ~bitmapPicture() { release(); }
    bitmapPicture(const bitmapPicture&) = delete;
    bitmapPicture& operator=(const bitmapPicture&) = delete;

    HRESULT initBlank(int width, int height);
    HRESULT init(const char* fileName, int width, int height, bool transparent, COLORREF transColor);
    HRESULT init(const char* fileName, float x, float y, int width, int height, bool transparent,
                 COLORREF transColor);
    HRESULT initFrames(const char* fileName, int width, int height, int frameCountX,
                       int frameCountY, bool transparent, COLORREF transColor);
    void release();  // safe to repeat

    void render(HDC hdc, int destX, int destY);
    void render(HDC hdc, int destX, int destY, int srcX, int srcY, int srcWidth, int srcHeight);
    void frameRender(HDC hdc, int destX, int destY, int frameX, int frameY);
    void alphaRender(HDC hdc, int destX, int destY, std::uint8_t alpha);
    void alphaRender(HDC hdc, int destX, int destY, int srcX, int srcY, int srcWidth,
                     int srcHeight, std::uint8_t alpha);
    void loopRender(HDC hdc, const RECT* drawArea, int offsetX);

    // A loaded picture's pixels become drawable into at the first ask: from
    // then on the picture draws what its memDC holds.
    HDC getMemDC();
    // What its draws draw from: the frozen pixels, or the memDC's; null when
    // there are none.
    std::shared_ptr<const platform::Picture> getPicture();
    float getX() const { return info ? info->x : 0.0f; }
    float getY() const { return info ? info->y : 0.0f; }
    int getWidth() const { return info ? info->width : 0; }
    int getHeight() const { return info ? info->height : 0; }
    int getCurrentFrameX() const { return info ? info->currentFrameX : 0; }
    int getCurrentFrameY() const { return info ? info->currentFrameY : 0; }
    int getMaxFrameX() const { return info ? info->maxFrameX : 0; }
    int getMaxFrameY() const { return info ? info->maxFrameY : 0; }
    int getFrameWidth() const { return info ? info->frameWidth : 0; }
    int getFrameHeight() const { return info ? info->frameHeight : 0; }
    void setX(float x);
    void setY(float y);
    void setFrameX(int frameX);  // clamped to maxFrameX from above only
    void setFrameY(int frameY);
    RECT getBoundingRect() const;

    // Where init gets its file's pixels: asked for at init, which fails if
    // the file cannot give them, and taken at the first use that needs them
    // (a scene that registers many pictures and draws few of them at first
    // shows its first frame without waiting for the rest). Without one,
    // init decodes the file itself.
    std::shared_ptr<PictureLoader> loader;

private:
    HRESULT load(const char* fileName, int width, int height, bool transparent,
                 COLORREF transColor);
    void draw(HDC hdc, int destX, int destY, std::int64_t srcX, std::int64_t srcY, int w, int h);
    // Takes pixels still pending; a file that then fails (it changed since
    // it was asked for) draws nothing.
    void takePending();
    void blend(HDC hdc, int destX, int destY, int srcX, int srcY, int w, int h,
               std::uint8_t alpha);

    std::unique_ptr<pictureInfo> info;
    std::string fileName;
    bool transparent = false;
    COLORREF transColor = 0;
};
