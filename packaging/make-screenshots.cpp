// make-screenshots OUTDIR: plays the game headless, as a player would, and saves
// the three screens the software centres show: OUTDIR/intro.png (the title at
// its last stage), OUTDIR/play.png (a combo running, obstacles on the street)
// and OUTDIR/ranking.png (the list with the new name in it). The clock is the
// harness's, so every build makes the same pictures.
#include <cstdio>
#include <cstring>
#include <string>

#include "BoardMoves.h"
#include "Harness.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "platform/FileIO.h"
#include "platform/Win32Types.h"
#include "ranking/Rank.h"
#include "ranking/ScoreFiles.h"

using testing_support::Harness;

namespace {

template <class T>
T* scene() {
    return dynamic_cast<T*>(SceneManager::get()->currentScene);
}

template <class F>
bool runUntil(Harness& h, F done, int maxFrames) {
    for (int i = 0; i < maxFrames && !done(); ++i) h.frame();
    return done();
}

// A list other players have already filled, so the ranking has names to show.
void seedRankerList() {
    const char* names[] = {"MINA", "JOON", "ALEX", "SORA", "KAI", "LUCA", "NOOR"};
    const std::int32_t scores[] = {4200, 3650, 3100, 2480, 1900, 1320, 760};
    RankRecords records;
    setDefaultRecords(records);
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; names[i][j] != '\0'; ++j) records[i].letters[j] = names[i][j] - 'A';
        records[i].score = scores[i];
    }
    writeRankerList(records);
}

void drag(Harness& h, const Block& a, const Block& b) {
    const int ax = a.rect.left + 32, ay = a.rect.top + 32;
    h.mouseTo(ax, ay);
    h.keyDown(VK_LBUTTON);
    h.frame();
    h.mouseTo(ax + (b.col - a.col) * 30, ay + (b.row - a.row) * 30);
    h.frame();
    h.keyUp(VK_LBUTTON);
    h.frame();
}

bool save(const Harness& h, const std::string& dir, const char* name) {
    const std::string path = dir + "/" + name;
    if (h.saveScreen(path)) return true;
    std::fprintf(stderr, "screenshots: cannot write %s\n", path.c_str());
    return false;
}

bool fail(const char* what) {
    std::fprintf(stderr, "screenshots: %s\n", what);
    return false;
}

bool makeScreenshots(const std::string& out) {
    Harness h;
    seedRankerList();
    h.start();
    h.frames(60 * 20);  // the whole title sequence, to its pulsing button
    if (!save(h, out, "intro.png")) return false;

    h.click(40, 20);  // skip
    if (!runUntil(h, [] { return scene<ThreeMatchGame>() != nullptr; }, 10)) return fail("play never began");
    ThreeMatchGame* play = scene<ThreeMatchGame>();
    if (!runUntil(h, [play] { return play->started != 0; }, 60 * 8)) return fail("the countdown never ended");
    // Quick swaps build a combo, and every fifth one sends obstacles.
    for (int swaps = 0, tries = 0; swaps < 10 && tries < 400; ++tries) {
        BlockBoard& board = *play->blockBoard;
        Block *a = nullptr, *b = nullptr;
        if (board.settled && testing_support::findAcceptedSwap(board, a, b)) {
            const int before = board.swapCount;
            drag(h, *a, *b);
            if (board.swapCount == before + 1) ++swaps;
        }
        h.frames(12);
    }
    h.frames(20);
    if (!save(h, out, "play.png")) return false;

    h.tap('1');  // time up now; the runner leaves once the music is over
    if (!runUntil(h, [] { return scene<Rank>() != nullptr; }, 60 * 75)) return fail("the ranking never opened");
    Rank* rank = scene<Rank>();
    h.frame();
    if (rank->phase == Rank::entering) {
        for (int glyph : {15, 0, 17, 10})  // P A R K
            h.click(rank->letterCells[glyph].left + 10, rank->letterCells[glyph].top + 10);
        h.click(rank->okButton.left + 5, rank->okButton.top + 5);
    }
    h.frames(360);  // the list slides in and the curtain lifts
    return save(h, out, "ranking.png");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-screenshots OUTDIR\n");
        return 2;
    }
    return makeScreenshots(argv[1]) ? 0 : 1;
}
