// Frames of the board for a person to look at, written to
// <build>/review/board-*.png: settling in, a highlighted line, special tiles
// and a swap under way with the outlines on.
#include <filesystem>

#include "BoardFixture.h"
#include "framework/BackBuffer.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace testing_support {
namespace {

using BoardReview = BoardTest;

TEST_F(BoardReview, WritesFramesOfTheBoard) {
    const std::string dir = gameDir() + "/../review";
    std::filesystem::create_directories(dir);
    auto save = [&](const char* name) {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board.render();
        EXPECT_TRUE(platform::savePng(*backDC(), dir + "/board-" + name + ".png"));
    };
    for (int i = 0; i < 45; ++i) updateAt(kQuietMs);
    save("settling");
    // A highlighted tile shows the other frame of its picture.
    auto tile = [&](const Block* b) {
        std::vector<std::uint32_t> px;
        for (int y = b->rect.top; y < b->rect.bottom; ++y) {
            for (int x = b->rect.left; x < b->rect.right; ++x) px.push_back(backDC()->pixel(x, y));
        }
        return px;
    };
    arrangeLine();
    save("plain");
    const auto plain = tile(at(3, 3));
    updateAt(kQuietMs);
    save("highlight");
    if (at(3, 3)->picture) {
        EXPECT_NE(tile(at(3, 3)), plain);
    }
    settle();
    arrangeWith();
    at(2, 5)->special = at(5, 1)->special = 1;
    updateAt(kClearingMs);
    save("special");
    arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 1}});
    board.swapBlocks(at(3, 3), at(4, 3));
    for (int i = 0; i < 5; ++i) updateAt(kQuietMs);
    platform::input().keyDown('F');  // outlines
    save("swap");
}

}  // namespace
}  // namespace testing_support
