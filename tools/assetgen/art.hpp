// Every picture the game loads: file name, size, frame grid, format, and the
// function that draws it. Each draw function gets the whole canvas.
#pragma once
#include <string>
#include <vector>

#include "canvas.hpp"
#include "image_io.hpp"

namespace assetgen {

using DrawFn = void (*)(cairo_t* cr, int width, int height);

struct PictureEntry {
    std::string file;  // under img/
    int width;
    int height;
    int cols;
    int rows;
    Format format;
    DrawFn draw;
};

const std::vector<PictureEntry>& pictureCatalog();

// The morning-town palette shared by every scene.
namespace palette {
constexpr Rgb ink = hex(0x3A2A4A);        // outlines
constexpr Rgb cream = hex(0xFFF6E0);
constexpr Rgb skyTop = hex(0x6EC6F5);
constexpr Rgb skyLow = hex(0xFFE2B8);
constexpr Rgb sun = hex(0xFFD54A);
constexpr Rgb grass = hex(0x7CCB5A);
constexpr Rgb grassDark = hex(0x4FA447);
constexpr Rgb road = hex(0x8C8AA0);
constexpr Rgb gold = hex(0xFFC83A);
constexpr Rgb button = hex(0x3DBB6A);
}  // namespace palette

// Tile kind k (1..6): colour shared with obstacle kind k.
Rgb kindColor(int kind);
// The kind's shape, filled and outlined, centred at (cx, cy) with radius r.
void kindShape(cairo_t* cr, int kind, double cx, double cy, double r);
// A glossy gem tile of one kind, 64 x 64 at the origin.
void drawTile(cairo_t* cr, int kind, bool highlighted);

// The runner, drawn facing right with feet at (x, groundY); phase 0..1 of the
// run cycle, or a victory pose.
enum class Pose { Run, Cheer };
void drawRunner(cairo_t* cr, double x, double groundY, double scale, double phase, Pose pose);

// Per-scene drawing.
void drawBlock(cairo_t*, int, int, int kind);
void drawBlock1(cairo_t*, int, int);
void drawBlock2(cairo_t*, int, int);
void drawBlock3(cairo_t*, int, int);
void drawBlock4(cairo_t*, int, int);
void drawBlock5(cairo_t*, int, int);
void drawBlock6(cairo_t*, int, int);
void drawSpecial(cairo_t*, int, int);
void drawTarget(cairo_t*, int, int);
void drawDaruma(cairo_t*, int, int);
void drawDrum(cairo_t*, int, int);
void drawPot(cairo_t*, int, int);
void drawDynamite(cairo_t*, int, int);
void drawBat(cairo_t*, int, int);
void drawManhole(cairo_t*, int, int);

void drawBgBack(cairo_t*, int, int);
void drawBgFront(cairo_t*, int, int);
void drawMarlo(cairo_t*, int, int);
void drawDust(cairo_t*, int, int);
void drawStringSlow(cairo_t*, int, int);
void drawStringFast(cairo_t*, int, int);
void drawSpeed(cairo_t*, int, int);
void drawNeedle(cairo_t*, int, int);
void drawSpeedDown(cairo_t*, int, int);
void drawTalkboxBg(cairo_t*, int, int);
void drawTalkbox2(cairo_t*, int, int);

void drawPlayBg(cairo_t*, int, int);
void drawWhite(cairo_t*, int, int);
void drawWatch(cairo_t*, int, int);
void drawRefresh(cairo_t*, int, int);
void drawStrings(cairo_t*, int, int);

void drawMain0(cairo_t*, int, int);
void drawMain1(cairo_t*, int, int);
void drawMain2(cairo_t*, int, int);
void drawMain3(cairo_t*, int, int);
void drawMain4(cairo_t*, int, int);
void drawMain5(cairo_t*, int, int);
void drawMain6(cairo_t*, int, int);
void drawMain7(cairo_t*, int, int);
void drawMain8(cairo_t*, int, int);
void drawMain9(cairo_t*, int, int);
void drawLight(cairo_t*, int, int);
void drawPlayButton(cairo_t*, int, int);
void drawSkip(cairo_t*, int, int);

void drawOptionButton(cairo_t*, int, int);
void drawOptionPanel(cairo_t*, int, int);
void drawBgmOn(cairo_t*, int, int);
void drawBgmOff(cairo_t*, int, int);
void drawEffectOn(cairo_t*, int, int);
void drawEffectOff(cairo_t*, int, int);
void drawPointMove(cairo_t*, int, int);
void drawPointClick(cairo_t*, int, int);

void drawAlphabet(cairo_t*, int, int);
void drawAlphabet2(cairo_t*, int, int);
void drawRank123(cairo_t*, int, int);
void drawRankBg1(cairo_t*, int, int);
void drawRankBg2(cairo_t*, int, int);
void drawRankButton(cairo_t*, int, int);
void drawRankMarlo(cairo_t*, int, int);
void drawRankFrame(cairo_t*, int, int);
void drawHomeButton(cairo_t*, int, int);

void drawIcon(cairo_t*, int, int);

}  // namespace assetgen
