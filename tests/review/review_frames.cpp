// Screenshots of every scene and stage of one game, for people to look at:
//
//   review_frames [FOLDER]      (default: "review" beside the run folder)
//
// A moment is a name, what the player does on the way to it (once, and on
// every frame until it is reached) and when it is reached. A moment that is
// never reached is an error, so the list cannot quietly rot.
//
// Beside the plain game it stops for an artist's eye: each obstacle kind with
// its talk box, highlighted tiles of every kind with and without the option
// panel over them, and the ranking with a full list of the widest names (the
// most text its runner must stay clear of) through every stage of the reveal.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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
#include "ranking/ScoreFiles.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

using namespace testing_support;

namespace {

struct Moment {
    std::string name;
    std::function<void()> before;   // once, on the way
    std::function<void()> each;     // on every frame until reached
    std::function<bool()> reached;
};

template <class T>
T* scene(const char* name) { return dynamic_cast<T*>(SceneManager::get()->findScene(name)); }
bool current(const char* name) { return SceneManager::get()->currentScene == SceneManager::get()->findScene(name); }

// Ten entries, each a name of ten of the widest glyphs and a five-digit score.
RankRecords fullList() {
    RankRecords list{};
    for (int i = 0; i < kRankCount; ++i) {
        for (int j = 0; j < kNameLength; ++j) list[i].letters[j] = (i + j) % 2 ? 22 : 12;  // W, M
        list[i].score = 99000 - i * 1111;
    }
    return list;
}

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
    // Highlighted tiles of every kind: the top three rows, where the panel opens.
    const auto markTop = [&](bool on) {
        for (Block* b : play->blockBoard->blocks) b->markedH = on && b->row <= 2;
    };
    const auto clearObstacles = [&] {
        for (Obstacle* o : runner->obstacles) delete o;
        runner->obstacles.clear();
    };
    std::vector<Moment> moments = {
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
    };
    for (int kind = 1; kind <= 6; ++kind)
        moments.push_back({"play-3-obstacle-kind-" + std::to_string(kind), [&, kind] {
            clearObstacles();
            auto* o = new Obstacle();
            o->setup(kind, runner);
            runner->obstacles.push_back(o);
        }, {}, [&] { return runner->obstacles.size() == 1 && runner->obstacles[0]->x < 470; }});
    const std::vector<Moment> rest = {
        // Stills: the board is marked and drawn without moving on, so nothing clears.
        {"play-4-marked-tiles", [&] { clearObstacles(), markTop(true), h.game().render(); }, {}, [] { return true; }},
        {"play-5-panel-over-marked-tiles", [&] { markTop(false), h.tap(VK_ESCAPE), markTop(true), h.game().render(); }, {},
         [&] { return h.game().running == 0; }},
        {"play-6-obstacles-and-combo", [&] { markTop(false), h.tap(VK_ESCAPE), h.tap('0'), h.tap('0'); }, swapOnce,
         [&] { return play->blockBoard->combo >= 5 && runner->obstacles.size() > 1 && runner->obstacles[0]->x < 560; }},
        {"play-7-time-up", [&] { h.tap('1'); }, {}, [&] { return play->timeUp; }},
        {"play-8-runner-exit", {}, {}, [&] { return runner->runnerX > 330 || runner->runnerX < 30; }},
        // The ranking reads the list when it starts: a full one, and a score
        // (written by play on every frame after time-up) that makes it in at the top.
        {"rank-1-pad-cursor", [&] { writeRankerList(fullList()), play->blockBoard->score = 98500; },
         [&] { if (current(names::kRankScene) && rank->phase == Rank::entering) h.tap(VK_GAMEPAD_DPAD_RIGHT); },
         [&] { return current(names::kRankScene) && rank->cursorShown && rank->cursor >= 2; }},
        {"rank-2-name-entry", {}, [&] { clickIn(rank->letterCells[rank->letterCount * 7 % 50]); },
         [&] { return rank->letterCount >= 5; }},
        {"rank-3-reveal", [&] { clickIn(rank->okButton); }, {}, [&] { return rank->curtain < 600; }},
    };
    moments.insert(moments.end(), rest.begin(), rest.end());
    for (int x : {30, 90, 150, 210, 270})
        moments.push_back({"rank-4-reveal-" + std::string(x < 100 ? "0" : "") + std::to_string(x), {}, {}, [&, x] { return rank->slideX >= x; }});
    moments.push_back({"rank-5-list", {}, {}, [&] { return rank->curtain == 0 && rank->slideX == 300; }});
    h.frame();
    for (const Moment& m : moments) {
        if (m.before) m.before();
        const bool reached = h.runUntil([&] {
            if (m.reached()) return true;
            if (m.each) m.each();
            return false;
        }, 60 * 90);
        const std::string file = (dir / (m.name + ".png")).string();
        if (!reached || !h.saveScreen(file)) {
            std::fprintf(stderr, "review_frames: %s %s\n", m.name.c_str(), reached ? "could not be saved" : "never came");
            return 1;
        }
        std::printf("%s\n", file.c_str());
    }
    return 0;
}
