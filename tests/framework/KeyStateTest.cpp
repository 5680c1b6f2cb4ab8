// The key state's edge tests over the platform's key bits: one press per
// press, latches shared by every caller, toggles per press.
#include <gtest/gtest.h>

#include "framework/KeyState.h"
#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace {

class KeyStateTest : public ::testing::Test {
protected:
    void SetUp() override { platform::input().reset(); }
    void TearDown() override {
        platform::input().reset();
        KeyState::destroy();
    }
    KeyState& keys() { return *KeyState::get(); }
    void down(int vk) { platform::input().beginDrain(); platform::input().keyDown(vk); }
    void up(int vk) { platform::input().beginDrain(); platform::input().keyUp(vk); }
};

TEST_F(KeyStateTest, PressedOnceWhileHeldForEveryCallerAndAgainAfterARelease) {
    down(VK_LBUTTON);
    EXPECT_TRUE(keys().wasPressed(VK_LBUTTON));
    EXPECT_FALSE(keys().wasPressed(VK_LBUTTON));  // a second caller in the same frame
    EXPECT_FALSE(keys().wasReleased(VK_LBUTTON));  // latches the down state
    up(VK_LBUTTON);
    EXPECT_TRUE(keys().wasReleased(VK_LBUTTON));
    EXPECT_FALSE(keys().wasReleased(VK_LBUTTON));
    EXPECT_FALSE(keys().wasPressed(VK_LBUTTON));
    down(VK_LBUTTON);
    EXPECT_TRUE(keys().wasPressed(VK_LBUTTON));
}

TEST_F(KeyStateTest, ReleaseNeverSeenDownByItsOwnTestIsFalse) {
    down(VK_ESCAPE);
    up(VK_ESCAPE);  // went down and up before the test was ever asked
    EXPECT_FALSE(keys().wasReleased(VK_ESCAPE));
    down(VK_ESCAPE);
    EXPECT_TRUE(keys().wasPressed(VK_ESCAPE));  // the press latch says nothing to the release test
    up(VK_ESCAPE);
    EXPECT_FALSE(keys().wasReleased(VK_ESCAPE));
}

TEST_F(KeyStateTest, TogglesFlipPerPressNotPerRepeatAndClearForgetsOnlyLatches) {
    EXPECT_FALSE(keys().isToggled('F'));
    platform::input().keyDown('F');
    EXPECT_TRUE(keys().isToggled('F'));
    platform::input().keyDown('F', true);  // auto-repeat
    EXPECT_TRUE(keys().isToggled('F'));
    platform::input().keyUp('F');
    platform::input().endFrame();
    platform::input().keyDown('F');
    EXPECT_FALSE(keys().isToggled('F'));
    EXPECT_TRUE(keys().wasPressed('F'));
    keys().clear();
    EXPECT_TRUE(keys().isDown('F'));
    EXPECT_TRUE(keys().wasPressed('F'));  // a held key is a new press after clear
}

}  // namespace
