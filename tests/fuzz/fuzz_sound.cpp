// Sound files: the checks made before a byte is decoded, then both ways the
// mixer reads a file: decoded whole (short sounds), and streamed piece by
// piece with a loop back to the start (music). Both must agree on what the
// file holds, and neither may run without bound.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kCap = std::size_t{1} << 18;  // frames (6 s); a 4 KB input decodes to less
    constexpr std::size_t kPiece = 4096;
    fuzz_support::enterScratchFolder();
    fuzz_support::putFile("input.mp3", data, size);
    std::string why;
    std::shared_ptr<const platform::AudioFile> file = platform::AudioFile::open("input.mp3", &why);
    fuzz_support::check(file || size == 0, "a non-empty regular file is accepted for decoding");
    if (!file) return 0;

    const std::vector<std::int16_t> whole = platform::decodeWhole(file, kCap, &why);
    fuzz_support::check(whole.size() % 2 == 0 && whole.size() <= 2 * kCap, "whole decoding stays in its bounds");

    auto stream = platform::AudioDecoder::open(file, &why);
    fuzz_support::check(stream || whole.empty(), "what decodes whole also opens as a stream");
    if (!stream) return 0;
    std::vector<std::int16_t> piece(2 * kPiece);
    std::size_t frames = 0;
    for (std::size_t got = 1; got > 0 && frames < kCap;) {
        got = stream->read(piece.data(), kPiece);
        fuzz_support::check(got <= kPiece, "a read never gives more than asked");
        frames += got;
    }
    fuzz_support::check(frames == whole.size() / 2 || frames >= kCap, "streamed and whole decoding agree");
    // A loop starts over: the second pass is bounded too.
    if (stream->rewind()) {
        std::size_t again = 0;
        for (std::size_t got = 1; got > 0 && again < kCap; again += got) got = stream->read(piece.data(), kPiece);
    }
    return 0;
}
