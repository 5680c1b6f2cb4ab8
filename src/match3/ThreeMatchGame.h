// The play scene: the runner strip over the match-3 grid, the countdown, the
// 60-second clock, the score display and the end of play.
#pragma once

#include <string_view>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class AnimationBoard;
class BlockBoard;
class bitmapPicture;

class ThreeMatchGame : public gameNode {
public:
    ~ThreeMatchGame() override;
    HRESULT init() override;
    void release() override;
    void update() override;
    void render() override;

    // Text with a white halo, in the alignment given.
    void drawOutlinedText(HDC dc, std::string_view text, float x, float y, int height,
                          const char* face, COLORREF color, bool alignRight = false);

    BlockBoard* blockBoard = nullptr;
    AnimationBoard* runnerBoard = nullptr;
    bitmapPicture* watchPicture = nullptr;
    bitmapPicture* stringsPicture = nullptr;
    bitmapPicture* refreshPicture = nullptr;
    RECT refreshRect{};
    float timeLeft = 0;
    bool started = false;
    bool timeUp = false;

private:
    void freeBoards();
    int bannerRow() const;
    int bannerRowValue = 0;  // the banner's row when its picture is missing
};
