// One frame of the match-3 board during a cascade: the board's update and
// render with 64 blocks falling in, lines clearing on every update, special
// overlays and the combo debug text on.
#include <benchmark/benchmark.h>

#include "FakeClock.h"
#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/KeyState.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Input.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

namespace {

using namespace testing_support;

void restart(BlockBoard& board, AnimationBoard& runner) {
    board.release();
    for (Obstacle* o : runner.obstacles) delete o;
    runner.obstacles.clear();
    board.init(&runner);
    for (std::size_t i = 0; i < board.blocks.size(); i += 7) board.blocks[i]->special = 1;
}

void BM_BoardFrameDuringCascade(benchmark::State& state) {
    TempWorkDir dir;
    ScopedFakeClock time;
    ScopedSimulatedAudio audio(time.clock);
    platform::input().reset();
    platform::input().keyDown('C');
    KeyState::get()->clear();
    backBuffer();
    soundRegistry::get()->init();
    pngPictureRegistry::get();
    // A tick that is a multiple of 10, 50 and 100: every settled update
    // clears, and the overlay counters step on every update.
    time.clock.setMs(1'000'000);

    AnimationBoard runner;
    {
        BlockBoard board;
        restart(board, runner);
        int frames = 0;
        for (auto _ : state) {
            if (++frames == 150) {
                state.PauseTiming();
                restart(board, runner);
                frames = 0;
                state.ResumeTiming();
            }
            board.update();
            board.render();
            benchmark::DoNotOptimize(backDC()->pixels());
        }
        board.release();
    }
    for (Obstacle* o : runner.obstacles) delete o;
    runner.obstacles.clear();

    KeyState::destroy();
    pictureRegistry::destroy();
    soundRegistry::destroy();
    pngPictureRegistry::destroy();
    platform::input().reset();
}
BENCHMARK(BM_BoardFrameDuringCascade)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
