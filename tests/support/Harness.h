// The headless harness: the whole game without a window. A fake clock, scripted
// input and simulated audio are installed; the game runs frame by frame in a
// fresh working folder that links the run folder's pictures, sounds and fonts.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "FakeClock.h"
#include "SimulatedAudio.h"
#include "platform/Surface.h"

class mainGame;

namespace testing_support {

// A fresh temporary folder made the working directory for the guard's life.
// With linkAssets, "img", "soundfile" and "fonts" link to the run folder's.
class TempWorkDir {
public:
    explicit TempWorkDir(bool linkAssets = true);
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// The run folder the build prepared (binary, img/, soundfile/, fonts/).
std::string gameDir();

// Installs simulated audio on the given clock for the guard's life, with the
// real lengths of the game's sounds; audio() is the system the game made last.
class ScopedSimulatedAudio {
public:
    explicit ScopedSimulatedAudio(platform::Clock& clock);
    ~ScopedSimulatedAudio();
    testing_support::SimulatedAudio* audio() const;
};

// The services a board or a scene uses, made directly without the whole game,
// with simulated audio on the given clock; all destroyed again at the end.
class ScopedServices {
public:
    explicit ScopedServices(platform::Clock& clock);
    ~ScopedServices();
    testing_support::SimulatedAudio* audio() const { return audio_.audio(); }

private:
    ScopedSimulatedAudio audio_;
};

class Harness {
public:
    // optionBytes: the "option" file to start with; "" for none.
    explicit Harness(const std::string& optionBytes = std::string("\x01\x01", 2));
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    void start();          // the game's init
    void frame();          // one frame: pace, update, render
    void frames(int count);
    // Frames until done() holds, at most maxFrames; whether it held.
    bool runUntil(const std::function<bool()>& done, int maxFrames);
    void stop();           // the game's release (also done by the destructor)
    int renderEvery = 1;   // long runs may draw only one frame in so many
    long frameCount() const { return frameCount_; }

    // Scripted input; changes take effect for the next frame.
    void mouseTo(int x, int y);
    void keyDown(int vk);
    void keyUp(int vk);
    void tap(int vk);              // down for one frame, then up for one frame
    void click(int x, int y);      // mouse there, left button tapped
    // Pressed at (x, y), moved by (dx, dy) for holdFrames, let go: a drag.
    void drag(int x, int y, int dx, int dy, int holdFrames = 1);
    void type(const std::string& text);  // typed during the next frame, then one frame

    mainGame& game() { return *game_; }
    testing_support::SimulatedAudio* audio() const { return audio_.audio(); }
    const platform::Surface& screen() const;  // what the window shows
    bool saveScreen(const std::string& pngPath) const;
    const std::string& workDir() const { return dir_.path(); }

    ScopedFakeClock time;

private:
    TempWorkDir dir_;
    ScopedSimulatedAudio audio_;
    std::unique_ptr<mainGame> game_;
    bool started_ = false;
    long frameCount_ = 0;
};

}  // namespace testing_support
