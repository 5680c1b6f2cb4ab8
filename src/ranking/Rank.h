// The ranking scene: name entry when the last score beats the tenth entry,
// then the ten best entries revealed; the home button leads to the intro.
#pragma once

#include <cstdint>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"
#include "ranking/ScoreFiles.h"

class bitmapPicture;
class pngPicture;

class Rank : public gameNode {
public:
    enum Phase : std::int32_t { reading = 0, entering = 1, showing = 2 };

    HRESULT init() override;
    void release() override {}
    void update() override;
    void render() override;

    void saveRanking();

    RankRecords records{};
    std::int32_t nameLetters[kNameLength]{};
    std::int32_t newScore = 0;
    std::int32_t letterCount = 0;
    RECT letterCells[50]{};
    RECT nameSlots[kNameLength]{};
    std::int32_t phase = reading;
    RECT backButton{};
    RECT clearButton{};
    RECT okButton{};
    bitmapPicture* alphabetPicture = nullptr;
    bitmapPicture* smallAlphabetPicture = nullptr;
    bitmapPicture* medalPicture = nullptr;
    bitmapPicture* backgroundPicture = nullptr;
    bitmapPicture* secondBackgroundPicture = nullptr;
    bitmapPicture* buttonPicture = nullptr;
    bitmapPicture* characterPicture = nullptr;
    bitmapPicture* framePicture = nullptr;
    pngPicture* homePicture = nullptr;
    RECT homeRect{};
    std::int32_t slideX = 0;
    std::int32_t curtain = 0;
    std::int32_t fadeIn = 0;
    std::int32_t fadeOut = 0;

    // Without a mouse: a cursor over the 50 glyphs and then the BACK, CLEAR
    // and OK buttons (positions 50, 51, 52), moved by the arrows or the pad;
    // hidden until one of them is used, and again when typing or the mouse
    // takes over.
    static constexpr int kBackPosition = 50;
    static constexpr int kClearPosition = 51;
    static constexpr int kOkPosition = 52;
    int cursor = 0;
    bool cursorShown = false;

private:
    // The list as this game last read or wrote it: what records holds beyond
    // it is this game's own entry, added to whatever the file holds by then.
    RankRecords stored{};

    void layOut();
    void updateShowing();
    void updateEntering();
    void updateEnteringKeys();
    void moveCursor(int direction);
    void pressAtCursor();
    void backLetter();
    void clearName();
    void confirmName();
    void enterLetter(int glyph);
    void renderCursor(HDC dc);
    int cursorColumn = 0;  // the glyph column the buttons return to
    int cursorMouseX = 0;
    int cursorMouseY = 0;
    void renderShowing(HDC dc);
    void renderEntering(HDC dc);
    void renderScore(HDC dc);
    void drawGlyph(bitmapPicture* sheet, HDC dc, int x, int y, std::int32_t letter);
};
