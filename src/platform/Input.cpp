#include "platform/Input.h"

#include <utility>

int mouseX = 0;
int mouseY = 0;

namespace platform {

bool InputState::isDown(int vk) const { return down_[vk & 0xFF] != 0; }

bool InputState::isToggled(int vk) const { return toggled_[vk & 0xFF] != 0; }

namespace {
bool isTextKey(int vk) { return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'); }
// A frame's worth of typing; anything beyond is a stuck key or a paste.
constexpr std::size_t kMostTyped = 256;
}  // namespace

void InputState::keyDown(int vk, bool repeat) {
    vk &= 0xFF;
    if (!repeat && !down_[vk] && !(textEntry_ && isTextKey(vk))) toggled_[vk] ^= 1;
    if (!repeat && typed_.size() < kMostTyped) typed_.push_back(Typed{vk, {}});
    down_[vk] = 1;
    pressedInDrain_[vk] = 1;
    heldRelease_[vk] = 0;
}

void InputState::keyUp(int vk) {
    vk &= 0xFF;
    if (pressedInDrain_[vk]) {
        heldRelease_[vk] = 1;  // the frame must still see this press
    } else {
        down_[vk] = 0;
    }
}

void InputState::mouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
}

void InputState::typeText(std::string_view utf8) {
    if (utf8.empty() || typedBytes_ + utf8.size() > kMostTyped || typed_.size() >= kMostTyped) return;
    typed_.push_back(Typed{0, std::string(utf8)});
    typedBytes_ += utf8.size();
}

std::string InputState::typedText() const {
    std::string text;
    for (const Typed& t : typed_) text += t.text;
    return text;
}

std::vector<InputState::Typed> InputState::takeTyped() {
    std::vector<Typed> taken = std::move(typed_);
    typed_.clear();
    typedBytes_ = 0;
    return taken;
}

bool InputState::takeFocusLost() {
    const bool lost = focusLost_;
    focusLost_ = false;
    return lost;
}

void InputState::beginDrain() { pressedInDrain_.fill(0); }

void InputState::endFrame() {
    for (int vk = 0; vk < 256; ++vk) {
        if (heldRelease_[vk]) {
            down_[vk] = 0;
            heldRelease_[vk] = 0;
        }
    }
    pressedInDrain_.fill(0);
    typed_.clear();
    typedBytes_ = 0;
}

void InputState::reset() {
    down_.fill(0);
    toggled_.fill(0);
    pressedInDrain_.fill(0);
    heldRelease_.fill(0);
    typed_.clear();
    typedBytes_ = 0;
    textEntry_ = false;
    focusLost_ = false;
    mouseX = 0;
    mouseY = 0;
}

InputState& input() {
    static InputState state;
    return state;
}

}  // namespace platform
