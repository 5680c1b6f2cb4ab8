// Screenshots of the art in every scene, for an artist's eye:
//
//   review_art [FOLDER]      (default: "review" beside the run folder)
//
// The title as it sweeps in and at rest, the option panel over the countdown
// and over a grid full of highlighted tiles, each obstacle with its talk box
// over the grid that sent it, the name entry, and the ranking's reveal with a
// full list of ten-letter names (the most text the list can show).
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

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

template <class T>
T* scene(const char* name) { return dynamic_cast<T*>(SceneManager::get()->findScene(name)); }
bool current(const char* name) { return SceneManager::get()->currentScene == SceneManager::get()->findScene(name); }

bool runUntil(Harness& h, const std::function<bool()>& done, int maxFrames = 60 * 90) {
    for (int i = 0; i < maxFrames; ++i) {
        if (done()) return true;
        h.frame();
    }
    return done();
}

// A full list: ten entries, each with a name of ten of the widest glyphs.
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
    const std::filesystem::path dir = std::filesystem::absolute(
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(gameDir()).parent_path() / "review");
    std::filesystem::create_directories(dir);
    Harness h;
    h.start();
    auto* intro = scene<IntroSceen>(names::kIntroScene);
    auto* play = scene<ThreeMatchGame>(names::kGameScene);
    auto* rank = scene<Rank>(names::kRankScene);
    bool ok = true;
    auto shot = [&](const std::string& name, bool reached) {
        const std::string file = (dir / ("art-" + name + ".png")).string();
        if (!reached || !h.saveScreen(file)) {
            std::fprintf(stderr, "review_art: %s %s\n", name.c_str(), reached ? "could not be saved" : "never came");
            ok = false;
            return;
        }
        std::printf("%s\n", file.c_str());
    };
    // Draws the game as it stands without moving it on, then saves it.
    auto still = [&](const std::string& name) {
        h.game().render();
        shot(name, true);
    };

    h.frame();
    shot("title-sweep", runUntil(h, [&] { return intro->driftDone && intro->main[9]->getX() > -420.0f; }));
    shot("title", runUntil(h, [&] { return intro->buttonShown && (intro->buttonAlpha & 0xFF) >= 200; }));

    h.click(40, 20);  // skip
    h.tap(VK_ESCAPE);
    shot("panel-countdown", runUntil(h, [&] { return current(names::kGameScene) && h.game().running == 0; }));
    h.tap(VK_ESCAPE);
    AnimationBoard* runner = play->runnerBoard;
    if (!runUntil(h, [&] { return runner->runnerX == 150; })) shot("play", false);

    // Highlighted tiles of every kind: the top three rows, under the panel.
    auto markTop = [&](bool on) {
        for (Block* b : play->blockBoard->blocks) b->markedH = on && b->row <= 2;
    };
    markTop(true);
    still("marked-tiles");
    h.tap(VK_ESCAPE);
    markTop(true);
    still("panel-marked");
    markTop(false);
    still("panel-plain");
    h.tap(VK_ESCAPE);

    for (int kind = 1; kind <= 6; ++kind) {
        auto* o = new Obstacle();
        o->setup(kind, runner);
        runner->obstacles.push_back(o);
        const bool reached = runUntil(h, [&] { return o->x < 470.0f; });
        shot("obstacle-" + std::to_string(kind), reached);
        for (Obstacle* gone : runner->obstacles) delete gone;
        runner->obstacles.clear();
    }

    // The ranking with a full list and a score that makes it in.
    writeRankerList(fullList());
    writeNewScore(98500);
    SceneManager::get()->changeScene(names::kRankScene);
    h.frame();
    h.type("SPRINT");
    shot("rank-entry", rank->phase == Rank::entering);
    h.type("ERS!");
    h.tap(VK_RETURN);
    while (rank->phase == Rank::showing && rank->slideX < 300) {
        if (rank->slideX % 60 == 30) still("rank-reveal-" + std::to_string(rank->slideX));
        h.frame();
    }
    still("rank-list");
    return ok ? 0 : 1;
}
