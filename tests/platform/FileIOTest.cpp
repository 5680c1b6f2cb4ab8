// The small-file reader and the atomic save: what counts as missing and what
// as unreadable, the order of the calls that makes a save survive a power
// cut, and saves that fail, meet planted links, links and read-only files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileFaults.h"
#include "Harness.h"
#include "platform/FileIO.h"
#include "platform/FileLock.h"

using testing_support::FileFaults;
using testing_support::TempWorkDir;
namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Files left beside "list" by a save: none may stay.
int leftovers() {
    int n = 0;
    for (const auto& e : fs::directory_iterator(".")) n += e.path().filename().string().rfind("list.", 0) == 0;
    return n;
}

int position(const std::vector<std::string>& calls, const std::string& prefix) {
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
}

TEST(FileIO, MissingIsNotUnreadable) {
    TempWorkDir dir(false);
    std::ofstream("data", std::ios::binary) << "abcdef";
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("fifo", 0644), 0);  // opening it for reading must not wait for a writer
    fs::create_symlink("nowhere", "dangling");
    fs::create_symlink("/dev/zero", "zero");
    FileFaults faults;
    EXPECT_EQ(platform::readFile("data", 4).bytes, std::vector<std::uint8_t>({'a', 'b', 'c', 'd'}));
    EXPECT_EQ(platform::readFile("data", 100).state, platform::FileState::ok);
    EXPECT_EQ(platform::readFile("missing", 10).state, platform::FileState::missing);
    EXPECT_TRUE(faults.reports().empty());
    for (const char* name : {"folder", "fifo", "dangling", "zero"}) {
        const auto file = platform::readFile(name, 10);
        EXPECT_EQ(file.state, platform::FileState::unreadable) << name;
        EXPECT_TRUE(file.bytes.empty()) << name;
    }
    EXPECT_EQ(faults.reports().size(), 4u);
    EXPECT_NE(faults.reports().back().find("zero: refused"), std::string::npos) << faults.reports().back();
    // No permission (as root, only a fault shows it) and an I/O error.
    for (auto step : {FileFaults::open, FileFaults::read}) {
        FileFaults failing(step, "data", step == FileFaults::open ? EACCES : EIO);
        EXPECT_EQ(platform::readFile("data", 10).state, platform::FileState::unreadable) << step;
        ASSERT_EQ(failing.reports().size(), 1u);
    }
}

TEST(FileIO, DurableSaveFlushesTheFileBeforeTheRenameAndTheFolderAfter) {
    TempWorkDir dir(false);
    FileFaults faults;
    ASSERT_TRUE(platform::writeFileAtomic("list", "0123456789", 10));
    EXPECT_EQ(slurp("list"), "0123456789");
    const auto& calls = faults.calls();
    const std::string temp = "list.tmp." + std::to_string(::getpid());  // this process's own
    const int create = position(calls, "open " + temp), flush = position(calls, "fsync " + temp),
              rename = position(calls, "rename " + temp + " list"), folder = position(calls, "fsync .");
    EXPECT_TRUE(create >= 0 && create < flush && flush < rename && rename < folder)
        << testing::PrintToString(calls);
    EXPECT_EQ(leftovers(), 0);

    faults.clear();
    ASSERT_TRUE(platform::writeFileAtomic("list", "xy", 2, false));  // rewritten every frame: no flushes
    EXPECT_EQ(slurp("list"), "xy");
    EXPECT_EQ(position(faults.calls(), "fsync"), -1);
}

TEST(FileIO, AFailedSaveKeepsThePreviousFileAndSaysSo) {
    TempWorkDir dir(false);
    ASSERT_TRUE(platform::writeFileAtomic("list", "keep", 4));
    for (auto step : {FileFaults::create, FileFaults::write, FileFaults::flush, FileFaults::rename}) {
        FileFaults failing(step, "", ENOSPC);
        EXPECT_FALSE(platform::writeFileAtomic("list", "lost!", 5)) << step;
        EXPECT_EQ(slurp("list"), "keep") << step;
        EXPECT_EQ(leftovers(), 0) << step;
        ASSERT_EQ(failing.reports().size(), 1u) << step;
        EXPECT_NE(failing.reports()[0].find("list: not saved"), std::string::npos) << failing.reports()[0];
    }
    // The file is in place; only its folder's flush failed.
    FileFaults failing(FileFaults::folderFlush);
    EXPECT_TRUE(platform::writeFileAtomic("list", "new", 3));
    EXPECT_EQ(slurp("list"), "new");
    EXPECT_EQ(failing.reports().size(), 1u);
}

TEST(FileIO, LinksAndReadOnlyFilesAreRespected) {
    TempWorkDir dir(false);
    fs::create_directories("elsewhere");
    // Links planted where a temporary file could be made are never written through.
    std::ofstream("elsewhere/victim") << "victim";
    for (const std::string& planted : {std::string("list.tmp"), "list.tmp." + std::to_string(::getpid())})
        fs::create_symlink("elsewhere/victim", planted);
    ASSERT_TRUE(platform::writeFileAtomic("list", "saved", 5));
    EXPECT_EQ(slurp("list"), "saved");
    EXPECT_EQ(slurp("elsewhere/victim"), "victim");
    EXPECT_FALSE(fs::is_symlink("list"));

    // A link is written through to its target, which keeps its mode.
    std::ofstream("elsewhere/target") << "old";
    ::chmod("elsewhere/target", 0600);
    fs::create_symlink("elsewhere/target", "linked");
    ASSERT_TRUE(platform::writeFileAtomic("linked", "new", 3));
    EXPECT_TRUE(fs::is_symlink("linked"));
    EXPECT_EQ(slurp("elsewhere/target"), "new");
    struct stat st {};
    ASSERT_EQ(::stat("elsewhere/target", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // Read-only, a link to nothing, a folder in its place: left as they are.
    std::ofstream("readonly") << "mine";
    ::chmod("readonly", 0444);
    fs::create_symlink("elsewhere/none", "dangling");
    fs::create_directory("folder");
    FileFaults faults;
    for (const char* name : {"readonly", "dangling", "folder"})
        EXPECT_FALSE(platform::writeFileAtomic(name, "x", 1)) << name;
    EXPECT_EQ(slurp("readonly"), "mine");
    ASSERT_EQ(::stat("readonly", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_FALSE(fs::exists("elsewhere/none"));
    EXPECT_TRUE(fs::is_directory("folder"));
    EXPECT_EQ(faults.reports().size(), 3u);
}

TEST(FileIO, ALockIsHeldByOneHolderAtATime) {
    TempWorkDir dir(false);
    auto first = std::make_unique<platform::FileLock>("list.lock");
    ASSERT_TRUE(first->held());
    {
        FileFaults faults;  // the second holder gives up after a while, and says so
        EXPECT_FALSE(platform::FileLock("list.lock").held());
        EXPECT_EQ(faults.reports().size(), 1u);
    }
    first.reset();
    EXPECT_TRUE(platform::FileLock("list.lock").held());
}

}  // namespace
