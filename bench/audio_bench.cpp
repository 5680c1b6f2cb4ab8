// What sound costs the frame thread and memory, with the real mixer (SDL's
// dummy output unless SDL_AUDIODRIVER names another):
//   - start-up to the first frame shown, with and without audio, beside a bare
//     SDL window of the same size;
//   - the frame that enters the ranking (it registers and starts "ranking"),
//     and the sound part of it alone;
//   - the resident peak after a whole game (intro, play, ranking), played in a
//     child process of its own, with and without audio.
// Every time is also given as a multiple of a memcpy of one 600 x 1024 x 4
// frame, measured in the same run. Run it under `xvfb-run -a` to time real
// windows; with SDL_VIDEODRIVER=dummy the windows cost next to nothing.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/mainGame.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameLoop.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "framework/WindowSurface.h"
#include "match3/ThreeMatchGame.h"
#include "runner/AnimationBoard.h"
#include "platform/Audio.h"
#include "platform/Input.h"
#include "platform/Window.h"

using testing_support::Harness;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kFrameBytes = std::size_t{names::kClientWidth} * names::kClientHeight * 4;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Either the real mixer or no sound system at all, for the next registry init.
void useAudio(bool real) {
    if (real)
        platform::installAudioFactory({});
    else
        platform::installAudioFactory([](int) { return std::unique_ptr<platform::AudioSystem>(); });
}

bool isCurrent(const char* name) {
    return SceneManager::get()->currentScene == SceneManager::get()->findScene(name);
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<unsigned char> from(kFrameBytes, 1), to(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFrameBytes));
}

// A bare SDL window of the game's size: opened, painted white and shown.
void BM_StartupBareWindow(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            state.SkipWithError("no video");
            return;
        }
        SDL_Window* w = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                         names::kClientWidth, names::kClientHeight, SDL_WINDOW_SHOWN);
        SDL_Surface* s = w ? SDL_GetWindowSurface(w) : nullptr;
        if (s) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 255, 255));
        if (w) SDL_UpdateWindowSurface(w);
        state.SetIterationTime(secondsSince(start));
        if (w) SDL_DestroyWindow(w);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

// The game's own start: window, services, sounds, the intro's pictures, the
// first frame shown. Arg 1: the real mixer; 0: no sound system.
void BM_StartupGame(benchmark::State& state) {
    testing_support::TempWorkDir dir;
    std::ofstream("option", std::ios::binary) << std::string("\x01\x01", 2);
    useAudio(state.range(0) != 0);
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string error;
        auto window = platform::Window::open(names::kWindowTitle, names::kClientWidth,
                                             names::kClientHeight, &error);
        if (!window) {
            state.SkipWithError(error.c_str());
            break;
        }
        backBuffer();
        auto game = std::make_unique<mainGame>();
        game->init();
        window->pumpEvents(platform::input());
        runFrame(*game);
        window->present(*windowSurface());
        state.SetIterationTime(secondsSince(start));
        game->release();
        game.reset();
        destroyWindowSurface();
        window.reset();
    }
    platform::installAudioFactory({});
}

// A fresh game played to the ranking: the intro skipped, play until the
// countdown ends and playFrames more, play ended by the debug key and the
// runner's exit. Answers the wall time of the frame that entered the ranking,
// or a negative number when the game got stuck.
double playToRanking(Harness& h, int playFrames = 0) {
    h.start();
    h.click(40, 20);  // skip
    auto* game = dynamic_cast<ThreeMatchGame*>(SceneManager::get()->findScene(names::kGameScene));
    if (!game) return -1;
    for (int i = 0; i < 600 && !game->started; ++i) h.frame();
    h.frames(playFrames);
    // The debug key also stops "playbgm", which the runner's exit waits for.
    h.tap('1');
    double last = -1;
    for (int i = 0; i < 3000 && !isCurrent("rank"); ++i) {
        const auto start = Clock::now();
        h.frame();
        last = secondsSince(start);
    }
    return isCurrent("rank") ? last : -1;
}

// The frame that enters the ranking with the real mixer: the ranking's
// pictures and its music are registered and the music started.
void BM_RankingEntryFrame(benchmark::State& state) {
    for (auto _ : state) {
        Harness h;
        platform::installAudioFactory({});  // the real mixer instead of the simulated one
        const double seconds = playToRanking(h);
        if (seconds < 0) {
            state.SkipWithError("the game never reached the ranking");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

// The sound part of that frame alone: "ranking" registered and started on a
// registry that already has the game's other sounds.
void BM_RankingEntrySoundOnly(benchmark::State& state) {
    testing_support::TempWorkDir dir;
    platform::installAudioFactory({});
    for (auto _ : state) {
        state.PauseTiming();
        soundRegistry* sounds = soundRegistry::get();
        sounds->init();
        for (const char* key : {"playbgm", "intro2", "intro1"})
            sounds->addSound(key, ("soundfile/" + std::string(key) + ".mp3").c_str(), false, false);
        state.ResumeTiming();
        sounds->addSound(names::kRankingMusic, "soundfile/ranking.mp3", true, true);
        sounds->play(names::kRankingMusic, 1.0f);
        state.PauseTiming();
        soundRegistry::destroy();
        state.ResumeTiming();
    }
}

long residentPeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// A whole game in a child process (so nothing else of this program counts):
// the intro skipped, play until the countdown ends plus ten seconds of frames,
// play ended by the debug key, the runner's exit, and the ranking. Answers the
// child's resident peak in kB, or -1.
long wholeGamePeakKb(bool realAudio) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        long kb = -1;
        {
            Harness h;
            useAudio(realAudio);
            if (playToRanking(h, 600) >= 0) {
                h.frames(120);
                kb = residentPeakKb();
            }
        }
        if (write(out[1], &kb, sizeof kb) != static_cast<ssize_t>(sizeof kb)) _exit(1);
        _exit(0);
    }
    close(out[1]);
    long kb = -1;
    if (child < 0 || read(out[0], &kb, sizeof kb) != static_cast<ssize_t>(sizeof kb)) kb = -1;
    close(out[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return kb;
}

void BM_WholeGameResidentPeak(benchmark::State& state) {
    long kb = -1;
    for (auto _ : state) kb = wholeGamePeakKb(state.range(0) != 0);
    if (kb < 0) state.SkipWithError("the game did not reach the ranking");
    state.counters["peak_MB"] = static_cast<double>(kb) / 1024.0;
}

// The whole game first: its child process forks from a program that has loaded nothing yet.
BENCHMARK(BM_WholeGameResidentPeak)->ArgName("audio")->Arg(1)->Arg(0)->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartupBareWindow)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupGame)->ArgName("audio")->Arg(1)->Arg(0)->UseManualTime()->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RankingEntryFrame)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RankingEntrySoundOnly)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
