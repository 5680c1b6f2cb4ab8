#include "runner/Obstacle.h"

#include "engine/bitmapPicture.h"
#include "engine/pictureRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Surface.h"
#include "runner/AnimationBoard.h"

namespace {

constexpr COLORREF kOutline = 0x0ABE15;
constexpr int kDebugFrameKey = 0x46;  // 'F'

struct KindPicture {
    const char* key;
    const char* file;
};
// Kinds 1..6, the same kinds as the tiles that send them.
constexpr KindPicture kKindPictures[6] = {
    {"daruma", "img/daruma.bmp"}, {"drum", "img/drum.bmp"},   {"pot", "img/pot.bmp"},
    {"dynamite", "img/dynamite.bmp"}, {"bat", "img/bat.bmp"}, {"manhole", "img/manhole.bmp"},
};

}  // namespace

int Obstacle::setup(int kind, AnimationBoard* owner) {
    pictureRegistry* pictures = pictureRegistry::get();
    talkBoxPicture = pictures->addPicture("talkbox", "img/talkboxBg.bmp", 0.0f, 300.0f, names::kClientWidth, 115,
                                          true, MAGENTA);
    talkTextPicture =
        pictures->addFramePicture("talkbox2", "img/talkbox2.bmp", names::kClientWidth, 805, 1, 7, true, MAGENTA);
    talking = 1;

    if (kind >= 1 && kind <= 6) {
        const KindPicture& k = kKindPictures[kind - 1];
        picture = pictures->addFramePicture(k.key, k.file, 800, 100, 8, 1, true, MAGENTA);
        // The talk row lives in the one shared picture: every talk box on
        // screen shows the line of the obstacle set up last.
        if (talkTextPicture) talkTextPicture->setFrameY(kind);
        cellWidth = kCellSize;
        cellHeight = kCellSize;
    } else {
        picture = nullptr;
        cellWidth = 0;
        cellHeight = 0;
    }

    board = owner;
    placed = false;
    finished = 0;
    frame = 0;
    x = kStartX;
    y = kStartY;
    return 0;
}

void Obstacle::update() {
    x = static_cast<float>(static_cast<double>(x) - kStep);

    const int tx = static_cast<int>(x);
    const int ty = static_cast<int>(y);
    rect.left = tx - cellWidth / 2;
    rect.top = ty - cellHeight / 2;
    rect.right = tx + cellWidth / 2;
    rect.bottom = ty + cellHeight / 2;
    placed = true;

    if (rect.right < 0) finished = 1;

    if (platform::tickCount64() % 10 == 0) {
        if (++frame > kLastFrame) frame = 0;
    }

    if (x > 100.0f) talking = 1;

    if (!board) return;
    // Only the latest arrival keeps talking, and one that would sit on top of
    // this one is pushed back so the two stay apart.
    for (Obstacle* o : board->obstacles) {
        if (o == this) continue;
        const int d = static_cast<int>(o->x) - tx;
        if (d < 400) o->talking = 0;
        if (d >= 0 && d < 100) {
            o->x = static_cast<float>(static_cast<int>(o->x) + 130);
            break;
        }
    }
}

void Obstacle::render() {
    HDC dc = backDC();
    if (!dc || !placed) return;

    if (picture) picture->frameRender(dc, rect.left, rect.top, frame, 0);

    if (KeyState::get()->isToggled(kDebugFrameKey)) platform::frameRect(*dc, rect, kOutline);

    if (talking) {
        if (talkBoxPicture) talkBoxPicture->alphaRender(dc, kTalkX, kTalkY, kTalkAlpha);
        if (talkTextPicture) {
            talkTextPicture->frameRender(dc, kTalkX, kTalkY, 0, talkTextPicture->getCurrentFrameY());
        }
    }
}
