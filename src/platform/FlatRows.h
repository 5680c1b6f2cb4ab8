// An opaque picture's rows as stretches of one colour and stretches of
// varied pixels, which are kept. The runner strip's far layer is a sky of flat bands, copied
// whole every frame as it scrolls: a copy by stretches writes the bands
// without reading them, and reading them is most of the copy's cost, since a
// frame later they are seldom still in a cache.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class FlatRows {
public:
    struct Stretch {
        std::int32_t begin, end;
        std::uint32_t value;  // a flat stretch's one pixel, or where the others' pixels are held
        bool flat;
    };

    // Null when too little of the width x height pixels lies in long flat
    // stretches for copies by stretches to pay.
    static std::shared_ptr<const FlatRows> analyse(const std::uint32_t* pixels, int width, int height);

    // Pixels [x0, x1) of row y to `to`.
    void copyRow(int y, int x0, int x1, std::uint32_t* to) const;

private:
    void addVaried(const std::uint32_t* row, int begin, int end);

    std::vector<std::uint32_t> rowStart_;  // height + 1 entries into stretches_
    std::vector<Stretch> stretches_;
    // The varied stretches' pixels one after another: read in order, they
    // come from memory as fast as a plain copy's, where reading them in place
    // would wait for each one.
    std::vector<std::uint32_t> pixels_;
};

}  // namespace platform
