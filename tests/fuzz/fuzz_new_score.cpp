// "new.score" reader: the bytes present fill the low-order end of the score,
// and a written score reads back unchanged.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "platform/FileIO.h"
#include "ranking/ScoreFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz_support::enterScratchFolder();
    const bool present = (data[0] & 1) != 0;
    const std::uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;
    fuzz_support::putFile(kNewScoreFile, file, fileSize, present);

    std::uint32_t expected = 0;
    if (present) {
        for (std::size_t i = 0; i < fileSize && i < 4; ++i)
            expected |= static_cast<std::uint32_t>(file[i]) << (8 * i);
    }
    const std::int32_t score = readNewScore();
    fuzz_support::check(static_cast<std::uint32_t>(score) == expected, "score from the bytes present");

    const std::int32_t next = score ^ 0x5A5A5A5A;
    fuzz_support::check(writeNewScore(next), "the score can be written");
    const auto bytes = platform::readFile(kNewScoreFile, 8).bytes;
    fuzz_support::check(bytes.size() == 4 && (bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24) ==
                                                 static_cast<std::uint32_t>(next),
                        "the file holds the four bytes of the score");
    fuzz_support::check(readNewScore() == next, "the score is handed over as written");
    return 0;
}
