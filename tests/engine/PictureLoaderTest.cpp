#include "engine/PictureLoader.h"

#include <gtest/gtest.h>

#include "platform/Image.h"
#include "support/TestFiles.h"

using testing_support::bmpBytes;
using testing_support::makeSurface;
using testing_support::same;

namespace {

// What is taken is what decoding the file then gives, whether the worker got
// to it first (decoding it at its own size, scaled when taken) or not: the
// same pixels, nothing of a file that changed since, and for a damaged file
// the same refusal before and after the worker tried it.
TEST(PictureLoader, HandsOutWhatTheFileHoldsWhenItIsTaken) {
    testing_support::TempDir dir;
    const auto pixels = [](std::uint32_t seed) {
        return makeSurface(9, 4, [seed](int x, int y) { return x % 3 ? 0x00FF00FFu : 0x00010203u * (x + y + seed); });
    };
    const std::string first = dir.write("a.bmp", bmpBytes(pixels(1)));
    const std::string plain = dir.write("b.bmp", bmpBytes(pixels(2)));
    const std::string changed = dir.write("d.bmp", bmpBytes(pixels(4)));
    testing_support::Bytes cut = bmpBytes(pixels(3));
    cut.resize(cut.size() - 20);
    const std::string damaged = dir.write("damaged.bmp", cut);
    dir.write("e.txt", testing_support::Bytes(10, 1));
    PictureLoader::allow(true);
    for (const bool workerFirst : {false, true}) {
        PictureLoader loader(first);
        if (workerFirst) loader.finish();
        EXPECT_FALSE(loader.ask(damaged, 9, 4, 0x00FF00FF)) << workerFirst;
        EXPECT_EQ(loader.take(damaged, 9, 4, std::nullopt), nullptr) << workerFirst;
        ASSERT_TRUE(loader.ask(plain, 18, 4, 0x00FF00FF));
        const auto b = loader.take(plain, 18, 4, 0x00FF00FF);
        ASSERT_TRUE(b);
        EXPECT_TRUE(same(*b, *platform::loadBmpScaled(plain, 18, 4))) << workerFirst;
        EXPECT_TRUE(same(*loader.take(first, 9, 4, std::nullopt), pixels(1)));
        if (!workerFirst) continue;
        const platform::Surface fresh = makeSurface(10, 4, [](int x, int) { return 0x00123456u * x; });
        dir.write("d.bmp", bmpBytes(fresh));
        const auto d = loader.take(changed, 10, 4, std::nullopt);
        ASSERT_TRUE(d);
        EXPECT_TRUE(same(*d, fresh));
    }
    PictureLoader::allow(false);
}

}  // namespace
