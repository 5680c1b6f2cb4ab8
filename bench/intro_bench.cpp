// Frame cost of the intro at its heaviest and of a frame with the option panel
// open: update and render, the copy to the window included, on the fake clock
// (no pacing wait is measured).
#include <benchmark/benchmark.h>

#include <string>

#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/bitmapPicture.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"

using testing_support::Harness;

namespace {

IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene(names::kIntroScene)); }

// Plays the intro through to the pulsing play button.
IntroSceen* reachPlayButton(Harness& h) {
    h.start();
    IntroSceen* s = intro();
    for (int i = 0; i < 3000 && !s->buttonShown; ++i) h.frame();
    return s;
}

// The sequence never shows every layer at once: once the play button is in,
// bring the drifting cloud layer back whole as well, so the frame draws the
// sky, the light, the clouds, the town blend, the rainbow blend, the title,
// the glow blend, the three foreground layers, the button blend and skip.
void showEveryLayer(IntroSceen* s) {
    s->revealHeight = names::kClientHeight;
    s->revealActive = false;
    if (bitmapPicture* clouds = s->main[2]) {
        clouds->setX(0.0f);
        clouds->setY(0.0f);
    }
}

void BM_IntroHeaviestFrame(benchmark::State& state) {
    Harness h(std::string("\x01\x01", 2));
    IntroSceen* s = reachPlayButton(h);
    if (!s->buttonShown) {
        state.SkipWithError("the intro never reached its play button");
        return;
    }
    for (auto _ : state) {
        showEveryLayer(s);
        h.frame();
    }
}
BENCHMARK(BM_IntroHeaviestFrame)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_OptionPanelOpenFrame(benchmark::State& state) {
    Harness h(std::string("\x01\x01", 2));
    IntroSceen* s = reachPlayButton(h);
    h.tap(0x1B);  // Escape: the panel opens on the release
    if (h.game().running != 0) {
        state.SkipWithError("the option panel did not open");
        return;
    }
    showEveryLayer(s);
    for (auto _ : state) h.frame();
}
BENCHMARK(BM_OptionPanelOpenFrame)->Iterations(600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
