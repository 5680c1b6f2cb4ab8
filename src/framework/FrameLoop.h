// One frame of the loop: pace, update, render into the back buffer. Shared by the entry point and
// the headless harness so both drive the game the same way.
#pragma once

class gameNode;

constexpr float kFrameLock = 60.0f;

void runFrame(gameNode& game);
