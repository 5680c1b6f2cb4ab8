// Where the game's files are. Pictures, sounds and fonts are read from the data
// folder: the program's own folder when it is a run folder (the binary beside
// "img/" and "soundfile/"), else the installed data folder found from the
// program's own path, so any install prefix works. The player's "option",
// "new.score" and "ranker.list" stay in the working folder for a run folder
// and live in the player's own data folder for an installed game.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The folder holding the running program, from /proc/self/exe; "" when the
// system does not say.
std::string executableDir();

struct GameFolders {
    std::string data;    // holds "img/", "soundfile/" and maybe "fonts/"; "" = the working folder
    std::string player;  // the player's own folder; "" = stay in the working folder
    bool installed = false;
    bool found = false;  // false: neither place holds the game's data (data is the run folder then)
    std::vector<std::string> tried;  // the data folders looked at, in order
};

// Decides the folders for a program in exeDir. installedData is the data folder
// as seen from the program's folder (for example "../share/swapsprint");
// xdgDataHome and home are the environment's values, null when unset.
GameFolders locateGameFolders(const std::string& exeDir, const std::string& installedData,
                              const char* xdgDataHome, const char* home);

// The player's own folder: $XDG_DATA_HOME/swapsprint when that is an absolute
// path (a relative one is ignored, as the desktop does), else
// $HOME/.local/share/swapsprint; "" when there is no home either.
std::string playerDataDir(const char* xdgDataHome, const char* home);

// Creates the folder and any missing parents (mode 0700, as the desktop's
// base folders are). False with the reason in *error when it cannot.
bool makeFolders(const std::string& path, std::string* error);

// Makes the folder (as makeFolders) and the working folder. False with the
// reason in *error when it cannot.
bool enterFolder(const std::string& path, std::string* error);

// True when anything is at the path: a file, a folder, even a dangling link.
bool entryExists(const std::string& path);

// The data folder the loaders resolve relative asset paths against.
void setDataRoot(const std::string& root);
const std::string& dataRoot();

// An asset path as the loaders open it: a relative path lies in the data
// folder; an absolute one, or any path while the root is "", is unchanged.
std::string dataPath(const std::string& path);

// Where a font file is looked for, in order: "fonts/" in the data folder (for
// a font the system does not provide), then the system's font folder.
std::vector<std::string> fontCandidates(const std::string& file, const std::string& systemFolder);

// One line for each folder the game cannot read: the picture and sound folders
// of the data root, and the font folders when neither "fonts/" in the data
// folder nor the system's font folder is readable. Empty when all is well.
std::vector<std::string> dataFolderProblems(const std::string& root);

}  // namespace platform
