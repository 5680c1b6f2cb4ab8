// What a mixer opened on SDL's disk output gave the device, read back from
// the file SDL writes: 16-bit stereo samples, interleaved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class DiskAudioCapture {
public:
    // Points SDL's disk output at path; open the mixer on "disk" after this.
    explicit DiskAudioCapture(std::string path);

    // Every sample written so far: read once the device is closed, so the
    // last buffers are in the file.
    std::vector<std::int16_t> samples() const;

private:
    std::string path_;
};

// The first sample that is not silence, on a whole stereo frame; about
// samples.size() when all of it is silent.
std::size_t firstSound(const std::vector<std::int16_t>& samples);

}  // namespace testing_support
