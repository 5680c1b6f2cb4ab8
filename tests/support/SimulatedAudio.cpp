// Sounds "play" on the given clock: a channel remembers how long its sound has
// run before the current stretch and when that stretch began, so pausing
// freezes the count and a sound ends once the total reaches its length.
#include "SimulatedAudio.h"

#include <filesystem>
#include <system_error>

#include "platform/Clock.h"

namespace testing_support {

namespace {

constexpr std::uint32_t kIndexMask = 0xffffffffu;

}  // namespace

SimulatedAudio::SimulatedAudio(Clock& clock, int channels)
    : clock_(clock), channels_(static_cast<std::size_t>(channels > 0 ? channels : 0)) {}

void SimulatedAudio::setDuration(const std::string& fileName, double seconds) {
    durations_[fileName] = seconds;
}

double SimulatedAudio::now() const {
    return static_cast<double>(clock_.counter()) / static_cast<double>(clock_.frequency());
}

SoundId SimulatedAudio::load(const std::string& path, bool /*stream*/, bool loop) {
    if (closed_) return -1;
    // Like a real decoder: nothing to decode in a missing, empty or non-regular file.
    std::error_code error;
    std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) == 0 ||
        error) {
        return -1;
    }
    Sound sound;
    sound.fileName = file.filename().string();
    auto duration = durations_.find(sound.fileName);
    if (duration != durations_.end()) sound.seconds = duration->second;
    sound.loop = loop;
    sound.live = true;
    sounds_.push_back(sound);
    return static_cast<SoundId>(sounds_.size() - 1);
}

void SimulatedAudio::release(SoundId sound) {
    if (sound < 0 || static_cast<std::size_t>(sound) >= sounds_.size()) return;
    for (Channel& c : channels_) {
        if (c.active && c.sound == sound) c.active = false;
    }
    sounds_[static_cast<std::size_t>(sound)].live = false;
}

ChannelId SimulatedAudio::play(SoundId sound, float volume) {
    if (closed_ || sound < 0 || static_cast<std::size_t>(sound) >= sounds_.size()) return 0;
    const Sound& s = sounds_[static_cast<std::size_t>(sound)];
    if (!s.live) return 0;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        Channel& c = channels_[i];
        settle(c);
        if (c.active) continue;
        ++c.generation;
        c.sound = sound;
        c.active = true;
        c.paused = false;
        c.volume = volume;
        c.loudest = volume;
        c.playedSeconds = 0;
        c.runStart = now();
        ++playCounts_[s.fileName];
        return (static_cast<ChannelId>(c.generation) << 32) | static_cast<ChannelId>(i + 1);
    }
    return 0;
}

void SimulatedAudio::stop(ChannelId channel) {
    if (Channel* c = find(channel)) c->active = false;
}

void SimulatedAudio::setPaused(ChannelId channel, bool paused) {
    Channel* c = find(channel);
    if (!c || c->paused == paused) return;
    double t = now();
    if (paused) {
        c->playedSeconds += t - c->runStart;
    } else {
        c->runStart = t;
    }
    c->paused = paused;
}

void SimulatedAudio::setVolume(ChannelId channel, float volume) {
    Channel* c = find(channel);
    if (!c) return;
    c->volume = volume;
    if (volume > c->loudest) c->loudest = volume;
}

bool SimulatedAudio::isPlaying(ChannelId channel) { return find(channel) != nullptr; }

bool SimulatedAudio::isPaused(ChannelId channel) {
    Channel* c = find(channel);
    return c && c->paused;
}

void SimulatedAudio::update() {
    for (Channel& c : channels_) settle(c);
}

void SimulatedAudio::close() {
    for (Channel& c : channels_) c.active = false;
    for (Sound& s : sounds_) s.live = false;
    closed_ = true;
}

float SimulatedAudio::volume(ChannelId channel) {
    Channel* c = find(channel);
    return c ? c->volume : -1.0f;
}

float SimulatedAudio::loudest(ChannelId channel) {
    Channel* c = find(channel);
    return c ? c->loudest : -1.0f;
}

int SimulatedAudio::playCount(const std::string& fileName) const {
    auto it = playCounts_.find(fileName);
    return it == playCounts_.end() ? 0 : it->second;
}

int SimulatedAudio::liveChannels() {
    int live = 0;
    for (Channel& c : channels_) {
        settle(c);
        if (c.active) ++live;
    }
    return live;
}

SimulatedAudio::Channel* SimulatedAudio::find(ChannelId id) {
    auto index = static_cast<std::uint32_t>(id & kIndexMask);
    auto generation = static_cast<std::uint32_t>(id >> 32);
    if (index == 0 || index > channels_.size()) return nullptr;
    Channel& c = channels_[index - 1];
    if (c.generation != generation) return nullptr;
    settle(c);
    return c.active ? &c : nullptr;
}

void SimulatedAudio::settle(Channel& c) {
    if (!c.active || c.paused) return;
    const Sound& s = sounds_[static_cast<std::size_t>(c.sound)];
    if (s.loop) return;
    if (c.playedSeconds + (now() - c.runStart) >= s.seconds) c.active = false;
}

}  // namespace testing_support
