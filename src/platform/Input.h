// Instantaneous key and mouse state as the game polls it: per virtual-key code
// a down bit and a toggle bit, and the mouse position in client pixels. The
// window's event pump writes it; tests script it directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Last mouse position in client pixels, written only by input handling.
extern int mouseX;
extern int mouseY;

// Virtual-key codes of the keyboard and the game controller, beyond the mouse
// button and Escape. Letters and digits of the main row are their ASCII codes;
// the number pad has codes of its own.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;  // to 0x69 for 9
constexpr int VK_GAMEPAD_A = 0xC3;
constexpr int VK_GAMEPAD_B = 0xC4;
constexpr int VK_GAMEPAD_X = 0xC5;
constexpr int VK_GAMEPAD_Y = 0xC6;
constexpr int VK_GAMEPAD_DPAD_UP = 0xCB;
constexpr int VK_GAMEPAD_DPAD_DOWN = 0xCC;
constexpr int VK_GAMEPAD_DPAD_LEFT = 0xCD;
constexpr int VK_GAMEPAD_DPAD_RIGHT = 0xCE;
constexpr int VK_GAMEPAD_MENU = 0xCF;  // Start
constexpr int VK_GAMEPAD_VIEW = 0xD0;  // Back
constexpr int VK_GAMEPAD_LEFT_THUMBSTICK_UP = 0xD3;
constexpr int VK_GAMEPAD_LEFT_THUMBSTICK_DOWN = 0xD4;
constexpr int VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT = 0xD5;
constexpr int VK_GAMEPAD_LEFT_THUMBSTICK_LEFT = 0xD6;

namespace platform {

class InputState {
public:
    bool isDown(int vk) const;
    bool isToggled(int vk) const;

    // Event side. A key-down flips the toggle unless it is a repeat.
    void keyDown(int vk, bool repeat = false);
    void keyUp(int vk);
    void mouseMove(int x, int y);  // client pixels; the window drops motion outside

    // Text typed since the last frame, UTF-8, as the keyboard layout gives it.
    void typeText(std::string_view utf8);
    std::string typedText() const;

    // Key presses (not repeats) and typed text since the last frame, in the
    // order they came, for whoever must take several keys of one frame in
    // turn; taking empties it.
    struct Typed {
        int key = 0;       // virtual-key code; 0 for text
        std::string text;  // UTF-8, with key 0
    };
    std::vector<Typed> takeTyped();
    // While a name is being typed, letter and digit keys are text: they do
    // not flip the debug toggles.
    void setTextEntry(bool on) { textEntry_ = on; }

    // The window lost the keyboard focus; taken once.
    void focusLost() { focusLost_ = true; }
    bool takeFocusLost();

    // A press whose release arrives within the same drain stays down through
    // the next frame, so taps and quick clicks are never lost.
    void beginDrain();
    void endFrame();  // applies the releases held over the frame, drops the text

    void reset();  // everything up, toggles off, no text

private:
    std::array<std::uint8_t, 256> down_{};
    std::array<std::uint8_t, 256> toggled_{};
    std::array<std::uint8_t, 256> pressedInDrain_{};
    std::array<std::uint8_t, 256> heldRelease_{};
    std::vector<Typed> typed_;
    std::size_t typedBytes_ = 0;
    bool textEntry_ = false;
    bool focusLost_ = false;
};

InputState& input();

}  // namespace platform
