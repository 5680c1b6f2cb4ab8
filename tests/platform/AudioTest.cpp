// Both sound systems: the simulated one on a fake clock, and the mixer on
// SDL's dummy output, which plays in real time without a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Audio.h"
#include "platform/SimulatedAudio.h"
#include "support/FakeClock.h"

namespace fs = std::filesystem;
using platform::ChannelId;
using platform::SimulatedAudio;
using platform::SoundId;

namespace {

class TempFolder {
public:
    TempFolder()
        : path_(fs::temp_directory_path() /
                ("swapsprint-audio-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(path_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (path_ / name).string();
    }
    std::string folder(const std::string& name) const {
        fs::create_directories(path_ / name);
        return (path_ / name).string();
    }

private:
    fs::path path_;
};

// 16-bit mono PCM at 22050 Hz.
std::vector<std::uint8_t> wav(double seconds) {
    const auto samples = static_cast<std::uint32_t>(seconds * 22050);
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    text("RIFF");
    put(36 + samples * 2, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    for (auto [v, bytes] : {std::pair{1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}}) put(v, bytes);
    text("data");
    put(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) put((i % 50) * 400, 2);
    return out;
}

// ---- simulated sound system ----------------------------------------------

class SimulatedAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        audio.setDuration("two.mp3", 2.0);
        two = audio.load(folder.file("two.mp3", {1, 2, 3}), false, false);
        one = audio.load(folder.file("plain.wav", {1}), false, false);  // no duration set: 1 s
        looped = audio.load(folder.file("music.mp3", {1}), true, true);
        ASSERT_GE(two, 0);
        ASSERT_GE(one, 0);
        ASSERT_GE(looped, 0);
    }
    void advance(double seconds) { clock.advanceNanos(static_cast<std::int64_t>(seconds * 1e9)); }

    TempFolder folder;
    testing_support::FakeClock clock;
    SimulatedAudio audio{clock, 3};
    SoundId two = -1, one = -1, looped = -1;
};

TEST_F(SimulatedAudioTest, SoundsEndAfterTheirDurationNotCountingPauses) {
    ChannelId a = audio.play(two);
    ChannelId b = audio.play(one);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    advance(1.5);
    EXPECT_FALSE(audio.isPlaying(b));
    audio.setPaused(a, true);
    audio.setPaused(a, true);  // twice must not lose the time already played
    advance(100);
    EXPECT_TRUE(audio.isPlaying(a));
    EXPECT_TRUE(audio.isPaused(a));
    audio.setPaused(a, false);
    advance(0.4);
    EXPECT_TRUE(audio.isPlaying(a));
    EXPECT_FALSE(audio.isPaused(a));
    advance(0.2);
    EXPECT_FALSE(audio.isPlaying(a));
    EXPECT_EQ(audio.playCount("two.mp3"), 1);
    EXPECT_EQ(audio.playCount("music.mp3"), 0);
}

TEST_F(SimulatedAudioTest, StaleHandleNeverTouchesTheChannelsNextSound) {
    SimulatedAudio single(clock, 1);
    SoundId s = single.load(folder.file("short.wav", {1}), false, false);
    ChannelId ended = single.play(s);
    advance(1.5);
    ChannelId stopped = single.play(s);
    single.setVolume(stopped, 0.0f);
    single.stop(stopped);
    ChannelId fresh = single.play(s);  // the same channel a third time
    ASSERT_NE(fresh, 0u);
    for (ChannelId stale : {ended, stopped, ChannelId{0}, ChannelId{7}, ~ChannelId{0}}) {
        single.setVolume(stale, 0.5f);
        single.setPaused(stale, true);
        single.stop(stale);
        EXPECT_FALSE(single.isPlaying(stale));
        EXPECT_FALSE(single.isPaused(stale));
    }
    EXPECT_TRUE(single.isPlaying(fresh));
    EXPECT_FALSE(single.isPaused(fresh));
    EXPECT_EQ(single.volume(fresh), 1.0f);
}

TEST_F(SimulatedAudioTest, ChannelsRunOutLoopsHoldThemAndBadFilesPlayNothing) {
    ChannelId m = audio.play(looped);
    ChannelId a = audio.play(two);
    audio.play(one);
    audio.setPaused(a, true);  // paused still holds its channel
    EXPECT_EQ(audio.play(one), 0u);
    advance(3600);
    EXPECT_TRUE(audio.isPlaying(m));
    EXPECT_EQ(audio.liveChannels(), 2);
    EXPECT_NE(audio.play(one), 0u);
    audio.stop(m);
    EXPECT_FALSE(audio.isPlaying(m));

    EXPECT_EQ(audio.load(folder.folder("sub") + "/absent.wav", false, false), -1);
    EXPECT_EQ(audio.load(folder.file("empty.mp3", {}), false, false), -1);
    EXPECT_EQ(audio.load(folder.folder("folder.mp3"), false, false), -1);
    EXPECT_EQ(audio.play(-1), 0u);
    EXPECT_EQ(audio.play(1000), 0u);
}

TEST_F(SimulatedAudioTest, ReleaseAndCloseEndSounds) {
    ChannelId a = audio.play(two);
    ChannelId m = audio.play(looped);
    audio.release(two);
    EXPECT_FALSE(audio.isPlaying(a));
    EXPECT_TRUE(audio.isPlaying(m));
    EXPECT_EQ(audio.play(two), 0u);
    audio.close();
    EXPECT_FALSE(audio.isPlaying(m));
    EXPECT_EQ(audio.play(looped), 0u);
    EXPECT_EQ(audio.liveChannels(), 0);
}

TEST(AudioFactory, InstalledMakerReplacesTheMixerUntilCleared) {
    testing_support::FakeClock clock;
    platform::installAudioFactory([&](int channels) { return std::make_unique<SimulatedAudio>(clock, channels); });
    EXPECT_NE(dynamic_cast<SimulatedAudio*>(platform::createAudioSystem(30).get()), nullptr);
    platform::installAudioFactory({});
    EXPECT_EQ(dynamic_cast<SimulatedAudio*>(platform::createAudioSystem(30).get()), nullptr);
}

// ---- the mixer on SDL's dummy output ---------------------------------------

class MixerAudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

    // Real time passes on the dummy output; generous, so only "it ends" is checked.
    static bool endsWithin(platform::AudioSystem& audio, ChannelId channel, int ms) {
        for (int waited = 0; waited < ms && audio.isPlaying(channel); waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return !audio.isPlaying(channel);
    }

    TempFolder folder;
};

TEST_F(MixerAudioTest, WavPlaysThenEndsAndItsHandleGoesStale) {
    auto audio = platform::createMixerAudio(4);
    SoundId s = audio->load(folder.file("blip.wav", wav(0.2)), false, false);
    ASSERT_GE(s, 0);
    ChannelId first = audio->play(s);
    ASSERT_NE(first, 0u);
    audio->setPaused(first, true);
    EXPECT_TRUE(audio->isPlaying(first));
    EXPECT_TRUE(audio->isPaused(first));
    audio->setPaused(first, false);
    EXPECT_FALSE(audio->isPaused(first));
    audio->setVolume(first, 0.5f);
    EXPECT_TRUE(endsWithin(*audio, first, 3000));

    // The freed channel is taken again; the old handle must not reach it.
    ChannelId second = audio->play(s);
    ASSERT_NE(second, 0u);
    audio->setPaused(first, true);
    audio->stop(first);
    EXPECT_TRUE(audio->isPlaying(second));
    EXPECT_FALSE(audio->isPaused(second));
    EXPECT_FALSE(audio->isPlaying(first));
    audio->close();
    EXPECT_FALSE(audio->isPlaying(second));
    EXPECT_EQ(audio->play(s), 0u);
}

TEST_F(MixerAudioTest, LoopingHoldsItsChannelUntilItsSoundIsReleased) {
    auto audio = platform::createMixerAudio(2);
    SoundId loop = audio->load(folder.file("loop.wav", wav(0.05)), true, true);
    SoundId once = audio->load(folder.file("once.wav", wav(0.3)), false, false);
    ChannelId a = audio->play(loop);
    ChannelId b = audio->play(once);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(audio->play(once), 0u);  // both channels busy
    EXPECT_TRUE(endsWithin(*audio, b, 3000));
    EXPECT_TRUE(audio->isPlaying(a));  // far past its length, still going
    audio->release(loop);
    EXPECT_FALSE(audio->isPlaying(a));
    EXPECT_EQ(audio->play(loop), 0u);
}

TEST_F(MixerAudioTest, BrokenFilesMissingDevicesAndASecondMixerPlayNothing) {
    std::string good = folder.file("blip.wav", wav(0.5));
    std::vector<std::uint8_t> full = wav(0.2);
    auto silent = platform::createMixerAudio(4, {"no-such-driver"});
    EXPECT_EQ(silent->load(good, false, false), -1);
    EXPECT_EQ(silent->play(0), 0u);
    EXPECT_FALSE(silent->isPlaying(1));
    silent->stop(1);
    silent->close();

    // A failing driver falls through to the next one.
    auto audio = platform::createMixerAudio(4, {"no-such-driver", "dummy"});
    for (const std::string& bad : {folder.file("header.wav", {full.begin(), full.begin() + 20}),
                                   folder.file("noise.mp3", std::vector<std::uint8_t>(4096, 0x5a)),
                                   folder.file("empty.wav", {}), folder.folder("folder.wav")}) {
        EXPECT_EQ(audio->load(bad, false, false), -1) << bad;
    }
    SoundId s = audio->load(good, false, false);
    ASSERT_GE(s, 0);
    EXPECT_TRUE(audio->isPlaying(audio->play(s)));

    // The device is held: a second mixer at the same time plays nothing, and
    // letting it go leaves the device to its holder.
    auto second = platform::createMixerAudio(4);
    EXPECT_EQ(second->load(good, false, false), -1);
    second.reset();
    EXPECT_GE(audio->load(good, false, false), 0);
    audio.reset();  // closing on destruction frees the device for the next one
    EXPECT_GE(platform::createMixerAudio(4)->load(good, false, false), 0);
}

}  // namespace
