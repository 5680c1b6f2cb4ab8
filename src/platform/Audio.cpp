// Which sound system the game gets: the mixer (AudioMixer.cpp), unless a test
// installed a maker of its own.
#include "platform/Audio.h"

#include <utility>

namespace platform {
namespace {

AudioFactory& installedFactory() {
    static AudioFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<AudioSystem> createAudioSystem(int channels) {
    const AudioFactory& factory = installedFactory();
    return factory ? factory(channels) : createMixerAudio(channels);
}

void installAudioFactory(AudioFactory factory) { installedFactory() = std::move(factory); }

}  // namespace platform
