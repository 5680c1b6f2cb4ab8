// Paces frames to at least 1/60 s and counts frames per second.
#pragma once

#include <cstdint>

class FrameTimer {
public:
    static FrameTimer* get();
    static void destroy();

    void init();
    void tick(float lockFps);  // waits until 1/lockFps s passed since the last frame

    float elapsedTime() const { return elapsed; }
    float worldTime() const { return world; }
    int frameRate() const { return fps; }

    float markTime = 0;  // the play scene's start time; the timer never touches it

private:
    bool usesPerformanceCounter = false;
    float secondsPerTick = 0;
    float elapsed = 0;
    std::int64_t currentTicks = 0;
    std::int64_t lastTicks = 0;
    std::int64_t ticksPerSecond = 0;
    int fps = 0;
    int framesThisSecond = 0;
    float fpsTimeElapsed = 0;
    float world = 0;
};
