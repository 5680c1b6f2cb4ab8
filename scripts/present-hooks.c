/* The presents of the game's window, seen from a library preloaded into it by
   the measuring scripts: each one calls onPresent(), which the including file
   defines. The game's own put from shared memory, SDL's update of its window
   surface (whole or in rectangles), and a renderer's present each count once: the puts SDL
   makes inside its own presents are not counted again. With
   WITH_BACKGROUND_HOOK defined, the window's background filled by the X
   server calls onBackground(), which the including file then defines.
   Included with _GNU_SOURCE defined before any header, for RTLD_NEXT. */
#include <dlfcn.h>

static void onPresent(void);

static __thread int inSdl;

void SDL_RenderPresent(void* renderer) {
    static void (*real)(void*);
    if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    inSdl = 1;
    real(renderer);
    inSdl = 0;
    onPresent();
}

int SDL_UpdateWindowSurface(void* window) {
    static int (*real)(void*);
    if (!real) real = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    inSdl = 1;
    int result = real(window);
    inSdl = 0;
    onPresent();
    return result;
}

int SDL_UpdateWindowSurfaceRects(void* window, const void* rects, int count) {
    static int (*real)(void*, const void*, int);
    if (!real) real = (int (*)(void*, const void*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
    const int nested = inSdl;
    inSdl = 1;
    int result = real(window, rects, count);
    inSdl = nested;
    if (!nested) onPresent();
    return result;
}

typedef int (*PutImage)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);

int XShmPutImage(void* display, unsigned long drawable, void* gc, void* image, int sx, int sy, int dx,
                 int dy, unsigned width, unsigned height, int sendEvent) {
    static PutImage real;
    if (!real) real = (PutImage)dlsym(RTLD_NEXT, "XShmPutImage");
    int result = real(display, drawable, gc, image, sx, sy, dx, dy, width, height, sendEvent);
    if (!inSdl) onPresent();
    return result;
}

#ifdef WITH_BACKGROUND_HOOK
static void onBackground(void);

typedef int (*FillRectangle)(void*, unsigned long, void*, int, int, unsigned, unsigned);

int XFillRectangle(void* display, unsigned long drawable, void* gc, int x, int y, unsigned width,
                   unsigned height) {
    static FillRectangle real;
    if (!real) real = (FillRectangle)dlsym(RTLD_NEXT, "XFillRectangle");
    int result = real(display, drawable, gc, x, y, width, height);
    if (!inSdl) onBackground();
    return result;
}
#endif
