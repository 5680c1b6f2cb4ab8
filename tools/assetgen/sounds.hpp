// Every sound the game plays, synthesised from scratch.
#pragma once
#include <string>
#include <vector>

#include "audio_io.hpp"

namespace assetgen {

// The mix the player hears: every effect as loud as the others, the music a
// few dB under them, and all of it far enough under full scale that the play
// music with a run of combos, jumps and a clear on top never clips. Loudness
// is that of the loudest moment (see loudestMoment).
constexpr double kEffectLoudness = -16.0;  // LUFS
constexpr double kMusicLoudness = -20.0;   // LUFS

struct SoundEntry {
    std::string file;  // under soundfile/
    Stereo (*make)();
};

const std::vector<SoundEntry>& soundCatalog();
bool writeAllSounds(const std::string& dir);

// Music
Stereo makeIntro1();
Stereo makeIntro2();
Stereo makePlayBgm();
Stereo makeRanking();
// Effects
Stereo makeCombo(int level);
Stereo makeDelete();
Stereo makeJump();

}  // namespace assetgen
