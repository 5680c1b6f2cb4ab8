// The game window in a page: SDL's canvas, 600 x 1024 pixels, shown scaled
// whole to fit the page (the browser scales it; the page centres it), with
// the mouse and touch mapped back to game pixels. SDL reads the pointer over
// the canvas's shown size and turns touch into the mouse, so the game sees
// the same events as on the desktop. The page has no window to close.
#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>


#include "platform/EventInput.h"
#include "platform/Input.h"
#include "platform/KeyMap.h"
#include "platform/Viewport.h"
#include "platform/Win32Types.h"
#include "platform/Window.h"
#include "platform/WindowFill.h"

namespace platform {
namespace {

constexpr const char* kCanvas = "#canvas";

class CanvasWindow : public Window {
public:
    CanvasWindow(SDL_Window* w, int width, int height) : window_(w), width_(width), height_(height) {
        fitToPage();
        emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, false, &CanvasWindow::onResize);
    }

    bool pumpEvents(InputState& input) override {
        input.beginDrain();
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e, input);
        return true;
    }

    void present(const Surface& back, std::span<const Box>) override {
        if (back.width() != width_ || back.height() != height_) return;
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

    void paintBackground(std::uint32_t rgb) override { fillWindowSurface(window_, rgb); }

    // The page's icon is its own (index.html).
    void setIcon(const Surface&) override {}

private:
    // The canvas's shown size: the largest of the game's shape that fits the
    // page; its pixels stay the game's own.
    void fitToPage() {
        const double pageW = EM_ASM_DOUBLE({ return window.innerWidth; });
        const double pageH = EM_ASM_DOUBLE({ return window.innerHeight; });
        const Viewport shown = fitPicture(static_cast<int>(pageW), static_cast<int>(pageH), width_, height_);
        if (shown.w > 0 && shown.h > 0) emscripten_set_element_css_size(kCanvas, shown.w, shown.h);
    }

    static EM_BOOL onResize(int, const EmscriptenUiEvent*, void* self) {
        static_cast<CanvasWindow*>(self)->fitToPage();
        return false;
    }

    void handle(const SDL_Event& e, InputState& input) {
        switch (e.type) {
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) input.focusLost();
                break;
            // Touch arrives as SDL's mouse events made from it, already in
            // canvas pixels.
            default:
                events_.handle(e, input, [this](int& x, int& y) {
                    return toPicture(Viewport{0, 0, width_, height_}, width_, height_, x, y, x, y);
                });
                break;
        }
    }

    SDL_Window* window_;
    int width_, height_;
    EventInput events_;
};

}  // namespace

std::unique_ptr<Window> Window::open(const std::string& title, int width, int height,
                                     std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = std::string("no canvas: ") + SDL_GetError();
        return nullptr;
    }
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);  // welcome, never needed
    SDL_Window* w = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                     width, height, SDL_WINDOW_SHOWN);
    if (!w) {
        if (error) *error = std::string("cannot make the canvas: ") + SDL_GetError();
        return nullptr;
    }
    return std::make_unique<CanvasWindow>(w, width, height);
}

}  // namespace platform
