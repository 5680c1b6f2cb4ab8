#include "framework/BackBuffer.h"

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "framework/GameNames.h"

bitmapPicture* backBuffer() {
    return pictureRegistry::get()->addBlankPicture("backBuffer", names::kClientWidth,
                                                   names::kClientHeight);
}

HDC backDC() {
    bitmapPicture* back = backBuffer();
    return back ? back->getMemDC() : nullptr;
}
