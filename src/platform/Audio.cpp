// The real sound system on SDL_mixer. Every sound, music included, is decoded
// whole into a chunk: the mixer's music stream is a single global one and
// would not fit the model of many independent channels.
//
// Channel handles carry (generation << 32) | (channel + 1). We pick the free
// channel ourselves on the caller's thread, so a channel is only ever reused
// here, where its generation is bumped; the audio thread can only end sounds.
// A handle is live while its generation is current and the mixer still
// reports the channel playing (paused channels count), which covers natural
// ends without a finished callback.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/Audio.h"
#include "platform/Paths.h"

namespace platform {
namespace {

// SDL_mixer's device and channels are process-wide; only one system may own them.
bool g_mixerTaken = false;

class MixerAudio : public AudioSystem {
public:
    MixerAudio(int channels, const std::vector<std::string>& drivers) {
        if (g_mixerTaken || channels <= 0) return;  // stays a system that plays nothing
        for (const std::string& driver : drivers) {
            if (open(driver)) break;
        }
        if (!open_) return;
        g_mixerTaken = true;
        channelCount_ = Mix_AllocateChannels(channels);
        generations_.assign(static_cast<std::size_t>(std::max(channelCount_, 0)), 0);
        soundOf_.assign(generations_.size(), -1);
    }
    ~MixerAudio() override { close(); }

    SoundId load(const std::string& path, bool /*stream*/, bool loop) override {
        if (!open_) return -1;
        // We close the file ourselves: the decoder forgets to on some broken
        // MP3 files when asked to.
        SDL_RWops* rw = SDL_RWFromFile(dataPath(path).c_str(), "rb");
        if (!rw) return -1;
        Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 0);
        SDL_RWclose(rw);
        if (!chunk) return -1;
        sounds_.push_back({chunk, loop});
        return static_cast<SoundId>(sounds_.size() - 1);
    }

    void release(SoundId sound) override {
        Sound* s = soundAt(sound);
        if (!s) return;
        for (int ch = 0; ch < channelCount_; ++ch) {
            if (soundOf_[static_cast<std::size_t>(ch)] == sound) Mix_HaltChannel(ch);
        }
        Mix_FreeChunk(s->chunk);
        s->chunk = nullptr;
    }

    ChannelId play(SoundId sound) override {
        Sound* s = soundAt(sound);
        if (!s) return 0;
        for (int ch = 0; ch < channelCount_; ++ch) {
            if (Mix_Playing(ch)) continue;
            // Volume belongs to the channel and outlives the sound that set it.
            Mix_Volume(ch, MIX_MAX_VOLUME);
            if (Mix_PlayChannel(ch, s->chunk, s->loop ? -1 : 0) != ch) return 0;
            auto i = static_cast<std::size_t>(ch);
            soundOf_[i] = sound;
            return (static_cast<ChannelId>(++generations_[i]) << 32) | static_cast<ChannelId>(ch + 1);
        }
        return 0;
    }

    void stop(ChannelId channel) override {
        int ch = live(channel);
        if (ch >= 0) Mix_HaltChannel(ch);
    }

    void setPaused(ChannelId channel, bool paused) override {
        int ch = live(channel);
        if (ch < 0) return;
        if (paused) {
            // The mixer marks a pause with the tick count, so a pause at tick 0
            // (SDL's first millisecond, or a wrap) would not take.
            while (SDL_GetTicks() == 0) SDL_Delay(1);
            Mix_Pause(ch);
        } else {
            Mix_Resume(ch);
        }
    }

    void setVolume(ChannelId channel, float volume) override {
        int ch = live(channel);
        if (ch < 0) return;
        float v = volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f;  // NaN: silent
        Mix_Volume(ch, static_cast<int>(std::lround(v * MIX_MAX_VOLUME)));
    }

    bool isPlaying(ChannelId channel) override { return live(channel) >= 0; }

    bool isPaused(ChannelId channel) override {
        int ch = live(channel);
        return ch >= 0 && Mix_Paused(ch) != 0;
    }

    void update() override {}  // the mixer runs on its own thread

    void close() override {
        if (!open_) return;
        Mix_HaltChannel(-1);
        for (Sound& s : sounds_) {
            if (s.chunk) Mix_FreeChunk(s.chunk);
        }
        sounds_.clear();
        generations_.clear();
        soundOf_.clear();
        channelCount_ = 0;
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
        g_mixerTaken = false;
    }

private:
    struct Sound {
        Mix_Chunk* chunk = nullptr;
        bool loop = false;
    };

    // Brings up the audio subsystem on the given driver ("" = SDL's own choice)
    // and opens the mixer on it; on failure leaves the subsystem as it was.
    bool open(const std::string& driver) {
        if (!driver.empty()) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
        int initialised = SDL_InitSubSystem(SDL_INIT_AUDIO);
        // The driver is chosen at init; later systems get SDL's own choice again.
        if (!driver.empty()) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (initialised != 0) return false;
        if (!driver.empty()) {
            // Someone else kept the subsystem up on another driver: switch it.
            const char* current = SDL_GetCurrentAudioDriver();
            if ((!current || driver != current) && SDL_AudioInit(driver.c_str()) != 0) {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                return false;
            }
        }
        Mix_Init(MIX_INIT_MP3);
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        open_ = true;
        return true;
    }

    Sound* soundAt(SoundId sound) {
        if (!open_ || sound < 0 || static_cast<std::size_t>(sound) >= sounds_.size()) return nullptr;
        Sound& s = sounds_[static_cast<std::size_t>(sound)];
        return s.chunk ? &s : nullptr;
    }

    // The channel index of a live handle, or -1.
    int live(ChannelId channel) const {
        if (!open_) return -1;
        auto index = static_cast<std::uint32_t>(channel & 0xffffffffu);
        auto generation = static_cast<std::uint32_t>(channel >> 32);
        if (index == 0 || index > static_cast<std::uint32_t>(channelCount_)) return -1;
        int ch = static_cast<int>(index - 1);
        if (generations_[static_cast<std::size_t>(ch)] != generation || !Mix_Playing(ch)) return -1;
        return ch;
    }

    bool open_ = false;
    int channelCount_ = 0;
    std::vector<Sound> sounds_;
    std::vector<std::uint32_t> generations_;  // per channel, bumped at each play
    std::vector<SoundId> soundOf_;            // per channel, the last sound started
};

AudioFactory& installedFactory() {
    static AudioFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<AudioSystem> createMixerAudio(int channels) {
    // No device (a server without sound): SDL's dummy output keeps every sound
    // its real length, silently, which the game's waits depend on.
    return createMixerAudio(channels, {"", "dummy"});
}

std::unique_ptr<AudioSystem> createMixerAudio(int channels, const std::vector<std::string>& drivers) {
    return std::make_unique<MixerAudio>(channels, drivers);
}

std::unique_ptr<AudioSystem> createAudioSystem(int channels) {
    const AudioFactory& factory = installedFactory();
    return factory ? factory(channels) : createMixerAudio(channels);
}

void installAudioFactory(AudioFactory factory) { installedFactory() = std::move(factory); }

}  // namespace platform
