#include "engine/PicturePrefetch.h"

#include <gtest/gtest.h>

#include "platform/Image.h"
#include "support/TestFiles.h"

using testing_support::bmpBytes;
using testing_support::makeSurface;
using testing_support::same;

namespace {

// What a scene gets from the prefetch is what reading the file then gives:
// the same pixels, and nothing when the file changed in between (the scene
// reads it itself).
TEST(PicturePrefetch, HandsOutWhatTheFileHoldsWhenItIsAskedFor) {
    testing_support::TempDir dir;
    const auto pixels = [](std::uint32_t seed) {
        return makeSurface(9, 4, [seed](int x, int y) { return x % 3 ? 0x00FF00FFu : 0x00010203u * (x + y + seed); });
    };
    const std::string first = dir.write("a.bmp", bmpBytes(pixels(1)));
    const std::string same1 = dir.write("b.bmp", bmpBytes(pixels(2)));
    const std::string changed = dir.write("d.bmp", bmpBytes(pixels(4)));
    dir.write("e.txt", testing_support::Bytes(10, 1));
    PicturePrefetch ahead(first);
    ahead.finish();
    dir.write("d.bmp", bmpBytes(makeSurface(10, 4, [](int, int) { return 0x00123456u; })));

    EXPECT_FALSE(ahead.take(first));  // asked for at once: the caller reads it
    auto b = ahead.take(same1);
    ASSERT_TRUE(b);
    EXPECT_TRUE(same(*b, *platform::loadBmpScaled(same1, 9, 4)));
    EXPECT_NE(b->keyRuns(0x00FF00FF), nullptr);
    EXPECT_FALSE(ahead.take(same1));  // handed out once
    EXPECT_FALSE(ahead.take(changed));
    EXPECT_FALSE(ahead.take(dir.file("e.txt")));
}

}  // namespace
