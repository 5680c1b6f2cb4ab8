#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>

#include "FileFaults.h"
#include "Harness.h"
#include "app/mainGame.h"
#include "framework/gameNode.h"

using testing_support::TempWorkDir;

namespace {

void writeOption(const std::string& bytes) { std::ofstream("option", std::ios::binary) << bytes; }

std::string readOption() {
    std::ifstream in("option", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(OptionFile, ReadsWhatIsThereAndKeepsTheRest) {
    TempWorkDir dir(false);
    gameNode node;
    node.effectsOn = 1;
    node.musicOn = 1;
    node.loadOptions();  // missing: nothing changes
    EXPECT_EQ(node.effectsOn, 1);
    EXPECT_EQ(node.musicOn, 1);

    writeOption(std::string("\x00", 1));  // one byte: effects only
    node.loadOptions();
    EXPECT_EQ(node.effectsOn, 0);
    EXPECT_EQ(node.musicOn, 1);

    writeOption(std::string("\x01\x00\x07", 3));  // bytes after the second are ignored
    node.loadOptions();
    EXPECT_TRUE(node.effectsOn);
    EXPECT_FALSE(node.musicOn);

    writeOption(std::string("\x05\x01", 2));  // any non-zero byte is on, and is kept as read
    node.loadOptions();
    EXPECT_TRUE(node.effectsOn);
    node.saveOptions();
    EXPECT_EQ(readOption(), std::string("\x05\x01", 2));
}

TEST(OptionFile, SavingTwiceLeavesTheLatestTwoBytes) {
    TempWorkDir dir(false);
    gameNode node;
    node.effectsOn = 1;
    node.musicOn = 1;
    node.saveOptions();
    node.musicOn = !node.musicOn;
    node.saveOptions();
    EXPECT_EQ(readOption(), std::string("\x01\x00", 2));
    gameNode fresh;
    fresh.loadOptions();
    EXPECT_TRUE(fresh.effectsOn);
    EXPECT_FALSE(fresh.musicOn);
}

TEST(OptionFile, FailedSaveLeavesFileAndFlags) {
    TempWorkDir dir(false);
    writeOption(std::string("\x01\x01", 2));
    gameNode node;
    node.loadOptions();
    node.effectsOn = 0;
    {
        testing_support::FileFaults faults(testing_support::FileFaults::write);  // as a full disk would
        node.saveOptions();
    }
    EXPECT_FALSE(node.optionsSaved);
    EXPECT_EQ(node.effectsOn, 0);
    EXPECT_EQ(readOption(), std::string("\x01\x01", 2));
}

// Whatever stands at "option" and cannot be read or replaced stays as it is:
// loading never waits on it, and a save leaves it alone.
TEST(OptionFile, AFileThatCannotBeReadOrReplacedIsLeftAsItIs) {
    namespace fs = std::filesystem;
    const std::pair<const char*, std::function<void()>> kinds[] = {
        {"a FIFO", [] { ASSERT_EQ(::mkfifo(kOptionFile, 0644), 0); }},
        {"a folder", [] { fs::create_directory(kOptionFile); }},
        {"a link to nothing", [] { fs::create_symlink("unmounted/option", kOptionFile); }},
        {"a read-only file", [] { writeOption(std::string("\x01\x00", 2)); ::chmod(kOptionFile, 0444); }},
    };
    for (const auto& [name, make] : kinds) {
        SCOPED_TRACE(name);
        TempWorkDir dir(false);
        make();
        const auto before = fs::symlink_status(kOptionFile);
        gameNode node;
        node.effectsOn = 1;
        node.loadOptions();
        EXPECT_EQ(node.effectsOn, 1);
        EXPECT_EQ(node.musicOn, 0);
        node.musicOn = 1;
        testing_support::FileFaults faults;
        node.saveOptions();
        EXPECT_FALSE(node.optionsSaved);
        EXPECT_FALSE(faults.reports().empty());
        const auto after = fs::symlink_status(kOptionFile);
        EXPECT_EQ(after.type(), before.type());
        EXPECT_EQ(after.permissions(), before.permissions());
        EXPECT_FALSE(fs::exists("unmounted"));
        if (fs::is_regular_file(kOptionFile)) {
            EXPECT_EQ(readOption(), std::string("\x01\x00", 2));
        }
    }
}

}  // namespace


namespace {

// Closing by the close box saves and reads the file back; after a failed save
// that read-back must not undo the player's toggle.
TEST(OptionPanel, ClosingByTheBoxAfterAFailedSaveKeepsTheToggle) {
    testing_support::Harness h(std::string("\x01\x01", 2));
    h.start();
    h.frame();
    h.click(570, 30);  // the option button
    ASSERT_EQ(h.game().running, 0);
    {
        testing_support::FileFaults faults(testing_support::FileFaults::create);
        h.click(380, 478);  // the close box, over the music row
    }
    EXPECT_EQ(h.game().running, 1);
    EXPECT_FALSE(h.game().musicOn);
    EXPECT_EQ(readOption(), std::string("\x01\x01", 2));
}

}  // namespace
