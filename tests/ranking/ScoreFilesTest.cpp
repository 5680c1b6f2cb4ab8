// The two score files byte for byte: their layouts, the sort, files that are
// short, long or missing, and saves that merge under a lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileFaults.h"
#include "Harness.h"
#include "ranking/ScoreFiles.h"

using testing_support::TempWorkDir;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void writeBytes(const std::string& name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}
RankRecords scored(std::initializer_list<int> scores) {
    RankRecords r;
    setDefaultRecords(r);
    int i = 0;
    for (int s : scores) {
        r[i].score = s;
        r[i].letters[0] = i;  // tells the records apart
        ++i;
    }
    return r;
}

TEST(RankerList, TenRecordsOfTenLettersAndAScoreLittleEndian) {
    TempWorkDir dir(false);
    RankRecords r = scored({1234});
    r[0].letters[1] = 1;
    r[0].letters[2] = 0x01020304;
    ASSERT_TRUE(writeRankerList(r));
    Bytes expected = {0, 0, 0, 0, 1, 0, 0, 0, 4, 3, 2, 1};
    for (int i = 0; i < 7; ++i) expected.insert(expected.end(), {99, 0, 0, 0});
    expected.insert(expected.end(), {0xD2, 0x04, 0, 0});
    for (int i = 1; i < 10; ++i) {  // empty records: ten 99s and a zero score
        for (int j = 0; j < 10; ++j) expected.insert(expected.end(), {99, 0, 0, 0});
        expected.insert(expected.end(), {0, 0, 0, 0});
    }
    EXPECT_EQ(slurp(kRankerListFile), expected);
}

TEST(RankerList, SortIsHighestFirstAndStable) {
    RankRecords r = scored({5, 9, 5, 0, 9, -3, 7, 0, 5, 12});
    sortRecords(r);
    std::vector<int> scores, tags;
    for (const auto& rec : r) {
        scores.push_back(rec.score);
        tags.push_back(rec.letters[0]);
    }
    EXPECT_EQ(scores, (std::vector<int>{12, 9, 9, 7, 5, 5, 5, 0, 0, -3}));
    // Equal scores keep their earlier order; negatives sort below empty records.
    EXPECT_EQ(tags, (std::vector<int>{9, 1, 4, 6, 0, 2, 8, 3, 7, 5}));
}

TEST(RankerList, ShortLongAndMissingFilesFillFromTheStart) {
    TempWorkDir dir(false);
    RankRecords r;
    setDefaultRecords(r);
    readRankerList(r);  // missing: defaults stay
    EXPECT_EQ(r[0].score, 0);
    EXPECT_EQ(r[9].letters[9], emptyLetter);

    RankRecords full = scored({50, 40, 30, 20, 10, 9, 8, 7, 6, 5});
    ASSERT_TRUE(writeRankerList(full));
    Bytes bytes = slurp(kRankerListFile);
    // 100 bytes: two whole records and a cut third keeping its default tail.
    writeBytes(kRankerListFile, Bytes(bytes.begin(), bytes.begin() + 100));
    setDefaultRecords(r);
    readRankerList(r);
    EXPECT_EQ(r[1].score, 40);
    EXPECT_EQ(r[2].letters[0], full[2].letters[0]);
    EXPECT_EQ(r[2].letters[3], emptyLetter);  // byte 100 onward untouched
    EXPECT_EQ(r[2].score, 0);
    // 10000 bytes: the first 440 count.
    bytes.resize(10000, 0x7F);
    writeBytes(kRankerListFile, bytes);
    setDefaultRecords(r);
    readRankerList(r);
    EXPECT_EQ(r[9].score, 5);
}

TEST(RankerList, ASaveMergesWithTheListOnDiskUnderItsLock) {
    TempWorkDir dir(false);
    // Two games read the same list, then each enters a score of its own.
    const RankRecords start = scored({300, 200, 100});
    ASSERT_TRUE(writeRankerList(start));
    RankRecords first = start, firstStored = start, second = start, secondStored = start;
    first[9] = scored({250})[0];
    first[9].letters[0] = 41;
    second[9] = scored({150})[0];
    second[9].letters[0] = 42;
    ASSERT_TRUE(saveRankerList(first, firstStored));
    testing_support::FileFaults faults;
    ASSERT_TRUE(saveRankerList(second, secondStored));

    RankRecords onDisk;
    setDefaultRecords(onDisk);
    ASSERT_TRUE(readRankerList(onDisk));
    std::vector<int> scores, tags;
    for (const RankRecord& r : onDisk) {
        scores.push_back(r.score);
        tags.push_back(r.letters[0]);
    }
    EXPECT_EQ(scores, (std::vector<int>{300, 250, 200, 150, 100, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tags, (std::vector<int>{0, 41, 1, 42, 2, 99, 99, 99, 99, 99}));
    EXPECT_EQ(slurp(kRankerListFile), std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(&second),
                                                                  reinterpret_cast<const unsigned char*>(&second + 1)));
    // Saving again adds nothing twice.
    ASSERT_TRUE(saveRankerList(second, secondStored));
    EXPECT_EQ(second[5].score, 0);

    // The read, the merge and the write happen while the lock is held.
    const auto& calls = faults.calls();
    auto at = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) - calls.begin(); };
    const auto locked = at("open ranker.list.lock"), read = at("open ranker.list"),
               unlocked = at("close ranker.list.lock");
    const auto renamed = std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
                             return c.rfind("rename", 0) == 0;
                         }) - calls.begin();
    EXPECT_TRUE(locked < read && read < renamed && renamed < unlocked) << testing::PrintToString(calls);
}

TEST(NewScore, FourBytesLittleEndianAndShortFiles) {
    TempWorkDir dir(false);
    EXPECT_EQ(readNewScore(), 0);  // missing
    ASSERT_TRUE(writeNewScore(0x01020304));
    EXPECT_EQ(slurp(kNewScoreFile), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(readNewScore(), 0x01020304);
    ASSERT_TRUE(writeNewScore(-2));
    EXPECT_EQ(readNewScore(), -2);
    const std::pair<Bytes, int> files[] = {{{0x34, 0x12}, 0x1234},  // the low-order end only
                                           {{}, 0},
                                           {{1, 0, 0, 0, 9, 9, 9, 9}, 1}};  // extra bytes ignored
    for (const auto& [bytes, score] : files) {
        writeBytes(kNewScoreFile, bytes);
        EXPECT_EQ(readNewScore(), score) << bytes.size() << " bytes";
    }
}

TEST(NewScore, EachGameRanksTheScoreItWroteItself) {
    TempWorkDir dir(false);
    ASSERT_TRUE(writeNewScore(500));
    writeBytes(kNewScoreFile, {0x84, 0x03, 0, 0});  // another game in the folder finished meanwhile
    EXPECT_EQ(readNewScore(), 500);
    EXPECT_EQ(readNewScore(), 900);  // handed over once; later reads see the file
}

}  // namespace
