#include "platform/Paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace platform {
namespace {

// Debian's fonts-* packages keep their files here, one folder per family.
constexpr const char* kSystemFontFolder = "/usr/share/fonts/truetype";

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "" when the folder can be listed, else the reason it cannot.
std::string unreadableReason(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return std::strerror(errno);
    ::closedir(dir);
    return {};
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string& rootSetting() {
    static std::string root;
    return root;
}

}  // namespace

std::string executableDir() {
#ifdef __EMSCRIPTEN__
    // A page's program has no file: its data is packed as an installed
    // game's (web.sh), at SWAPSPRINT_DATA_FROM_BINARY from this folder.
    return "/swapsprint/bin";
#else
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.is_absolute()) return {};
    return exe.parent_path().string();
#endif
}

std::string playerDataDir(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && xdgDataHome[0] == '/') return joined(xdgDataHome, "swapsprint");
    if (home && home[0] != '\0') return joined(home, ".local/share/swapsprint");
    return {};
}

GameFolders locateGameFolders(const std::string& exeDir, const std::string& installedData,
                              const char* xdgDataHome, const char* home) {
    GameFolders folders;
    folders.data = exeDir;
    if (exeDir.empty()) return folders;  // nothing to go by: the working folder, as before
    folders.tried.push_back(exeDir);
    if (isDirectory(joined(exeDir, "img"))) {
        folders.found = true;
        return folders;
    }
    if (installedData.empty()) return folders;
    std::string installedDir = (std::filesystem::path(exeDir) / installedData).lexically_normal().string();
    // lexically_normal keeps a trailing separator from "../share/x/".
    while (installedDir.size() > 1 && installedDir.back() == '/') installedDir.pop_back();
    folders.tried.push_back(installedDir);
    if (isDirectory(installedDir)) {
        folders.data = installedDir;
        folders.player = playerDataDir(xdgDataHome, home);
        folders.installed = true;
        folders.found = true;
    }
    return folders;
}

bool makeFolders(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "no folder named";
        return false;
    }
    std::string::size_type at = 0;
    while (at != std::string::npos) {
        at = path.find('/', at + 1);
        const std::string part = path.substr(0, at);
        if (part.empty() || isDirectory(part)) continue;
        if (::mkdir(part.c_str(), 0700) == 0) continue;
        if (errno == EEXIST && isDirectory(part)) continue;  // made meanwhile by another
        if (error)
            *error = errno == EEXIST ? part + " is in the way: it is not a folder"
                                     : "cannot create " + part + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool enterFolder(const std::string& path, std::string* error) {
    if (!makeFolders(path, error)) return false;
    if (::chdir(path.c_str()) != 0) {
        if (error) *error = "cannot enter " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void setDataRoot(const std::string& root) { rootSetting() = root; }

const std::string& dataRoot() { return rootSetting(); }

std::string dataPath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    return joined(rootSetting(), path);
}

std::vector<std::string> fontCandidates(const std::string& file, const std::string& systemFolder) {
    return {dataPath("fonts/" + file), joined(joined(kSystemFontFolder, systemFolder), file)};
}

std::vector<std::string> dataFolderProblems(const std::string& root) {
    std::vector<std::string> problems;
    const std::string shown = root.empty() ? "." : root;
    for (auto [name, what] : {std::pair{"img", "picture"}, std::pair{"soundfile", "sound"}}) {
        const std::string path = joined(shown, name);
        if (std::string why = unreadableReason(path); !why.empty())
            problems.push_back(std::string("cannot read the ") + what + " folder " + path + " (" + why + ")");
    }
    const std::string ownFonts = joined(shown, "fonts");
    if (!unreadableReason(ownFonts).empty()) {
        if (std::string why = unreadableReason(kSystemFontFolder); !why.empty())
            problems.push_back("cannot read a font folder: neither " + ownFonts + " nor " +
                               kSystemFontFolder + " (" + why + ")");
    }
    return problems;
}

}  // namespace platform
