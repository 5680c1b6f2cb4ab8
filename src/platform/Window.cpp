#include "platform/Window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <utility>

#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace platform {
namespace {

int toVirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    if (key == SDLK_KP_0) return '0';
    switch (key) {
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN: return 0x0D;
        case SDLK_SPACE: return 0x20;
        case SDLK_BACKSPACE: return 0x08;
        case SDLK_TAB: return 0x09;
        default: return -1;
    }
}

int toVirtualButton(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return VK_LBUTTON;
        case SDL_BUTTON_RIGHT: return 0x02;
        case SDL_BUTTON_MIDDLE: return 0x04;
        default: return -1;
    }
}

// A window destroyed from outside (a window manager's kill, xdotool) must end
// the game like a close, not through Xlib's default handler, which exits with
// an error on the next request that names the dead window.
bool x11WindowLost = false;
::Window x11GameWindow = 0;
int (*previousXErrorHandler)(Display*, XErrorEvent*) = nullptr;

int onXError(Display* display, XErrorEvent* event) {
    if (event->error_code == BadWindow || event->error_code == BadDrawable) {
        x11WindowLost = true;
        return 0;
    }
    return previousXErrorHandler ? previousXErrorHandler(display, event) : 0;
}

// The X display of the window, or nullptr when SDL runs on something else.
Display* watchX11(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    previousXErrorHandler = XSetErrorHandler(onXError);
    x11GameWindow = info.info.x11.window;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return info.info.x11.display;
}

class SdlWindow : public Window {
public:
    SdlWindow(SDL_Window* w, SDL_Renderer* r, SDL_Texture* t, int width, int height,
              Display* x11)
        : window_(w), renderer_(r), texture_(t), width_(width), height_(height), x11_(x11) {}
    ~SdlWindow() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
        // When the window was destroyed from outside, destroying it again
        // fails on the server. Take that error now, while our handler is in
        // place: SDL puts Xlib's default handler back before it closes the
        // display, and that one would exit with status 1.
        if (x11_) XSync(x11_, False);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Motion outside the client area keeps the last client position.
    void moveMouse(InputState& input, int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        input.mouseMove(x, y);
    }

    bool pumpEvents(InputState& input) override {
        input.beginDrain();
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
                case SDL_QUIT:
                    open_ = false;
                    break;
                case SDL_SYSWMEVENT:
                    if (e.syswm.msg && e.syswm.msg->subsystem == SDL_SYSWM_X11 &&
                        e.syswm.msg->msg.x11.event.type == DestroyNotify &&
                        e.syswm.msg->msg.x11.event.xdestroywindow.window == x11GameWindow) {
                        open_ = false;
                    }
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_CLOSE) open_ = false;
                    break;
                case SDL_KEYDOWN: {
                    int vk = toVirtualKey(e.key.keysym.sym);
                    if (vk >= 0) input.keyDown(vk, e.key.repeat != 0);
                    break;
                }
                case SDL_KEYUP: {
                    int vk = toVirtualKey(e.key.keysym.sym);
                    if (vk >= 0) input.keyUp(vk);
                    break;
                }
                case SDL_MOUSEMOTION:
                    moveMouse(input, e.motion.x, e.motion.y);
                    break;
                case SDL_MOUSEBUTTONDOWN: {
                    moveMouse(input, e.button.x, e.button.y);
                    int vk = toVirtualButton(e.button.button);
                    if (vk >= 0) input.keyDown(vk);
                    break;
                }
                case SDL_MOUSEBUTTONUP: {
                    int vk = toVirtualButton(e.button.button);
                    if (vk >= 0) input.keyUp(vk);
                    break;
                }
                default:
                    break;
            }
        }
        if (x11WindowLost) open_ = false;
        return open_;
    }

    void present(const Surface& back) override {
        if (!open_ || x11WindowLost) return;
        if (back.width() != width_ || back.height() != height_) return;
        if (!renderer_) {
            presentUnscaled(back);
            return;
        }
        SDL_UpdateTexture(texture_, nullptr, back.pixels(), width_ * 4);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
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
    // A window at the game's own size takes the frame as it is: a plain copy
    // into the window's surface costs far less than a trip through a renderer.
    void presentUnscaled(const Surface& back) {
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target) return;
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(back.pixels()), back.width(), back.height(), 32,
            back.width() * 4, SDL_PIXELFORMAT_RGB888);
        if (!view) return;
        SDL_BlitSurface(view, nullptr, target, nullptr);
        SDL_FreeSurface(view);
        SDL_UpdateWindowSurface(window_);
    }

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_;
    int width_, height_;
    Display* x11_;
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
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
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
        // ask its driver again, by name, for SDL's own reason.
        std::string reasons;
        for (auto [driverName, variable] : {std::pair{"x11", "DISPLAY"}, {"wayland", "WAYLAND_DISPLAY"}}) {
            const char* value = SDL_getenv(variable);
            if (!value || !*value) continue;
            if (SDL_VideoInit(driverName) == 0) {
                SDL_VideoQuit();
                continue;
            }
            reasons += (reasons.empty() ? "" : "; ") + std::string(variable) + "=" + value + ": " + SDL_GetError();
        }
        if (error) *error = reasons.empty() ? "no display (set DISPLAY or WAYLAND_DISPLAY)" : "no display: " + reasons;
        return nullptr;
    }

    // Scale the window down to fit a smaller screen; the renderer's logical
    // size keeps drawing and mouse coordinates in client pixels.
    int shownW = width, shownH = height;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.h > 0 && usable.w > 0) {
        const int maxH = usable.h - 40;  // room for the title bar
        if (shownH > maxH || shownW > usable.w) {
            double s = std::min(static_cast<double>(maxH) / height,
                                static_cast<double>(usable.w) / width);
            if (s > 0.1) {
                shownW = static_cast<int>(width * s);
                shownH = static_cast<int>(height * s);
            }
        }
    }
    SDL_Window* w = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     shownW, shownH, SDL_WINDOW_SHOWN);
    if (!w) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail("cannot create window");
    }
    if (shownW == width && shownH == height) {
        return std::make_unique<SdlWindow>(w, nullptr, nullptr, width, height, watchX11(w));
    }
    // Scaled down: the renderer scales, and its logical size maps the mouse
    // back to client pixels.
    SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED);
    if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
    if (!r) {
        SDL_DestroyWindow(w);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail("cannot create renderer");
    }
    SDL_RenderSetLogicalSize(r, width, height);
    SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                       width, height);
    if (!t) {
        SDL_DestroyRenderer(r);
        SDL_DestroyWindow(w);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail("cannot create texture");
    }
    // Only now: making a renderer may replace the X window underneath.
    return std::make_unique<SdlWindow>(w, r, t, width, height, watchX11(w));
}

}  // namespace platform
