// Sound files as hostile input: opened without ever blocking, kept only when
// they are regular files of a sane size, and read by offset so several
// decoders can share one descriptor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Far above the game's largest sound (the 63 s play music, about 1 MB).
inline constexpr std::int64_t kMaxSoundFileBytes = std::int64_t{16} << 20;

enum class SoundFormat { Wav, Mp3 };

class AudioFile {
public:
    // The checked file, or nullptr with the reason in why: missing, not a
    // regular file (a folder, a FIFO, a device), empty, or over the cap.
    static std::unique_ptr<AudioFile> open(const std::string& path, std::string* why);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    const std::string& path() const { return path_; }
    // The size seen when the file was opened; reads never go past it, even if
    // the file grows later.
    std::int64_t size() const { return size_; }
    SoundFormat format() const { return format_; }
    // Up to count bytes from offset; fewer at the end or when the file shrank.
    std::size_t readAt(std::int64_t offset, void* into, std::size_t count) const;

private:
    AudioFile(std::string path, int fd, std::int64_t size);
    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
    SoundFormat format_ = SoundFormat::Mp3;
};

// One line on stderr saying why a sound file plays nothing (or stops early),
// at most once per path for the whole process.
void reportBadSound(const std::string& path, const std::string& why);

}  // namespace platform
