// Sounds by key over the sound system: up to 30 sounds, each key with its own
// channel handle. Unknown keys do nothing and answer false.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Audio.h"

class soundRegistry {
public:
    static constexpr int kSlots = 30;

    soundRegistry() { sounds.fill(kNoSound); }

    static soundRegistry* get();
    static void destroy();  // runs release first if needed

    void init();     // creates the sound system with 30 channels
    void release();  // stops every channel, frees every sound, closes the system

    void addSound(const std::string& key, const char* fileName, bool bgm, bool loop);
    void play(const std::string& key, float volume);
    void setVolume(const std::string& key, float volume);
    void stop(const std::string& key);
    void pause(const std::string& key);
    void resume(const std::string& key);
    bool isPlaying(const std::string& key);
    bool isPaused(const std::string& key);
    void update();

    // A muted key's plays start silent, whatever volume they ask for, so a
    // sound whose switch is off is never heard, not even until the volumes
    // are next forced. Kept by key: a key may be muted before it is added.
    void setMuted(const std::string& key, bool muted);

    std::size_t keyCount() const { return keys.size(); }
    // The channel a key's last play started (0 when none); for inspection.
    platform::ChannelId channel(const std::string& key) const {
        const Entry* e = find(key);
        return e ? channels[e->slot] : 0;
    }
    platform::AudioSystem* audio() { return system.get(); }

private:
    static constexpr platform::SoundId kNoSound = -1;
    struct Entry {
        int slot = 0;  // sound and channel slot of the key
    };
    const Entry* find(const std::string& key) const;

    std::unique_ptr<platform::AudioSystem> system;
    std::array<platform::SoundId, kSlots> sounds{};
    std::array<platform::ChannelId, kSlots> channels{};
    std::map<std::string, Entry> keys;
    std::set<std::string> muted;
};
