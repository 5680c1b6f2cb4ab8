// A runner board on its own: the services it uses made directly, on the fake
// clock with simulated audio, in a fresh working folder holding either the
// generated art, no art at all, or small pictures of known colours.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"
#include "shell/KeyState.h"
#include "shell/SceneManager.h"
#include "shell/gameNode.h"
#include "support/Harness.h"
#include "runner/KnownArt.h"

namespace runner_test {

enum class Art { Generated, None, Known };

// A scene that only counts its entries.
class CountingScene : public gameNode {
public:
    explicit CountingScene(int* inits) : inits_(inits) {}
    HRESULT init() override {
        ++*inits_;
        return S_OK;
    }
    void release() override {}  // the base one would stop every service

private:
    int* inits_;
};

class RunnerBoardTest : public ::testing::Test {
protected:
    virtual Art art() const { return Art::Known; }

    void SetUp() override {
        dir_ = std::make_unique<testing_support::TempWorkDir>(art() == Art::Generated);
        if (art() == Art::Known) writeKnownArt();
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

    // The tick is stepped (15.625 ms); move the clock on to the next step
    // whose tick modulo 10 is `rest`.
    void tickWith(int rest) {
        for (std::uint64_t n = time.clock.milliseconds() * 8 / 125 + 1;; ++n) {
            const std::uint64_t tick = n * 125 / 8;
            if (static_cast<int>(tick % 10) == rest) {
                time.clock.setMs((n * 125 + 7) / 8);
                return;
            }
        }
    }
    // A tick on which nothing tick-gated happens (not 0 or 5 modulo 10).
    void quietTick() { tickWith(1); }
    // A tick on which every animation advances.
    void gatedTick() { tickWith(0); }

    Obstacle* addObstacle(int kind) {
        auto* o = new Obstacle();
        o->setup(kind, board.get());
        board->obstacles.push_back(o);
        return o;
    }

    // One frame of the strip as the play scene drives it (without drawing).
    void frame(bool started = true, bool timeUp = false) {
        board->update();
        board->updateRunner(started, timeUp);
        platform::input().endFrame();
    }

    // Key events as the window's event pump delivers them between frames.
    void keyDown(int vk) {
        platform::input().beginDrain();
        platform::input().keyDown(vk);
    }
    void keyUp(int vk) {
        platform::input().beginDrain();
        platform::input().keyUp(vk);
    }

    platform::SimulatedAudio* audio() const { return audio_->audio(); }
    const platform::Surface& screen() const { return *backDC(); }
    std::uint32_t pixel(int x, int y) const { return screen().pixel(x, y) & 0xFFFFFF; }

    testing_support::ScopedFakeClock time;
    std::unique_ptr<AnimationBoard> board;

private:
    std::unique_ptr<testing_support::TempWorkDir> dir_;
    std::unique_ptr<testing_support::ScopedSimulatedAudio> audio_;
};

class RunnerBoardWithoutArt : public RunnerBoardTest {
protected:
    Art art() const override { return Art::None; }
};

class RunnerBoardWithGeneratedArt : public RunnerBoardTest {
protected:
    Art art() const override { return Art::Generated; }
};

}  // namespace runner_test
