// Every sound the game plays, synthesised from scratch.
#pragma once
#include <string>
#include <vector>

#include "audio_io.hpp"

namespace assetgen {

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
