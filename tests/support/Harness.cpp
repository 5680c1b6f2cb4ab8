#include "Harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/mainGame.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameLoop.h"
#include "framework/FrameTimer.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "platform/Image.h"
#include "platform/Input.h"

namespace fs = std::filesystem;

namespace testing_support {

std::string gameDir() { return SWAPSPRINT_GAME_DIR; }

TempWorkDir::TempWorkDir(bool linkAssets) {
    previous_ = fs::current_path().string();
    char pattern[] = "/tmp/swapsprint-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made ? made : "/tmp";
    if (linkAssets) {
        for (const char* d : {"img", "soundfile", "fonts"}) {
            std::error_code ec;
            fs::create_directory_symlink(fs::path(gameDir()) / d, fs::path(path_) / d, ec);
        }
    }
    fs::current_path(path_);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

namespace {
testing_support::SimulatedAudio* lastAudio = nullptr;

// Lengths close to the generated sounds, so waits in the game last as long.
const std::map<std::string, double> kSoundSeconds = {
    {"playbgm.mp3", 63.0}, {"intro1.mp3", 10.0}, {"intro2.mp3", 28.0},
    {"ranking.mp3", 25.0}, {"combo1.mp3", 0.6},  {"combo2.mp3", 0.6},
    {"combo3.mp3", 0.6},   {"combo4.mp3", 0.6},  {"combo5.mp3", 0.6},
    {"delete.mp3", 0.3},   {"jump.wav", 0.5}};
}  // namespace

ScopedSimulatedAudio::ScopedSimulatedAudio(platform::Clock& clock) {
    platform::installAudioFactory([&clock](int channels) -> std::unique_ptr<platform::AudioSystem> {
        auto sim = std::make_unique<testing_support::SimulatedAudio>(clock, channels);
        for (const auto& [name, seconds] : kSoundSeconds) sim->setDuration(name, seconds);
        lastAudio = sim.get();
        return sim;
    });
}

ScopedSimulatedAudio::~ScopedSimulatedAudio() {
    platform::installAudioFactory({});
    lastAudio = nullptr;
}

testing_support::SimulatedAudio* ScopedSimulatedAudio::audio() const { return lastAudio; }

ScopedServices::ScopedServices(platform::Clock& clock) : audio_(clock) {
    platform::input().reset();
    KeyState::get()->clear();
    backBuffer();
    soundRegistry::get()->init();
}

ScopedServices::~ScopedServices() {
    SceneManager::destroy();
    soundRegistry::destroy();
    pngPictureRegistry::destroy();
    pictureRegistry::destroy();
    KeyState::destroy();
    platform::input().reset();
}

Harness::Harness(const std::string& optionBytes) : audio_(time.clock) {
    platform::input().reset();
    if (!optionBytes.empty()) {
        std::ofstream("option", std::ios::binary) << optionBytes;
    }
    // Start the tick away from zero, as a machine that has been up a while.
    time.clock.setMs(1'000'000);
}

Harness::~Harness() {
    stop();
    platform::input().reset();
}

void Harness::start() {
    backBuffer();
    game_ = std::make_unique<mainGame>();
    game_->init();
    started_ = true;
}

void Harness::frame() {
    if (++frameCount_ % renderEvery == 0) return runFrame(*game_);
    FrameTimer::get()->tick(kFrameLock);
    game_->update();
    platform::input().endFrame();
}

void Harness::frames(int count) {
    for (int i = 0; i < count; ++i) frame();
}

bool Harness::runUntil(const std::function<bool()>& done, int maxFrames) {
    for (int i = 0; i < maxFrames && !done(); ++i) frame();
    return done();
}

void Harness::stop() {
    if (!started_) return;
    game_->release();
    game_.reset();
    started_ = false;
}

void Harness::mouseTo(int x, int y) { platform::input().mouseMove(x, y); }

void Harness::keyDown(int vk) {
    platform::input().beginDrain();
    platform::input().keyDown(vk);
}

void Harness::keyUp(int vk) {
    platform::input().beginDrain();
    platform::input().keyUp(vk);
}

void Harness::tap(int vk) {
    keyDown(vk);
    frame();
    keyUp(vk);
    frame();
}

void Harness::click(int x, int y) {
    mouseTo(x, y);
    tap(VK_LBUTTON);
}

void Harness::drag(int x, int y, int dx, int dy, int holdFrames) {
    mouseTo(x, y);
    keyDown(VK_LBUTTON);
    frame();
    mouseTo(x + dx, y + dy);
    frames(holdFrames);
    keyUp(VK_LBUTTON);
    frame();
}

void Harness::type(const std::string& text) {
    platform::input().typeText(text);
    frame();
}

const platform::Surface& Harness::screen() const { return backDC()->pixels(); }

bool Harness::saveScreen(const std::string& pngPath) const {
    return platform::savePng(screen(), pngPath);
}

}  // namespace testing_support
