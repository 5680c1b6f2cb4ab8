// Writes the intro's frames at chosen moments, and the open option panel, as
// PNGs beside the run folder (<build>/review) for a person to look at. Each
// moment must be reached and must look different from the one before.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "Harness.h"
#include "engine/bitmapPicture.h"
#include "shell/IntroSceen.h"
#include "shell/SceneManager.h"
#include "shell/mainGame.h"

using testing_support::Harness;

namespace {

IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene("intro")); }
float xOf(bitmapPicture* p) { return p ? p->getX() : 0.0f; }
float yOf(bitmapPicture* p) { return p ? p->getY() : 0.0f; }

bool sameSurface(const platform::Surface& a, const platform::Surface& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.row(y)[x] != b.row(y)[x]) return false;
    return true;
}

std::string reviewDir() {
    std::filesystem::path dir = std::filesystem::path(testing_support::gameDir()).parent_path() / "review";
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace

TEST(IntroReview, WritesEveryStageAndTheOpenPanel) {
    Harness h(std::string("\x01\x01", 2));
    h.start();
    IntroSceen* s = intro();
    const std::string dir = reviewDir();

    struct Moment {
        const char* name;
        std::function<bool()> reached;
    };
    const Moment moments[] = {
        {"first", [] { return true; }},
        {"rise", [&] { return s->revealHeight > 150 && yOf(s->main[1]) < 300.0f; }},
        {"light", [&] { return s->lightFrame >= 4; }},
        {"hold", [&] { return s->lightDone && s->holdUntil > 0 && !s->holdOver && s->alphaA == 255; }},
        {"slide", [&] { return s->holdOver && s->slideY < 220; }},
        {"crossfade", [&] { return s->slideDone && s->alphaB > 120; }},
        {"drift", [&] { return s->fadeDone && xOf(s->main[2]) < -250.0f; }},
        {"sweep", [&] { return s->driftDone && xOf(s->main[9]) > -650.0f; }},
        {"pulse", [&] { return s->buttonShown && (s->buttonAlpha & 0xFF) >= 200; }},
    };
    h.frame();
    platform::Surface previous;
    for (const Moment& m : moments) {
        int guard = 0;
        while (!m.reached() && guard++ < 3000) h.frame();
        ASSERT_TRUE(m.reached()) << m.name;
        EXPECT_TRUE(h.saveScreen(dir + "/intro-" + m.name + ".png")) << m.name;
        if (!previous.empty()) {
            EXPECT_FALSE(sameSurface(previous, h.screen())) << m.name;
        }
        previous = h.screen();
    }

    h.tap(VK_ESCAPE);
    ASSERT_EQ(h.game().running, 0);
    EXPECT_TRUE(h.saveScreen(dir + "/option-panel.png"));
    EXPECT_FALSE(sameSurface(previous, h.screen()));
}
