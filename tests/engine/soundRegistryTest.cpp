// The sound registry over the simulated sound system on a fake clock: keys
// and their channels, ended, paused and unknown sounds, failed loads, the
// thirty slots, looping, and a registry built again after release.
#include "engine/soundRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "SimulatedAudio.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioFile.h"
#include "support/DiskAudioCapture.h"
#include "support/FakeClock.h"
#include "support/TestFiles.h"

namespace {

class SoundRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::installAudioFactory([this](int channels) {
            EXPECT_EQ(channels, 30);
            auto made = std::make_unique<testing_support::SimulatedAudio>(fake.clock, channels);
            sim = made.get();
            return made;
        });
        reg()->init();
        ASSERT_NE(sim, nullptr);
    }
    void TearDown() override {
        soundRegistry::destroy();
        platform::installAudioFactory({});
    }
    // Adds a key whose sound lasts the given time when played.
    void add(const std::string& key, double seconds, const std::string& file = "", bool bgm = false, bool loop = false) {
        const std::string name = file.empty() ? key + ".mp3" : file;
        sim->setDuration(name, seconds);
        reg()->addSound(key, dir.write(name, testing_support::wavBytes(64)).c_str(), bgm, loop);
    }
    void advance(double ms) {
        fake.clock.advanceMs(ms);
        reg()->update();
    }
    static soundRegistry* reg() { return soundRegistry::get(); }

    testing_support::ScopedFakeClock fake;
    testing_support::SimulatedAudio* sim = nullptr;
    testing_support::TempDir dir;
};

// A second play of a key overlaps the first, and the key then addresses only
// the newest. Keys added later (sorting before the playing ones) must not make
// a key's calls reach another key's channel.
TEST_F(SoundRegistryTest, EachKeyAddressesItsOwnNewestChannel) {
    add("playbgm", 60);
    add("combo1", 1.0);
    reg()->play("playbgm", 1.0f);
    reg()->play("combo1", 1.0f);
    advance(300);
    reg()->play("combo1", 0.5f);
    for (const char* key : {"combo2", "delete", "intro1", "jump"}) add(key, 1);
    EXPECT_EQ(sim->liveChannels(), 3);
    EXPECT_EQ(sim->volume(reg()->channel("combo1")), 0.5f);
    reg()->setVolume("playbgm", 0.25f);
    reg()->setVolume("jump", 0.0f);  // never played: touches nobody
    reg()->pause("delete");
    reg()->stop("combo1");  // only the second
    EXPECT_EQ(sim->volume(reg()->channel("playbgm")), 0.25f);
    EXPECT_FALSE(reg()->isPlaying("combo1") || reg()->isPaused("playbgm"));
    EXPECT_EQ(sim->liveChannels(), 2);
    advance(800);  // the first reaches its end on its own
    EXPECT_EQ(sim->liveChannels(), 1);
    reg()->stop("playbgm");
    EXPECT_EQ(sim->liveChannels(), 0);
}

TEST_F(SoundRegistryTest, NeverPlayedEndedAndPausedSounds) {
    add("jump", 0.5);
    add("delete", 5);
    add("intro1", 1.0);
    EXPECT_FALSE(reg()->isPlaying("jump") || reg()->isPaused("jump"));  // never played
    reg()->play("jump", 1.0f);
    advance(600);
    EXPECT_FALSE(reg()->isPlaying("jump"));
    // Another sound takes the channel the ended one used; the stale handle must not reach it.
    reg()->play("delete", 1.0f);
    reg()->stop("jump");
    reg()->pause("jump");
    reg()->setVolume("jump", 0.0f);
    EXPECT_TRUE(reg()->isPlaying("delete"));
    EXPECT_FALSE(reg()->isPaused("delete") || reg()->isPlaying("jump"));
    EXPECT_EQ(sim->volume(reg()->channel("delete")), 1.0f);

    // Paused counts as playing, and time paused does not count.
    reg()->play("intro1", 1.0f);
    advance(400);
    reg()->pause("intro1");
    advance(5000);
    EXPECT_TRUE(reg()->isPaused("intro1") && reg()->isPlaying("intro1"));
    reg()->resume("intro1");
    advance(500);
    EXPECT_TRUE(reg()->isPlaying("intro1") && !reg()->isPaused("intro1"));
    advance(200);
    EXPECT_FALSE(reg()->isPlaying("intro1"));
}

TEST_F(SoundRegistryTest, KeysAddedTwiceUnknownKeysFailedLoadsAndAThirtyFirstKey) {
    add("intro2", 5, "long.mp3");
    add("intro2", 1, "short.mp3");  // keeps its first sound
    reg()->play("intro2", 1.0f);
    reg()->play("nobody", 1.0f);
    reg()->setVolume("nobody", 0.0f);
    reg()->stop("nobody");
    EXPECT_FALSE(reg()->isPlaying("nobody") || reg()->isPaused("nobody"));
    EXPECT_EQ(sim->playCount("long.mp3"), 1);
    EXPECT_EQ(sim->playCount("short.mp3"), 0);
    EXPECT_EQ(sim->volume(reg()->channel("intro2")), 1.0f);
    // A sound that did not load takes its key and plays nothing.
    reg()->addSound("ranking", dir.file("absent.mp3").c_str(), true, true);
    reg()->addSound("empty", nullptr, false, false);
    reg()->play("ranking", 1.0f);
    EXPECT_FALSE(reg()->isPlaying("ranking"));

    for (int i = 3; i < 31; ++i) {
        std::string key = "k";  // (not "k" + ...: that trips a false warning in GCC 12)
        add(key += std::to_string(i), 10, "s.mp3");
    }
    EXPECT_EQ(reg()->keyCount(), 30u);
    reg()->play("k30", 1.0f);  // the 31st
    reg()->play("k29", 1.0f);
    EXPECT_FALSE(reg()->isPlaying("k30"));
    EXPECT_EQ(sim->liveChannels(), 2);
}

TEST_F(SoundRegistryTest, OnlyTheLoopFlagLoopsAndAReleasedRegistryStartsAfresh) {
    for (int round = 0; round < 2; ++round) {
        add("ranking", 1, "r.mp3", true, true);
        add("bgm", 1, "b.mp3", true, false);
        add("drum", 1, "d.mp3", false, true);
        for (const char* key : {"ranking", "bgm", "drum"}) reg()->play(key, 1.0f);
        advance(5000);
        EXPECT_TRUE(reg()->isPlaying("ranking") && reg()->isPlaying("drum"));
        EXPECT_FALSE(reg()->isPlaying("bgm"));
        soundRegistry::destroy();
        EXPECT_EQ(reg()->keyCount(), 0u);
        EXPECT_FALSE(reg()->isPlaying("ranking"));
        reg()->init();
    }
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
    EXPECT_FALSE(reg->isPlaying("playbgm") || reg->isPaused("playbgm"));
    reg->stop("playbgm");
    soundRegistry::destroy();
    platform::installAudioFactory({});
}

// The real mixer, its output read back from SDL's disk driver. A sound is
// heard once, so the device is known to run; then a muted key is played over
// and over, as a frame plays an effect with its switch off, each time left
// playing for longer than a device buffer (the rest of the frame) before its
// volume is forced to 0: nothing of it may reach the output.
TEST(SoundRegistryOnTheMixer, AMutedKeyIsNeverHeard) {
    testing_support::TempDir dir;
    const testing_support::DiskAudioCapture captured(dir.file("heard.raw"));
    const std::string path = dir.write("blip.wav", testing_support::wavBytes(4410));
    std::string why;
    const std::vector<std::int16_t> whole =
        platform::decodeWhole(platform::AudioFile::open(path, &why), std::size_t{1} << 20, &why);
    ASSERT_FALSE(whole.empty()) << why;
    platform::installAudioFactory([](int channels) { return platform::createMixerAudio(channels, {"disk"}); });
    soundRegistry* reg = soundRegistry::get();
    reg->init();
    reg->addSound("heard", path.c_str(), false, false);
    reg->addSound("muted", path.c_str(), false, false);
    reg->play("heard", 1.0f);
    ASSERT_TRUE(reg->isPlaying("heard"));
    for (int waited = 0; waited < 5000 && reg->isPlaying("heard"); waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(reg->isPlaying("heard"));
    reg->setMuted("muted", true);
    for (int i = 0; i < 6; ++i) {
        reg->play("muted", 1.0f);
        EXPECT_TRUE(reg->isPlaying("muted")) << "it plays, unheard";
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        reg->setVolume("muted", 0.0f);
    }
    soundRegistry::destroy();
    platform::installAudioFactory({});

    const std::vector<std::int16_t> samples = captured.samples();
    const std::size_t from = testing_support::firstSound(samples), start = testing_support::firstSound(whole);
    ASSERT_LT(from, samples.size()) << "the first sound was not heard";
    const std::size_t after = from + whole.size() - start;
    ASSERT_GE(samples.size(), after);
    EXPECT_EQ(std::count_if(samples.begin() + static_cast<std::ptrdiff_t>(after), samples.end(),
                            [](std::int16_t v) { return v != 0; }),
              0);
}

}  // namespace
