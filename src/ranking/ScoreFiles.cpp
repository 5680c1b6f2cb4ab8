#include "ranking/ScoreFiles.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileIO.h"
#include "platform/FileLock.h"

namespace {

// The score the play scene last wrote, until the ranking reads it.
std::optional<std::int32_t> handedScore;

bool sameRecord(const RankRecord& a, const RankRecord& b) {
    return a.score == b.score && std::equal(std::begin(a.letters), std::end(a.letters), std::begin(b.letters));
}

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
    handedScore = score;
    std::uint8_t bytes[4];
    putInt(bytes, score);
    // Rewritten every frame after time-up, so no flush to disk each time.
    return platform::writeFileAtomic(kNewScoreFile, bytes, sizeof bytes, false);
}

std::int32_t readNewScore() {
    if (handedScore) return *std::exchange(handedScore, std::nullopt);
    const auto file = platform::readFile(kNewScoreFile, 4);
    std::uint8_t full[4] = {0, 0, 0, 0};
    // A copy, not memcpy: a missing file gives an empty vector whose data()
    // may be null, which memcpy must never see even for no bytes.
    std::copy(file.bytes.begin(), file.bytes.end(), full);
    return getInt(full);
}

void setDefaultRecords(RankRecords& records) {
    for (RankRecord& r : records) {
        for (std::int32_t& letter : r.letters) letter = emptyLetter;
        r.score = 0;
    }
}

bool readRankerList(RankRecords& records) {
    const auto file = platform::readFile(kRankerListFile, kRankerListBytes);
    if (file.state == platform::FileState::unreadable) return false;
    std::vector<std::uint8_t> image = toBytes(records);
    std::copy(file.bytes.begin(), file.bytes.end(), image.begin());
    const std::uint8_t* p = image.data();
    for (RankRecord& r : records) {
        for (std::int32_t& letter : r.letters) {
            letter = getInt(p);
            p += 4;
        }
        r.score = getInt(p);
        p += 4;
    }
    return true;
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

bool saveRankerList(RankRecords& records, RankRecords& stored) {
    // Read, merge and write as one step: another game saving meanwhile waits.
    platform::FileLock lock(std::string(kRankerListFile) + ".lock");
    RankRecords onDisk;
    setDefaultRecords(onDisk);
    if (!readRankerList(onDisk)) {
        platform::reportFile(kRankerListFile, "not saved: it is there but cannot be read, so it is left as it is");
        return false;
    }
    // This game's own new entries: what it holds beyond the list it last saw.
    std::vector<RankRecord> merged(onDisk.begin(), onDisk.end());
    std::vector<RankRecord> seen(stored.begin(), stored.end());
    for (const RankRecord& r : records) {
        auto it = std::find_if(seen.begin(), seen.end(), [&](const RankRecord& s) { return sameRecord(r, s); });
        if (it != seen.end())
            seen.erase(it);
        else
            merged.push_back(r);
    }
    // Stable, as the bubble sort is: a new entry stays below older equal scores.
    std::stable_sort(merged.begin(), merged.end(),
                     [](const RankRecord& a, const RankRecord& b) { return a.score > b.score; });
    std::copy_n(merged.begin(), kRankCount, records.begin());
    if (!writeRankerList(records)) return false;
    stored = records;
    return true;
}
