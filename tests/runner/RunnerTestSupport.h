// A runner board on its own: the services it uses made directly, on the fake
// clock with simulated audio, in a fresh working folder holding no art at all
// or small pictures of known colours.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "framework/gameNode.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "runner/AnimationBoard.h"
#include "runner/KnownArt.h"
#include "runner/Obstacle.h"
#include "support/Harness.h"

namespace runner_test {

// A scene that only counts its entries.
class CountingScene : public gameNode {
public:
    explicit CountingScene(int* inits) : inits_(inits) {}
    HRESULT init() override { return ++*inits_, S_OK; }
    void release() override {}  // the base one would stop every service

private:
    int* inits_;
};

class RunnerBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::make_unique<testing_support::TempWorkDir>(false);
        if (withArt_) writeKnownArt();
        audio_ = std::make_unique<testing_support::ScopedSimulatedAudio>(time.clock);
        platform::input().reset();
        time.clock.setMs(1'000'000);  // a machine that has been up a while
        quietTick();
        KeyState::get()->clear();
        backBuffer();
        soundRegistry::get()->init();
        SceneManager::get();
        board = std::make_unique<AnimationBoard>();
        board->init();
    }

    void TearDown() override {
        if (board) board->release();
        board.reset();
        SceneManager::destroy();
        soundRegistry::destroy();
        pictureRegistry::destroy();
        KeyState::destroy();
        platform::input().reset();
        audio_.reset();
        dir_.reset();
    }

    // The tick steps by 15.625 ms; moves the clock on to the next step whose
    // tick modulo 10 is `rest`. Animations advance only on rest 0.
    void tickWith(int rest) {
        for (std::uint64_t n = time.clock.milliseconds() * 8 / 125 + 1;; ++n) {
            if (static_cast<int>(n * 125 / 8 % 10) == rest) return time.clock.setMs((n * 125 + 7) / 8);
        }
    }
    void quietTick() { tickWith(1); }
    void gatedTick() { tickWith(0); }

    Obstacle* addObstacle(int kind, float x = Obstacle::kStartX) {
        auto* o = new Obstacle();
        o->setup(kind, board.get());
        o->x = x;
        board->obstacles.push_back(o);
        return o;
    }

    // One frame of the strip as the play scene drives it (without drawing).
    void frame(bool started = true, bool timeUp = false) {
        board->update();
        board->updateRunner(started, timeUp);
        platform::input().endFrame();
    }

    void draw() {
        platform::fillWhite(*backDC(), 0, 0, names::kClientWidth, names::kClientHeight);
        board->render();
    }
    int plays(const char* file) const { return audio_->audio()->playCount(file); }
    static std::uint32_t pixel(int x, int y) { return backDC()->pixel(x, y) & 0xFFFFFF; }

    bool withArt_ = true;  // set by a derived fixture's constructor
    testing_support::ScopedFakeClock time;
    std::unique_ptr<AnimationBoard> board;

private:
    std::unique_ptr<testing_support::TempWorkDir> dir_;
    std::unique_ptr<testing_support::ScopedSimulatedAudio> audio_;
};

struct RunnerBoardWithoutArt : RunnerBoardTest {
    RunnerBoardWithoutArt() { withArt_ = false; }
};

}  // namespace runner_test
