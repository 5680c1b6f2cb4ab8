// A sound system for tests: nothing is heard, but every sound plays for a
// duration measured on the given clock, so playing, pausing, stopping and
// ending behave as with real output.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Audio.h"

namespace testing_support {

using platform::ChannelId;
using platform::Clock;
using platform::SoundId;

class SimulatedAudio : public platform::AudioSystem {
public:
    SimulatedAudio(Clock& clock, int channels);

    // Duration of sounds loaded from files with this last path component
    // (e.g. "playbgm.mp3"); 1 s unless set. Applies to later loads.
    void setDuration(const std::string& fileName, double seconds);

    SoundId load(const std::string& path, bool stream, bool loop) override;
    void release(SoundId sound) override;
    ChannelId play(SoundId sound, float volume) override;
    void stop(ChannelId channel) override;
    void setPaused(ChannelId channel, bool paused) override;
    void setVolume(ChannelId channel, float volume) override;
    bool isPlaying(ChannelId channel) override;
    bool isPaused(ChannelId channel) override;
    void update() override;
    void close() override;

    // Inspection for tests.
    float volume(ChannelId channel);            // -1 when the channel is not live
    // The loudest the channel has been since its sound started: any volume it
    // held, even for a moment, a real mixer may have played at. -1 when not live.
    float loudest(ChannelId channel);
    int playCount(const std::string& fileName) const;  // plays started so far
    int liveChannels();                          // playing or paused

private:
    struct Sound {
        std::string fileName;
        double seconds = 1.0;
        bool loop = false;
        bool live = false;
    };
    struct Channel {
        std::uint32_t generation = 0;
        SoundId sound = -1;
        bool active = false;
        bool paused = false;
        float volume = 1.0f;
        float loudest = 1.0f;
        double playedSeconds = 0;  // before the current run
        double runStart = 0;       // clock seconds when last (re)started
    };
    double now() const;
    Channel* find(ChannelId id);
    void settle(Channel& c);  // ends a finished, non-looping sound

    Clock& clock_;
    bool closed_ = false;
    std::vector<Sound> sounds_;
    std::vector<Channel> channels_;
    std::map<std::string, double> durations_;
    std::map<std::string, int> playCounts_;
};

}  // namespace testing_support
