// What the desktop's keys and a game controller's buttons become in the input
// state: virtual-key codes, or -1 for what the game does not use.
#pragma once

namespace platform {

int virtualKeyOfKey(int sdlKeycode);
int virtualKeyOfPadButton(int sdlControllerButton);
int virtualKeyOfMouseButton(int sdlMouseButton);

// The left stick counts as four more direction keys: pushed past the press
// level it goes down, and comes up only once back under the release level,
// so a stick resting near the edge does not chatter.
constexpr int kStickPress = 16000;
constexpr int kStickRelease = 8000;

}  // namespace platform
