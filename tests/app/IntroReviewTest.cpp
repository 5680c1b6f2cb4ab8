// Writes the intro's frames at chosen moments, and the open option panel, as
// PNGs beside the run folder (<build>/review) for a person to look at. Each
// moment must be reached and must look different from the one before.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Harness.h"
#include "app/IntroSceen.h"
#include "app/mainGame.h"
#include "engine/bitmapPicture.h"
#include "framework/SceneManager.h"

using testing_support::Harness;

TEST(IntroReview, WritesEveryStageAndTheOpenPanel) {
    Harness h(std::string("\x01\x01", 2));
    h.start();
    auto* s = dynamic_cast<IntroSceen*>(SceneManager::get()->findScene("intro"));
    ASSERT_TRUE(s->main[1] && s->main[2] && s->main[9]);
    const std::filesystem::path dir = std::filesystem::path(testing_support::gameDir()).parent_path() / "review";
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::function<bool()>> moments[] = {
        {"intro-first", [] { return true; }},
        {"intro-rise", [&] { return s->revealHeight > 150 && s->main[1]->getY() < 300.0f; }},
        {"intro-light", [&] { return s->lightFrame >= 4; }},
        {"intro-hold", [&] { return s->lightDone && s->holdUntil > 0 && !s->holdOver && s->alphaA == 255; }},
        {"intro-slide", [&] { return s->holdOver && s->slideY < 220; }},
        {"intro-crossfade", [&] { return s->slideDone && s->alphaB > 120; }},
        {"intro-drift", [&] { return s->fadeDone && s->main[2]->getX() < -250.0f; }},
        {"intro-sweep", [&] { return s->driftDone && s->main[9]->getX() > -650.0f; }},
        {"intro-pulse", [&] { return s->buttonShown && (s->buttonAlpha & 0xFF) >= 200; }},
        {"option-panel", [&] { return h.game().running == 0; }},
    };
    h.frame();
    std::vector<std::uint32_t> previous;
    for (const auto& [name, reached] : moments) {
        if (std::string(name) == "option-panel") h.tap(VK_ESCAPE);
        for (int guard = 0; guard < 3000 && !reached(); ++guard) h.frame();
        ASSERT_TRUE(reached()) << name;
        EXPECT_TRUE(h.saveScreen((dir / (std::string(name) + ".png")).string()));
        const platform::Surface& now = h.screen();
        std::vector<std::uint32_t> pixels(now.pixels(), now.pixels() + now.width() * now.height());
        EXPECT_NE(pixels, previous) << name << " looks like the moment before";
        previous = std::move(pixels);
    }
}
