// Obstacles: set-up, travel, finishing and removal, the animation counter,
// spacing and the talk boxes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "RunnerTestSupport.h"

using namespace runner_test;

// ---------------------------------------------------------------------------
// Set-up

TEST_F(RunnerBoardTest, SetupPlacesTheObstacleOffScreenRightAndTalking) {
    Obstacle* o = addObstacle(4);
    EXPECT_EQ(o->x, 800.0f);
    EXPECT_EQ(o->y, 300.0f);
    EXPECT_EQ(o->talking, 1);
    EXPECT_EQ(o->finished, 0);
    EXPECT_EQ(o->frame, 0);
    EXPECT_EQ(o->board, board.get());
    EXPECT_EQ(o->picture, pictureRegistry::get()->findPicture("dynamite"));
    ASSERT_NE(o->picture, nullptr);
    EXPECT_EQ(o->picture->getFrameWidth(), 100);
    EXPECT_EQ(o->picture->getMaxFrameX(), 7);
    ASSERT_NE(o->talkBoxPicture, nullptr);
    EXPECT_EQ(o->talkBoxPicture, pictureRegistry::get()->findPicture("talkbox"));
    EXPECT_EQ(o->talkBoxPicture->getX(), 0.0f);
    EXPECT_EQ(o->talkBoxPicture->getY(), 300.0f);
    ASSERT_NE(o->talkTextPicture, nullptr);
    EXPECT_EQ(o->talkTextPicture->getMaxFrameY(), 6);
    EXPECT_EQ(o->talkTextPicture->getCurrentFrameY(), 4);  // its kind's row
}

TEST_F(RunnerBoardTest, EachKindHasItsOwnPictureLoadedOnceAndSharedAfter) {
    const char* keys[6] = {"daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    std::set<bitmapPicture*> seen;
    for (int kind = 1; kind <= 6; ++kind) {
        Obstacle* o = addObstacle(kind);
        EXPECT_EQ(o->picture, pictureRegistry::get()->findPicture(keys[kind - 1]));
        seen.insert(o->picture);
    }
    EXPECT_EQ(seen.size(), 6u);
    const std::size_t loaded = pictureRegistry::get()->size();
    Obstacle* again = addObstacle(2);
    EXPECT_EQ(again->picture, pictureRegistry::get()->findPicture("drum"));
    EXPECT_EQ(pictureRegistry::get()->size(), loaded);
}

TEST_F(RunnerBoardTest, TalkRowIsThatOfTheObstacleSetUpLastEvenAfterItLeft) {
    Obstacle* first = addObstacle(2);
    Obstacle* second = addObstacle(5);
    EXPECT_EQ(first->talkTextPicture, second->talkTextPicture);
    EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), 5);
    // A kind outside 1..6 has no picture and leaves the row alone.
    Obstacle* odd = addObstacle(9);
    EXPECT_EQ(odd->picture, nullptr);
    EXPECT_EQ(odd->setup(0, board.get()), 0);
    EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), 5);

    second->x = -100.0f;
    board->update();
    board->update();
    EXPECT_EQ(std::find(board->obstacles.begin(), board->obstacles.end(), second),
              board->obstacles.end());
    EXPECT_EQ(first->talkTextPicture->getCurrentFrameY(), 5);
}

TEST_F(RunnerBoardTest, AnObstacleWithoutAKindNeverTouchesTheRunner) {
    board->runnerX = 150;
    Obstacle* odd = addObstacle(0);
    odd->x = 152.5f;
    board->update();
    board->updateRunner(true, false);
    EXPECT_EQ(board->jumping, 0);
    for (int i = 0; i < 100; ++i) board->update();  // travels on and is removed
    EXPECT_TRUE(board->obstacles.empty());
}

// ---------------------------------------------------------------------------
// Travel, finishing, removal

TEST_F(RunnerBoardTest, ObstacleMovesTwoAndAHalfPixelsWithItsRectangle) {
    Obstacle* o = addObstacle(1);
    board->speed = 10.0f;  // the runner's speed does not matter
    board->update();
    EXPECT_EQ(o->x, 797.5f);
    EXPECT_EQ(o->rect, (RECT{747, 250, 847, 350}));
    board->update();
    EXPECT_EQ(o->x, 795.0f);
    EXPECT_EQ(o->rect, (RECT{745, 250, 845, 350}));
    for (int i = 0; i < 58; ++i) board->update();
    EXPECT_EQ(o->rect.left, 600);  // reaches the screen after 60 frames
}

TEST_F(RunnerBoardTest, ObstacleFinishesOnceEntirelyLeftOfTheScreen) {
    Obstacle* o = addObstacle(1);
    for (int i = 0; i < 340; ++i) o->update();
    EXPECT_EQ(o->rect.right, 0);
    EXPECT_EQ(o->finished, 0);
    o->update();  // frame 341
    EXPECT_LT(o->rect.right, 0);
    EXPECT_EQ(o->finished, 1);
}

TEST_F(RunnerBoardTest, TwoObstaclesFinishingTogetherAreRemovedOnTwoFrames) {
    Obstacle* a = addObstacle(1);
    Obstacle* b = addObstacle(2);
    Obstacle* c = addObstacle(3);
    a->x = -50.0f;
    b->x = 500.0f;
    c->x = -250.0f;
    board->update();  // a and c finished; only the first one goes
    ASSERT_EQ(board->obstacles.size(), 2u);
    EXPECT_EQ(board->obstacles[0], b);
    EXPECT_EQ(board->obstacles[1], c);
    EXPECT_EQ(c->finished, 1);
    board->update();
    ASSERT_EQ(board->obstacles.size(), 1u);
    EXPECT_EQ(board->obstacles[0], b);
}

TEST_F(RunnerBoardTest, ReleaseDestroysEveryObstacle) {
    addObstacle(1);
    addObstacle(2);
    board->release();
    EXPECT_TRUE(board->obstacles.empty());
}

// ---------------------------------------------------------------------------
// Animation counter

TEST_F(RunnerBoardTest, ObstacleFrameCountsZeroToSixOnGatedTicksAndNeverSeven) {
    Obstacle* o = addObstacle(6);
    o->update();
    EXPECT_EQ(o->frame, 0);  // the fixture's tick is not gated
    std::vector<int> frames;
    for (int i = 0; i < 16; ++i) {
        gatedTick();
        o->update();
        frames.push_back(o->frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 4, 5, 6, 0, 1, 2}));
}

// ---------------------------------------------------------------------------
// Spacing and talk boxes

TEST_F(RunnerBoardTest, TwoObstaclesAppendedTogetherEndUp130PixelsApart) {
    Obstacle* a = addObstacle(1);
    Obstacle* b = addObstacle(2);
    board->update();
    EXPECT_EQ(a->x, 797.5f);
    EXPECT_EQ(b->x, 927.5f);  // put back to 930, then its own step
    for (int i = 0; i < 100; ++i) {
        board->update();
        ASSERT_EQ(b->x - a->x, 130.0f);
    }
}

TEST_F(RunnerBoardTest, OnlyAnObstacleLessThan100PixelsToTheRightIsPutBack) {
    Obstacle* a = addObstacle(1);
    Obstacle* near = addObstacle(2);
    Obstacle* next = addObstacle(3);
    a->x = 302.5f;  // 300 after its step
    near->x = 399.9f;  // 399 - 300 = 99
    next->x = 310.0f;
    a->update();
    EXPECT_EQ(near->x, 529.0f);  // whole pixels, then 130 further
    EXPECT_EQ(next->x, 310.0f);  // the walk stopped at the first one moved

    a->x = 302.5f;
    near->x = 400.0f;  // 100 pixels: far enough
    next->x = 299.0f;  // left of it: never moved
    a->update();
    EXPECT_EQ(near->x, 400.0f);
    EXPECT_EQ(next->x, 299.0f);
}

TEST_F(RunnerBoardTest, ASingleObstacleKeepsItsTalkBoxAllTheWay) {
    Obstacle* o = addObstacle(3);
    while (!board->obstacles.empty()) {
        board->update();
        if (board->obstacles.empty()) break;
        ASSERT_EQ(o->talking, 1) << "at x " << o->x;
    }
}

TEST_F(RunnerBoardTest, OnlyTheNewestTalksAndNobodyOnceItPassedX100) {
    Obstacle* older = addObstacle(1);
    Obstacle* newer = addObstacle(2);
    int frames = 0;
    while (newer->x > 100.0f) {
        board->update();
        ++frames;
        ASSERT_EQ(older->talking, 0) << "frame " << frames;
        ASSERT_EQ(newer->talking, newer->x > 100.0f ? 1 : 0) << "frame " << frames;
    }
    EXPECT_EQ(newer->talking, 0);
    for (int i = 0; i < 100 && !board->obstacles.empty(); ++i) {
        board->update();
        for (Obstacle* o : board->obstacles) ASSERT_EQ(o->talking, 0);
    }
}

TEST_F(RunnerBoardTest, ALaterArrivalFarBehindSilencesTheOneAhead) {
    Obstacle* ahead = addObstacle(1);
    ahead->x = 300.0f;
    Obstacle* arrival = addObstacle(4);
    board->update();
    EXPECT_EQ(ahead->talking, 0);
    EXPECT_EQ(arrival->talking, 1);
}
