#include "ranking/Rank.h"

#include <cstdio>
#include <string_view>

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "framework/OutlinedText.h"
#include "framework/PlayerKeys.h"
#include "framework/SceneManager.h"
#include "platform/Canvas.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "platform/Text.h"

namespace {

constexpr const char* kFace = "Arial Black";

// Sizes of the pictures as registered; the layout falls back on them when a
// picture is missing, so the buttons still work without their art.
constexpr int kGlyphW = 50, kGlyphH = 70;       // "alphabet" cell
constexpr int kSmallGlyphW = 40, kSmallGlyphH = 70;  // "alphabet2" cell
constexpr int kButtonW = 157, kButtonH = 30;    // "rankbutton" cell
constexpr int kSheetW = 500;                    // "alphabet" width

int cellW(bitmapPicture* p, int fallback) { return p ? p->getFrameWidth() : fallback; }
int cellH(bitmapPicture* p, int fallback) { return p ? p->getFrameHeight() : fallback; }

RECT rectAt(int left, int top, int w, int h) { return RECT{left, top, left + w, top + h}; }

// The glyph sheets hold A to Z, 0 to 9, these marks, a heart, a star and a
// blank, in reading order.
constexpr std::string_view kMarks = "!?.,-+&#@*:";
constexpr int kFirstDigit = 26;
constexpr int kFirstMark = 36;
constexpr int kBlankGlyph = 49;

// The glyph a typed character stands for, or -1.
int glyphOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= '0' && c <= '9') return kFirstDigit + (c - '0');
    if (c == ' ') return kBlankGlyph;
    const auto mark = kMarks.find(c);
    return mark == std::string_view::npos ? -1 : kFirstMark + static_cast<int>(mark);
}

}  // namespace

HRESULT Rank::init() {
    setDefaultRecords(records);
    for (std::int32_t& letter : nameLetters) letter = emptyLetter;

    soundRegistry::get()->addSound(names::kRankingMusic, "soundfile/ranking.mp3", true, true);
    soundRegistry::get()->play(names::kRankingMusic, 1.0f);

    readRankerList(records);
    stored = records;

    phase = reading;
    slideX = 0;
    curtain = names::kClientHeight;
    fadeIn = 0;
    fadeOut = 255;
    letterCount = 0;
    homeRect = RECT{190, 10, 280, 100};
    cursor = 0;
    cursorColumn = 0;
    cursorShown = false;
    cursorMouseX = mouseX;
    cursorMouseY = mouseY;

    auto* pictures = pictureRegistry::get();
    homePicture = pngPictureRegistry::get()->addPicture("home", "img/homebutton.png", false, 0, 0);
    alphabetPicture = pictures->addFramePicture("alphabet", "img/alphabet.bmp", 500, 350, 10, 5, true, MAGENTA);
    smallAlphabetPicture = pictures->addFramePicture("alphabet2", "img/alphabet2.bmp", 400, 350, 10, 5, true, MAGENTA);
    medalPicture = pictures->addFramePicture("rank123", "img/rank123.bmp", 70, 210, 1, 3, true, MAGENTA);
    backgroundPicture = pictures->addPicture("rankBg1", "img/rankBg1.bmp", names::kClientWidth, names::kClientHeight, false, 0);
    secondBackgroundPicture = pictures->addPicture("rankBg2", "img/rankBg2.bmp", names::kClientWidth, names::kClientHeight, false, 0);
    buttonPicture = pictures->addFramePicture("rankbutton", "img/rankbutton.bmp", 157, 90, 1, 3, true, MAGENTA);
    characterPicture = pictures->addPicture("rankMarlo", "img/rankMarlo.bmp", names::kClientWidth, names::kClientHeight, true, MAGENTA);
    framePicture = pictures->addPicture("rankframe", "img/rankframe.bmp", names::kClientWidth, names::kClientHeight, true, MAGENTA);
    layOut();

    saveRanking();
    return S_OK;
}

void Rank::layOut() {
    const int bw = cellW(buttonPicture, kButtonW), bh = cellH(buttonPicture, kButtonH);
    backButton = rectAt(340, 740, bw, bh);
    clearButton = rectAt(340, backButton.bottom + 10, bw, bh);
    okButton = rectAt(340, clearButton.bottom + 10, bw, bh);

    const int gw = cellW(alphabetPicture, kGlyphW), gh = cellH(alphabetPicture, kGlyphH);
    const int margin = (names::kClientWidth - (alphabetPicture ? alphabetPicture->getWidth() : kSheetW)) / 2;
    for (int i = 0; i < 50; ++i) {
        letterCells[i] = rectAt(margin + gw * (i % 10), 350 + gh * (i / 10), gw, gh);
    }
    for (int j = 0; j < kNameLength; ++j) nameSlots[j] = rectAt(30 + gw * j, 160, gw, gh);
}

void Rank::saveRanking() {
    sortRecords(records);
    // Merged with the list on disk, so a game saving meanwhile loses nothing.
    saveRankerList(records, stored);
}

void Rank::update() {
    if (phase == reading) {
        newScore = readNewScore();
        phase = newScore > records[kRankCount - 1].score ? entering : showing;
    }
    if (phase == showing) {
        updateShowing();
    } else if (phase == entering) {
        updateEntering();
        if (phase == entering) updateEnteringKeys();
    }
    // Letters typed for the name are text, not the debug toggles.
    platform::input().setTextEntry(phase == entering);
}

void Rank::updateShowing() {
    fadeIn += 1;
    if (fadeIn > 253) fadeIn = 255;
    fadeOut -= 1;
    if (fadeOut < 3) fadeOut = 0;
    slideX += 1;
    if (slideX > 300) slideX = 300;
    curtain -= 4;
    if (curtain < -1) curtain = 0;

    const bool clicked = KeyState::get()->wasPressed(VK_LBUTTON) && PtInRect(homeRect, mouseX, mouseY);
    // Return, Space or the pad's A on the list go home too.
    if (clicked || playerKeys::choosePressed()) {
        slideX = 0;
        curtain = names::kClientHeight;
        fadeIn = 0;
        fadeOut = 255;
        letterCount = 0;
        soundRegistry::get()->stop(names::kRankingMusic);
        SceneManager::get()->changeScene(names::kIntroScene);
    }
}

void Rank::updateEntering() {
    if (!KeyState::get()->wasPressed(VK_LBUTTON)) return;
    const int x = mouseX, y = mouseY;
    if (letterCount > 0 && PtInRect(backButton, x, y)) backLetter();
    if (PtInRect(clearButton, x, y)) clearName();
    if (PtInRect(okButton, x, y)) confirmName();
    if (letterCount < kNameLength) {
        for (int i = 0; i < 50 && letterCount < kNameLength; ++i) {
            if (PtInRect(letterCells[i], x, y)) enterLetter(i);
        }
    }
}

void Rank::backLetter() {
    if (letterCount <= 0) return;
    letterCount -= 1;
    nameLetters[letterCount] = emptyLetter;
}

void Rank::clearName() {
    letterCount = 0;
    for (std::int32_t& letter : nameLetters) letter = emptyLetter;
}

void Rank::confirmName() {
    RankRecord& last = records[kRankCount - 1];
    for (int j = 0; j < kNameLength; ++j) last.letters[j] = nameLetters[j];
    last.score = newScore;
    saveRanking();
    phase = showing;
}

void Rank::enterLetter(int glyph) {
    if (letterCount >= kNameLength) return;
    nameLetters[letterCount] = glyph;
    letterCount += 1;
}


void Rank::updateEnteringKeys() {
    if (mouseX != cursorMouseX || mouseY != cursorMouseY) {
        cursorShown = false;
        cursorMouseX = mouseX;
        cursorMouseY = mouseY;
    }
    // The keys act below one by one in the order they came, however many came
    // in this frame. Their latches are polled all the same, so a press taken
    // here is not a fresh one for the list once the name is in.
    playerKeys::directionPressed();
    playerKeys::anyPressed({VK_SPACE, VK_GAMEPAD_A, VK_BACK, VK_GAMEPAD_B, VK_DELETE, VK_RETURN});

    // Under a shown cursor Space presses what the cursor is on, and the blank
    // it types right after is not typed too.
    bool blankTaken = false;
    for (const platform::InputState::Typed& t : platform::input().takeTyped()) {
        if (phase != entering) break;
        for (char c : t.text) {
            if (c == ' ' && blankTaken) {
                blankTaken = false;
                continue;
            }
            const int glyph = glyphOf(c);
            if (glyph < 0) continue;
            enterLetter(glyph);
            cursorShown = false;
        }
        if (t.key == 0) continue;
        blankTaken = false;
        const int direction = playerKeys::directionOf(t.key);
        if (direction != playerKeys::kNone) {
            if (cursorShown) moveCursor(direction);
            cursorShown = true;
        } else if (t.key == VK_SPACE || t.key == VK_GAMEPAD_A) {
            blankTaken = cursorShown && t.key == VK_SPACE;
            if (cursorShown) {
                pressAtCursor();
            } else if (t.key == VK_GAMEPAD_A) {
                cursorShown = true;
            }
        } else if (t.key == VK_BACK || t.key == VK_GAMEPAD_B) {
            backLetter();
        } else if (t.key == VK_DELETE) {
            clearName();
        } else if (t.key == VK_RETURN) {
            confirmName();
        }
    }
}

void Rank::moveCursor(int direction) {
    if (cursor < 50) {
        const int col = cursor % 10, row = cursor / 10;
        if (direction == playerKeys::kLeft && col > 0) cursor -= 1;
        if (direction == playerKeys::kRight && col < 9) cursor += 1;
        if (direction == playerKeys::kUp && row > 0) cursor -= 10;
        if (direction == playerKeys::kDown) {
            if (row < 4) {
                cursor += 10;
            } else {
                cursorColumn = col;
                cursor = kBackPosition;
            }
        }
        return;
    }
    // The three buttons stand in a column below the glyphs.
    if (direction == playerKeys::kUp) cursor = cursor == kBackPosition ? 40 + cursorColumn : cursor - 1;
    if (direction == playerKeys::kDown && cursor < kOkPosition) cursor += 1;
}

void Rank::pressAtCursor() {
    if (cursor < 50) {
        enterLetter(cursor);
    } else if (cursor == kBackPosition) {
        backLetter();
    } else if (cursor == kClearPosition) {
        clearName();
    } else {
        confirmName();
    }
}

void Rank::drawGlyph(bitmapPicture* sheet, HDC dc, int x, int y, std::int32_t letter) {
    // Only glyph indexes draw; anything else a foreign file holds shows nothing.
    if (!sheet || letter < 0 || letter >= 50) return;
    sheet->frameRender(dc, x, y, letter % 10, letter / 10);
}

void Rank::render() {
    HDC dc = backDC();
    if (!dc) return;
    if (phase == showing) {
        renderShowing(dc);
    } else if (phase == entering) {
        renderEntering(dc);
    }
    renderScore(dc);
}

void Rank::renderShowing(HDC dc) {
    if (backgroundPicture) backgroundPicture->render(dc, 0, 0);
    if (characterPicture) {
        characterPicture->alphaRender(dc, slideX, 0, static_cast<std::uint8_t>(fadeOut & 0xFF));
        characterPicture->alphaRender(dc, slideX, 0, static_cast<std::uint8_t>(fadeIn & 0xFF));
    }

    platform::Font* font = platform::getFont(kFace, 30);
    const int smallW = cellW(smallAlphabetPicture, kSmallGlyphW);
    const int smallH = cellH(smallAlphabetPicture, kSmallGlyphH);
    for (int i = 0; i < kRankCount; ++i) {
        const RankRecord& r = records[i];
        if (r.score <= 0) continue;
        const int rowY = (smallH + 16) * i + 110;
        char text[64];
        std::snprintf(text, sizeof text, "< %d >   %d", i + 1, r.score);
        drawOutlined(dc, font, 30, rowY, text, 0xDEDEDE, 0x585858);
        for (int j = 0; j < kNameLength; ++j) {
            if (r.letters[j] == emptyLetter) continue;
            drawGlyph(smallAlphabetPicture, dc, 50 + smallW * j, rowY + 15, r.letters[j]);
        }
        if (i < 3 && medalPicture) medalPicture->frameRender(dc, 50 + smallW * 10, rowY, 0, i);
    }

    if (backgroundPicture && curtain > 0) backgroundPicture->render(dc, 0, 0, 0, 0, names::kClientWidth, curtain);
    if (homePicture) homePicture->render(dc, 190, 10, 0);
}

void Rank::renderEntering(HDC dc) {
    for (bitmapPicture* p : {backgroundPicture, characterPicture, framePicture}) {
        if (p) p->render(dc, 0, 0);
    }
    if (alphabetPicture) alphabetPicture->render(dc, letterCells[0].left, letterCells[0].top);

    const bool debug = KeyState::get()->isToggled('F');
    if (debug) {
        for (const RECT& cell : letterCells) platform::frameRect(*dc, cell, 0x6464DE);
    }
    for (int j = 0; j < kNameLength; ++j) {
        if (nameLetters[j] != emptyLetter) {
            drawGlyph(alphabetPicture, dc, nameSlots[j].left, nameSlots[j].top, nameLetters[j]);
        }
        if (debug) platform::frameRect(*dc, nameSlots[j], 0xFFFFFF);
    }
    if (buttonPicture) {
        buttonPicture->frameRender(dc, backButton.left, backButton.top, 0, 0);
        buttonPicture->frameRender(dc, clearButton.left, clearButton.top, 0, 1);
        buttonPicture->frameRender(dc, okButton.left, okButton.top, 0, 2);
    }
    if (debug) {
        for (const RECT& r : {backButton, clearButton, okButton}) platform::frameRect(*dc, r, 0xC89B0A);
    }
    renderCursor(dc);
}

void Rank::renderCursor(HDC dc) {
    if (!cursorShown) return;
    const RECT buttons[] = {backButton, clearButton, okButton};
    const RECT& r = cursor < 50 ? letterCells[cursor] : buttons[cursor - kBackPosition];
    playerKeys::drawCursor(dc, r);
}

void Rank::renderScore(HDC dc) {
    const auto right = platform::TextAlign::Right;
    drawOutlined(dc, platform::getFont(kFace, 30), 570, 20, "Your Score :  ", 0xB4B4B4, 0x820A14, right);
    char text[32];
    std::snprintf(text, sizeof text, "%d", newScore);
    drawOutlined(dc, platform::getFont(kFace, 50), 570, 40, text, 0xB4B4B4, 0x820A14, right);
}
