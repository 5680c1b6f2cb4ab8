#include "ranking/ScoreFiles.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/FileIO.h"

namespace {

void putInt(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t getInt(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

// The file image of the records: ten letters then the score, per record.
std::vector<std::uint8_t> toBytes(const RankRecords& records) {
    std::vector<std::uint8_t> bytes(kRankerListBytes);
    std::uint8_t* p = bytes.data();
    for (const RankRecord& r : records) {
        for (std::int32_t letter : r.letters) {
            putInt(p, letter);
            p += 4;
        }
        putInt(p, r.score);
        p += 4;
    }
    return bytes;
}

}  // namespace

bool writeNewScore(std::int32_t score) {
    std::uint8_t bytes[4];
    putInt(bytes, score);
    // Rewritten every frame after time-up, so no flush to disk each time.
    return platform::writeFileAtomic(kNewScoreFile, bytes, sizeof bytes, false);
}

std::int32_t readNewScore() {
    auto bytes = platform::readFile(kNewScoreFile, 4);
    std::uint8_t full[4] = {0, 0, 0, 0};
    // A copy, not memcpy: a missing file gives an empty vector whose data()
    // may be null, which memcpy must never see even for no bytes.
    std::copy(bytes.begin(), bytes.end(), full);
    return getInt(full);
}

void setDefaultRecords(RankRecords& records) {
    for (RankRecord& r : records) {
        for (std::int32_t& letter : r.letters) letter = emptyLetter;
        r.score = 0;
    }
}

void readRankerList(RankRecords& records) {
    auto bytes = platform::readFile(kRankerListFile, kRankerListBytes);
    std::vector<std::uint8_t> image = toBytes(records);
    std::copy(bytes.begin(), bytes.end(), image.begin());
    const std::uint8_t* p = image.data();
    for (RankRecord& r : records) {
        for (std::int32_t& letter : r.letters) {
            letter = getInt(p);
            p += 4;
        }
        r.score = getInt(p);
        p += 4;
    }
}

void sortRecords(RankRecords& records) {
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = kRankCount - 2; i >= 0; --i) {
            if (records[i + 1].score > records[i].score) {
                std::swap(records[i], records[i + 1]);
                exchanged = true;
            }
        }
    }
}

bool writeRankerList(const RankRecords& records) {
    auto bytes = toBytes(records);
    return platform::writeFileAtomic(kRankerListFile, bytes.data(), bytes.size());
}
