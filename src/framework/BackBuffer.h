// The back buffer every scene draws into, asked of the picture registry on
// each use so it is found again after the registry was re-created.
#pragma once

#include "platform/Win32Types.h"

class bitmapPicture;

bitmapPicture* backBuffer();
// Its surface, the device context all drawing goes to.
HDC backDC();
