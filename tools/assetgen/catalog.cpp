#include "art.hpp"

namespace assetgen {

const std::vector<PictureEntry>& pictureCatalog() {
    using F = Format;
    static const std::vector<PictureEntry> list = {
        // Match-3 board
        {"block1.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock1},
        {"block2.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock2},
        {"block3.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock3},
        {"block4.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock4},
        {"block5.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock5},
        {"block6.bmp", 128, 64, 2, 1, F::KeyedBmp, drawBlock6},
        {"special.png", 304, 152, 4, 2, F::Png, drawSpecial},
        {"target.png", 64, 64, 1, 1, F::Png, drawTarget},
        {"bg.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawPlayBg},
        {"white.bmp", 557, 557, 1, 1, F::OpaqueBmp, drawWhite},
        {"watch.bmp", 30, 30, 1, 1, F::KeyedBmp, drawWatch},
        {"refresh.bmp", 40, 40, 1, 1, F::KeyedBmp, drawRefresh},
        {"strings.bmp", 600, 335, 1, 5, F::KeyedBmp, drawStrings},
        // Runner strip
        {"bgBack.bmp", 1728, 486, 1, 1, F::OpaqueBmp, drawBgBack},
        {"bgFront.bmp", 1420, 400, 1, 1, F::KeyedBmp, drawBgFront},
        {"marlo.bmp", 1278, 200, 8, 1, F::KeyedBmp, drawMarlo},
        {"dust.bmp", 240, 30, 4, 1, F::KeyedBmp, drawDust},
        {"string_slow.bmp", 60, 25, 1, 1, F::KeyedBmp, drawStringSlow},
        {"string_fast.bmp", 60, 25, 1, 1, F::KeyedBmp, drawStringFast},
        {"speed.bmp", 250, 75, 1, 3, F::KeyedBmp, drawSpeed},
        {"niddle.bmp", 5, 20, 1, 1, F::KeyedBmp, drawNeedle},
        {"speed_down.bmp", 45, 45, 1, 1, F::KeyedBmp, drawSpeedDown},
        {"talkboxBg.bmp", 600, 115, 1, 1, F::KeyedBmp, drawTalkboxBg},
        {"talkbox2.bmp", 600, 805, 1, 7, F::KeyedBmp, drawTalkbox2},
        {"daruma.bmp", 800, 100, 8, 1, F::KeyedBmp, drawDaruma},
        {"drum.bmp", 800, 100, 8, 1, F::KeyedBmp, drawDrum},
        {"pot.bmp", 800, 100, 8, 1, F::KeyedBmp, drawPot},
        {"dynamite.bmp", 800, 100, 8, 1, F::KeyedBmp, drawDynamite},
        {"bat.bmp", 800, 100, 8, 1, F::KeyedBmp, drawBat},
        {"manhole.bmp", 800, 100, 8, 1, F::KeyedBmp, drawManhole},
        // Intro
        {"main0.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain0},
        {"main1.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain1},
        {"main2.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain2},
        {"main3.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain3},
        {"main4.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain4},
        {"main5.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain5},
        {"main6.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain6},
        {"main7.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain7},
        {"main8.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain8},
        {"main9.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawMain9},
        {"light.bmp", 4256, 1024, 8, 1, F::KeyedBmp, drawLight},
        {"play.bmp", 155, 90, 1, 1, F::KeyedBmp, drawPlayButton},
        {"skip.png", 80, 36, 1, 1, F::PngSkip, drawSkip},
        // Controller: cursors and option panel
        {"pointMove.bmp", 42, 42, 1, 1, F::KeyedBmp, drawPointMove},
        {"pointClick.bmp", 42, 42, 1, 1, F::KeyedBmp, drawPointClick},
        {"option.bmp", 50, 50, 1, 1, F::KeyedBmp, drawOptionButton},
        {"optionPannel.bmp", 200, 106, 1, 1, F::OpaqueBmp, drawOptionPanel},
        {"bgmOn.bmp", 200, 35, 1, 1, F::KeyedBmp, drawBgmOn},
        {"bgmOff.bmp", 200, 35, 1, 1, F::KeyedBmp, drawBgmOff},
        {"effectOn.bmp", 200, 35, 1, 1, F::KeyedBmp, drawEffectOn},
        {"effectOff.bmp", 200, 35, 1, 1, F::KeyedBmp, drawEffectOff},
        // Ranking
        {"alphabet.bmp", 500, 350, 10, 5, F::KeyedBmp, drawAlphabet},
        {"alphabet2.bmp", 400, 350, 10, 5, F::KeyedBmp, drawAlphabet2},
        {"rank123.bmp", 70, 210, 1, 3, F::KeyedBmp, drawRank123},
        {"rankBg1.bmp", 600, 1024, 1, 1, F::OpaqueBmp, drawRankBg1},
        {"rankBg2.bmp", 600, 1024, 1, 1, F::OpaqueBmp, drawRankBg2},
        {"rankbutton.bmp", 157, 90, 1, 3, F::KeyedBmp, drawRankButton},
        {"rankMarlo.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawRankMarlo},
        {"rankframe.bmp", 600, 1024, 1, 1, F::KeyedBmp, drawRankFrame},
        {"homebutton.png", 90, 90, 1, 1, F::Png, drawHomeButton},
        // Window and desktop entry
        {"icon.png", 256, 256, 1, 1, F::Png, drawIcon},
    };
    return list;
}

}  // namespace assetgen
