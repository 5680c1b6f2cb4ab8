// The game's names and sizes, each written once: scene names, sound keys
// grouped by the switch that mutes them, the client area, the drag thresholds
// and the length of a game.
#pragma once

#include <iterator>

namespace names {

inline constexpr const char* kWindowTitle = "Swap & Sprint";
inline constexpr int kClientWidth = 600;
inline constexpr int kClientHeight = 1024;
// The window's own light grey, shown from the moment it opens until the
// first frame.
inline constexpr unsigned kWindowBackground = 0xC0C0C0;

inline constexpr const char* kIntroScene = "intro";
inline constexpr const char* kGameScene = "game";
inline constexpr const char* kRankScene = "rank";

// Music: muted by the music switch.
inline constexpr const char* kIntro1Music = "intro1";
inline constexpr const char* kIntro2Music = "intro2";
inline constexpr const char* kPlayMusic = "playbgm";
inline constexpr const char* kRankingMusic = "ranking";
inline constexpr const char* kMusicKeys[] = {kIntro1Music, kIntro2Music, kPlayMusic,
                                             kRankingMusic};

// Effects: muted by the effects switch, the combo sounds among them.
inline constexpr const char* kComboSounds[] = {"combo1", "combo2", "combo3", "combo4", "combo5"};
inline constexpr const char* kDeleteSound = "delete";
inline constexpr const char* kJumpSound = "jump";
inline constexpr const char* kEffectKeys[] = {kComboSounds[0], kComboSounds[1], kComboSounds[2],
                                              kComboSounds[3], kComboSounds[4], kDeleteSound,
                                              kJumpSound};

// The sound of the n-th swap of a combo; the fifth and later share the last.
inline const char* comboSound(int combo) {
    constexpr int last = static_cast<int>(std::size(kComboSounds));
    return kComboSounds[(combo < 1 ? 1 : combo > last ? last : combo) - 1];
}

// A drag picks its direction once it moved more than kDragThreshold pixels;
// a jump of kDragJumpLimit or more up or left in one update counts as none.
inline constexpr int kDragThreshold = 10;
inline constexpr int kDragJumpLimit = 64;

inline constexpr float kGameSeconds = 60.0f;

}  // namespace names
