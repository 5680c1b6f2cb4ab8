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

private:
    // The list as this game last read or wrote it: what records holds beyond
    // it is this game's own entry, added to whatever the file holds by then.
    RankRecords stored{};

    void layOut();
    void updateShowing();
    void updateEntering();
    void renderShowing(HDC dc);
    void renderEntering(HDC dc);
    void renderScore(HDC dc);
    void drawGlyph(bitmapPicture* sheet, HDC dc, int x, int y, std::int32_t letter);
};
