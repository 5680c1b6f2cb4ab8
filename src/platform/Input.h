// Instantaneous key and mouse state as the game polls it: per virtual-key code
// a down bit and a toggle bit, and the mouse position in client pixels. The
// window's event pump writes it; tests script it directly.
#pragma once

#include <array>
#include <cstdint>

// Last mouse position in client pixels, written only by input handling.
extern int mouseX;
extern int mouseY;

namespace platform {

class InputState {
public:
    bool isDown(int vk) const;
    bool isToggled(int vk) const;

    // Event side. A key-down flips the toggle unless it is a repeat.
    void keyDown(int vk, bool repeat = false);
    void keyUp(int vk);
    void mouseMove(int x, int y);  // client pixels; the window drops motion outside

    // A press whose release arrives within the same drain stays down through
    // the next frame, so taps and quick clicks are never lost.
    void beginDrain();
    void endFrame();  // applies the releases held over the frame

    void reset();  // everything up, toggles off

private:
    std::array<std::uint8_t, 256> down_{};
    std::array<std::uint8_t, 256> toggled_{};
    std::array<std::uint8_t, 256> pressedInDrain_{};
    std::array<std::uint8_t, 256> heldRelease_{};
};

InputState& input();

}  // namespace platform
