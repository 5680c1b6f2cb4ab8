// The page's frame loop: the browser's animation callback. Steps are due
// every 1/60 s of real time from the first callback on, whatever the display's
// rate; each callback runs the steps that are due (none on a fast display,
// two on a 30 Hz one), up to a few, and shows the last. After a longer stall
// (a hidden tab, a slow load) the lost time is not replayed: the schedule
// starts again from now.
//
// The page brings the game's files in while it plays (pre.js). Before a step
// the page is asked whether the files the game could open next are in; while
// they are not, no step runs (so the game's clock stands still). A press
// that could change the scene to one whose files are not in yet is left
// waiting in the queue, with the rest of the input, while the scene goes on.
#include <SDL.h>
#include <emscripten.h>

#include <utility>

#include "platform/Input.h"
#include "platform/RunLoop.h"
#include "platform/SystemClock.h"
#include "platform/Window.h"

namespace platform {
namespace {

constexpr double kStepMs = 1000.0 / 60.0;
constexpr int kMostStepsPerCall = 4;

struct Loop {
    Window* window = nullptr;
    std::function<void()> step;
    std::function<void()> show;
    double due = -1;       // when the next step is due (the page's clock, ms)
    long long steps = 0;   // every step so far, for the page to read
    bool shown = false;
};

// A click, key or touch still in the queue.
bool pressWaiting() {
    constexpr std::pair<Uint32, Uint32> kPresses[] = {
        {SDL_KEYDOWN, SDL_TEXTINPUT},
        {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONDOWN},
        {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONDOWN},
        {SDL_FINGERDOWN, SDL_FINGERDOWN},
    };
    for (const auto& [first, last] : kPresses)
        if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, first, last) > 0) return true;
    return false;
}

enum class MayStep { no, yes, withoutInput };

MayStep filesIn(bool press) {
    switch (EM_ASM_INT({ return Module.mayStep ? Module.mayStep($0) : 1; }, press ? 1 : 0)) {
        case 0: return MayStep::no;
        case 2: return MayStep::withoutInput;
        default: return MayStep::yes;
    }
}

void onAnimationFrame(void* arg) {
    Loop& loop = *static_cast<Loop*>(arg);
    const double now = emscripten_get_now();
    if (loop.due < 0) loop.due = now;
    if (now < loop.due) return;
    const MayStep may = filesIn(pressWaiting());
    if (may == MayStep::no) {
        loop.due = now;  // the wait is not made up for afterwards
        return;
    }
    if (may == MayStep::yes && !loop.window->pumpEvents(input())) {
        emscripten_cancel_main_loop();
        return;
    }
    int ran = 0;
    while (now >= loop.due && ran < kMostStepsPerCall) {
        beginWebStep(now);
        loop.step();
        loop.due += kStepMs;
        ++ran;
    }
    if (now - loop.due > kStepMs) loop.due = now + kStepMs;
    loop.steps += ran;
    loop.show();
    if (!loop.shown) {
        loop.shown = true;
        EM_ASM({ if (Module.onFirstFrame) Module.onFirstFrame(); });
    }
    EM_ASM({ Module.stepsTaken = $0; }, static_cast<double>(loop.steps));
}

}  // namespace

void runFrames(Window& window, const std::function<void()>& step, const std::function<void()>& show) {
    static Loop loop;
    loop.window = &window;
    loop.step = step;
    loop.show = show;
    // 0 frames a second: the browser's animation callback. The call does not
    // return: main's objects live on for the page's life.
    emscripten_set_main_loop_arg(onAnimationFrame, &loop, 0, 1);
}

bool spareThreads() { return false; }

}  // namespace platform
