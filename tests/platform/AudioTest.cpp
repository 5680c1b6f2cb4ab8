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
    TempFolder() {
        path_ = fs::temp_directory_path() /
                ("swapsprint-audio-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::string p = (path_ / name).string();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p;
    }
    std::string folder(const std::string& name) const {
        fs::create_directories(path_ / name);
        return (path_ / name).string();
    }
    std::string missing() const { return (path_ / "nothing-here.wav").string(); }

private:
    fs::path path_;
};

// 16-bit mono PCM; dataBytes lets a header promise more than the file holds.
std::vector<std::uint8_t> wav(double seconds, std::uint32_t promisedDataBytes = 0) {
    const std::uint32_t rate = 22050;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    const std::uint32_t dataBytes = samples * 2;
    const std::uint32_t headerData = promisedDataBytes ? promisedDataBytes : dataBytes;
    std::vector<std::uint8_t> out;
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    text("RIFF");
    u32(36 + headerData);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    text("data");
    u32(headerData);
    for (std::uint32_t i = 0; i < samples; ++i) u16(static_cast<std::uint16_t>((i % 50) * 400));
    return out;
}

// ---- simulated sound system ----------------------------------------------

class SimulatedAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        audio.setDuration("two.mp3", 2.0);
        two = audio.load(folder.file("two.mp3", {1, 2, 3}), false, false);
        one = audio.load(folder.file("plain.wav", {1}), false, false);
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

TEST_F(SimulatedAudioTest, SoundsPlayForTheirDurationThenEnd) {
    ChannelId a = audio.play(two);
    ChannelId b = audio.play(one);  // no duration set for it: one second
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    advance(0.9);
    EXPECT_TRUE(audio.isPlaying(a));
    EXPECT_TRUE(audio.isPlaying(b));
    advance(0.2);
    EXPECT_TRUE(audio.isPlaying(a));
    EXPECT_FALSE(audio.isPlaying(b));
    advance(1.0);
    EXPECT_FALSE(audio.isPlaying(a));
    EXPECT_EQ(audio.liveChannels(), 0);
    EXPECT_EQ(audio.playCount("two.mp3"), 1);
    EXPECT_EQ(audio.playCount("plain.wav"), 1);
    EXPECT_EQ(audio.playCount("music.mp3"), 0);
}

TEST_F(SimulatedAudioTest, PausedTimeDoesNotCountAndPausedIsPlaying) {
    ChannelId a = audio.play(two);
    advance(1.5);
    audio.setPaused(a, true);
    audio.setPaused(a, true);  // twice must not lose the time already played
    advance(100);
    EXPECT_TRUE(audio.isPlaying(a));
    EXPECT_TRUE(audio.isPaused(a));
    audio.setPaused(a, false);
    EXPECT_FALSE(audio.isPaused(a));
    advance(0.4);
    EXPECT_TRUE(audio.isPlaying(a));
    advance(0.2);
    EXPECT_FALSE(audio.isPlaying(a));
    EXPECT_FALSE(audio.isPaused(a));
}

TEST_F(SimulatedAudioTest, StaleHandleNeverTouchesTheChannelsNextSound) {
    SimulatedAudio single(clock, 1);
    SoundId s = single.load(folder.file("short.wav", {1}), false, false);
    ChannelId ended = single.play(s);
    advance(1.5);
    ASSERT_FALSE(single.isPlaying(ended));
    ChannelId stopped = single.play(s);
    single.stop(stopped);
    EXPECT_FALSE(single.isPlaying(stopped));

    ChannelId fresh = single.play(s);  // the same channel, reused a third time
    ASSERT_NE(fresh, 0u);
    for (ChannelId stale : {ended, stopped}) {
        single.setVolume(stale, 0.0f);
        single.setPaused(stale, true);
        single.stop(stale);
        EXPECT_FALSE(single.isPlaying(stale));
        EXPECT_FALSE(single.isPaused(stale));
        EXPECT_EQ(single.volume(stale), -1.0f);
    }
    EXPECT_TRUE(single.isPlaying(fresh));
    EXPECT_FALSE(single.isPaused(fresh));
    EXPECT_EQ(single.volume(fresh), 1.0f);
    // Handles that never named a channel.
    for (ChannelId bogus : {ChannelId{0}, ChannelId{7}, ~ChannelId{0}}) {
        single.stop(bogus);
        EXPECT_FALSE(single.isPlaying(bogus));
    }
    EXPECT_TRUE(single.isPlaying(fresh));
}

TEST_F(SimulatedAudioTest, VolumeBelongsToOnePlay) {
    ChannelId a = audio.play(two);
    audio.setVolume(a, 0.0f);
    EXPECT_EQ(audio.volume(a), 0.0f);
    audio.stop(a);
    ChannelId b = audio.play(two);
    EXPECT_EQ(audio.volume(b), 1.0f);
}

TEST_F(SimulatedAudioTest, LoopingSoundPlaysUntilStopped) {
    ChannelId m = audio.play(looped);
    advance(3600);
    EXPECT_TRUE(audio.isPlaying(m));
    audio.stop(m);
    EXPECT_FALSE(audio.isPlaying(m));
}

TEST_F(SimulatedAudioTest, UnreadableFilesFailAndPlayNothing) {
    EXPECT_EQ(audio.load(folder.missing(), false, false), -1);
    EXPECT_EQ(audio.load(folder.file("empty.mp3", {}), false, false), -1);
    EXPECT_EQ(audio.load(folder.folder("folder.mp3"), false, false), -1);
    EXPECT_EQ(audio.play(-1), 0u);
    EXPECT_EQ(audio.play(1000), 0u);
    EXPECT_EQ(audio.liveChannels(), 0);
}

TEST_F(SimulatedAudioTest, PlayFailsWhileEveryChannelIsLive) {
    ChannelId a = audio.play(looped);
    audio.play(two);
    ChannelId c = audio.play(one);
    audio.setPaused(a, true);  // paused still holds its channel
    EXPECT_EQ(audio.play(one), 0u);
    EXPECT_EQ(audio.liveChannels(), 3);
    advance(1.5);  // the one-second sound frees its channel
    EXPECT_FALSE(audio.isPlaying(c));
    EXPECT_NE(audio.play(one), 0u);
    EXPECT_EQ(audio.playCount("plain.wav"), 2);
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
    EXPECT_EQ(audio.load(folder.file("late.wav", {1}), false, false), -1);
    EXPECT_EQ(audio.liveChannels(), 0);
}

TEST(AudioFactory, InstalledMakerReplacesTheMixerUntilCleared) {
    testing_support::FakeClock clock;
    int askedFor = 0;
    platform::installAudioFactory([&](int channels) {
        askedFor = channels;
        return std::make_unique<SimulatedAudio>(clock, channels);
    });
    auto made = platform::createAudioSystem(30);
    EXPECT_NE(dynamic_cast<SimulatedAudio*>(made.get()), nullptr);
    EXPECT_EQ(askedFor, 30);
    platform::installAudioFactory({});
    auto mixer = platform::createAudioSystem(30);
    EXPECT_EQ(dynamic_cast<SimulatedAudio*>(mixer.get()), nullptr);
    mixer->close();
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
    EXPECT_TRUE(audio->isPlaying(first));
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
    EXPECT_NE(second, first);
    audio->setPaused(first, true);
    audio->stop(first);
    EXPECT_TRUE(audio->isPlaying(second));
    EXPECT_FALSE(audio->isPaused(second));
    EXPECT_FALSE(audio->isPlaying(first));
    audio->stop(second);
    EXPECT_FALSE(audio->isPlaying(second));
    audio->close();
    EXPECT_EQ(audio->play(s), 0u);
}

TEST_F(MixerAudioTest, LoopingHoldsItsChannelUntilStopped) {
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
    audio->release(loop);              // frees the sound under a playing channel
    EXPECT_FALSE(audio->isPlaying(a));
    EXPECT_EQ(audio->play(loop), 0u);
}

TEST_F(MixerAudioTest, BrokenFilesFailToLoad) {
    auto audio = platform::createMixerAudio(2);
    std::vector<std::uint8_t> full = wav(0.2);
    std::vector<std::uint8_t> header(full.begin(), full.begin() + 20);
    std::vector<std::uint8_t> garbage(4096, 0x5a);
    EXPECT_EQ(audio->load(folder.file("header.wav", header), false, false), -1);
    EXPECT_EQ(audio->load(folder.file("garbage.mp3", garbage), false, false), -1);
    EXPECT_EQ(audio->load(folder.file("empty.wav", {}), false, false), -1);
    EXPECT_EQ(audio->load(folder.missing(), false, false), -1);
    EXPECT_EQ(audio->load(folder.folder("folder.wav"), false, false), -1);
    EXPECT_EQ(audio->play(-1), 0u);

    // Data cut short of what the header promises: either refused, or it plays
    // what is there and ends.
    std::vector<std::uint8_t> cut = wav(0.1, 1'000'000);
    SoundId s = audio->load(folder.file("cut.wav", cut), false, false);
    if (s >= 0) {
        ChannelId c = audio->play(s);
        EXPECT_TRUE(endsWithin(*audio, c, 3000));
    }
}

TEST_F(MixerAudioTest, WithoutAnyOutputNothingPlays) {
    std::string file = folder.file("blip.wav", wav(0.5));
    auto silent = platform::createMixerAudio(4, {"no-such-driver"});
    EXPECT_EQ(silent->load(file, false, false), -1);
    EXPECT_EQ(silent->play(0), 0u);
    EXPECT_FALSE(silent->isPlaying(1));
    EXPECT_FALSE(silent->isPaused(1));
    silent->setPaused(1, true);
    silent->setVolume(1, 0.5f);
    silent->stop(1);
    silent->update();
    silent->close();

    // A failing driver falls through to the next one.
    auto fallback = platform::createMixerAudio(4, {"no-such-driver", "dummy"});
    SoundId s = fallback->load(file, false, false);
    ASSERT_GE(s, 0);
    ChannelId c = fallback->play(s);
    EXPECT_TRUE(fallback->isPlaying(c));

    // The device is held: a second mixer at the same time plays nothing.
    auto second = platform::createMixerAudio(4);
    EXPECT_EQ(second->load(file, false, false), -1);
    second.reset();  // and letting it go leaves the device to its holder
    EXPECT_GE(fallback->load(file, false, false), 0);
    fallback.reset();  // closing on destruction frees the device for the next one

    auto again = platform::createMixerAudio(4);
    EXPECT_GE(again->load(file, false, false), 0);
}

}  // namespace
