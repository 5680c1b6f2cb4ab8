// The sound system behind the sound registry: sounds loaded from files and
// played on channels. A channel handle stays safe after its sound ended
// (calls do nothing, isPlaying false); a paused channel counts as playing.
// No call waits for decoding: a sound played before it is ready starts as
// soon as it is, and one that turns out broken ends at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Clock;

using SoundId = int;             // -1: no sound
using ChannelId = std::uint64_t; // 0: no channel

class AudioSystem {
public:
    virtual ~AudioSystem() = default;
    // stream: decode while playing (long sounds are streamed anyway); loop:
    // play endlessly. -1 for a file that cannot be a sound (missing, not a
    // regular file, empty, too large); a file whose content is broken is
    // found out later, off the caller's thread, and plays nothing.
    virtual SoundId load(const std::string& path, bool stream, bool loop) = 0;
    virtual void release(SoundId sound) = 0;
    // Starts at the given volume, so a sound meant to be silent is never heard
    // for a moment; 0 when the sound cannot play.
    virtual ChannelId play(SoundId sound, float volume) = 0;
    virtual void stop(ChannelId channel) = 0;
    virtual void setPaused(ChannelId channel, bool paused) = 0;
    virtual void setVolume(ChannelId channel, float volume) = 0;
    virtual bool isPlaying(ChannelId channel) = 0;
    virtual bool isPaused(ChannelId channel) = 0;
    virtual void update() = 0;
    virtual void close() = 0;  // stops everything; the system plays nothing after
};

// Our mixer on SDL's audio output with the given channel count. The device is
// opened in the background; when none opens it falls back to SDL's dummy
// output (sounds keep their real durations, silently), and to a system where
// nothing plays when even that fails.
std::unique_ptr<AudioSystem> createMixerAudio(int channels);
// The same, trying SDL's output drivers in the given order ("" = SDL's own
// choice); the one above tries {"", "dummy"}. Only one mixer system can hold
// the device at a time: another made while it is open plays nothing.
std::unique_ptr<AudioSystem> createMixerAudio(int channels, const std::vector<std::string>& drivers);

// What soundRegistry's init calls: the mixer, unless a test installed a maker
// (tests install one that plays on their own clock).
using AudioFactory = std::function<std::unique_ptr<AudioSystem>(int channels)>;
std::unique_ptr<AudioSystem> createAudioSystem(int channels);
void installAudioFactory(AudioFactory factory);  // empty: the mixer again

}  // namespace platform
