#include "engine/soundRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestFiles.h"
#include "platform/SimulatedAudio.h"
#include "support/FakeClock.h"

using testing_support::TempDir;

namespace {

// Every test gets a registry over a simulated sound system on a fake clock.
class SoundRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::installAudioFactory([this](int channels) {
            auto made = std::make_unique<platform::SimulatedAudio>(fake.clock, channels);
            sim = made.get();
            return made;
        });
        soundRegistry::get()->init();
        ASSERT_NE(sim, nullptr);
    }
    void TearDown() override {
        soundRegistry::destroy();
        platform::installAudioFactory({});
    }
    // A file with some bytes in it, lasting the given time when played.
    std::string sound(const std::string& name, double seconds = 1.0) {
        const std::string path = dir.file(name);
        testing_support::writeBytes(path, testing_support::wavBytes(64));
        sim->setDuration(name, seconds);
        return path;
    }
    void advance(double ms) {
        fake.clock.advanceMs(ms);
        reg()->update();
    }
    static soundRegistry* reg() { return soundRegistry::get(); }

    testing_support::ScopedFakeClock fake;
    platform::SimulatedAudio* sim = nullptr;
    TempDir dir;
};

TEST_F(SoundRegistryTest, ASecondPlayOverlapsAndTheKeyAddressesOnlyTheNewest) {
    reg()->addSound("combo1", sound("combo1.mp3", 1.0).c_str(), false, false);
    reg()->play("combo1", 1.0f);
    advance(300);
    reg()->play("combo1", 0.5f);
    EXPECT_EQ(sim->liveChannels(), 2);
    EXPECT_EQ(sim->volume(reg()->channel("combo1")), 0.5f);

    reg()->stop("combo1");  // only the second
    EXPECT_FALSE(reg()->isPlaying("combo1"));
    EXPECT_EQ(sim->liveChannels(), 1);
    advance(800);  // the first reaches its end on its own
    EXPECT_EQ(sim->liveChannels(), 0);
    EXPECT_EQ(sim->playCount("combo1.mp3"), 2);
}

// Keys added later that sort before a playing key must not make its calls
// address another key's channel.
TEST_F(SoundRegistryTest, EachKeyKeepsItsOwnChannelWhateverIsAddedLater) {
    reg()->addSound("playbgm", sound("playbgm.mp3", 60).c_str(), false, false);
    reg()->addSound("intro1", sound("intro1.mp3", 60).c_str(), false, false);
    reg()->play("playbgm", 1.0f);
    reg()->play("intro1", 1.0f);
    const platform::ChannelId bgm = reg()->channel("playbgm");
    for (const char* key : {"combo1", "combo2", "delete", "jump"})
        reg()->addSound(key, sound(std::string(key) + ".mp3").c_str(), false, false);

    reg()->setVolume("playbgm", 0.25f);
    EXPECT_EQ(sim->volume(bgm), 0.25f);
    reg()->setVolume("combo1", 0.0f);  // never played: touches nobody
    reg()->pause("delete");
    EXPECT_EQ(sim->volume(bgm), 0.25f);
    EXPECT_FALSE(reg()->isPaused("intro1"));

    reg()->stop("playbgm");
    EXPECT_FALSE(reg()->isPlaying("playbgm"));
    EXPECT_TRUE(reg()->isPlaying("intro1"));
}

TEST_F(SoundRegistryTest, ChannelsStaySafeAfterTheirSoundEnds) {
    reg()->addSound("jump", sound("jump.wav", 0.5).c_str(), false, false);
    reg()->addSound("delete", sound("delete.mp3", 5).c_str(), false, false);
    EXPECT_FALSE(reg()->isPlaying("jump"));  // never played
    EXPECT_FALSE(reg()->isPaused("jump"));

    reg()->play("jump", 1.0f);
    advance(600);
    EXPECT_FALSE(reg()->isPlaying("jump"));
    // Another sound takes over the channel the ended one used; the stale
    // handle must not reach it.
    reg()->play("delete", 1.0f);
    reg()->stop("jump");
    reg()->pause("jump");
    reg()->setVolume("jump", 0.0f);
    EXPECT_TRUE(reg()->isPlaying("delete"));
    EXPECT_FALSE(reg()->isPaused("delete"));
    EXPECT_EQ(sim->volume(reg()->channel("delete")), 1.0f);
    EXPECT_FALSE(reg()->isPlaying("jump"));
}

TEST_F(SoundRegistryTest, PausedCountsAsPlayingAndResumeCarriesOn) {
    reg()->addSound("intro1", sound("intro1.mp3", 1.0).c_str(), false, false);
    reg()->play("intro1", 1.0f);
    advance(400);
    reg()->pause("intro1");
    EXPECT_TRUE(reg()->isPaused("intro1"));
    EXPECT_TRUE(reg()->isPlaying("intro1"));
    advance(5000);  // time paused does not count
    EXPECT_TRUE(reg()->isPlaying("intro1"));
    reg()->resume("intro1");
    EXPECT_FALSE(reg()->isPaused("intro1"));
    advance(500);
    EXPECT_TRUE(reg()->isPlaying("intro1"));
    advance(200);
    EXPECT_FALSE(reg()->isPlaying("intro1"));
}

TEST_F(SoundRegistryTest, KeysAddedTwiceUnknownKeysAndFailedLoads) {
    reg()->addSound("intro2", sound("long.mp3", 5).c_str(), false, false);
    reg()->addSound("intro2", sound("short.mp3", 1).c_str(), false, false);
    EXPECT_EQ(reg()->keyCount(), 1u);
    reg()->play("intro2", 1.0f);
    EXPECT_EQ(sim->playCount("long.mp3"), 1);
    EXPECT_EQ(sim->playCount("short.mp3"), 0);

    // An unknown key does nothing and answers false.
    reg()->play("nobody", 1.0f);
    reg()->stop("nobody");
    reg()->pause("nobody");
    reg()->resume("nobody");
    reg()->setVolume("nobody", 0.0f);
    EXPECT_FALSE(reg()->isPlaying("nobody"));
    EXPECT_FALSE(reg()->isPaused("nobody"));
    EXPECT_TRUE(reg()->isPlaying("intro2"));
    EXPECT_EQ(sim->volume(reg()->channel("intro2")), 1.0f);

    // A sound that did not load takes its key and plays nothing.
    reg()->addSound("ranking", dir.file("absent.mp3").c_str(), true, true);
    reg()->addSound("empty", nullptr, false, false);
    EXPECT_EQ(reg()->keyCount(), 3u);
    reg()->play("ranking", 1.0f);
    EXPECT_FALSE(reg()->isPlaying("ranking"));
    EXPECT_EQ(sim->liveChannels(), 1);
}

TEST_F(SoundRegistryTest, AThirtyFirstKeyIsRefused) {
    const std::string path = sound("s.mp3", 10);
    for (int i = 100; i < 131; ++i) {
        std::string key = "k";
        key += std::to_string(i);
        reg()->addSound(key, path.c_str(), false, false);
    }
    EXPECT_EQ(reg()->keyCount(), 30u);
    reg()->play("k130", 1.0f);
    EXPECT_FALSE(reg()->isPlaying("k130"));
    reg()->play("k129", 1.0f);
    reg()->play("k100", 1.0f);
    EXPECT_TRUE(reg()->isPlaying("k129"));
    reg()->stop("k129");
    EXPECT_TRUE(reg()->isPlaying("k100"));
    EXPECT_EQ(sim->liveChannels(), 1);
}

TEST_F(SoundRegistryTest, TheRegistryCanBeReleasedAndBuiltAgain) {
    for (int round = 0; round < 3; ++round) {
        reg()->addSound("jump", sound("jump.wav", 60).c_str(), false, false);
        reg()->play("jump", 1.0f);
        EXPECT_TRUE(reg()->isPlaying("jump"));
        soundRegistry::destroy();
        EXPECT_FALSE(reg()->isPlaying("jump"));  // a fresh, unstarted registry
        reg()->init();
    }
}

// Records the calls that reach the sound system.
class RecordingAudio : public platform::AudioSystem {
public:
    explicit RecordingAudio(std::vector<std::string>& log) : log_(log) {}
    platform::SoundId load(const std::string&, bool stream, bool loop) override {
        log_.push_back(std::string("load") + (stream ? " stream" : "") + (loop ? " loop" : ""));
        return next_++;
    }
    void release(platform::SoundId s) override { log_.push_back("release " + std::to_string(s)); }
    platform::ChannelId play(platform::SoundId s) override { return 100 + static_cast<platform::ChannelId>(s); }
    void stop(platform::ChannelId c) override { log_.push_back("stop " + std::to_string(c)); }
    void setPaused(platform::ChannelId, bool) override {}
    void setVolume(platform::ChannelId, float) override {}
    bool isPlaying(platform::ChannelId) override { return true; }
    bool isPaused(platform::ChannelId) override { return false; }
    void update() override {}
    void close() override { log_.push_back("close"); }
    ~RecordingAudio() override { log_.push_back("destroyed"); }

private:
    std::vector<std::string>& log_;
    platform::SoundId next_ = 0;
};

TEST(SoundRegistryShutdown, LoadsWithTheFlagsAndStopsBeforeReleasingBeforeClosing) {
    soundRegistry::destroy();
    std::vector<std::string> log;
    platform::installAudioFactory([&](int channels) {
        EXPECT_EQ(channels, 30);
        return std::make_unique<RecordingAudio>(log);
    });
    soundRegistry::get()->init();
    soundRegistry::get()->addSound("ranking", "r.mp3", true, true);   // looping music streams
    soundRegistry::get()->addSound("bgm", "b.mp3", true, false);      // no loop: decoded whole
    soundRegistry::get()->addSound("drum", "d.mp3", false, true);
    soundRegistry::get()->play("bgm", 1.0f);
    soundRegistry::destroy();
    platform::installAudioFactory({});
    EXPECT_EQ(log, (std::vector<std::string>{"load stream loop", "load", "load loop", "release 0",
                                             "stop 101", "release 1", "release 2", "close",
                                             "destroyed"}));
}

TEST(SoundRegistryWithoutAudio, EverythingIsSilentAndNothingBreaks) {
    soundRegistry::destroy();
    platform::installAudioFactory([](int) { return std::unique_ptr<platform::AudioSystem>(); });
    soundRegistry* reg = soundRegistry::get();
    reg->init();
    reg->addSound("playbgm", "soundfile/playbgm.mp3", false, false);
    reg->play("playbgm", 1.0f);
    reg->setVolume("playbgm", 0.0f);
    reg->pause("playbgm");
    reg->resume("playbgm");
    reg->update();
    EXPECT_FALSE(reg->isPlaying("playbgm"));
    EXPECT_FALSE(reg->isPaused("playbgm"));
    reg->stop("playbgm");
    soundRegistry::destroy();
    // Nor does a registry that was never started.
    soundRegistry::get()->play("playbgm", 1.0f);
    EXPECT_FALSE(soundRegistry::get()->isPlaying("playbgm"));
    soundRegistry::destroy();
    platform::installAudioFactory({});
}

}  // namespace
