// The generated art as the game draws it: the option panel's lettering over a
// busy board, and the ranking's cheering runner against the list's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/mainGame.h"
#include "file_readers.hpp"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/SceneManager.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "match3/ThreeMatchGame.h"
#include "platform/Canvas.h"
#include "platform/Input.h"
#include "ranking/Rank.h"

namespace {

using testing_support::Harness;
using Pixels = std::vector<std::uint32_t>;

Pixels screenPixels() {
    const platform::Surface& s = backDC()->pixels();
    return Pixels(s.pixels(), s.pixels() + s.width() * s.height());
}

template <class T>
T* scene(const char* name) { return dynamic_cast<T*>(SceneManager::get()->findScene(name)); }

double luminance(std::uint32_t rgb) {
    double sum = 0;
    const double weight[] = {0.0722, 0.7152, 0.2126};  // blue, green, red
    for (int i = 0; i < 3; ++i) {
        const double c = ((rgb >> (8 * i)) & 0xFF) / 255.0;
        sum += weight[i] * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}
double contrast(std::uint32_t a, std::uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
std::uint32_t blend(std::uint32_t over, std::uint32_t under, int alpha) {
    std::uint32_t out = 0;
    for (int s = 0; s < 24; s += 8)
        out |= ((((over >> s) & 0xFF) * alpha + ((under >> s) & 0xFF) * (255 - alpha) + 127) / 255) << s;
    return out;
}

// The board under the panel as play shows it: during the countdown (its
// banner runs under the panel), in play, and with the top rows highlighted.
std::vector<Pixels> boardsUnderThePanel() {
    Harness h;
    h.start();
    auto* play = scene<ThreeMatchGame>(names::kGameScene);
    h.frame();
    h.click(40, 20);  // skip the intro
    std::vector<Pixels> boards;
    for (int i = 0; i < 600 && !play->started; ++i) {
        h.frame();
        if (i == 30 || i == 90) boards.push_back(screenPixels());
    }
    h.frames(60);
    boards.push_back(screenPixels());
    for (Block* b : play->blockBoard->blocks) b->markedH = b->row <= 2;
    h.game().render();
    boards.push_back(screenPixels());
    return boards;
}

// The panel is blended at alpha 180 at (200, 459); its rows are drawn solid,
// keyed, at y 16 and 51 of it. In each box of lettering the most common colour
// is the plate and the one standing out most from it the letters; each is
// worked out over every board pixel under the box, and the worst pair counts.
TEST(ArtOnScreen, OptionPanelLetteringReadsOverTheBusiestBoard) {
    constexpr int kPanelX = 200, kPanelY = 459, kAlpha = 180;
    struct Box {
        const char* what;
        const char* row;  // the row picture drawn over the panel, or none
        int rowY, left, top, right, bottom;  // in the panel
    };
    const Box boxes[] = {
        {"title", nullptr, 0, 4, 2, 110, 15},        {"close box", nullptr, 0, 178, 3, 197, 21},
        {"footer", nullptr, 0, 40, 88, 160, 103},
        {"music label", "bgmOn", 16, 8, 22, 110, 48}, {"ON", "bgmOn", 16, 124, 29, 146, 41},
        {"OFF", "bgmOff", 16, 140, 29, 162, 41},      {"sound label", "effectOn", 51, 8, 56, 110, 82},
        {"ON", "effectOn", 51, 124, 64, 146, 76},     {"OFF", "effectOff", 51, 140, 64, 162, 76},
    };
    const std::string img = assetcheck::gameDir() + "/img/";
    auto panel = assetcheck::readBmp24(img + "optionPannel.bmp");
    ASSERT_TRUE(panel);
    const std::vector<Pixels> boards = boardsUnderThePanel();
    for (const Box& box : boxes) {
        auto row = box.row ? assetcheck::readBmp24(img + box.row + ".bmp") : std::nullopt;
        ASSERT_TRUE(row || !box.row) << box.row;
        // A pixel is either solid (a row's) or the panel's, blended: which, and its colour.
        auto art = [&](int x, int y) {
            const bool solid = row && row->rgb(x, y - box.rowY) != 0xFF00FF;
            return std::pair{solid, solid ? row->rgb(x, y - box.rowY) : panel->rgb(x, y)};
        };
        auto shown = [&](std::pair<bool, std::uint32_t> a, std::uint32_t under) {
            return a.first ? a.second : blend(a.second, under, kAlpha);
        };
        std::vector<std::pair<std::pair<bool, std::uint32_t>, int>> counts;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                auto it = std::find_if(counts.begin(), counts.end(), [&](auto& c) { return c.first == art(x, y); });
                if (it == counts.end()) counts.push_back({art(x, y), 1}); else ++it->second;
            }
        const auto plate = std::max_element(counts.begin(), counts.end(),
                                            [](auto& a, auto& b) { return a.second < b.second; })->first;
        auto letters = plate;
        for (auto& [a, n] : counts)
            if (contrast(shown(a, 0x808080), shown(plate, 0x808080)) > contrast(shown(letters, 0x808080), shown(plate, 0x808080)))
                letters = a;
        double worst = 100;
        for (const Pixels& board : boards)
            for (int y = box.top; y < box.bottom; ++y)
                for (int x = box.left; x < box.right; ++x) {
                    const std::uint32_t under = board[size_t(kPanelY + y) * 600 + kPanelX + x] & 0xFFFFFF;
                    worst = std::min(worst, contrast(shown(letters, under), shown(plate, under)));
                }
        EXPECT_GE(worst, 4.5) << box.what << (box.row ? std::string(" of ") + box.row : "");
        std::printf("%-11s %-9s worst contrast %.2f:1\n", box.what, box.row ? box.row : "", worst);
    }
}

// The list is uncovered from the bottom up while the runner's picture slides
// right; with ten full entries, no letter of the list may land on the runner
// in any frame of the reveal.
TEST(ArtOnScreen, RankingRunnerStaysClearOfTheListThroughTheReveal) {
    Harness h;
    h.start();
    RankRecords full{};
    for (int i = 0; i < kRankCount; ++i) {
        for (int j = 0; j < kNameLength; ++j) full[i].letters[j] = (i + j) % 2 ? 22 : 12;  // W, M: the widest
        full[i].score = 99000 - i * 1111;
    }
    ASSERT_TRUE(writeRankerList(full) && writeNewScore(500));  // 500 does not make the list
    SceneManager::get()->changeScene(names::kRankScene);
    auto* rank = scene<Rank>(names::kRankScene);
    h.frame();
    ASSERT_EQ(rank->phase, Rank::showing);
    ASSERT_TRUE(rank->characterPicture);
    long worst = 0;
    int worstFrame = 0;
    for (int frame = 0; rank->slideX < 300 || rank->curtain > 0; ++frame) {
        auto draw = [&](bool runner, bool text) {
            bitmapPicture* character = rank->characterPicture;
            const RankRecords records = rank->records;
            if (!runner) rank->characterPicture = nullptr;
            if (!text) for (RankRecord& r : rank->records) r.score = 0;
            rank->render();
            rank->characterPicture = character;
            rank->records = records;
            return screenPixels();
        };
        const Pixels neither = draw(false, false), runner = draw(true, false), text = draw(false, true);
        long both = 0;
        for (size_t i = 0; i < neither.size(); ++i) both += runner[i] != neither[i] && text[i] != neither[i];
        if (both > worst) worst = both, worstFrame = frame;
        h.frame();
    }
    EXPECT_EQ(worst, 0) << "pixels of text on the runner in frame " << worstFrame << " of the reveal";
}

}  // namespace
