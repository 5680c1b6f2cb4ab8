#include "platform/Window.h"

#include <SDL.h>

#include <utility>
#include <vector>

#include "platform/Input.h"
#include "platform/Viewport.h"
#include "platform/WindowEvents.h"
#include "platform/WindowFill.h"
#include "platform/WindowPicture.h"
#include "platform/X11WindowWatch.h"

namespace platform {
namespace {

// The game's window. Frames are drawn into SDL's own surface of the window,
// which SDL shows from memory shared with the X server where it can: no
// renderer, so the window SDL made is the window for good, at every size.
class SdlWindow : public Window {
public:
    SdlWindow(SDL_Window* w, int width, int height)
        : window_(w), width_(width), height_(height), watch_(X11WindowWatch::watch(w)), events_(watch_.get()),
          picture_(width, height) {}

    ~SdlWindow() override {
        if (watch_ && watch_->lost()) {
            // Destroyed from outside: SDL may still take the window for shown
            // and would wait for ever for it to be unmapped. The server has
            // freed it already and the process is ending, so leave SDL be.
            watch_->sync();
            return;
        }
        SDL_DestroyWindow(window_);
        if (watch_) watch_->sync();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool pumpEvents(InputState& input) override {
        const WindowEvents::Seen seen =
            events_.drain(input, [this](int& x, int& y) { return toClient(x, y); });
        if (seen.closed) open_ = false;
        if (seen.showWhole) showWhole_ = true;
        if (seen.toggleFullscreen && open_) {
            const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
            SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            showWhole_ = true;
        }
        return open_;
    }

    void present(const Surface& frame, std::span<const Box> changed) override {
        if (!open_ || frame.width() != width_ || frame.height() != height_) return;
        // Made again by SDL after a resize; its pixels are then new.
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target || target->w <= 0 || target->h <= 0) return;  // minimised
        if (picture_.fit(target->w, target->h) || target != target_ || target->pixels != targetPixels_) {
            showWhole_ = true;
        }
        target_ = target;
        targetPixels_ = target->pixels;
        if (target->format->format != SDL_PIXELFORMAT_RGB888) {
            presentConverted(frame, target);
            return;
        }
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
        auto* pixels = static_cast<std::uint8_t*>(target->pixels);
        rects_.clear();
        if (showWhole_) {
            picture_.fillBars(pixels, target->pitch);
            picture_.draw(frame, Box{0, 0, width_, height_}, pixels, target->pitch);
            rects_.push_back(SDL_Rect{0, 0, target->w, target->h});
        } else {
            for (const Box& box : changed) {
                const Viewport r = picture_.draw(frame, box, pixels, target->pitch);
                if (r.w > 0 && r.h > 0) rects_.push_back(SDL_Rect{r.x, r.y, r.w, r.h});
            }
        }
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        if (!rects_.empty()) SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
        showWhole_ = false;
    }

    void paintBackground(std::uint32_t rgb) override {
        if (!open_) return;
        fillWindowSurface(window_, rgb);
        showWhole_ = true;
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
    // Maps a window point to client pixels; false over the bars or outside
    // the window.
    bool toClient(int& x, int& y) const {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        return toPicture(fitPicture(w, h, width_, height_), width_, height_, x, y, x, y);
    }

    // A window surface in another pixel format (a display of another depth):
    // SDL converts and scales the whole frame.
    void presentConverted(const Surface& frame, SDL_Surface* target) {
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(frame.pixels()), width_,
                                                               height_, 32, width_ * 4, SDL_PIXELFORMAT_RGB888);
        if (!view) return;
        const Viewport& s = picture_.shown();
        SDL_Rect where{s.x, s.y, s.w, s.h};
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
        SDL_BlitScaled(view, nullptr, target, &where);
        SDL_FreeSurface(view);
        SDL_UpdateWindowSurface(window_);
        showWhole_ = false;
    }

    SDL_Window* window_;
    int width_, height_;
    std::unique_ptr<X11WindowWatch> watch_;
    WindowEvents events_;
    WindowPicture picture_;
    SDL_Surface* target_ = nullptr;
    void* targetPixels_ = nullptr;
    std::vector<SDL_Rect> rects_;
    bool showWhole_ = true;
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
    // SDL would otherwise back the window's surface with an OpenGL renderer,
    // which makes the X window again behind our back.
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
    return std::make_unique<SdlWindow>(w, width, height);
}

}  // namespace platform
