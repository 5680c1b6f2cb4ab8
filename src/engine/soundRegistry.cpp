#include "engine/soundRegistry.h"

namespace {

std::unique_ptr<soundRegistry> instance;

}  // namespace

soundRegistry* soundRegistry::get() {
    if (!instance) instance = std::make_unique<soundRegistry>();
    return instance.get();
}

void soundRegistry::destroy() {
    if (!instance) return;
    instance->release();
    instance.reset();
}

void soundRegistry::init() {
    // A second init without a release would strand the first system's sounds.
    if (system) release();
    system = platform::createAudioSystem(kSlots);
    sounds.fill(kNoSound);
    channels.fill(0);
}

void soundRegistry::release() {
    // Each channel is stopped before its sound is freed, and the system is
    // closed only when nothing of it is left playing.
    for (int i = 0; i < kSlots; ++i) {
        if (system && channels[i]) system->stop(channels[i]);
        if (system && sounds[i] != kNoSound) system->release(sounds[i]);
    }
    sounds.fill(kNoSound);
    channels.fill(0);
    if (system) {
        system->close();
        system.reset();
    }
    // The keys named slots of the system just closed.
    keys.clear();
    muted.clear();
}

const soundRegistry::Entry* soundRegistry::find(const std::string& key) const {
    auto it = keys.find(key);
    return it == keys.end() ? nullptr : &it->second;
}

void soundRegistry::addSound(const std::string& key, const char* fileName, bool bgm, bool loop) {
    // A key added again keeps its first sound; nothing is loaded for it.
    if (find(key)) return;
    // Every key owns one slot for its sound and its channel; past the last
    // slot a key is refused rather than sharing one.
    const int slot = static_cast<int>(keys.size());
    if (slot >= kSlots) return;
    platform::SoundId sound = kNoSound;
    // Looping music is asked to stream; the sound system streams any other
    // long sound too, and decodes the rest whole, off the frame thread.
    if (system && fileName) sound = system->load(fileName, bgm && loop, loop);
    sounds[slot] = sound < 0 ? kNoSound : sound;
    channels[slot] = 0;
    keys.emplace(key, Entry{slot});
}

void soundRegistry::play(const std::string& key, float volume) {
    const Entry* e = find(key);
    if (!e || !system || sounds[e->slot] == kNoSound) return;
    // An earlier instance keeps playing; the key now addresses the newest.
    channels[e->slot] = system->play(sounds[e->slot], muted.contains(key) ? 0.0f : volume);
}

void soundRegistry::setMuted(const std::string& key, bool mute) {
    if (mute) {
        muted.insert(key);
    } else {
        muted.erase(key);
    }
}

void soundRegistry::setVolume(const std::string& key, float volume) {
    const Entry* e = find(key);
    if (e && system && channels[e->slot]) system->setVolume(channels[e->slot], volume);
}

void soundRegistry::stop(const std::string& key) {
    const Entry* e = find(key);
    if (e && system && channels[e->slot]) system->stop(channels[e->slot]);
}

void soundRegistry::pause(const std::string& key) {
    const Entry* e = find(key);
    if (e && system && channels[e->slot]) system->setPaused(channels[e->slot], true);
}

void soundRegistry::resume(const std::string& key) {
    const Entry* e = find(key);
    if (e && system && channels[e->slot]) system->setPaused(channels[e->slot], false);
}

bool soundRegistry::isPlaying(const std::string& key) {
    const Entry* e = find(key);
    return e && system && channels[e->slot] && system->isPlaying(channels[e->slot]);
}

bool soundRegistry::isPaused(const std::string& key) {
    const Entry* e = find(key);
    return e && system && channels[e->slot] && system->isPaused(channels[e->slot]);
}

void soundRegistry::update() {
    if (system) system->update();
}
