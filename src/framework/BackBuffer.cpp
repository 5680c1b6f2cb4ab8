#include "framework/BackBuffer.h"

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "framework/GameNames.h"

bitmapPicture* backBuffer() {
    bitmapPicture* back = pictureRegistry::get()->addBlankPicture(
        "backBuffer", names::kClientWidth, names::kClientHeight);
    return back;
}

HDC backDC() {
    bitmapPicture* back = backBuffer();
    return back ? back->getMemDC() : nullptr;
}
