// The play scene: the runner strip over the match-3 grid, the countdown, the
// 60-second clock, the score display and the end of play.
#pragma once

#include <cstdint>
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

    // Opens the fonts play draws with and lays out their characters once, so
    // the frame that enters play does not pay for it (some milliseconds).
    // Called while the game starts, when the first frame waits for its time.
    static void prepareText();

    // Play runs: the countdown is over and the time is not.
    bool playRunning() const { return started && !timeUp; }
    // The option panel was open this long: none of it is play time, so the
    // clock's start and the combo's deadline move on by it.
    void skipPausedTime(float seconds, std::uint32_t ms);

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
