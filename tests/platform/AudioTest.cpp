// The mixer on SDL's dummy output, which plays in real time without a sound
// card, and on its disk output, read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/Audio.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioFile.h"
#include "support/DiskAudioCapture.h"
#include "support/TestFiles.h"

using platform::ChannelId;
using platform::SoundId;
using testing_support::Bytes;

namespace {

// Real time passes on the dummy output; waits are generous, so only "it
// ends" is checked, never how long it took.
bool endsWithin(platform::AudioSystem& audio, ChannelId channel, int ms) {
    for (int waited = 0; waited < ms && audio.isPlaying(channel); waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !audio.isPlaying(channel);
}

// A looping sound never ends by itself: one that ends, or never starts,
// played nothing.
bool playsNothing(platform::AudioSystem& audio, const std::string& path, bool stream) {
    const SoundId sound = audio.load(path, stream, true);
    if (sound < 0) return true;
    const ChannelId channel = audio.play(sound, 1.0f);
    return channel == 0 || endsWithin(audio, channel, 5000);
}

// Waiting can only make a sound look as if it still plays, never end it early.
bool stillPlaysAfterAWhile(platform::AudioSystem& audio, ChannelId channel) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return audio.isPlaying(channel);
}

TEST(MixerAudioTest, PlaysPausesEndsAndLoopsOnTheDummyOutput) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing_support::TempDir dir;
    auto audio = platform::createMixerAudio(2);
    SoundId blip = audio->load(dir.write("blip.wav", testing_support::wavBytes(4410)), false, false);
    SoundId loop = audio->load(dir.write("loop.wav", testing_support::wavBytes(1100)), true, true);  // streamed
    ASSERT_TRUE(blip >= 0 && loop >= 0);
    ChannelId m = audio->play(loop, 1.0f), first = audio->play(blip, 1.0f);
    ASSERT_TRUE(m && first);
    EXPECT_EQ(audio->play(blip, 1.0f), 0u);  // both channels busy
    audio->setPaused(first, true);
    EXPECT_TRUE(audio->isPlaying(first) && audio->isPaused(first));
    audio->setPaused(first, false);
    EXPECT_FALSE(audio->isPaused(first));
    audio->setVolume(first, 0.0f);  // unheard, it still runs its course
    EXPECT_TRUE(endsWithin(*audio, first, 3000) && audio->isPlaying(m));  // the loop is far past its length

    // The freed channel is taken again; the old handle must not reach it.
    ChannelId second = audio->play(blip, 1.0f);
    ASSERT_NE(second, 0u);
    audio->setPaused(first, true);
    audio->stop(first);
    EXPECT_TRUE(audio->isPlaying(second));
    EXPECT_FALSE(audio->isPaused(second) || audio->isPlaying(first));
    audio->release(loop);
    EXPECT_FALSE(audio->isPlaying(m));
    EXPECT_EQ(audio->play(loop, 1.0f), 0u);
    audio->close();
    EXPECT_FALSE(audio->isPlaying(second));
    EXPECT_EQ(audio->play(blip, 1.0f), 0u);
}

// Sound files are hostile input. What cannot be a sound is refused before a
// byte is read (a FIFO would block a plain open, /dev/zero never ends); broken
// content is found out off the caller's thread. Either way nothing plays, and
// stderr gets one line naming the file, however often it is tried.
TEST(MixerAudioTest, HostileFilesPlayNothingAndAreReportedOnce) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing_support::TempDir dir;
    auto audio = platform::createMixerAudio(4, {"dummy"});
    ASSERT_EQ(::mkfifo(dir.file("fifo.mp3").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.file("zero.mp3").c_str()), 0);
    const std::string huge = dir.write("huge.mp3", {0xFF, 0xFB, 0x90, 0x44});
    ASSERT_EQ(::truncate(huge.c_str(), platform::kMaxSoundFileBytes + 1), 0);  // sparse: no disk used
    const std::vector<std::string> refused = {dir.file("absent.mp3"), dir.folder("folder.mp3"), dir.file("fifo.mp3"),
                                              dir.file("zero.mp3"), huge, dir.write("empty.mp3", {})};
    const Bytes wav = testing_support::wavBytes(2000);
    Bytes mp3{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    mp3.resize(64, 0xFF);
    const std::vector<std::string> broken = {dir.write("truncated.wav", {wav.begin(), wav.begin() + 30}),
                                             dir.write("corrupt.wav", Bytes(wav.size(), 0x5A)),
                                             dir.write("no samples.wav", testing_support::wavBytes(0)),
                                             dir.write("truncated.mp3", {mp3.begin(), mp3.begin() + 6}),
                                             dir.write("tag only.mp3", mp3),
                                             dir.write("corrupt.mp3", Bytes(4096, 0x5A))};
    testing::internal::CaptureStderr();
    for (bool stream : {false, true}) {
        for (const std::string& path : refused) EXPECT_EQ(audio->load(path, stream, true), -1) << path;
        for (const std::string& path : broken) EXPECT_TRUE(playsNothing(*audio, path, stream)) << path;
    }
    const std::string said = testing::internal::GetCapturedStderr();
    for (const std::vector<std::string>* group : {&refused, &broken}) {
        for (const std::string& path : *group) {
            std::size_t lines = 0;
            for (std::size_t at = said.find(path + ":"); at != std::string::npos; at = said.find(path + ":", at + 1))
                ++lines;
            EXPECT_EQ(lines, 1u) << path << " in:\n" << said;
        }
    }
    const std::string good = dir.write("good.wav", testing_support::wavBytes(11025));
    EXPECT_TRUE(stillPlaysAfterAWhile(*audio, audio->play(audio->load(good, false, true), 1.0f)));
}

TEST(MixerAudioTest, MissingDevicesAndASecondMixerPlayNothing) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing_support::TempDir dir;
    const std::string good = dir.write("good.wav", testing_support::wavBytes(11025));
    {
        auto silent = platform::createMixerAudio(4, {"no-such-driver"});
        EXPECT_TRUE(playsNothing(*silent, good, false));
    }
    // A failing driver falls through to the next one.
    auto audio = platform::createMixerAudio(4, {"no-such-driver", "dummy"});
    const ChannelId held = audio->play(audio->load(good, false, true), 1.0f);
    EXPECT_TRUE(stillPlaysAfterAWhile(*audio, held));
    // The device is held: a second mixer at the same time plays nothing, and
    // letting it go leaves the device to its holder.
    auto second = platform::createMixerAudio(4);
    EXPECT_TRUE(playsNothing(*second, good, false));
    second.reset();
    EXPECT_TRUE(audio->isPlaying(held));
    audio.reset();  // closing on destruction frees the device for the next one
    auto next = platform::createMixerAudio(4);
    EXPECT_TRUE(stillPlaysAfterAWhile(*next, next->play(next->load(good, false, true), 1.0f)));
}

// What the device is given, read back from SDL's disk output: a long sound
// played streamed is the very sound decoded whole, from its first frame to
// its last, with no gap, and silence after it.
TEST(MixerAudioTest, AStreamedSoundIsHeardWholeUpToItsLastFrame) {
    testing_support::TempDir dir;
    const testing_support::DiskAudioCapture captured(dir.file("heard.raw"));
    const std::string path = std::string(SWAPSPRINT_GAME_DIR) + "/soundfile/combo5.mp3";
    std::string why;
    const std::vector<std::int16_t> whole =
        platform::decodeWhole(platform::AudioFile::open(path, &why), std::size_t{1} << 20, &why);
    ASSERT_FALSE(whole.empty()) << why;
    {
        auto audio = platform::createMixerAudio(4, {"disk"});
        const ChannelId c = audio->play(audio->load(path, true, false), 1.0f);
        ASSERT_NE(c, 0u);
        EXPECT_TRUE(endsWithin(*audio, c, 20000));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a few buffers of silence after it
    }
    const std::vector<std::int16_t> samples = captured.samples();
    const std::size_t from = testing_support::firstSound(samples), start = testing_support::firstSound(whole);
    ASSERT_GE(samples.size(), from + whole.size() - start);
    std::size_t differing = 0;
    for (std::size_t i = start; i < whole.size(); ++i)
        differing += std::abs(samples[from + i - start] - whole[i]) > 1;  // the mix scales by 32767 / 32768
    EXPECT_EQ(differing, 0u);
    EXPECT_TRUE(std::all_of(samples.begin() + static_cast<std::ptrdiff_t>(from + whole.size() - start),
                            samples.end(), [](std::int16_t v) { return v == 0; }));
}

}  // namespace
