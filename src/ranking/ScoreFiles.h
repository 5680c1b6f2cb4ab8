// The two score files: "new.score" hands the last game's score to the ranking,
// "ranker.list" keeps the ten best entries between runs. Both are little-endian
// 32-bit integers with no header.
#pragma once

#include <array>
#include <cstdint>

inline constexpr const char* kNewScoreFile = "new.score";
inline constexpr const char* kRankerListFile = "ranker.list";

// A letter is a glyph index 0..49; this marks a position without a letter.
constexpr std::int32_t emptyLetter = 99;
constexpr int kRankCount = 10;
constexpr int kNameLength = 10;

struct RankRecord {
    std::int32_t letters[kNameLength];
    std::int32_t score;
};
static_assert(sizeof(RankRecord) == 44, "a record is 44 bytes in the file");

using RankRecords = std::array<RankRecord, kRankCount>;
constexpr std::size_t kRankerListBytes = sizeof(RankRecords);
static_assert(kRankerListBytes == 440, "the list file is 440 bytes");

// Writes the 4 bytes of score. False when the file could not be replaced.
// The score is also handed over in memory, so two games running in one folder
// each rank their own score, whatever the other wrote to the file meanwhile.
bool writeNewScore(std::int32_t score);
// The score this game handed over since the last read; without one, the
// stored score, 0 when missing; a short file fills the low-order bytes.
std::int32_t readNewScore();

// Ten empty records: every letter empty, score 0.
void setDefaultRecords(RankRecords& records);
// Overwrites the records with the bytes the file holds, from the start; what a
// short or missing file does not hold keeps its value. False when the file is
// there but cannot be read: it must then never be written over.
bool readRankerList(RankRecords& records);
// Bubble sort by score, highest first; equal scores keep their order.
void sortRecords(RankRecords& records);
// Replaces the file whole and atomically; false leaves the old file as it was.
bool writeRankerList(const RankRecords& records);
// Saves the ranking under the list's lock, merged with what is on disk now:
// the entries records holds beyond stored (the list as this game last read or
// wrote it) are added to the list on disk, which is sorted, cut to ten and
// written. records becomes that list, and so does stored once it is written;
// another game's entries are never lost. False, with the file left as it is,
// when it is there but cannot be read or cannot be replaced.
bool saveRankerList(RankRecords& records, RankRecords& stored);
