// What sound costs the frame thread and memory, with the real mixer (SDL's
// dummy output unless SDL_AUDIODRIVER names another):
//   - start-up to the first frame shown, with and without audio, beside a bare
//     SDL window of the same size;
//   - the frame that enters the ranking (it registers and starts "ranking"),
//     and the sound part of it alone;
//   - the resident peak after a whole game (intro, play, ranking), played in a
//     child process of its own, with and without audio.
// Every time is also given as a multiple of a memcpy of one 600 x 1024 x 4
// frame, measured in the same run. Each start and the whole game run in a
// child process of their own. Run it under
//   xvfb-run -a -s "-screen 0 1280x1100x24 -noreset"
// to time real windows (-noreset: Xvfb would otherwise restart whenever its
// last window closed, failing a start that comes in at that moment); with
// SDL_VIDEODRIVER=dummy the windows cost next to nothing.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/mainGame.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "platform/Canvas.h"
#include "framework/FrameLoop.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
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

double cpuSeconds(clockid_t which) {
    timespec t{};
    clock_gettime(which, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs fn in a child process of its own, so each run starts on a fresh heap
// as a real start does and nothing else of this program counts; answers what
// fn filled in, or false when it failed.
template <class Result>
bool inChild(Result* result, const std::function<bool(Result&)>& fn) {
    int out[2];
    if (pipe(out) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        Result r{};
        const bool ok = fn(r);
        const bool sent = ok && write(out[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        _exit(sent ? 0 : 1);
    }
    close(out[1]);
    const bool got = child > 0 && read(out[0], result, sizeof *result) == static_cast<ssize_t>(sizeof *result);
    close(out[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return got;
}

// Wall time to the first frame shown, the main thread's CPU time and the
// whole process's (the sound worker included).
struct Startup {
    double wall, thread, process;
};

void reportStartup(benchmark::State& state, const std::function<bool(Startup&)>& start) {
    double thread = 0, process = 0;
    for (auto _ : state) {
        Startup s{};
        if (!inChild(&s, start)) {
            state.SkipWithError("the start failed (a display is needed: run under xvfb-run -a)");
            return;
        }
        state.SetIterationTime(s.wall);
        thread += s.thread;
        process += s.process;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["thread_cpu_ms"] = thread / n * 1e3;
    state.counters["process_cpu_ms"] = process / n * 1e3;
}

template <class F>
bool timeStart(Startup& s, F&& firstFrame) {
    const auto start = Clock::now();
    const double thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID), process = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    if (!firstFrame()) return false;
    s = {secondsSince(start), cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread,
         cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process};
    return true;
}

// A bare SDL window of the game's size: opened, painted white and shown, the
// way the game shows its frames (a plain copy, no accelerated stand-in).
void BM_StartupBareWindow(benchmark::State& state) {
    reportStartup(state, [](Startup& s) {
        return timeStart(s, [] {
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
            SDL_Window* w = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                             names::kClientWidth, names::kClientHeight, SDL_WINDOW_SHOWN);
            SDL_Surface* surface = w ? SDL_GetWindowSurface(w) : nullptr;
            if (!surface) return false;
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
            return SDL_UpdateWindowSurface(w) == 0;
        });
    });
}

// The game's own start: window, services, sounds, the intro's pictures, the
// first frame shown. Arg 1: the real mixer; 0: no sound system.
void BM_StartupGame(benchmark::State& state) {
    testing_support::TempWorkDir dir;
    std::ofstream("option", std::ios::binary) << std::string("\x01\x01", 2);
    useAudio(state.range(0) != 0);
    reportStartup(state, [](Startup& s) {
        std::unique_ptr<platform::Window> window;
        std::unique_ptr<mainGame> game;
        return timeStart(s, [&] {
            std::string error;
            window = platform::Window::open(names::kWindowTitle, names::kClientWidth, names::kClientHeight,
                                            &error);
            if (!window) return false;
            backBuffer();
            game = std::make_unique<mainGame>();
            game->init();
            window->pumpEvents(platform::input());
            runFrame(*game);
            if (HDC frame = backDC()) window->present(frame->pixels(), frame->changed());
            return true;
        });
        // The child ends here; its sound worker goes with it.
    });
    platform::installAudioFactory({});
}

// A fresh game played to the ranking: the intro skipped, play until the
// countdown ends and playFrames more, play ended by the debug key and the
// runner's exit. Answers the wall time of the frame that entered the ranking
// (and its CPU time in cpuOfLast), or a negative number when the game got stuck.
double playToRanking(Harness& h, int playFrames = 0, double* cpuOfLast = nullptr) {
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
        const double cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        h.frame();
        last = secondsSince(start);
        if (cpuOfLast) *cpuOfLast = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu;
    }
    return isCurrent("rank") ? last : -1;
}

// The frame that enters the ranking with the real mixer: the ranking's
// pictures and its music are registered and the music started.
void BM_RankingEntryFrame(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        Harness h;
        platform::installAudioFactory({});  // the real mixer instead of the simulated one
        double frameCpu = 0;
        const double seconds = playToRanking(h, 0, &frameCpu);
        if (seconds < 0) {
            state.SkipWithError("the game never reached the ranking");
            break;
        }
        state.SetIterationTime(seconds);
        cpu += frameCpu;
    }
    state.counters["thread_cpu_ms"] = cpu / static_cast<double>(state.iterations()) * 1e3;
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

// A whole game in a child process: the intro skipped, play until the
// countdown ends and ten seconds more, play ended by the debug key, the
// runner's exit, and two seconds of the ranking. Answers the child's resident
// peak in kB, or -1.
long wholeGamePeakKb(bool realAudio) {
    long kb = -1;
    inChild<long>(&kb, [realAudio](long& peak) {
        Harness h;
        useAudio(realAudio);
        if (playToRanking(h, 600) < 0) return false;
        h.frames(120);
        peak = residentPeakKb();
        return true;
    });
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
