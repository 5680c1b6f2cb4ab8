// Frames of the board for a person to look at, written to <build>/review/:
// a board settling in, a highlighted line, a special tile with its overlay,
// a picked tile and a swap in progress. Also checks that a highlighted tile
// is drawn with the other frame of its picture.
#include <filesystem>

#include "BoardFixture.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace testing_support {
namespace {

class BoardReview : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        std::filesystem::create_directories(reviewDir());
    }
    static std::string reviewDir() { return gameDir() + "/../review"; }

    void draw() {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board.render();
    }
    void save(const char* name) {
        EXPECT_TRUE(platform::savePng(*backDC(), reviewDir() + "/board-" + name + ".png"));
    }
    // The 64 x 64 pixels at a block's rectangle.
    std::vector<std::uint32_t> pixelsOf(const Block* b) {
        std::vector<std::uint32_t> out;
        for (int y = b->rect.top; y < b->rect.bottom; ++y) {
            for (int x = b->rect.left; x < b->rect.right; ++x) out.push_back(backDC()->pixel(x, y));
        }
        return out;
    }
};

TEST_F(BoardReview, WritesFramesOfTheBoard) {
    for (int i = 0; i < 45; ++i) updateAt(kQuietMs);
    draw();
    save("settling");

    arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}});
    const auto plain = pixelsOf(at(3, 3));
    draw();
    const auto before = pixelsOf(at(3, 3));
    updateAt(kQuietMs);
    platform::input().keyDown('C');  // the combo debug text
    draw();
    platform::input().keyUp('C');
    save("highlight");
    if (at(3, 3)->picture) {
        EXPECT_NE(pixelsOf(at(3, 3)), before);
    }
    (void)plain;

    settle();
    arrange(kNoLines);
    at(2, 5)->special = 1;
    at(5, 1)->special = 1;
    for (int i = 0; i < 3; ++i) updateAt(kClearingMs);
    draw();
    save("special");

    arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 1}});
    at(3, 3)->targeted = true;
    draw();
    save("picked");
    board.swapBlocks(at(3, 3), at(4, 3));
    for (int i = 0; i < 5; ++i) updateAt(kQuietMs);
    platform::input().keyDown('F');  // outlines
    draw();
    platform::input().keyUp('F');
    save("swap");
}

}  // namespace
}  // namespace testing_support
