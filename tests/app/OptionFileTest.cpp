// The option file: what a load takes from whatever is there, and what a save
// leaves behind.
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
#include "framework/gameNode.h"

using testing_support::TempWorkDir;

namespace {

void writeOption(const std::string& bytes) { std::ofstream(kOptionFile, std::ios::binary) << bytes; }
std::string readOption() {
    std::ifstream in(kOptionFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(OptionFile, ReadsWhatIsThereKeepsTheRestAndWritesBackWhatItRead) {
    testing_support::TempWorkDir dir(false);
    gameNode node;
    node.effectsOn = node.musicOn = 1;
    const struct {
        const char* bytes;
        std::size_t size;
        int effects, music;
    } reads[] = {{"", 0, 1, 1},              // missing: nothing changes
                 {"\0", 1, 0, 1},            // one byte: effects only
                 {"\1\0\7", 3, 1, 0},        // bytes after the second are ignored
                 {"\5\1", 2, 5, 1}};         // any non-zero byte is on, and is kept as read
    for (const auto& r : reads) {
        if (r.size) writeOption(std::string(r.bytes, r.size));
        node.loadOptions();
        EXPECT_EQ(std::pair(int(node.effectsOn), int(node.musicOn)), std::pair(r.effects, r.music)) << r.size;
    }
    node.saveOptions();
    EXPECT_EQ(readOption(), std::string("\5\1", 2));
    node.musicOn = !node.musicOn;
    node.saveOptions();
    EXPECT_EQ(readOption(), std::string("\5\0", 2));
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
