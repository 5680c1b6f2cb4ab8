// "option" reader: the two switches take the first two bytes present and keep
// their value otherwise; saving writes exactly those two bytes back.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "framework/gameNode.h"
#include "platform/FileIO.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    fuzz_support::enterScratchFolder();
    // Byte 0: file present or not; bytes 1, 2: the switches before loading.
    const bool present = (data[0] & 1) != 0;
    const std::uint8_t* file = data + 3;
    const std::size_t fileSize = size - 3;
    fuzz_support::putFile(kOptionFile, file, fileSize, present);

    gameNode node;
    node.effectsOn = data[1];
    node.musicOn = data[2];
    node.loadOptions();
    const std::size_t held = present ? fileSize : 0;
    fuzz_support::check(node.effectsOn == (held >= 1 ? file[0] : data[1]), "effects byte");
    fuzz_support::check(node.musicOn == (held >= 2 ? file[1] : data[2]), "music byte");

    node.saveOptions();
    fuzz_support::check(node.optionsSaved, "the option file can be written");
    auto bytes = platform::readFile(kOptionFile, 16).bytes;
    fuzz_support::check(bytes.size() == 2 && bytes[0] == node.effectsOn && bytes[1] == node.musicOn,
                        "the saved file holds the two switches");
    return 0;
}
