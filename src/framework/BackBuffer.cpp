#include "framework/BackBuffer.h"

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "framework/GameNames.h"

bitmapPicture* backBuffer() {
    bitmapPicture* back = pictureRegistry::get()->addBlankPicture(
        "backBuffer", names::kClientWidth, names::kClientHeight);
    // Frames are drawn where the window can show them without a copy.
    if (back && back->getMemDC()) back->getMemDC()->markFrame();
    return back;
}

HDC backDC() {
    bitmapPicture* back = backBuffer();
    return back ? back->getMemDC() : nullptr;
}
