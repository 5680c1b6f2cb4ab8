#include "DiskAudioCapture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

namespace testing_support {

DiskAudioCapture::DiskAudioCapture(std::string path) : path_(std::move(path)) {
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
}

std::vector<std::int16_t> DiskAudioCapture::samples() const {
    std::ifstream in(path_, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::size_t firstSound(const std::vector<std::int16_t>& samples) {
    const auto first = std::find_if(samples.begin(), samples.end(), [](std::int16_t v) { return v != 0; });
    return static_cast<std::size_t>(first - samples.begin()) & ~std::size_t{1};
}

}  // namespace testing_support
