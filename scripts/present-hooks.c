/* The presents of the game's window, seen from a library preloaded into it by
   the measuring scripts: each one calls onPresent(), which the including file
   defines. The game shows its frames with SDL_UpdateWindowSurfaceRects (a
   window surface in another pixel format, with SDL_UpdateWindowSurface); the
   builds before the window drew into the window surface put frames from
   shared memory themselves (XShmPutImage) or through a renderer
   (SDL_RenderPresent), and are hooked too so that a script can compare with
   them. Each present counts once: the puts SDL makes inside its own updates
   and presents are not counted again.
   With WITH_BACKGROUND_HOOK defined, the window's background, painted once
   before the first frame, calls onBackground(), which the including file then
   defines, and is not a frame: in the builds that fill it through Xlib it is
   their XFillRectangle; in today's it is a whole update of the window surface,
   which is taken for the background when it is the first thing shown and
   PRESENT_BACKGROUND_FIRST=1 is in the environment (not for a program whose
   first update is a frame).
   Included with _GNU_SOURCE defined before any header, for RTLD_NEXT. */
#include <dlfcn.h>
#include <stdlib.h>

static __thread int inSdl;
static int shownAny;  /* a present or a background seen */

static void onPresent(void);
#ifdef WITH_BACKGROUND_HOOK
static void onBackground(void);
#endif

static void shown(int wholeSurface) {
#ifdef WITH_BACKGROUND_HOOK
    const char* flag = getenv("PRESENT_BACKGROUND_FIRST");
    if (!shownAny && wholeSurface && flag && flag[0] == '1') {
        shownAny = 1;
        onBackground();
        return;
    }
#endif
    (void)wholeSurface;
    shownAny = 1;
    onPresent();
}

void SDL_RenderPresent(void* renderer) {
    static void (*real)(void*);
    if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    inSdl = 1;
    real(renderer);
    inSdl = 0;
    shown(0);
}

int SDL_UpdateWindowSurface(void* window) {
    static int (*real)(void*);
    if (!real) real = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    inSdl = 1;
    int result = real(window);
    inSdl = 0;
    shown(1);
    return result;
}

int SDL_UpdateWindowSurfaceRects(void* window, const void* rects, int count) {
    static int (*real)(void*, const void*, int);
    if (!real) real = (int (*)(void*, const void*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
    const int nested = inSdl;
    inSdl = 1;
    int result = real(window, rects, count);
    inSdl = nested;
    if (!nested) shown(0);
    return result;
}

typedef int (*PutImage)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);

int XShmPutImage(void* display, unsigned long drawable, void* gc, void* image, int sx, int sy, int dx,
                 int dy, unsigned width, unsigned height, int sendEvent) {
    static PutImage real;
    if (!real) real = (PutImage)dlsym(RTLD_NEXT, "XShmPutImage");
    int result = real(display, drawable, gc, image, sx, sy, dx, dy, width, height, sendEvent);
    if (!inSdl) shown(0);
    return result;
}

#ifdef WITH_BACKGROUND_HOOK
typedef int (*FillRectangle)(void*, unsigned long, void*, int, int, unsigned, unsigned);

int XFillRectangle(void* display, unsigned long drawable, void* gc, int x, int y, unsigned width,
                   unsigned height) {
    static FillRectangle real;
    if (!real) real = (FillRectangle)dlsym(RTLD_NEXT, "XFillRectangle");
    int result = real(display, drawable, gc, x, y, width, height);
    if (!inSdl) {
        shownAny = 1;
        onBackground();
    }
    return result;
}
#endif
