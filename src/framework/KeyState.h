// Edge tests over the instantaneous key bits. The latches belong to the key,
// not to the caller: when two parts poll the same key with the same test in a
// frame, only the first sees the edge.
#pragma once

#include <array>
#include <cstdint>

class KeyState {
public:
    static KeyState* get();
    static void destroy();

    void clear();  // all latches to 0

    bool wasPressed(int key);   // down now, up (or never seen) at this test's last poll
    bool wasReleased(int key);  // up now, down at this test's last poll
    bool isDown(int key) const;
    bool isToggled(int key) const;

private:
    std::array<std::uint8_t, 256> releasedLatch{};
    std::array<std::uint8_t, 256> pressedLatch{};
};
