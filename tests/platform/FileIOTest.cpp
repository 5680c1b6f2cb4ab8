#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Harness.h"
#include "platform/FileIO.h"

using testing_support::TempWorkDir;

namespace {

std::string slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileIO, ReadsUpToTheLimit) {
    TempWorkDir dir(false);
    std::ofstream("data", std::ios::binary) << "abcdef";
    EXPECT_EQ(platform::readFile("data", 4).size(), 4u);
    EXPECT_EQ(platform::readFile("data", 100).size(), 6u);
    EXPECT_TRUE(platform::readFile("missing", 10).empty());
    std::filesystem::create_directory("folder");
    EXPECT_TRUE(platform::readFile("folder", 10).empty());
}

TEST(FileIO, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    TempWorkDir dir(false);
    const char first[] = "0123456789";
    ASSERT_TRUE(platform::writeFileAtomic("list", first, 10));
    ASSERT_TRUE(platform::writeFileAtomic("list", "xy", 2));
    EXPECT_EQ(slurp("list"), "xy");
    EXPECT_FALSE(std::filesystem::exists("list.tmp"));
}

TEST(FileIO, FailureAtAnyStepKeepsThePreviousFile) {
    TempWorkDir dir(false);
    ASSERT_TRUE(platform::writeFileAtomic("list", "keep", 4));
    for (int step = 1; step <= 4; ++step) {
        platform::setWriteFault(step);
        EXPECT_FALSE(platform::writeFileAtomic("list", "lost!", 5)) << step;
        platform::setWriteFault(0);
        EXPECT_EQ(slurp("list"), "keep") << step;
        EXPECT_FALSE(std::filesystem::exists("list.tmp")) << step;
    }
}

TEST(FileIO, WritingWhereAFolderStandsFails) {
    TempWorkDir dir(false);
    std::filesystem::create_directory("list");
    EXPECT_FALSE(platform::writeFileAtomic("list", "x", 1));
    EXPECT_TRUE(std::filesystem::is_directory("list"));
}

}  // namespace
