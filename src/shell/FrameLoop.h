// One frame of the loop: pace, update, render. Shared by the entry point and
// the headless harness so both drive the game the same way.
#pragma once

class mainGame;

constexpr float kFrameLock = 60.0f;

void runFrame(mainGame& game);
