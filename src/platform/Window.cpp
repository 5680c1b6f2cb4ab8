#include "platform/Window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/EventInput.h"
#include "platform/Input.h"
#include "platform/KeyMap.h"
#include "platform/Viewport.h"
#include "platform/Win32Types.h"
#include "platform/WindowFill.h"

namespace platform {
namespace {

// F11 and Alt+Return switch between the window and the whole screen; they are
// the window's keys, never the game's.
bool isFullscreenKey(const SDL_Keysym& key) {
    if (key.sym == SDLK_F11) return true;
    return (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && (key.mod & KMOD_ALT);
}

// A window destroyed from outside (a window manager's kill, xdotool) must end
// the game like a close, not through Xlib's default handler, which exits with
// an error on the next request that names the dead window.
bool x11WindowLost = false;
::Window x11GameWindow = 0;
int (*previousXErrorHandler)(Display*, XErrorEvent*) = nullptr;
bool xErrorHandlerInstalled = false;

int onXError(Display* display, XErrorEvent* event) {
    if (event->error_code == BadWindow || event->error_code == BadDrawable) {
        x11WindowLost = true;
        return 0;
    }
    return previousXErrorHandler ? previousXErrorHandler(display, event) : 0;
}

// The X display of the window, or nullptr when SDL runs on something else.
// Called again whenever SDL may have replaced the X window underneath.
Display* watchX11(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    if (!xErrorHandlerInstalled) {
        previousXErrorHandler = XSetErrorHandler(onXError);
        xErrorHandlerInstalled = true;
    }
    x11GameWindow = info.info.x11.window;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return info.info.x11.display;
}

// Frames the X server reads from memory shared with it: the back buffer is
// drawn straight into one of these, so showing a frame copies nothing in
// this process. A few frame-sized segments, taken and given back as the back
// buffer and the window surface pass them on; a segment still held when the
// window closes stays mapped until its last surface lets go.
class SharedFrames : public std::enable_shared_from_this<SharedFrames> {
public:
    static constexpr std::size_t kMostSegments = 3;

    // Null when this display cannot take them (no MIT-SHM, a remote server,
    // a visual other than 24-bit 0xRRGGBB in 32-bit words).
    static std::shared_ptr<SharedFrames> make(Display* display, ::Window window, int width, int height) {
        if (!display || !window || !XShmQueryExtension(display)) return nullptr;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, window, &a) || !fits(display, a)) return nullptr;
        auto frames = std::shared_ptr<SharedFrames>(new SharedFrames(display, a.visual, a.depth, width, height));
        if (!frames->addSegment()) return nullptr;
        frames->mapInBeside(0);
        return frames;
    }

    ~SharedFrames() { close(); }

    static bool fits(Display* display, const XWindowAttributes& a) {
        // A DirectColor visual (Xvfb's own) takes the pixels as a TrueColor
        // one does under its default colour map, as SDL's frames do.
        return a.depth == 24 && a.visual && (a.visual->c_class == TrueColor || a.visual->c_class == DirectColor) &&
               a.visual->red_mask == 0xFF0000 && a.visual->green_mask == 0xFF00 &&
               a.visual->blue_mask == 0xFF && ImageByteOrder(display) == LSBFirst;
    }

    // A free segment for a surface of n pixels, or null (another size, all
    // in use, or closed): the surface then takes ordinary memory.
    std::shared_ptr<std::uint32_t[]> take(std::size_t n) {
        if (!display_ || n != std::size_t(width_) * height_) return nullptr;
        std::size_t i = 0;
        while (i < segments_.size() && segments_[i]->held) ++i;
        if (i == segments_.size() && (i >= kMostSegments || !addSegment())) return nullptr;
        segments_[i]->held = true;
        auto self = shared_from_this();
        return std::shared_ptr<std::uint32_t[]>(segments_[i]->pixels, [self, i](std::uint32_t*) { self->giveBack(i); });
    }

    // The image whose memory is these pixels, or null.
    XImage* imageOf(const std::uint32_t* pixels) const {
        if (!display_) return nullptr;
        for (const auto& s : segments_)
            if (s->held && s->pixels == pixels) return s->image;
        return nullptr;
    }

    // Detaches every segment from the server (the display is about to go).
    void close() {
        if (mapping_.joinable()) mapping_.join();
        if (!display_) return;
        for (auto& s : segments_) {
            XShmDetach(display_, &s->info);
            s->image->data = nullptr;  // the memory is not Xlib's to free
            XDestroyImage(s->image);
            s->image = nullptr;
        }
        XSync(display_, False);
        display_ = nullptr;
        for (auto& s : segments_)
            if (!s->held) shmdt(s->info.shmaddr);
    }

private:
    struct Segment {
        XShmSegmentInfo info{};
        XImage* image = nullptr;
        std::uint32_t* pixels = nullptr;
        bool held = false;
    };

    SharedFrames(Display* display, Visual* visual, int depth, int width, int height)
        : display_(display), visual_(visual), depth_(depth), width_(width), height_(height) {}

    static inline bool attachFailed = false;
    static int onAttachError(Display*, XErrorEvent*) {
        attachFailed = true;
        return 0;
    }

    bool addSegment() {
        // On the heap: the image keeps a pointer to its segment's info.
        auto owned = std::make_unique<Segment>();
        Segment& s = *owned;
        s.image = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &s.info, width_, height_);
        if (!s.image) return false;
        if (s.image->bits_per_pixel != 32 || s.image->bytes_per_line != width_ * 4) {
            XDestroyImage(s.image);
            return false;
        }
        s.info.shmid = shmget(IPC_PRIVATE, std::size_t(s.image->bytes_per_line) * height_, IPC_CREAT | 0600);
        if (s.info.shmid < 0) {
            XDestroyImage(s.image);
            return false;
        }
        void* at = shmat(s.info.shmid, nullptr, 0);
        if (at == reinterpret_cast<void*>(-1)) {
            shmctl(s.info.shmid, IPC_RMID, nullptr);
            XDestroyImage(s.image);
            return false;
        }
        s.info.shmaddr = s.image->data = static_cast<char*>(at);
        s.info.readOnly = False;
        // A server on another machine refuses the segment: caught here rather
        // than by the handler that ends the game.
        attachFailed = false;
        XSync(display_, False);
        auto previous = XSetErrorHandler(onAttachError);
        const bool attached = XShmAttach(display_, &s.info);
        XSync(display_, False);
        XSetErrorHandler(previous);
        // Marked for removal now: it goes once both sides have let go.
        shmctl(s.info.shmid, IPC_RMID, nullptr);
        if (!attached || attachFailed) {
            s.image->data = nullptr;
            XDestroyImage(s.image);
            shmdt(at);
            return false;
        }
        s.pixels = static_cast<std::uint32_t*>(at);
        segments_.push_back(std::move(owned));
        return true;
    }

    // The first frame's memory is new to the process, and its first writes
    // would each wait for the kernel to map a page in (2 to 3 ms for the
    // first frame under Xvfb). Mapped in on a thread of its own while the
    // game loads and the first frame waits its time; the pixels are left as
    // they are, so drawing meanwhile is safe. Kernels before 5.14 skip it.
    void mapInBeside(std::size_t i) {
#ifdef MADV_POPULATE_WRITE
        void* at = segments_[i]->pixels;
        const std::size_t bytes = std::size_t(width_) * height_ * sizeof(std::uint32_t);
        try {
            mapping_ = std::thread([at, bytes] { ::madvise(at, bytes, MADV_POPULATE_WRITE); });
        } catch (const std::system_error&) {
        }
#else
        (void)i;
#endif
    }

    void giveBack(std::size_t i) {
        segments_[i]->held = false;
        if (!display_) shmdt(segments_[i]->info.shmaddr);
    }

    Display* display_;
    Visual* visual_;
    int depth_, width_, height_;
    std::vector<std::unique_ptr<Segment>> segments_;
    std::thread mapping_;
};

class SdlWindow : public Window {
public:
    SdlWindow(SDL_Window* w, int width, int height, Display* x11)
        : window_(w), width_(width), height_(height), x11_(x11) {
        frames_ = SharedFrames::make(x11_, x11GameWindow, width_, height_);
        if (frames_) {
            framesWindow_ = x11GameWindow;
            gc_ = XCreateGC(x11_, x11GameWindow, 0, nullptr);
            setFrameMemory([frames = frames_](std::size_t n) { return frames->take(n); });
        }
    }
    ~SdlWindow() override {
        setFrameMemory(nullptr);
        if (frames_) {
            XFreeGC(x11_, gc_);
            frames_->close();
        }
        events_.closePads();
        if (padsLookedFor_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        if (x11_ && (x11WindowLost || destroyedOutside_)) {
            // Destroyed from outside: SDL may still take the window for shown
            // and would wait for ever for it to be unmapped. The server has
            // freed it already and the process is ending, so leave SDL be.
            // Pending errors are taken now, while our handler is in place.
            XSync(x11_, False);
            return;
        }
        dropRenderer();
        SDL_DestroyWindow(window_);
        if (x11_) XSync(x11_, False);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool pumpEvents(InputState& input) override {
        // A game controller is welcome but never needed: looked for half a
        // second in (about 1.5 ms of work), not while the window opens nor
        // in the first frames, which have their own pictures to make.
        if (!padsLookedFor_ && ++drains_ >= kDrainsBeforePads) {
            padsLookedFor_ = true;
            SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        }
        input.beginDrain();
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e, input);
        if (x11WindowLost) open_ = false;
        return open_;
    }

    void present(const Surface& back, std::span<const Box>) override {
        if (!open_ || x11WindowLost) return;
        if (back.width() != width_ || back.height() != height_) return;
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        if (w <= 0 || h <= 0) return;  // minimised
        const Viewport shown = fitPicture(w, h, width_, height_);
        // At 1x, 2x, 3x... each pixel becomes a square of pixels: copied
        // straight into the window's surface, no renderer needed.
        if (wholeMultiple(shown, width_, height_)) {
            dropRenderer();
            if (w == width_ && h == height_ && presentShared(back)) return;
            presentDirect(back, shown, w, h);
            return;
        }
        if (!presentScaled(back)) presentDirect(back, Viewport{0, 0, width_, height_}, w, h);
    }

    void paintBackground(std::uint32_t rgb) override {
        if (!open_ || x11WindowLost) return;
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        if (w <= 0 || h <= 0) return;
        // The X server fills the window itself: no frame-sized buffer of
        // SDL's is made for one colour (the shared ones are for frames).
        if (frames_ && x11GameWindow == framesWindow_) {
            XSetForeground(x11_, gc_, rgb);
            XFillRectangle(x11_, framesWindow_, gc_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
            XFlush(x11_);
            return;
        }
        fillWindowSurface(window_, rgb);
    }

    void setIcon(const Surface& picture) override {
        if (picture.empty()) return;
        // ARGB8888 is 0xAARRGGBB in a 32-bit word: the picture's own layout.
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(picture.pixels()), picture.width(), picture.height(), 32,
            picture.width() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!view) return;
        SDL_SetWindowIcon(window_, view);  // SDL copies the pixels
        SDL_FreeSurface(view);
    }

private:
    void handle(const SDL_Event& e, InputState& input) {
        switch (e.type) {
            case SDL_QUIT:
                open_ = false;
                break;
            case SDL_SYSWMEVENT:
                if (e.syswm.msg && e.syswm.msg->subsystem == SDL_SYSWM_X11 &&
                    e.syswm.msg->msg.x11.event.type == DestroyNotify &&
                    e.syswm.msg->msg.x11.event.xdestroywindow.window == x11GameWindow) {
                    open_ = false;
                    destroyedOutside_ = true;
                }
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) open_ = false;
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) input.focusLost();
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (isFullscreenKey(e.key.keysym)) {
                    if (e.type == SDL_KEYDOWN && !e.key.repeat) toggleFullscreen();
                    break;
                }
                [[fallthrough]];
            default:
                events_.handle(e, input, [this](int& x, int& y) { return toClient(x, y); });
                break;
        }
    }

    // Maps a window point to client pixels; false over the bars or outside
    // the window.
    bool toClient(int& x, int& y) const {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        return toPicture(fitPicture(w, h, width_, height_), width_, height_, x, y, x, y);
    }

    void toggleFullscreen() {
        const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
        SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    }

    // A frame drawn in memory the server shares is shown from there. Only
    // into the window the segments were checked against: once an OpenGL
    // renderer has put another one in its place (maybe of another visual),
    // frames go through SDL's copy.
    bool presentShared(const Surface& back) {
        if (!frames_ || x11GameWindow != framesWindow_) return false;
        XImage* image = frames_->imageOf(back.pixels());
        if (!image) return false;
        XShmPutImage(x11_, framesWindow_, gc_, image, 0, 0, 0, 0, width_, height_, False);
        // Waits for the server to have read the frame: the segment is drawn
        // into again as soon as the next frame asks for one.
        XSync(x11_, False);
        return true;
    }

    // A window at a whole multiple of the game's size takes the frame by a
    // plain copy into the window's surface (each pixel repeated k times
    // across and down), which costs far less than a trip through a renderer.
    void presentDirect(const Surface& back, const Viewport& shown, int w, int h) {
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target) return;
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(back.pixels()), back.width(), back.height(), 32,
            back.width() * 4, SDL_PIXELFORMAT_RGB888);
        if (!view) return;
        SDL_Rect where{shown.x, shown.y, shown.w, shown.h};
        const bool whole = shown.x == 0 && shown.y == 0 && shown.w == w && shown.h == h;
        if (!whole) fillBars(target, where);
        const int times = shown.w / width_;
        const bool sameFormat = target->format->format == SDL_PIXELFORMAT_RGB888 &&
                                target->w >= shown.x + shown.w && target->h >= shown.y + shown.h;
        if (times == 1 && sameFormat && SDL_LockSurface(target) == 0) {
            copyRows(back, static_cast<std::uint8_t*>(target->pixels) + shown.y * target->pitch +
                               shown.x * 4,
                     target->pitch);
            SDL_UnlockSurface(target);
        } else if (times == 1) {
            SDL_BlitSurface(view, nullptr, target, &where);
        } else if (sameFormat && SDL_LockSurface(target) == 0) {
            repeatPixels(back, times, static_cast<std::uint8_t*>(target->pixels) +
                                          shown.y * target->pitch + shown.x * 4,
                         target->pitch);
            SDL_UnlockSurface(target);
        } else {
            SDL_BlitScaled(view, nullptr, target, &where);
        }
        SDL_FreeSurface(view);
        SDL_UpdateWindowSurface(window_);
    }

    static void fillBars(SDL_Surface* target, const SDL_Rect& picture) {
        const Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
        const SDL_Rect bars[] = {
            {0, 0, target->w, picture.y},
            {0, picture.y + picture.h, target->w, target->h - picture.y - picture.h},
            {0, picture.y, picture.x, picture.h},
            {picture.x + picture.w, picture.y, target->w - picture.x - picture.w, picture.h}};
        for (const SDL_Rect& bar : bars) {
            if (bar.w > 0 && bar.h > 0) SDL_FillRect(target, &bar, black);
        }
    }

    // The frame into the window's memory with plain cached stores: SDL's own
    // copy streams past the caches, which costs more here, and the X server
    // reads the frame again at once.
    static void copyRows(const Surface& back, std::uint8_t* to, int pitch) {
        const std::size_t rowBytes = static_cast<std::size_t>(back.width()) * 4;
        if (static_cast<std::size_t>(pitch) == rowBytes) {
            std::memcpy(to, back.row(0), rowBytes * back.height());
            return;
        }
        for (int y = 0; y < back.height(); ++y, to += pitch) std::memcpy(to, back.row(y), rowBytes);
    }

    // Nearest-neighbour at a whole multiple: each row widened once, then
    // copied to the rows below it.
    static void repeatPixels(const Surface& back, int times, std::uint8_t* to, int pitch) {
        const std::size_t rowBytes = static_cast<std::size_t>(back.width()) * times * 4;
        for (int y = 0; y < back.height(); ++y) {
            const std::uint32_t* from = back.row(y);
            auto* first = reinterpret_cast<std::uint32_t*>(to);
            for (int x = 0; x < back.width(); ++x) {
                for (int i = 0; i < times; ++i) *first++ = from[x];
            }
            for (int i = 1; i < times; ++i) std::memcpy(to + i * pitch, to, rowBytes);
            to += static_cast<std::ptrdiff_t>(pitch) * times;
        }
    }

    // Any other scale goes through a renderer: the picture scaled whole into
    // the largest rectangle of its aspect, black bars around it, filtered
    // smoothly, which the finished frame (no colour key left in it) takes
    // without fringes.
    bool presentScaled(const Surface& back) {
        if (!renderer_ && !makeRenderer()) return false;
        int w = 0, h = 0;
        if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) return false;
        const Viewport shown = fitPicture(w, h, width_, height_);
        SDL_UpdateTexture(texture_, nullptr, back.pixels(), width_ * 4);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect target{shown.x, shown.y, shown.w, shown.h};
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
        return true;
    }

    // Made only while the window is at a scale that is not a whole multiple,
    // so a game played at 1x or 2x never loads a renderer (nor OpenGL).
    bool makeRenderer() {
        if (!softwareScaling_) {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
            // OpenGL drawn by the processor scales slower than SDL's own
            // software renderer (about 2.5 times the processor time under
            // Xvfb); only a real graphics card is worth the trip.
            if (renderer_ && isSoftwareOpenGl(renderer_)) {
                SDL_DestroyRenderer(renderer_);
                renderer_ = nullptr;
                softwareScaling_ = true;
            }
        }
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        // An OpenGL renderer may have replaced the X window underneath.
        if (x11_) watchX11(window_);
        if (!renderer_) return false;
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, width_, height_);
        if (!texture_) {
            dropRenderer();
            return false;
        }
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
        return true;
    }

    static bool isSoftwareOpenGl(SDL_Renderer* renderer) {
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name ||
            !std::strstr(info.name, "opengl")) {
            return false;
        }
        // The renderer's context is current once it is made.
        using GetString = const unsigned char* (*)(unsigned int);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* name = getString ? getString(0x1F01) : nullptr;  // GL_RENDERER
        if (!name) return false;
        const char* text = reinterpret_cast<const char*>(name);
        for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
            if (std::strstr(text, soft)) return true;
        }
        return false;
    }

    void dropRenderer() {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        texture_ = nullptr;
        renderer_ = nullptr;
    }

    SDL_Window* window_;
    std::shared_ptr<SharedFrames> frames_;
    ::Window framesWindow_ = 0;
    GC gc_{};
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_, height_;
    Display* x11_;
    EventInput events_;
    bool destroyedOutside_ = false;
    bool softwareScaling_ = false;  // set once OpenGL turned out to be drawn in software
    static constexpr int kDrainsBeforePads = 30;
    int drains_ = 0;
    bool padsLookedFor_ = false;
    bool open_ = true;
};

}  // namespace

std::unique_ptr<Window> Window::open(const std::string& title, int width, int height,
                                     std::string* error) {
    auto fail = [&](const char* what) -> std::unique_ptr<Window> {
        if (error) *error = std::string(what) + ": " + SDL_GetError();
        return nullptr;
    };
    SDL_SetHint("SDL_VIDEO_X11_WMCLASS", title.c_str());
    // The unscaled window copies frames straight to the display; an
    // accelerated stand-in would recreate the window behind our back.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("no display");
    // Without a display SDL falls back to drivers that show nothing; only take
    // one of those when it was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string name = driver ? driver : "";
    if ((name == "offscreen" || name == "dummy" || name == "evdev") && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // The fallback hid why the display named in the environment failed:
        // ask its driver again, by name. A display that was only busy for a
        // moment (a server under load) answers now, and the game goes on;
        // otherwise SDL's own reason is what the player reads.
        std::string reasons;
        bool opened = false;
        for (auto [driverName, variable] : {std::pair{"x11", "DISPLAY"}, {"wayland", "WAYLAND_DISPLAY"}}) {
            const char* value = SDL_getenv(variable);
            if (!value || !*value) continue;
            SDL_SetHint(SDL_HINT_VIDEODRIVER, driverName);
            opened = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
            SDL_ResetHint(SDL_HINT_VIDEODRIVER);
            if (opened) break;
            reasons += (reasons.empty() ? "" : "; ") + std::string(variable) + "=" + value + ": " + SDL_GetError();
        }
        if (!opened) {
            if (error) *error = reasons.empty() ? "no display (set DISPLAY or WAYLAND_DISPLAY)" : "no display: " + reasons;
            return nullptr;
        }
    }
    // The largest whole multiple of the picture that fits the screen, or the
    // picture scaled down when even 1x does not; 40 rows for the title bar.
    Viewport size{0, 0, width, height};
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.h > 0 && usable.w > 0) {
        size = openingSize(usable.w, usable.h, width, height, 40);
    }
    SDL_Window* w = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     size.w, size.h, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!w) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail("cannot create window");
    }
    SDL_SetWindowMinimumSize(w, width / 4, height / 4);
    return std::make_unique<SdlWindow>(w, width, height, watchX11(w));
}

}  // namespace platform
