#include "platform/AudioDecoder.h"

#include <SDL.h>
#include <mpg123.h>
#include <stdio.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

// 95 s: far above any sound the game decodes whole, small enough to hold.
constexpr std::size_t kMaxWavFrames = std::size_t{1} << 22;

// MP3 straight from the file: libmpg123 reads it through our callbacks by
// offset, so a hostile file can never make it read past what we opened, and
// only a few frames of the file are in memory at a time.
class Mp3Decoder : public AudioDecoder {
public:
    explicit Mp3Decoder(std::shared_ptr<const AudioFile> file) : file_(std::move(file)) {}
    ~Mp3Decoder() override {
        if (handle_) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
    }

    bool start(std::string* why) {
        static std::once_flag once;
        std::call_once(once, [] { mpg123_init(); });
        int err = MPG123_OK;
        handle_ = mpg123_new(nullptr, &err);
        if (!handle_) {
            *why = "the MP3 decoder cannot start";
            return false;
        }
        // Quiet: a broken file is reported once by us, not frame by frame.
        // Gapless: the encoder's delay and padding are dropped, so a loop has
        // no seam and a sound lasts exactly as long as it was made.
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO, 0.0);
        mpg123_format_none(handle_);
        mpg123_format(handle_, kMixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_replace_reader_handle(handle_, &Mp3Decoder::readAt, &Mp3Decoder::seekTo, nullptr) != MPG123_OK ||
            mpg123_open_handle(handle_, this) != MPG123_OK) {
            *why = std::string("is not an MP3 file (") + mpg123_strerror(handle_) + ")";
            return false;
        }
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) {
            *why = std::string("holds no MP3 frame we can decode (") + mpg123_strerror(handle_) + ")";
            return false;
        }
        return true;
    }

    std::size_t read(std::int16_t* out, std::size_t frames) override {
        if (done_) return 0;
        std::size_t got = 0;
        while (got < frames) {
            std::size_t bytes = 0;
            const int result = mpg123_read(handle_, out + 2 * got, (frames - got) * 4, &bytes);
            got += bytes / 4;
            if (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
                // The format is pinned to ours; an empty read that is no
                // message would loop forever, so it ends the sound.
                if (bytes == 0 && result == MPG123_OK) {
                    done_ = true;
                    break;
                }
                continue;
            }
            if (result != MPG123_DONE) error_ = mpg123_strerror(handle_);
            done_ = true;
            break;
        }
        return got;
    }

    bool rewind() override {
        done_ = false;
        error_.clear();
        return mpg123_seek(handle_, 0, SEEK_SET) >= 0;
    }

private:
    static mpg123_ssize_t readAt(void* self, void* into, size_t count) {
        auto* d = static_cast<Mp3Decoder*>(self);
        const std::size_t got = d->file_->readAt(d->position_, into, count);
        d->position_ += static_cast<std::int64_t>(got);
        return static_cast<mpg123_ssize_t>(got);
    }
    static off_t seekTo(void* self, off_t offset, int whence) {
        auto* d = static_cast<Mp3Decoder*>(self);
        std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? d->position_ : d->file_->size();
        if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
        const std::int64_t to = base + offset;
        if (to < 0) return -1;  // past the end is allowed, as with lseek: reads there give nothing
        d->position_ = to;
        return static_cast<off_t>(to);
    }

    std::shared_ptr<const AudioFile> file_;
    mpg123_handle* handle_ = nullptr;
    std::int64_t position_ = 0;
    bool done_ = false;
};

// WAV through SDL, converted to our format whole at open: the game's only WAV
// is a half-second effect.
class WavDecoder : public AudioDecoder {
public:
    bool start(const AudioFile& file, std::string* why) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
        bytes.resize(file.readAt(0, bytes.data(), bytes.size()));
        clampChunkLengths(bytes);
        SDL_AudioSpec loaded{};
        Uint8* samples = nullptr;
        Uint32 length = 0;
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        if (!rw || !SDL_LoadWAV_RW(rw, 1, &loaded, &samples, &length)) {
            *why = std::string("is not a WAV file we can read (") + SDL_GetError() + ")";
            return false;
        }
        bytes = {};
        const bool ok = convert(loaded, samples, length, why);
        SDL_FreeWAV(samples);
        return ok;
    }

    std::size_t read(std::int16_t* out, std::size_t frames) override {
        const std::size_t n = std::min(frames, pcm_.size() / 2 - position_);
        std::memcpy(out, pcm_.data() + 2 * position_, n * 4);
        position_ += n;
        return n;
    }

    bool rewind() override {
        position_ = 0;
        return true;
    }

private:
    // SDL sizes its buffers by the lengths the chunks declare: a file of a
    // few bytes claiming 4 GB of samples would have it allocate them. No
    // chunk may claim more than the file holds after it.
    static void clampChunkLengths(std::vector<std::uint8_t>& b) {
        const auto put = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        const auto get = [&](std::size_t at) {
            return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16)) |
                   (static_cast<std::uint32_t>(b[at + 3]) << 24);
        };
        if (b.size() < 12) return;
        put(4, static_cast<std::uint32_t>(std::min<std::size_t>(get(4), b.size() - 8)));
        for (std::size_t at = 12; at + 8 <= b.size();) {
            const std::size_t room = b.size() - at - 8;
            const std::size_t length = std::min<std::size_t>(get(at + 4), room);
            put(at + 4, static_cast<std::uint32_t>(length));
            at += 8 + length + (length & 1);
        }
    }

    bool convert(const SDL_AudioSpec& loaded, const Uint8* samples, Uint32 length, std::string* why) {
        const std::size_t frameBytes = static_cast<std::size_t>(SDL_AUDIO_BITSIZE(loaded.format)) / 8 * loaded.channels;
        if (frameBytes == 0) {
            *why = "has a WAV format we cannot play";
            return false;
        }
        // Rates outside what recorders make would only cost time to resample.
        if (loaded.freq < 8000 || loaded.freq > 192000) {
            *why = "has a sample rate we do not play (" + std::to_string(loaded.freq) + " Hz)";
            return false;
        }
        const std::size_t frames = length / frameBytes;
        if (frames == 0) {
            *why = "holds no sound";
            return false;
        }
        if (static_cast<double>(frames) * kMixRate / loaded.freq > static_cast<double>(kMaxWavFrames)) {
            *why = "is longer than we hold in memory (95 s)";
            return false;
        }
        SDL_AudioCVT cvt{};
        if (SDL_BuildAudioCVT(&cvt, loaded.format, loaded.channels, loaded.freq, AUDIO_S16SYS, 2, kMixRate) < 0) {
            *why = std::string("has a WAV format we cannot convert (") + SDL_GetError() + ")";
            return false;
        }
        const std::size_t used = frames * frameBytes;
        std::vector<std::uint8_t> work(used * static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
        std::memcpy(work.data(), samples, used);
        cvt.buf = work.data();
        cvt.len = static_cast<int>(used);
        if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) {
            *why = std::string("cannot be converted (") + SDL_GetError() + ")";
            return false;
        }
        const std::size_t outFrames = static_cast<std::size_t>(cvt.needed ? cvt.len_cvt : cvt.len) / 4;
        if (outFrames == 0) {
            *why = "holds no sound";
            return false;
        }
        pcm_.resize(outFrames * 2);
        std::memcpy(pcm_.data(), work.data(), outFrames * 4);
        return true;
    }

    std::vector<std::int16_t> pcm_;
    std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<AudioDecoder> AudioDecoder::open(std::shared_ptr<const AudioFile> file, std::string* why) {
    if (!file) {
        *why = "cannot be read";
        return nullptr;
    }
    if (file->format() == SoundFormat::Wav) {
        auto wav = std::make_unique<WavDecoder>();
        if (!wav->start(*file, why)) return nullptr;
        return wav;
    }
    auto mp3 = std::make_unique<Mp3Decoder>(std::move(file));
    if (!mp3->start(why)) return nullptr;
    return mp3;
}

std::vector<std::int16_t> decodeWhole(const std::shared_ptr<const AudioFile>& file, std::size_t maxFrames,
                                      std::string* why) {
    std::vector<std::int16_t> pcm;
    auto decoder = AudioDecoder::open(file, why);
    if (!decoder) return pcm;
    constexpr std::size_t kPiece = 4096;
    std::size_t frames = 0;
    while (frames < maxFrames) {
        pcm.resize(2 * (frames + kPiece));
        const std::size_t got = decoder->read(pcm.data() + 2 * frames, std::min(kPiece, maxFrames - frames));
        frames += got;
        if (got == 0) break;
    }
    pcm.resize(2 * frames);
    pcm.shrink_to_fit();
    std::int16_t probe[2];
    if (frames == maxFrames && decoder->read(probe, 1) > 0)
        *why = "is too long to hold in memory: cut after " + std::to_string(maxFrames / kMixRate) + " s";
    else if (!decoder->error().empty())
        *why = (frames ? "is broken after " + std::to_string(frames * 1000 / kMixRate) + " ms ("
                       : std::string("does not decode (")) +
               decoder->error() + ")";
    else if (frames == 0)
        *why = "holds no sound";
    return pcm;
}

}  // namespace platform
