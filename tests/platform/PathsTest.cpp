// Where the game looks for its data and keeps the player's files: a run folder,
// an installed layout under any prefix, the player's folder from the
// environment, the loaders opening relative paths in the data folder (fonts
// there before the system's), and the one-line reports of folders that cannot
// be read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Harness.h"
#include "platform/Audio.h"
#include "platform/Image.h"
#include "platform/Paths.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

// Leaves the data root as the test found it.
struct RootGuard {
    std::string saved = platform::dataRoot();
    ~RootGuard() { platform::setDataRoot(saved); }
};

TEST(PathsTest, RunFolderInstalledLayoutOrNeither) {
    TempDir t;
    const std::string run = t.folder("run");
    t.folder("run/img");
    const std::string bin = t.folder("prefix/games");
    t.folder("prefix/share/games/swapsprint/img");
    const std::string data = t.file("prefix/share/games/swapsprint");
    const std::string lonely = t.folder("lonely/bin");

    struct Case {
        std::string exe;
        const char* xdg;
        const char* home;
        std::string data, player;
        bool installed, found;
        std::vector<std::string> tried;
    } cases[] = {
        // A run folder keeps the player's files in the working folder.
        {run, "/x", "/h", run, "", false, true, {run}},
        {bin, "/x/data", "/h", data, "/x/data/swapsprint", true, true, {bin, data}},
        // A relative XDG_DATA_HOME is ignored; no home at all leaves no folder.
        {bin, "rel", "/h", data, "/h/.local/share/swapsprint", true, true, {bin, data}},
        {bin, nullptr, "/h/", data, "/h/.local/share/swapsprint", true, true, {bin, data}},
        {bin, "", nullptr, data, "", true, true, {bin, data}},
        {lonely, nullptr, "/h", lonely, "", false, false, {lonely, t.file("lonely/share/games/swapsprint")}},
        {"", nullptr, "/h", "", "", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exe + " xdg=" + (c.xdg ? c.xdg : "(unset)"));
        const platform::GameFolders f =
            platform::locateGameFolders(c.exe, "../share/games/swapsprint/", c.xdg, c.home);
        EXPECT_EQ(f.data, c.data);
        EXPECT_EQ(f.player, c.player);
        EXPECT_EQ(f.installed, c.installed);
        EXPECT_EQ(f.found, c.found);
        EXPECT_EQ(f.tried, c.tried);
    }
}

TEST(PathsTest, PlayerFolderIsMadeWithParentsAndRefusedWhenAFileIsInTheWay) {
    TempDir t;
    const std::string deep = t.file("home/.local/share/swapsprint");
    std::string error;
    ASSERT_TRUE(platform::makeFolders(deep, &error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(t.file("home/.local").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(platform::makeFolders(deep + "/", &error));  // already there

    t.write("file", {1});
    EXPECT_FALSE(platform::makeFolders(t.file("file/swapsprint"), &error));
    EXPECT_NE(error.find(t.file("file")), std::string::npos) << error;

    const fs::path before = fs::current_path();
    EXPECT_TRUE(platform::enterFolder(t.file("player"), &error));
    EXPECT_EQ(fs::current_path(), fs::path(t.file("player")));
    fs::current_path(before);
}

TEST(PathsTest, LoadersOpenRelativePathsInTheDataFolder) {
    RootGuard guard;
    TempDir elsewhere;  // no game files here
    const fs::path before = fs::current_path();
    fs::current_path(elsewhere.file(""));
    const std::string game = testing_support::gameDir();

    EXPECT_EQ(platform::dataPath("img/a.bmp"), "img/a.bmp");  // no root: the working folder
    platform::setDataRoot(game);
    EXPECT_EQ(platform::dataPath("img/a.bmp"), game + "/img/a.bmp");
    EXPECT_EQ(platform::dataPath("/abs/a.bmp"), "/abs/a.bmp");
    platform::setDataRoot("/d/");
    EXPECT_EQ(platform::dataPath("img/a.bmp"), "/d/img/a.bmp");
    EXPECT_EQ(platform::fontCandidates("Lato-Black.ttf", "lato"),
              (std::vector<std::string>{"/d/fonts/Lato-Black.ttf", "/usr/share/fonts/truetype/lato/Lato-Black.ttf"}));

    platform::setDataRoot(game);
    EXPECT_TRUE(platform::loadPng("img/icon.png"));
    EXPECT_TRUE(platform::loadBmpScaled("img/bg.bmp", 600, 1024));
    auto audio = platform::createMixerAudio(2, {"dummy"});
    EXPECT_GE(audio->load("soundfile/jump.wav", false, false), 0);
    audio->close();
    fs::current_path(before);
}

TEST(PathsTest, UnreadableFoldersAreReportedWithTheirPaths) {
    TempDir t;
    const std::string root = t.folder("data");
    t.folder("data/img");
    t.folder("data/soundfile");
    t.folder("data/fonts");
    EXPECT_TRUE(platform::dataFolderProblems(root).empty());

    fs::remove(t.file("data/soundfile"));
    fs::remove(t.file("data/img"));
    t.write("data/img", {0});  // a file where the folder belongs
    const std::vector<std::string> problems = platform::dataFolderProblems(root);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("picture folder " + root + "/img ("), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("sound folder " + root + "/soundfile ("), std::string::npos) << problems[1];
}

}  // namespace
