// "ranker.list" reader: whatever the file holds, the records read, sorted and
// written back make a whole, sorted file that reads back as the same records.
// The first byte chooses between a file and none; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "platform/FileIO.h"
#include "ranking/ScoreFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz_support::enterScratchFolder();
    const bool present = (data[0] & 1) != 0;
    fuzz_support::putFile(kRankerListFile, data + 1, size - 1, present);

    RankRecords records;
    setDefaultRecords(records);
    readRankerList(records);
    sortRecords(records);
    for (int i = 0; i + 1 < kRankCount; ++i)
        fuzz_support::check(records[i].score >= records[i + 1].score, "sorted highest first");

    fuzz_support::check(writeRankerList(records), "the list can be written");
    auto bytes = platform::readFile(kRankerListFile, 4096).bytes;
    fuzz_support::check(bytes.size() == kRankerListBytes, "the written list is whole");

    RankRecords again;
    setDefaultRecords(again);
    readRankerList(again);
    fuzz_support::check(std::memcmp(&again, &records, sizeof records) == 0,
                        "the list reads back as written");

    // An entry of this game's own, saved merged with the list on disk: kept
    // whenever it beats the tenth, and the list stays sorted.
    RankRecords mine = again, stored = again;
    mine[kRankCount - 1].score = static_cast<std::int32_t>(size * 977) - 5000;
    mine[kRankCount - 1].letters[0] = 48;
    const RankRecord entry = mine[kRankCount - 1];
    fuzz_support::check(saveRankerList(mine, stored), "the merged list can be written");
    RankRecords merged;
    setDefaultRecords(merged);
    readRankerList(merged);
    bool found = false;
    for (int i = 0; i < kRankCount; ++i) {
        found = found || std::memcmp(&merged[i], &entry, sizeof entry) == 0;
        if (i + 1 < kRankCount) fuzz_support::check(merged[i].score >= merged[i + 1].score, "merged list sorted");
    }
    fuzz_support::check(found || entry.score <= again[kRankCount - 1].score, "a new entry that beats the tenth is kept");
    return 0;
}
