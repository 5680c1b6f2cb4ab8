// One frame of the runner strip with six obstacles on it: the board's update,
// the runner's step and the drawing into the back buffer. Budget: 1 ms of CPU.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/KeyState.h"
#include "framework/SceneManager.h"
#include "platform/Surface.h"
#include "runner/AnimationBoard.h"
#include "runner/KnownArt.h"
#include "runner/Obstacle.h"
#include "support/Harness.h"

namespace {

void BM_StripFrameSixObstacles(benchmark::State& state) {
    // The generated art when it was built, else pictures of the same sizes.
    const bool generated =
        std::filesystem::exists(std::filesystem::path(testing_support::gameDir()) / "img/marlo.bmp");
    testing_support::TempWorkDir dir(generated);
    if (!generated) runner_test::writeKnownArt();
    testing_support::ScopedFakeClock time;
    testing_support::ScopedSimulatedAudio audio(time.clock);
    time.clock.setMs(1'000'000);
    KeyState::get()->clear();
    backBuffer();
    soundRegistry::get()->init();

    AnimationBoard board;
    board.init();
    board.runnerX = 150;
    const bool art = board.runnerPicture != nullptr;
    for (int kind = 1; kind <= 6; ++kind) {
        auto* o = new Obstacle();
        o->setup(kind, &board);
        board.obstacles.push_back(o);
    }
    // Spread over the strip, the newest on the right.
    auto spread = [&board] {
        for (std::size_t i = 0; i < board.obstacles.size(); ++i) {
            board.obstacles[i]->x = 60.0f + 100.0f * static_cast<float>(i);
        }
    };
    spread();

    int frames = 0;
    for (auto _ : state) {
        time.clock.advanceMs(1000.0 / 60.0);
        board.update();
        board.updateRunner(true, false);
        board.render();
        if (++frames % 40 == 0) spread();  // keep six on the strip
    }
    state.counters["art"] = art ? 1 : 0;
    state.counters["generated"] = generated ? 1 : 0;
    state.counters["obstacles"] = static_cast<double>(board.obstacles.size());

    board.release();
    soundRegistry::destroy();
    pictureRegistry::destroy();
    KeyState::destroy();
    SceneManager::destroy();
}

}  // namespace

BENCHMARK(BM_StripFrameSixObstacles)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
