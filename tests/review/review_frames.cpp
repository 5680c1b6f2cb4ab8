// Screenshots of every scene and stage of one game, for people to look at:
//
//   review_frames [FOLDER]      (default: "review" beside the run folder)
//
// A moment is a name, what the player does on the way to it (once, and on
// every frame until it is reached) and when it is reached. A moment that is
// never reached is an error, so the list cannot quietly rot.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "BoardMoves.h"
#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/bitmapPicture.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "platform/Input.h"
#include "ranking/Rank.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

using namespace testing_support;

namespace {

struct Moment {
    const char* name;
    std::function<void()> before;   // once, on the way
    std::function<void()> each;     // on every frame until reached
    std::function<bool()> reached;
};

template <class T>
T* scene(const char* name) { return dynamic_cast<T*>(SceneManager::get()->findScene(name)); }
bool current(const char* name) { return SceneManager::get()->currentScene == SceneManager::get()->findScene(name); }

}  // namespace

int main(int argc, char** argv) {
    // Made absolute now: the harness plays in a working folder of its own.
    const std::filesystem::path dir = std::filesystem::absolute(
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(gameDir()).parent_path() / "review");
    std::filesystem::create_directories(dir);
    Harness h;
    h.start();
    auto* intro = scene<IntroSceen>(names::kIntroScene);
    auto* play = scene<ThreeMatchGame>(names::kGameScene);
    auto* rank = scene<Rank>(names::kRankScene);
    AnimationBoard* runner = nullptr;  // made anew each time play begins
    const auto banner = [&] { return play->stringsPicture ? play->stringsPicture->getCurrentFrameY() : -1; };
    // A swap the board would accept, dragged as a player drags it.
    const auto swapOnce = [&] {
        Block *a = nullptr, *b = nullptr;
        if (!findAcceptedSwap(*play->blockBoard, a, b)) return;
        h.drag(a->rect.left + 32, a->rect.top + 32, (b->col - a->col) * 30, (b->row - a->row) * 30);
    };
    const auto clickIn = [&](const RECT& r) { h.click(r.left + 10, r.top + 10); };
    const Moment moments[] = {
        {"intro-1-rise", {}, {}, [&] { return intro->revealHeight > 150 && intro->main[1]->getY() < 300.0f; }},
        {"intro-2-light", {}, {}, [&] { return intro->lightFrame >= 4; }},
        {"intro-3-hold", {}, {}, [&] { return intro->lightDone && !intro->holdOver && intro->alphaA == 255; }},
        {"intro-4-slide", {}, {}, [&] { return intro->holdOver && intro->slideY < 220; }},
        {"intro-5-crossfade", {}, {}, [&] { return intro->slideDone && intro->alphaB > 120; }},
        {"intro-6-drift", {}, {}, [&] { return intro->fadeDone && intro->main[2]->getX() < -250.0f; }},
        {"intro-7-sweep", {}, {}, [&] { return intro->driftDone && intro->main[9]->getX() > -650.0f; }},
        {"intro-8-pulse", {}, {}, [&] { return intro->buttonShown && (intro->buttonAlpha & 0xFF) >= 200; }},
        {"option-panel", [&] { h.tap(VK_ESCAPE); }, {}, [&] { return h.game().running == 0; }},
        {"play-1-countdown", [&] { h.tap(VK_ESCAPE), h.click(40, 20); }, {},
         [&] { return current(names::kGameScene) && banner() == 1 && (runner = play->runnerBoard); }},
        {"play-2-running", {}, {}, [&] { return runner->runnerX == 150; }},
        {"play-3-obstacles-and-combo", [&] { h.tap('0'), h.tap('0'); }, swapOnce,
         [&] { return play->blockBoard->combo >= 5 && runner->obstacles.size() > 1 && runner->obstacles[0]->x < 560; }},
        {"play-4-time-up", [&] { h.tap('1'); }, {}, [&] { return play->timeUp; }},
        {"play-5-runner-exit", {}, {}, [&] { return runner->runnerX > 330 || runner->runnerX < 30; }},
        {"rank-1-pad-cursor", {}, [&] { if (current(names::kRankScene) && rank->phase == Rank::entering) h.tap(VK_GAMEPAD_DPAD_RIGHT); },
         [&] { return current(names::kRankScene) && rank->cursorShown && rank->cursor >= 2; }},
        {"rank-2-name-entry", {}, [&] { clickIn(rank->letterCells[rank->letterCount * 7 % 50]); },
         [&] { return rank->letterCount >= 5; }},
        {"rank-3-reveal", [&] { clickIn(rank->okButton); }, {}, [&] { return rank->curtain < 600; }},
        {"rank-4-list", {}, {}, [&] { return rank->curtain == 0 && rank->slideX == 300; }},
    };
    h.frame();
    for (const Moment& m : moments) {
        if (m.before) m.before();
        const bool reached = h.runUntil([&] {
            if (m.reached()) return true;
            if (m.each) m.each();
            return false;
        }, 60 * 90);
        const std::string file = (dir / (std::string(m.name) + ".png")).string();
        if (!reached || !h.saveScreen(file)) {
            std::fprintf(stderr, "review_frames: %s %s\n", m.name, reached ? "could not be saved" : "never came");
            return 1;
        }
        std::printf("%s\n", file.c_str());
    }
    return 0;
}
