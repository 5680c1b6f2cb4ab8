// PNG load path: our header check, then the decoder and the conversion to
// our pixel layout.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "platform/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::enterScratchFolder();
    fuzz_support::putFile("input.png", data, size);
    auto picture = platform::loadPng("input.png");
    if (picture) {
        fuzz_support::check(picture->width() > 0 && picture->height() > 0 &&
                                picture->width() <= platform::kMaxImageSide &&
                                picture->height() <= platform::kMaxImageSide,
                            "a decoded picture has a sane size");
        std::uint32_t sum = 0;
        for (int y = 0; y < picture->height(); ++y)
            for (int x = 0; x < picture->width(); ++x) sum += picture->row(y)[x];
        (void)sum;
    }
    return 0;
}
