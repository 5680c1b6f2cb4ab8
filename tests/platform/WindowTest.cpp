// The desktop window on SDL's dummy display: what its event pump makes of
// mouse, keys, text, focus and a game controller (SDL's virtual joystick), and
// what it shows at 1x, at a whole multiple and in between.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "platform/Input.h"
#include "platform/Surface.h"
#include "platform/Viewport.h"
#include "platform/Win32Types.h"
#include "platform/Window.h"

namespace {

constexpr int W = 600, H = 1024;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::input().reset();
        std::string error;
        window = platform::Window::open("window test", W, H, &error);
        ASSERT_NE(window, nullptr) << error;
        // The only window there is.
        for (Uint32 id = 1; id < 1000 && !sdl; ++id) sdl = SDL_GetWindowFromID(id);
        ASSERT_NE(sdl, nullptr);
        pump();
    }
    void TearDown() override {
        window.reset();
        platform::input().reset();
    }

    void pump() {
        platform::input().endFrame();
        window->pumpEvents(platform::input());
    }
    void resize(int w, int h) {
        SDL_SetWindowSize(sdl, w, h);
        pump();
    }
    void push(SDL_Event e) {
        e.common.timestamp = SDL_GetTicks();
        SDL_PushEvent(&e);
    }
    void press(int x, int y) {
        SDL_Event e{};
        e.button = SDL_MouseButtonEvent{SDL_MOUSEBUTTONDOWN, 0, SDL_GetWindowID(sdl), 0, SDL_BUTTON_LEFT,
                                        SDL_PRESSED, 1, 0, x, y};
        push(e);
        e.button.type = SDL_MOUSEBUTTONUP;
        push(e);
        pump();
    }
    void key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        push(e);
    }
    bool fullscreen() const { return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0; }

    std::unique_ptr<platform::Window> window;
    SDL_Window* sdl = nullptr;
};

TEST_F(WindowTest, ClicksReachClientPixelsAtEverySizeAndNotFromTheBars) {
    const struct {
        int w, h;
        int barX, barY;  // a point on a bar, or -1
    } sizes[] = {{600, 1024, -1, -1}, {1200, 2048, -1, -1}, {1920, 1080, 100, 500},
                 {426, 728, -1, -1},  {900, 3000, 450, 20}};
    for (const auto& s : sizes) {
        resize(s.w, s.h);
        const platform::Viewport shown = platform::fitPicture(s.w, s.h, W, H);
        // The middle of tile (2, 5) and the option button's corner, in window points.
        for (auto [gx, gy] : {std::pair{26 + 69 * 2 + 32, 414 + 69 * 5 + 32}, {545, 5}}) {
            const int x = shown.x + (gx * shown.w + shown.w / 2) / W;
            const int y = shown.y + (gy * shown.h + shown.h / 2) / H;
            press(x, y);
            // Scaled down, a window pixel covers more than one client pixel.
            const int slack = shown.w < W ? 1 : 0;
            EXPECT_NEAR(mouseX, gx, slack) << s.w << "x" << s.h;
            EXPECT_NEAR(mouseY, gy, slack) << s.w << "x" << s.h;
            EXPECT_TRUE(platform::input().isDown(VK_LBUTTON)) << s.w << "x" << s.h;
            pump();
        }
        if (s.barX >= 0) {
            const int lastX = mouseX;
            press(s.barX, s.barY);
            EXPECT_EQ(mouseX, lastX) << "a press on a bar keeps the last client position";
            EXPECT_FALSE(platform::input().isDown(VK_LBUTTON)) << "and presses nothing";
        }
    }
}

TEST_F(WindowTest, ShowsThePictureSharpAtWholeMultiplesSmoothBetweenAndBlackBars) {
    // One-pixel stripes: red by columns, blue by rows.
    platform::Surface back(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) back.setPixel(x, y, (x % 2 ? 0xFF0000u : 0u) | (y % 2 ? 0xFFu : 0u));
    auto shownPixel = [&](int x, int y) {
        SDL_Surface* s = SDL_GetWindowSurface(sdl);
        Uint8 r = 0, g = 0, b = 0;
        const auto* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
        SDL_GetRGB(*reinterpret_cast<const Uint32*>(row + x * 4), s->format, &r, &g, &b);
        return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
    };
    // The background before any frame covers the whole window.
    window->paintBackground(0x123456);
    int openW = 0, openH = 0;
    SDL_GetWindowSize(sdl, &openW, &openH);
    for (auto [x, y] : {std::pair{0, 0}, {openW - 1, openH - 1}, {openW / 2, openH / 3}}) {
        EXPECT_EQ(shownPixel(x, y), 0x123456u) << x << "," << y;
    }
    // 1x, 2x, 3x, 2x with bars above and below, 1.5x, bars at the sides, and
    // back to the plain copy.
    const struct {
        int w, h;
    } sizes[] = {{600, 1024}, {1200, 2048}, {1800, 3072}, {1200, 2100}, {900, 1536}, {1920, 1080}, {600, 1024}};
    const platform::Box whole{0, 0, W, H};
    for (const auto& size : sizes) {
        resize(size.w, size.h);
        window->present(back, {&whole, 1});
        const platform::Viewport shown = platform::fitPicture(size.w, size.h, W, H);
        int greys = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const std::uint32_t got = shownPixel(shown.x + x, shown.y + y);
                if (platform::wholeMultiple(shown, W, H)) {
                    const int times = shown.w / W;
                    ASSERT_EQ(got, back.pixel(x / times, y / times))
                        << size.w << "x" << size.h << " at " << x << "," << y;
                }
                const std::uint32_t red = got >> 16;
                greys += red > 20 && red < 235;
            }
        }
        if (!platform::wholeMultiple(shown, W, H)) {
            EXPECT_GT(greys, 400) << size.w << "x" << size.h << " is filtered";
        }
        for (auto [x, y] : {std::pair{shown.x - 1, shown.y + 5}, {shown.x + 5, shown.y - 1},
                            {shown.x + shown.w, shown.y + 5}, {shown.x + 5, shown.y + shown.h}}) {
            if (x >= 0 && y >= 0 && x < size.w && y < size.h) {
                EXPECT_EQ(shownPixel(x, y), 0u) << size.w << "x" << size.h << " bar at " << x << "," << y;
            }
        }
    }
}

TEST_F(WindowTest, KeysTextFocusAndTheFullscreenKeys) {
    auto& in = platform::input();
    key(SDLK_KP_1, true);
    key(SDLK_UP, true);
    key(SDLK_KP_ENTER, true);
    SDL_Event text{}, focus{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "a!", sizeof text.text.text);
    push(text);
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    push(focus);
    pump();
    EXPECT_TRUE(in.isDown(VK_NUMPAD0 + 1) && !in.isDown('1')) << "the number pad's 1 is not the digit key";
    EXPECT_TRUE(in.isDown(VK_UP) && in.isDown(VK_RETURN));
    EXPECT_EQ(in.typedText(), "a!");
    EXPECT_TRUE(in.takeFocusLost());
    key(SDLK_KP_ENTER, false);

    ASSERT_FALSE(fullscreen());
    key(SDLK_F11, true);
    key(SDLK_F11, false);
    pump();
    EXPECT_TRUE(fullscreen());
    key(SDLK_RETURN, true, KMOD_LALT);
    pump();
    EXPECT_FALSE(fullscreen());
    EXPECT_FALSE(in.isDown(VK_RETURN)) << "Alt+Return is the window's, not the game's";
}

TEST_F(WindowTest, AGameControllerPressesItsOwnKeys) {
    // SDL passes a controller's events only to a window with the keyboard
    // focus, and the dummy display never gives it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // The window looks for controllers only some frames in; the test needs
    // the subsystem now, to plug in its virtual pad.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    pump();  // the window takes it as a game controller

    auto& in = platform::input();
    for (auto [button, vk] : {std::pair{SDL_CONTROLLER_BUTTON_A, VK_GAMEPAD_A}, {SDL_CONTROLLER_BUTTON_START, VK_GAMEPAD_MENU},
                              {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_GAMEPAD_DPAD_LEFT}}) {
        SDL_JoystickSetVirtualButton(pad, button, SDL_PRESSED);
        pump();
        EXPECT_TRUE(in.isDown(vk)) << button;
        SDL_JoystickSetVirtualButton(pad, button, SDL_RELEASED);
        pump();
        pump();
        EXPECT_FALSE(in.isDown(vk)) << button;
    }
    // The stick: pushed past the press level, held until back under the release level.
    for (auto [value, left, right] : {std::tuple{-20000, true, false}, {-12000, true, false}, {-4000, false, false},
                                      {30000, false, true}, {9000, false, true}, {0, false, false}}) {
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value));
        pump();
        pump();
        EXPECT_EQ(in.isDown(VK_GAMEPAD_LEFT_THUMBSTICK_LEFT), left) << value;
        EXPECT_EQ(in.isDown(VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT), right) << value;
    }

    // Unplugged while a button is held: nothing stays down.
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    pump();
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    pump();
    pump();
    EXPECT_FALSE(in.isDown(VK_GAMEPAD_A));
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
