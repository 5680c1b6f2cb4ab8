// The controller and its option panel, driven frame by frame through the
// headless harness.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "platform/FileIO.h"
#include "platform/SimulatedAudio.h"
#include "shell/IntroSceen.h"
#include "shell/SceneManager.h"
#include "shell/mainGame.h"

using testing_support::Harness;
using testing_support::TempWorkDir;

namespace {

const std::string kBothOn("\x01\x01", 2);

// Simulated audio that also remembers every channel it handed out, so a test
// can read each live sound's volume.
class RecordingAudio : public platform::AudioSystem {
public:
    explicit RecordingAudio(std::unique_ptr<platform::SimulatedAudio> s) : sim(std::move(s)) {}

    platform::SoundId load(const std::string& path, bool stream, bool loop) override {
        return sim->load(path, stream, loop);
    }
    void release(platform::SoundId sound) override { sim->release(sound); }
    platform::ChannelId play(platform::SoundId sound) override {
        platform::ChannelId id = sim->play(sound);
        if (id) played.push_back(id);
        return id;
    }
    void stop(platform::ChannelId c) override { sim->stop(c); }
    void setPaused(platform::ChannelId c, bool paused) override { sim->setPaused(c, paused); }
    void setVolume(platform::ChannelId c, float volume) override { sim->setVolume(c, volume); }
    bool isPlaying(platform::ChannelId c) override { return sim->isPlaying(c); }
    bool isPaused(platform::ChannelId c) override { return sim->isPaused(c); }
    void update() override { sim->update(); }
    void close() override { sim->close(); }

    // Volumes of the channels still playing (or paused).
    std::vector<float> liveVolumes() {
        std::vector<float> out;
        for (auto id : played) {
            float v = sim->volume(id);
            if (v >= 0.0f) out.push_back(v);
        }
        return out;
    }

    std::unique_ptr<platform::SimulatedAudio> sim;
    std::vector<platform::ChannelId> played;
};

// Replaces the harness's audio with a recording one; call before start().
RecordingAudio*& installRecorder(Harness& h) {
    static RecordingAudio* last = nullptr;
    last = nullptr;
    platform::installAudioFactory([&h](int channels) -> std::unique_ptr<platform::AudioSystem> {
        auto sim = std::make_unique<platform::SimulatedAudio>(h.time.clock, channels);
        sim->setDuration("intro1.mp3", 10.0);
        sim->setDuration("intro2.mp3", 25.0);
        sim->setDuration("ranking.mp3", 25.0);
        auto rec = std::make_unique<RecordingAudio>(std::move(sim));
        last = rec.get();
        return rec;
    });
    return last;
}

std::string optionFile() {
    auto bytes = platform::readFile("option", 16);
    return std::string(bytes.begin(), bytes.end());
}
bool optionFileExists() { return std::filesystem::exists("option"); }

IntroSceen* intro() { return dynamic_cast<IntroSceen*>(SceneManager::get()->findScene("intro")); }

bool sameSurface(const platform::Surface& a, const platform::Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.row(y)[x] != b.row(y)[x]) return false;
        }
    }
    return true;
}

void openByEscape(Harness& h) { h.tap(VK_ESCAPE); }

}  // namespace

// ---- the controller's frame ------------------------------------------------

TEST(Controller, WithoutAnOptionFileEverySoundIsSilentUntilTurnedOn) {
    Harness h("");
    RecordingAudio*& audio = installRecorder(h);
    h.start();
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(h.game().musicOn, 0);
    EXPECT_EQ(h.game().effectsOn, 0);
    for (int i = 0; i < 60; ++i) {
        h.frame();
        auto volumes = audio->liveVolumes();
        ASSERT_FALSE(volumes.empty()) << "the intro music should be playing, silently";
        for (float v : volumes) ASSERT_EQ(v, 0.0f) << "frame " << i;
    }
    // Music switched on in the panel is heard from the frame the panel closes.
    openByEscape(h);
    h.click(250, 490);
    openByEscape(h);
    ASSERT_EQ(h.game().running, 1);
    EXPECT_NE(h.game().musicOn, 0);
    for (float v : audio->liveVolumes()) EXPECT_EQ(v, 1.0f);
}

TEST(Controller, OpenPanelFreezesTheSceneAndPausesOnlyTheThreeTunes) {
    Harness h(kBothOn);
    RecordingAudio*& audio = installRecorder(h);
    h.start();
    h.frames(100);  // the layers are on the move by now
    soundRegistry* sounds = soundRegistry::get();
    sounds->addSound("ranking", "soundfile/ranking.mp3", true, true);
    sounds->play("ranking", 1.0f);
    ASSERT_TRUE(sounds->isPlaying("ranking"));

    openByEscape(h);
    ASSERT_EQ(h.game().running, 0);
    const int reveal = intro()->revealHeight;
    const float rise = intro()->main[1] ? intro()->main[1]->getY() : 0.0f;
    const platform::Surface frozen = h.screen();
    h.frames(30);
    EXPECT_EQ(intro()->revealHeight, reveal);
    if (intro()->main[1]) {
        EXPECT_EQ(intro()->main[1]->getY(), rise);
    }
    EXPECT_TRUE(sameSurface(frozen, h.screen())) << "the frozen scene is drawn each frame";
    int sceneInk = 0;  // the scene stays drawn behind the panel
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) sceneInk += (frozen.row(y)[x] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(sceneInk, 1000);

    EXPECT_TRUE(sounds->isPaused("intro1"));
    EXPECT_FALSE(sounds->isPaused("ranking"));
    EXPECT_TRUE(sounds->isPlaying("ranking"));

    // "ranking" follows the music switch even while the panel is open.
    h.click(250, 490);
    ASSERT_EQ(h.game().musicOn, 0);
    for (float v : audio->liveVolumes()) EXPECT_EQ(v, 0.0f);
    h.click(250, 490);

    // Closing resumes the music and the scene in the same frame.
    h.keyDown(VK_ESCAPE);
    h.frame();
    h.keyUp(VK_ESCAPE);
    h.frame();
    EXPECT_EQ(h.game().running, 1);
    EXPECT_FALSE(sounds->isPaused("intro1"));
    EXPECT_TRUE(sounds->isPlaying("intro1"));
    if (intro()->main[1]) {
        EXPECT_LT(intro()->main[1]->getY(), rise) << "the scene moves again in the closing frame";
    }
    for (float v : audio->liveVolumes()) EXPECT_EQ(v, 1.0f);
}

TEST(Controller, CursorPictureSitsUpLeftOfTheMouseAndShowsTheButton) {
    Harness h(kBothOn);
    h.start();
    h.frames(3);
    openByEscape(h);  // a frozen scene, so only the cursor changes the frame
    h.mouseTo(300, 300);
    h.frame();
    const platform::Surface plain = h.screen();
    EXPECT_EQ(h.game().cursorRect, (RECT{279, 279, 321, 321}));

    bitmapPicture* move = pictureRegistry::get()->findPicture("pointMove");
    bitmapPicture* press = pictureRegistry::get()->findPicture("pointClick");
    ASSERT_NE(move, nullptr);
    ASSERT_NE(press, nullptr);

    h.tap('P');
    platform::Surface expected = plain;
    move->alphaRender(&expected, 279, 279, 150);
    EXPECT_TRUE(sameSurface(expected, h.screen()));
    EXPECT_FALSE(sameSurface(plain, h.screen()));

    h.keyDown(VK_LBUTTON);  // held outside every panel area: nothing but the cursor changes
    h.frame();
    platform::Surface held = plain;
    press->alphaRender(&held, 279, 279, 150);
    EXPECT_TRUE(sameSurface(held, h.screen()));
    h.keyUp(VK_LBUTTON);
    h.frame();
    EXPECT_EQ(h.game().running, 0);
}

// ---- the option panel --------------------------------------------------------

TEST(OptionPanel, EscapeOpensOnReleaseAndTheNextReleaseClosesAndSaves) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    std::remove("option");

    h.keyDown(VK_ESCAPE);
    h.frame();
    EXPECT_EQ(h.game().running, 1) << "the press alone does not open";
    h.keyUp(VK_ESCAPE);
    h.frame();
    EXPECT_EQ(h.game().running, 0);
    EXPECT_FALSE(optionFileExists()) << "opening writes nothing";

    h.keyDown(VK_ESCAPE);
    h.frame();
    EXPECT_EQ(h.game().running, 0);
    h.keyUp(VK_ESCAPE);
    h.frame();
    EXPECT_EQ(h.game().running, 1);
    EXPECT_EQ(optionFile(), kBothOn);
}

TEST(OptionPanel, ButtonOpensOnThePressOnceHoweverLongItIsHeld) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    std::remove("option");
    h.mouseTo(560, 20);
    h.keyDown(VK_LBUTTON);
    h.frame();
    EXPECT_EQ(h.game().running, 0) << "opens on the press, not the release";

    // Closed by Escape with the button still held over it: it must not reopen.
    h.tap(VK_ESCAPE);
    EXPECT_EQ(h.game().running, 1);
    h.frames(10);
    EXPECT_EQ(h.game().running, 1);
    h.keyUp(VK_LBUTTON);
    h.frame();

    // Clicking the button while the panel is open does nothing.
    h.click(560, 20);
    ASSERT_EQ(h.game().running, 0);
    std::remove("option");
    h.click(560, 20);
    h.click(594, 54);
    EXPECT_EQ(h.game().running, 0);
    EXPECT_EQ(h.game().musicOn, 1);
    EXPECT_EQ(h.game().effectsOn, 1);
    EXPECT_FALSE(optionFileExists());

    // Its right and bottom edges are outside.
    h.tap(VK_ESCAPE);
    h.click(595, 20);
    h.click(560, 55);
    EXPECT_EQ(h.game().running, 1);
}

TEST(OptionPanel, CloseBoxOverTheMusicRowTogglesMusicAndSavesIt) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    openByEscape(h);
    h.click(380, 478);
    EXPECT_EQ(h.game().running, 1);
    EXPECT_EQ(h.game().musicOn, 0);
    EXPECT_EQ(h.game().effectsOn, 1);
    EXPECT_EQ(optionFile(), std::string("\x01\x00", 2));
}

TEST(OptionPanel, TogglesWaitForTheCloseToBeWritten) {
    Harness h(kBothOn);
    h.start();
    h.frame();
    openByEscape(h);
    std::remove("option");

    h.click(250, 490);
    EXPECT_EQ(h.game().musicOn, 0);
    h.click(250, 490);
    EXPECT_EQ(h.game().musicOn, 1);
    h.click(250, 520);
    EXPECT_EQ(h.game().effectsOn, 0);
    h.click(100, 500);  // outside every area: nothing
    h.click(250, 545);  // just below the effects row
    EXPECT_EQ(h.game().effectsOn, 0);
    EXPECT_EQ(h.game().running, 0);
    EXPECT_FALSE(optionFileExists());

    h.click(390, 462);  // the close box, above the music row
    EXPECT_EQ(h.game().running, 1);
    EXPECT_EQ(optionFile(), std::string("\x00\x01", 2));
    EXPECT_EQ(h.game().effectsOn, 0);
    EXPECT_EQ(h.game().musicOn, 1);

    // With the panel closed the rows are not live.
    h.click(250, 490);
    EXPECT_EQ(h.game().musicOn, 1);
}

// ---- missing pictures and sounds ------------------------------------------

TEST(MissingAssets, IntroAndPanelStillRunAndTheirButtonsWork) {
    namespace fs = std::filesystem;
    Harness h(kBothOn);
    TempWorkDir partial(false);
    const fs::path game = testing_support::gameDir();
    const std::vector<std::string> gone = {
        "main1.bmp", "main2.bmp", "main7.bmp",   "light.bmp", "play.bmp",  "skip.png",
        "option.bmp", "optionPannel.bmp", "bgmOn.bmp", "pointMove.bmp", "intro1.mp3"};
    auto isGone = [&](const fs::path& p) {
        for (const auto& g : gone)
            if (p.filename() == g) return true;
        return false;
    };
    for (const char* folder : {"img", "soundfile"}) {
        fs::create_directory(folder);
        for (const auto& entry : fs::directory_iterator(game / folder)) {
            if (!isGone(entry.path())) fs::create_symlink(entry.path(), fs::path(folder) / entry.path().filename());
        }
    }
    fs::create_directory_symlink(game / "fonts", "fonts");
    { std::FILE* f = std::fopen("option", "wb"); std::fwrite(kBothOn.data(), 1, 2, f); std::fclose(f); }

    h.start();
    EXPECT_EQ(h.game().optionButton, nullptr);
    EXPECT_EQ(h.game().musicRowRect, (RECT{200, 475, 400, 510}));
    EXPECT_EQ(h.game().closeBoxRect, (RECT{376, 459, 400, 483}));
    h.frame();
    int ink = 0;  // what exists is drawn
    for (int y = 100; y < 900; y += 10)
        for (int x = 0; x < 600; x += 10) ink += (h.screen().row(y)[x] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(ink, 100);

    // Panel buttons at their intended places.
    h.click(560, 20);
    ASSERT_EQ(h.game().running, 0);
    h.click(250, 490);
    EXPECT_EQ(h.game().musicOn, 0);
    h.click(390, 462);
    EXPECT_EQ(h.game().running, 1);
    EXPECT_EQ(optionFile(), std::string("\x01\x00", 2));

    IntroSceen* scene = intro();
    for (int i = 0; i < 3000 && !scene->buttonShown; ++i) h.frame();
    ASSERT_TRUE(scene->buttonShown) << "the sequence reaches the play button without its layers";
    h.click(450, 510);
    EXPECT_EQ(SceneManager::get()->currentScene, SceneManager::get()->findScene("game"));
}
