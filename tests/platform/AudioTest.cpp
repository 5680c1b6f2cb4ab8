// Both sound systems: the simulated one on a fake clock, and the mixer on
// SDL's dummy output, which plays in real time without a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "SimulatedAudio.h"
#include "platform/Audio.h"
#include "support/FakeClock.h"
#include "support/TestFiles.h"

using platform::ChannelId;
using testing_support::SimulatedAudio;
using platform::SoundId;
using testing_support::Bytes;

namespace {

// What the sound registry's own tests do not reach: the test double's
// channels running out, pauses asked twice, made-up handles, and what release
// and close silence.
TEST(SimulatedAudioTest, ChannelsRunOutAndReleaseAndCloseSilenceWhatTheyFree) {
    testing_support::TempDir dir;
    testing_support::FakeClock clock;
    SimulatedAudio audio(clock, 2);
    SoundId one = audio.load(dir.write("one.wav", {1}), false, false);  // no duration set: 1 s
    SoundId looped = audio.load(dir.write("music.mp3", {1}), true, true);
    ChannelId a = audio.play(one), m = audio.play(looped);
    ASSERT_TRUE(a && m);
    EXPECT_EQ(audio.play(one), 0u);  // both channels busy
    audio.setPaused(a, true);
    clock.advanceMs(600);
    audio.setPaused(a, true);  // twice must not lose the time already played
    audio.setPaused(a, false);
    clock.advanceMs(600);
    EXPECT_TRUE(audio.isPlaying(a));
    for (ChannelId madeUp : {ChannelId{0}, ChannelId{7}, ~ChannelId{0}}) {
        audio.stop(madeUp);
        EXPECT_FALSE(audio.isPlaying(madeUp) || audio.isPaused(madeUp));
    }
    EXPECT_EQ(audio.load(dir.file("absent.wav"), false, false), -1);
    EXPECT_EQ(audio.load(dir.folder("folder.mp3"), false, false), -1);
    audio.release(one);
    EXPECT_FALSE(audio.isPlaying(a));
    EXPECT_TRUE(audio.isPlaying(m));
    EXPECT_EQ(audio.play(one), 0u);
    audio.close();
    EXPECT_FALSE(audio.isPlaying(m));
    EXPECT_EQ(audio.play(looped), 0u);
}

// Real time passes on the dummy output; waits are generous, so only "it
// ends" is checked, never how long it took.
bool endsWithin(platform::AudioSystem& audio, ChannelId channel, int ms) {
    for (int waited = 0; waited < ms && audio.isPlaying(channel); waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !audio.isPlaying(channel);
}

TEST(MixerAudioTest, PlaysPausesEndsAndLoopsOnTheDummyOutput) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing_support::TempDir dir;
    auto audio = platform::createMixerAudio(2);
    SoundId blip = audio->load(dir.write("blip.wav", testing_support::wavBytes(4410)), false, false);
    SoundId loop = audio->load(dir.write("loop.wav", testing_support::wavBytes(1100)), true, true);
    ASSERT_TRUE(blip >= 0 && loop >= 0);
    ChannelId m = audio->play(loop), first = audio->play(blip);
    ASSERT_TRUE(m && first);
    EXPECT_EQ(audio->play(blip), 0u);  // both channels busy
    audio->setPaused(first, true);
    EXPECT_TRUE(audio->isPlaying(first) && audio->isPaused(first));
    audio->setPaused(first, false);
    EXPECT_FALSE(audio->isPaused(first));
    EXPECT_TRUE(endsWithin(*audio, first, 3000) && audio->isPlaying(m));  // the loop is far past its length

    // The freed channel is taken again; the old handle must not reach it.
    ChannelId second = audio->play(blip);
    ASSERT_NE(second, 0u);
    audio->setPaused(first, true);
    audio->stop(first);
    EXPECT_TRUE(audio->isPlaying(second));
    EXPECT_FALSE(audio->isPaused(second) || audio->isPlaying(first));
    audio->release(loop);
    EXPECT_FALSE(audio->isPlaying(m));
    EXPECT_EQ(audio->play(loop), 0u);
    audio->close();
    EXPECT_FALSE(audio->isPlaying(second));
    EXPECT_EQ(audio->play(blip), 0u);
}

TEST(MixerAudioTest, BrokenFilesMissingDevicesAndASecondMixerPlayNothing) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing_support::TempDir dir;
    const std::string good = dir.write("good.wav", testing_support::wavBytes(11025));
    auto silent = platform::createMixerAudio(4, {"no-such-driver"});
    EXPECT_EQ(silent->load(good, false, false), -1);
    EXPECT_FALSE(silent->play(0) || silent->isPlaying(1));

    // A failing driver falls through to the next one.
    auto audio = platform::createMixerAudio(4, {"no-such-driver", "dummy"});
    const Bytes wav = testing_support::wavBytes(2000);
    Bytes mp3{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    mp3.resize(64, 0xFF);
    for (const auto& [name, bytes] : {std::pair<std::string, Bytes>{"truncated.wav", {wav.begin(), wav.begin() + 30}},
                                      {"corrupt.wav", Bytes(wav.size(), 0x5A)},
                                      {"empty.wav", {}},
                                      {"truncated.mp3", {mp3.begin(), mp3.begin() + 6}},
                                      {"corrupt.mp3", Bytes(4096, 0x5A)},
                                      {"empty.mp3", {}}})
        EXPECT_EQ(audio->load(dir.write(name, bytes), false, false), -1) << name;
    EXPECT_EQ(audio->load(dir.folder("folder.wav"), false, false), -1);
    // A well-formed WAV without samples may load, but must end at once.
    const std::string zero = dir.write("zero.wav", testing_support::wavBytes(0));
    EXPECT_TRUE(endsWithin(*audio, audio->play(audio->load(zero, false, false)), 3000));
    EXPECT_TRUE(audio->isPlaying(audio->play(audio->load(good, false, false))));

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
