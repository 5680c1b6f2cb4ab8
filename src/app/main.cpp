// Entry point: answers --help and --version, finds the game's data and the
// player's folder, opens the window, starts the game and runs the frame loop
// until the window is closed.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/mainGame.h"
#include "engine/PictureLoader.h"
#include "engine/pictureRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameLoop.h"
#include "framework/GameNames.h"
#include "framework/gameNode.h"
#include "platform/Canvas.h"
#include "platform/FileIO.h"
#include "platform/Image.h"
#include "platform/Paths.h"
#include "platform/RunLoop.h"
#include "platform/Window.h"

namespace {

platform::GameFolders findFolders() {
    return platform::locateGameFolders(platform::executableDir(), SWAPSPRINT_DATA_FROM_BINARY,
                                       std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

void printHelp(const platform::GameFolders& folders) {
    const std::string data = folders.data.empty() ? "the working folder" : folders.data;
    const std::string player = folders.player.empty() ? "the working folder" : folders.player;
    std::printf(
        "Usage: swapsprint [--help | --version]\n"
        "A match-3 puzzle game: line up tiles to send obstacles at a runner, against the clock.\n"
        "\n"
        "  --help     show this help and exit\n"
        "  --version  show the version and exit\n"
        "\n"
        "Pictures and sounds: %s\n"
        "Scores and sound switches (ranker.list, new.score, option): %s\n",
        data.c_str(), player.c_str());
}

// Says on stderr, once, what the game cannot read; it runs on regardless and
// draws what it can.
void reportDataProblems(const platform::GameFolders& folders) {
    if (!folders.found && !folders.tried.empty()) {
        std::string places;
        for (const std::string& dir : folders.tried) places += (places.empty() ? "" : " nor in ") + dir;
        std::fprintf(stderr, "swapsprint: the game's pictures and sounds are neither in %s\n",
                     places.c_str());
    }
    for (const std::string& line : platform::dataFolderProblems(folders.data))
        std::fprintf(stderr, "swapsprint: %s\n", line.c_str());
}

// An installed game keeps the player's files in the player's own folder; the
// first run there starts with music and effects on.
void enterPlayerFolder(const platform::GameFolders& folders) {
    if (!folders.installed) return;
    std::string error = "no home folder ($HOME is not set)";
    if (folders.player.empty() || !platform::enterFolder(folders.player, &error)) {
        std::fprintf(stderr, "swapsprint: %s; scores and switches are kept in the working folder\n",
                     error.c_str());
        return;
    }
    if (!platform::entryExists(kOptionFile)) {
        const unsigned char soundOn[2] = {1, 1};
        platform::writeFileAtomic(kOptionFile, soundOn, sizeof soundOn);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else {
            std::fprintf(stderr, "swapsprint: %s '%s'\nTry 'swapsprint --help'.\n",
                         arg.starts_with('-') ? "unknown option" : "unexpected argument", argv[i]);
            return 2;
        }
    }
    const platform::GameFolders folders = findFolders();
    if (help) {
        printHelp(folders);
        return 0;
    }
    if (version) {
        std::printf("swapsprint %s\n", SWAPSPRINT_VERSION);
        return 0;
    }

    platform::setDataRoot(folders.data);
    reportDataProblems(folders);
    enterPlayerFolder(folders);

    std::string error;
    auto window = platform::Window::open(names::kWindowTitle, names::kClientWidth,
                                         names::kClientHeight, &error);
    if (!window) {
        std::fprintf(stderr, "swapsprint: cannot open the game window: %s\n", error.c_str());
        return 1;
    }
    // Painted before the game loads, so the window never shows whatever lay
    // under it while the first frame waits its frame's time.
    window->paintBackground(names::kWindowBackground);
    backBuffer();  // the back buffer exists before the game starts
    // Later scenes' pictures are decoded in spare time while the intro runs,
    // where there is a thread for it.
    PictureLoader::allow(platform::spareThreads());

    mainGame game;
    if (game.init() < 0) return 0;
    // The installed icon, when the data folder has one; without it the window
    // keeps the desktop's default. Set once the game is set up: the first
    // frame waits a frame's time from there anyway, so it costs no start-up.
    if (auto icon = platform::loadPng("img/icon.png")) window->setIcon(*icon);
    platform::runFrames(*window, [&game] { runFrame(game); },
                        [&window] {
                            // Only what the frame changed is shown again.
                            if (HDC frame = backDC()) window->present(frame->pixels(), frame->changed());
                        });
    game.release();
    return 0;
}
