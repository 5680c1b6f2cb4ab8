// The game's small files, read and written whole in the working directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Up to maxBytes from the start of the file; empty when it is missing,
// unreadable or not a regular file.
std::vector<std::uint8_t> readFile(const std::string& name, std::size_t maxBytes);

// Replaces the file atomically: a temporary file in the same folder is written,
// flushed and renamed over it, so a crash or a full disk never leaves a
// half-written file. False (and the old file untouched) on any failure.
// durable also flushes the data to disk before the rename; files rewritten
// every frame skip that.
bool writeFileAtomic(const std::string& name, const void* data, std::size_t size,
                     bool durable = true);

// Test hook: the next writes fail at the given step (0 = none, 1 = create,
// 2 = write, 3 = flush, 4 = rename) until reset to 0.
void setWriteFault(int step);

}  // namespace platform
