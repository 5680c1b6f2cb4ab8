#include <gtest/gtest.h>

#include "framework/KeyState.h"
#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace {

class KeyStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::input().reset();
        KeyState::destroy();
    }
    void TearDown() override {
        platform::input().reset();
        KeyState::destroy();
    }
    KeyState& keys() { return *KeyState::get(); }
    void down(int vk) { platform::input().beginDrain(); platform::input().keyDown(vk); }
    void up(int vk) { platform::input().beginDrain(); platform::input().keyUp(vk); }
};

TEST_F(KeyStateTest, PressedOnceWhileHeldAndAgainAfterARelease) {
    down('A');
    EXPECT_TRUE(keys().wasPressed('A'));
    EXPECT_FALSE(keys().wasPressed('A'));
    EXPECT_FALSE(keys().wasPressed('A'));
    up('A');
    EXPECT_FALSE(keys().wasPressed('A'));
    down('A');
    EXPECT_TRUE(keys().wasPressed('A'));
}

TEST_F(KeyStateTest, LatchesAreSharedBetweenCallers) {
    // Two parts polling the same key in one frame: only the first sees it.
    down(VK_LBUTTON);
    EXPECT_TRUE(KeyState::get()->wasPressed(VK_LBUTTON));
    EXPECT_FALSE(KeyState::get()->wasPressed(VK_LBUTTON));
    keys().wasReleased(VK_LBUTTON);  // latches the down state
    up(VK_LBUTTON);
    EXPECT_TRUE(KeyState::get()->wasReleased(VK_LBUTTON));
    EXPECT_FALSE(KeyState::get()->wasReleased(VK_LBUTTON));
}

TEST_F(KeyStateTest, PressAndReleaseBetweenPollsIsUnseen) {
    keys().wasPressed('B');
    keys().wasReleased('B');
    down('B');
    up('B');
    EXPECT_FALSE(keys().wasPressed('B'));
    EXPECT_FALSE(keys().wasReleased('B'));
}

TEST_F(KeyStateTest, ReleaseNeverSeenDownIsFalse) {
    down(VK_ESCAPE);
    up(VK_ESCAPE);  // went down and up before the test was ever asked
    EXPECT_FALSE(keys().wasReleased(VK_ESCAPE));
    // A latch is brought up to date only by its own test.
    down(VK_ESCAPE);
    EXPECT_TRUE(keys().wasPressed(VK_ESCAPE));
    up(VK_ESCAPE);
    EXPECT_FALSE(keys().wasReleased(VK_ESCAPE));
}

TEST_F(KeyStateTest, TogglesFlipPerPressNotPerRepeat) {
    EXPECT_FALSE(keys().isToggled('F'));
    platform::input().keyDown('F');
    EXPECT_TRUE(keys().isToggled('F'));
    platform::input().keyDown('F', true);  // auto-repeat
    EXPECT_TRUE(keys().isToggled('F'));
    platform::input().keyUp('F');
    platform::input().endFrame();
    platform::input().keyDown('F');
    EXPECT_FALSE(keys().isToggled('F'));
    EXPECT_TRUE(keys().isDown('F'));
}

TEST_F(KeyStateTest, ClearForgetsLatchesButNotKeys) {
    down('C');
    EXPECT_TRUE(keys().wasPressed('C'));
    keys().clear();
    EXPECT_TRUE(keys().isDown('C'));
    EXPECT_TRUE(keys().wasPressed('C'));  // a held key is a new press after clear
}

}  // namespace
