// Obstacles: their pictures and talk row, travel, finishing and removal,
// spacing and the talk boxes.
#include <algorithm>

#include "RunnerTestSupport.h"

using namespace runner_test;

TEST_F(RunnerBoardTest, EachKindHasItsPictureAndTheNewestSetsTheSharedTalkRow) {
    const char* keys[7] = {"", "daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    Obstacle* first = nullptr;
    for (int kind = 1; kind <= 6; ++kind) {
        Obstacle* o = addObstacle(kind);
        if (!first) first = o;
        EXPECT_EQ(o->picture, pictureRegistry::get()->findPicture(keys[kind]));
        ASSERT_NE(o->talkTextPicture, nullptr);
        EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), kind);
    }
    // A kind outside 1..6 has no picture, leaves the row and never hits.
    Obstacle* odd = addObstacle(0, 152.5f);
    EXPECT_EQ(odd->picture, nullptr);
    EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), 6);
    board->runnerX = 150;
    frame();
    EXPECT_EQ(board->jumping, 0);
}

TEST_F(RunnerBoardTest, ObstacleTravelsTwoAndAHalfPixelsAndFinishesPastTheLeftEdge) {
    Obstacle* o = addObstacle(1);
    board->speed = 10.0f;  // the runner's speed does not matter
    board->update();
    EXPECT_EQ(o->rect, (RECT{747, 250, 847, 350}));
    for (int i = 1; i < 340; ++i) o->update();
    EXPECT_EQ(o->rect.right, 0);
    EXPECT_EQ(o->finished, 0);
    o->update();
    EXPECT_EQ(o->finished, 1);
}

TEST_F(RunnerBoardTest, TwoObstaclesFinishingTogetherAreRemovedOnTwoFrames) {
    addObstacle(1, -50.0f);
    Obstacle* b = addObstacle(2, 500.0f);
    Obstacle* c = addObstacle(3, -250.0f);
    board->update();
    EXPECT_EQ(board->obstacles, (std::vector<Obstacle*>{b, c}));
    board->update();
    EXPECT_EQ(board->obstacles, (std::vector<Obstacle*>{b}));
}

TEST_F(RunnerBoardTest, TwoObstaclesAppendedTogetherEndUp130PixelsApart) {
    Obstacle* a = addObstacle(1);
    Obstacle* b = addObstacle(2);
    for (int i = 0; i < 100; ++i) {
        board->update();
        ASSERT_EQ(b->x - a->x, 130.0f) << "frame " << i;
    }
}

TEST_F(RunnerBoardTest, OnlyTheFirstObstacleLessThan100PixelsAheadIsPutBack) {
    const struct {
        float nearX, nextX;
        float nearAfter, nextAfter;
    } cases[] = {
        {399.9f, 310.0f, 529.0f, 310.0f},  // 99 ahead: whole pixels, then 130 on
        {400.0f, 299.0f, 400.0f, 299.0f},  // 100 ahead, or behind: left alone
    };
    for (const auto& c : cases) {
        board->release();
        Obstacle* a = addObstacle(1, 302.5f);  // 300 after its step
        Obstacle* near = addObstacle(2, c.nearX);
        Obstacle* next = addObstacle(3, c.nextX);
        a->update();
        EXPECT_EQ(near->x, c.nearAfter);
        EXPECT_EQ(next->x, c.nextAfter);
    }
}

TEST_F(RunnerBoardTest, OnlyTheNewestTalksAndNobodyOnceItPassedX100) {
    Obstacle* older = addObstacle(1);
    Obstacle* newer = addObstacle(2);
    for (int i = 0; i < 400; ++i) {
        board->update();
        if (board->obstacles.size() < 2) break;  // the older one is gone
        ASSERT_EQ(older->talking, 0) << "frame " << i;
        ASSERT_EQ(newer->talking, newer->x > 100.0f ? 1 : 0) << "frame " << i;
    }
    EXPECT_EQ(newer->talking, 0);
}
