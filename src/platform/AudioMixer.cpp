// The real sound system: our own mixer on an SDL audio device.
//
// Three threads meet here. The frame thread calls the AudioSystem operations
// and never waits for a decoder or a device. SDL's audio thread mixes. One
// worker of ours does everything that takes time: it opens the device, decodes
// short sounds whole, and decodes long ones (music) a little ahead of the
// mixer into a ring per playing channel, so several pieces of music can play
// at once and only about a second of each is ever held decoded.
//
// The channels are shared by the frame thread and the mixer under one mutex,
// held for a few field writes or the mix of one buffer. A ring has one writer
// (the worker) and one reader (the mixer) and takes no lock. Sounds and rings
// are freed on the frame thread or the worker, never while mixing.
//
// A page has one thread: there the worker's jobs run from update(), once a
// frame, and SDL mixes from the browser's audio callback between frames.
//
// Channel handles carry (generation << 32) | (channel + 1); a channel's
// generation grows each time it starts a sound, so an old handle never reaches
// the next sound. A handle is live while its sound plays (paused included).
#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Audio.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioFile.h"

namespace platform {
namespace {

constexpr int kDeviceFrames = 1024;                // about 23 ms a buffer
constexpr std::size_t kRingFrames = 32768;         // about 0.74 s decoded ahead of a stream
constexpr std::size_t kDecodePiece = 4096;         // what the worker decodes at a time
constexpr std::size_t kMixBlock = 256;             // a volume change or a stop ramps over one block (6 ms)
constexpr std::int64_t kStreamAbove = 64 * 1024;   // MP3 files larger than this (about 4 s) are streamed
constexpr std::size_t kWholeMaxFrames = std::size_t{1} << 22;  // 95 s: only a hostile file gets near
constexpr auto kRefillEvery = std::chrono::milliseconds(100);  // the ring holds 0.74 s
#ifdef __EMSCRIPTEN__
constexpr bool kWorkerThread = false;
#else
constexpr bool kWorkerThread = true;
#endif

// Everything the game plays at once stays below full scale (the sounds are
// made with that headroom); should a pile-up still get there, the peak is
// held at this ceiling by a limiter that lets go over about a tenth of a second.
constexpr float kCeiling = 0.89f;  // -1 dBFS
const float kLimiterRelease = std::exp(-1.0f / (0.1f * kMixRate));

// SDL's audio device is process-wide; only one system may own it.
std::atomic<bool> g_deviceTaken{false};

// Frames decoded ahead: written by the worker alone, read by the mixer alone.
class FrameRing {
public:
    std::size_t space() const {
        return kRingFrames - (written_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire));
    }
    std::size_t available() const {
        return written_.load(std::memory_order_acquire) - read_.load(std::memory_order_relaxed);
    }

    void push(const std::int16_t* frames, std::size_t count) {
        std::size_t at = written_.load(std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i, ++at) {
            const std::size_t slot = at % kRingFrames;
            data_[2 * slot] = frames[2 * i];
            data_[2 * slot + 1] = frames[2 * i + 1];
        }
        written_.store(at, std::memory_order_release);
    }
    // Frame i of what is readable (i < available()).
    const std::int16_t* peek(std::size_t i) const {
        return &data_[2 * ((read_.load(std::memory_order_relaxed) + i) % kRingFrames)];
    }
    void consume(std::size_t count) { read_.fetch_add(count, std::memory_order_release); }

private:
    std::vector<std::int16_t> data_ = std::vector<std::int16_t>(2 * kRingFrames);
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> read_{0};
};

enum SoundState { kLoading, kReady, kFailed };

struct Sound {
    std::shared_ptr<const AudioFile> file;
    bool loop = false;
    bool streamed = false;
    // Sounds decoded whole: the worker fills pcm, then sets kReady.
    std::atomic<int> state{kLoading};
    std::vector<std::int16_t> pcm;
};

// One play of a streamed sound.
struct Stream {
    explicit Stream(std::shared_ptr<Sound> s) : sound(std::move(s)) {}
    std::shared_ptr<Sound> sound;
    FrameRing ring;
    std::atomic<bool> finished{false};   // nothing more will be written
    std::atomic<bool> abandoned{false};  // no channel reads it any more
    // The worker's alone:
    std::unique_ptr<AudioDecoder> decoder;
    bool opened = false;
    bool framesSinceStart = false;  // a loop that decodes nothing must not spin
};

struct Channel {
    std::uint32_t generation = 0;
    bool playing = false;  // as callers see it: started and not ended or stopped
    bool paused = false;
    bool fading = false;   // stopped while audible: ramps to silence, then is free
    bool fresh = false;    // not mixed yet: starts at its volume without a ramp
    float volume = 1.0f;
    float gain = 0.0f;     // the gain the last mixed frame had
    std::size_t position = 0;
    std::shared_ptr<Sound> sound;
    std::shared_ptr<Stream> stream;

    bool free() const { return !playing && !fading; }
};

class MixerAudio : public AudioSystem {
public:
    MixerAudio(int channels, std::vector<std::string> drivers)
        : channels_(static_cast<std::size_t>(std::max(channels, 0))), drivers_(std::move(drivers)) {
        bool expected = false;
        if (channels <= 0 || !g_deviceTaken.compare_exchange_strong(expected, true)) {
            dead_ = true;  // stays a system that plays nothing
            return;
        }
        if (kWorkerThread) {
            worker_ = std::thread([this] { work(); });
        } else {
            startWork();
        }
    }
    ~MixerAudio() override { close(); }

    SoundId load(const std::string& path, bool stream, bool loop) override {
        if (dead_) return -1;
        std::string why;
        std::shared_ptr<const AudioFile> file = AudioFile::open(path, &why);
        if (!file) {
            reportBadSound(path, why + "; it plays nothing");
            return -1;
        }
        auto sound = std::make_shared<Sound>();
        sound->loop = loop;
        sound->streamed = stream || (file->format() == SoundFormat::Mp3 && file->size() > kStreamAbove);
        sound->file = std::move(file);
        if (!sound->streamed) {
            std::lock_guard<std::mutex> hold(jobsLock_);
            loads_.push_back(sound);
            jobsChanged_ = true;
            jobsWake_.notify_one();
        }
        sounds_.push_back(std::move(sound));
        return static_cast<SoundId>(sounds_.size() - 1);
    }

    void release(SoundId id) override {
        std::shared_ptr<Sound> sound = soundAt(id);
        if (!sound) return;
        {
            std::lock_guard<std::mutex> hold(mixLock_);
            for (Channel& c : channels_)
                if (c.sound == sound && c.playing) endChannel(c);
        }
        sounds_[static_cast<std::size_t>(id)].reset();
    }

    ChannelId play(SoundId id, float volume) override {
        std::shared_ptr<Sound> sound = soundAt(id);
        if (!sound || dead_) return 0;
        if (!sound->streamed && sound->state.load(std::memory_order_acquire) == kFailed) return 0;
        std::shared_ptr<Stream> stream = sound->streamed ? std::make_shared<Stream>(sound) : nullptr;
        Leftovers old;
        ChannelId handle = 0;
        {
            std::lock_guard<std::mutex> hold(mixLock_);
            for (std::size_t i = 0; i < channels_.size() && !handle; ++i) {
                Channel& c = channels_[i];
                if (!c.free()) continue;
                old.take(c);
                c.playing = true;
                c.paused = c.fading = false;
                c.fresh = true;
                c.volume = clampVolume(volume);  // before the mixer can reach it
                c.position = 0;
                c.sound = sound;
                c.stream = stream;
                handle = (static_cast<ChannelId>(++c.generation) << 32) | static_cast<ChannelId>(i + 1);
            }
        }
        if (handle && stream) {
            std::lock_guard<std::mutex> hold(jobsLock_);
            streams_.push_back(stream);
            jobsChanged_ = true;
            jobsWake_.notify_one();
        }
        return handle;
    }

    void stop(ChannelId handle) override {
        std::lock_guard<std::mutex> hold(mixLock_);
        if (Channel* c = live(handle)) endChannel(*c);
    }

    void setPaused(ChannelId handle, bool paused) override {
        std::lock_guard<std::mutex> hold(mixLock_);
        if (Channel* c = live(handle)) c->paused = paused;
    }

    void setVolume(ChannelId handle, float volume) override {
        std::lock_guard<std::mutex> hold(mixLock_);
        if (Channel* c = live(handle)) c->volume = clampVolume(volume);
    }

    bool isPlaying(ChannelId handle) override {
        std::lock_guard<std::mutex> hold(mixLock_);
        return live(handle) != nullptr;
    }

    bool isPaused(ChannelId handle) override {
        std::lock_guard<std::mutex> hold(mixLock_);
        Channel* c = live(handle);
        return c && c->paused;
    }

    // Lets go of what ended channels still hold (a stream's ring, say).
    void update() override {
        if (!kWorkerThread && !closed_) workOnce();
        Leftovers old;
        std::lock_guard<std::mutex> hold(mixLock_);
        for (Channel& c : channels_)
            if (c.free()) old.take(c);
    }

    void close() override {
        if (closed_) return;
        closed_ = true;
        dead_ = true;
        if (worker_.joinable()) {
            {
                std::lock_guard<std::mutex> hold(jobsLock_);
                quit_ = true;
                jobsWake_.notify_one();
            }
            worker_.join();  // it closes the device on its way out
        } else if (!kWorkerThread) {
            endWork();
        }
        Leftovers old;
        {
            std::lock_guard<std::mutex> hold(mixLock_);
            for (Channel& c : channels_) {
                c.playing = c.fading = false;
                old.take(c);
            }
        }
        sounds_.clear();
        loads_.clear();
        streams_.clear();
    }

private:
    // What a channel held, dropped only once the mix lock is let go.
    struct Leftovers {
        std::vector<std::shared_ptr<Sound>> sounds;
        std::vector<std::shared_ptr<Stream>> streams;
        void take(Channel& c) {
            if (c.stream) c.stream->abandoned = true;
            if (c.sound) sounds.push_back(std::move(c.sound));
            if (c.stream) streams.push_back(std::move(c.stream));
            c.sound.reset();
            c.stream.reset();
        }
    };

    static float clampVolume(float volume) { return volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f; }  // NaN: silent

    std::shared_ptr<Sound> soundAt(SoundId id) const {
        if (id < 0 || static_cast<std::size_t>(id) >= sounds_.size()) return nullptr;
        return sounds_[static_cast<std::size_t>(id)];
    }

    // The channel of a live handle, or nullptr. Needs mixLock_.
    Channel* live(ChannelId handle) {
        const auto index = static_cast<std::uint32_t>(handle & 0xffffffffu);
        const auto generation = static_cast<std::uint32_t>(handle >> 32);
        if (index == 0 || index > channels_.size()) return nullptr;
        Channel& c = channels_[index - 1];
        return c.generation == generation && c.playing ? &c : nullptr;
    }

    // Ends a channel for its callers at once; what is audible fades out over
    // one block instead of being cut. Needs mixLock_.
    static void endChannel(Channel& c) {
        c.fading = c.gain > 0.0f && !c.fresh;
        c.playing = false;
    }

    // ---- the worker ------------------------------------------------------

    void work() {
        startWork();
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(jobsLock_);
                const auto ready = [this] { return quit_ || jobsChanged_; };
                if (streams_.empty())
                    jobsWake_.wait(hold, ready);
                else
                    jobsWake_.wait_for(hold, kRefillEvery, ready);
                if (quit_) break;
            }
            workOnce();
        }
        endWork();
        SDL_TLSCleanup();  // SDL's per-thread data (its error text) for a thread it did not make
    }

    void startWork() {
        openDevice();
        if (!device_) {
            // No output at all: nothing plays, nothing waits on a sound, and
            // the device is left to whoever can open it.
            dead_ = true;
            g_deviceTaken = false;
            std::lock_guard<std::mutex> hold(mixLock_);
            for (Channel& c : channels_) c.playing = c.fading = false;
        }
    }

    // The sounds to decode and the streams to fill, as they stand.
    void workOnce() {
        std::vector<std::shared_ptr<Sound>> loads;
        std::vector<std::shared_ptr<Stream>> streams;
        {
            std::lock_guard<std::mutex> hold(jobsLock_);
            jobsChanged_ = false;
            loads.swap(loads_);
            // Streams nobody reads or that have nothing more to give are let go.
            std::erase_if(streams_, [](const std::shared_ptr<Stream>& s) { return s->abandoned || s->finished; });
            streams = streams_;
        }
        for (auto& sound : loads) decode(*sound);
        for (auto& stream : streams) fill(*stream);
    }

    void endWork() {
        if (device_) {
            SDL_CloseAudioDevice(device_);
            device_ = 0;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            g_deviceTaken = false;
        }
    }

    // Tries each driver in turn ("" = SDL's own choice).
    void openDevice() {
        for (const std::string& driver : drivers_) {
            if (!driver.empty()) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
            const bool up = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
            // The driver is chosen at init; later systems get SDL's own choice again.
            if (!driver.empty()) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
            if (!up) continue;
            const char* current = SDL_GetCurrentAudioDriver();
            // Someone else kept the subsystem up on another driver: switch it.
            if (!driver.empty() && (!current || driver != current) && SDL_AudioInit(driver.c_str()) != 0) {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                continue;
            }
            SDL_AudioSpec want{};
            want.freq = kMixRate;
            want.format = AUDIO_S16SYS;
            want.channels = 2;
            want.samples = kDeviceFrames;
            want.callback = &MixerAudio::mixCallback;
            want.userdata = this;
            SDL_AudioSpec have{};
            device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (device_) {
                SDL_PauseAudioDevice(device_, 0);
                return;
            }
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    void decode(Sound& sound) {
        std::string why;
        std::vector<std::int16_t> pcm = decodeWhole(sound.file, kWholeMaxFrames, &why);
        if (!why.empty()) reportBadSound(sound.file->path(), why + (pcm.empty() ? "; it plays nothing" : ""));
        if (pcm.empty()) {
            sound.state.store(kFailed, std::memory_order_release);
            return;
        }
        sound.pcm = std::move(pcm);
        sound.state.store(kReady, std::memory_order_release);
    }

    void fill(Stream& s) {
        if (!s.opened) {
            s.opened = true;
            std::string why;
            s.decoder = AudioDecoder::open(s.sound->file, &why);
            if (!s.decoder) {
                reportBadSound(s.sound->file->path(), why + "; it plays nothing");
                s.finished = true;
                return;
            }
        }
        std::array<std::int16_t, 2 * kDecodePiece> piece;
        while (!s.abandoned && s.ring.space() >= kDecodePiece) {
            const std::size_t got = s.decoder->read(piece.data(), kDecodePiece);
            if (got > 0) {
                s.ring.push(piece.data(), got);
                s.framesSinceStart = true;
                continue;
            }
            if (!s.decoder->error().empty())
                reportBadSound(s.sound->file->path(),
                               "is broken part way (" + s.decoder->error() + "); it stops there");
            if (s.sound->loop && s.framesSinceStart && s.decoder->rewind()) {
                s.framesSinceStart = false;
                continue;
            }
            s.decoder.reset();
            s.finished = true;
            return;
        }
    }

    // ---- the mixer (SDL's audio thread) ------------------------------------

    static void SDLCALL mixCallback(void* self, Uint8* out, int bytes) {
        static_cast<MixerAudio*>(self)->mix(reinterpret_cast<std::int16_t*>(out), static_cast<std::size_t>(bytes) / 4);
    }

    void mix(std::int16_t* out, std::size_t frames) {
        std::lock_guard<std::mutex> hold(mixLock_);
        std::array<float, 2 * kMixBlock> sum;
        for (std::size_t done = 0; done < frames;) {
            const std::size_t n = std::min(kMixBlock, frames - done);
            std::fill(sum.begin(), sum.begin() + 2 * n, 0.0f);
            for (Channel& c : channels_) mixChannel(c, sum.data(), n);
            for (std::size_t i = 0; i < n; ++i) {
                const float left = sum[2 * i], right = sum[2 * i + 1];
                const float peak = std::max(std::fabs(left), std::fabs(right));
                envelope_ = peak > envelope_ ? peak : envelope_ * kLimiterRelease;
                const float g = envelope_ > kCeiling ? kCeiling / envelope_ : 1.0f;
                out[2 * (done + i)] = toSample(left * g);
                out[2 * (done + i) + 1] = toSample(right * g);
            }
            done += n;
        }
    }

    static std::int16_t toSample(float v) {
        return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    }

    // Adds up to n frames of the channel into sum, its gain ramping from
    // where it was to where it should be. A paused channel holds its place
    // once faded; one at volume 0 runs its course unheard.
    void mixChannel(Channel& c, float* sum, std::size_t n) {
        if (!c.playing && !c.fading) return;
        const float target = c.playing && !c.paused ? c.volume : 0.0f;
        if (c.fresh) {
            c.gain = target;
            c.fresh = false;
        }
        const float from = c.gain;
        c.gain = target;
        if (from == 0.0f && target == 0.0f) {
            if (!c.playing) {
                c.fading = false;  // stopped, and now silent: free
                return;
            }
            if (c.paused) return;
            sum = nullptr;  // heard at volume 0: the frames only go by
        }
        const float step = (target - from) / static_cast<float>(n);
        const auto add = [&](std::size_t i, const std::int16_t* frame) {
            if (!sum) return;
            constexpr float kScale = 1.0f / 32768.0f;
            const float gain = (from + step * static_cast<float>(i)) * kScale;
            sum[2 * i] += static_cast<float>(frame[0]) * gain;
            sum[2 * i + 1] += static_cast<float>(frame[1]) * gain;
        };
        if (c.stream) {
            FrameRing& ring = c.stream->ring;
            const std::size_t got = std::min(n, ring.available());
            for (std::size_t i = 0; i < got; ++i) add(i, ring.peek(i));
            ring.consume(got);
            // Not decoded yet: silence, and the sound waits for its frames.
            if (got < n && c.stream->finished.load(std::memory_order_acquire) && ring.available() == 0)
                c.playing = c.fading = false;
            return;
        }
        const Sound& s = *c.sound;
        const int state = s.state.load(std::memory_order_acquire);
        if (state == kLoading) return;  // still being decoded: it starts once ready
        const std::size_t length = state == kReady ? s.pcm.size() / 2 : 0;
        for (std::size_t i = 0; i < n;) {
            if (c.position >= length) {
                if (!s.loop || length == 0) {
                    c.playing = c.fading = false;
                    return;
                }
                c.position = 0;
            }
            const std::size_t take = std::min(n - i, length - c.position);
            for (std::size_t k = 0; k < take; ++k, ++i) add(i, &s.pcm[2 * (c.position + k)]);
            c.position += take;
        }
        if (c.position >= length && !s.loop) c.playing = c.fading = false;
    }

    // Frame thread
    std::vector<std::shared_ptr<Sound>> sounds_;
    bool closed_ = false;
    std::atomic<bool> dead_{false};

    // Shared with the mixer under mixLock_
    std::mutex mixLock_;
    std::vector<Channel> channels_;
    float envelope_ = 0.0f;  // the limiter's, mixer only

    // Shared with the worker under jobsLock_
    std::mutex jobsLock_;
    std::condition_variable jobsWake_;
    std::vector<std::shared_ptr<Sound>> loads_;
    std::vector<std::shared_ptr<Stream>> streams_;
    bool jobsChanged_ = false;
    bool quit_ = false;

    // The worker's
    std::vector<std::string> drivers_;
    std::thread worker_;
    SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<AudioSystem> createMixerAudio(int channels) {
    // No device (a server without sound): SDL's dummy output keeps every sound
    // its real length, silently, which the game's waits depend on.
    return createMixerAudio(channels, {"", "dummy"});
}

std::unique_ptr<AudioSystem> createMixerAudio(int channels, const std::vector<std::string>& drivers) {
    return std::make_unique<MixerAudio>(channels, drivers);
}

}  // namespace platform
