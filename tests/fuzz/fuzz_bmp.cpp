// BMP reader with nearest-neighbour scaling. The first two bytes pick the
// size the picture is scaled to; the rest is the file.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "platform/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    fuzz_support::enterScratchFolder();
    const int width = data[0] % 96 + 1;
    const int height = data[1] % 96 + 1;
    fuzz_support::putFile("input.bmp", data + 2, size - 2);
    auto picture = platform::loadBmpScaled("input.bmp", width, height);
    if (picture) {
        fuzz_support::check(picture->width() == width && picture->height() == height,
                            "a decoded picture has the size asked for");
        // Touch every pixel so a short buffer shows up under the sanitizer.
        std::uint32_t sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) sum += picture->row(y)[x];
        (void)sum;
    }
    return 0;
}
