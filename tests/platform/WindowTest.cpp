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

TEST_F(WindowTest, ShowsOnlyTheChangedBoxesAtEveryScaleAndTheWholePictureAfterAResize) {
    // Every pixel its own value, so a pixel taken from the wrong place shows.
    platform::Surface before(W, H), after(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            before.setPixel(x, y, static_cast<std::uint32_t>(x | y << 12));
            after.setPixel(x, y, static_cast<std::uint32_t>(x | y << 12) ^ 0x800000u);
        }
    // A corner pixel, a block, a single column, the far corner, and one
    // reaching past the frame's edge.
    const platform::Box boxes[] = {{0, 0, 1, 1}, {37, 100, 90, 131}, {300, 500, 301, 700}, {599, 1023, 600, 1024},
                                   {590, 0, 700, 20}};
    auto inBox = [&](int x, int y) {
        for (const platform::Box& b : boxes)
            if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1) return true;
        return false;
    };
    // How many window pixels differ from what the window should show: each
    // the picture pixel under its centre, from after inside the boxes when
    // boxed, black on the bars.
    auto wrongPixels = [&](bool boxed, std::string& first) {
        SDL_Surface* s = SDL_GetWindowSurface(sdl);
        EXPECT_EQ(s->format->format, SDL_PIXELFORMAT_RGB888);
        const platform::Viewport shown = platform::fitPicture(s->w, s->h, W, H);
        int wrong = 0;
        for (int y = 0; y < s->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < s->w; ++x) {
                int px = 0, py = 0;
                std::uint32_t want = 0;
                if (platform::toPicture(shown, W, H, x, y, px, py)) want = (boxed && inBox(px, py) ? after : before).pixel(px, py);
                if ((row[x] & 0xFFFFFFu) != want && wrong++ == 0) first = std::to_string(x) + "," + std::to_string(y);
            }
        }
        return wrong;
    };
    // The background before any frame covers the whole window.
    window->paintBackground(0x123456);
    SDL_Surface* opened = SDL_GetWindowSurface(sdl);
    for (auto [x, y] : {std::pair{0, 0}, {opened->w - 1, opened->h - 1}, {opened->w / 2, opened->h / 3}}) {
        const auto* row = static_cast<const Uint8*>(opened->pixels) + y * opened->pitch;
        EXPECT_EQ(*reinterpret_cast<const std::uint32_t*>(row + x * 4) & 0xFFFFFFu, 0x123456u) << x << "," << y;
    }
    // 1x, 2x, 3x, 2x with bars above and below, 1.5x, bars at the sides,
    // scaled down, and back to 1x.
    const struct {
        int w, h;
    } sizes[] = {{600, 1024}, {1200, 2048}, {1800, 3072}, {1200, 2100}, {900, 1536}, {1920, 1080}, {426, 728}, {600, 1024}};
    for (const auto& size : sizes) {
        const std::string at = std::to_string(size.w) + "x" + std::to_string(size.h);
        resize(size.w, size.h);
        std::string first;
        // No box given, yet a resized window shows the whole picture.
        window->present(before, {});
        EXPECT_EQ(wrongPixels(false, first), 0) << at << " after the resize, first at " << first;
        window->present(after, boxes);
        EXPECT_EQ(wrongPixels(true, first), 0) << at << " with boxes, first at " << first;
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
