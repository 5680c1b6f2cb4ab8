// A small additive/FM synthesiser and note sequencer: enough voices for a
// bright, toy-like band (bells, plucks, soft brass, pads, bass, drums).
#pragma once
#include <cstdint>
#include <vector>

#include "audio_io.hpp"

namespace assetgen {

enum class Voice { Bell, Pluck, Brass, Pad, Bass, Lead, Marimba, Kick, Snare, Hat, Timpani };

struct Note {
    double start;     // seconds
    double duration;  // seconds (how long the key is held)
    double midi;      // pitch; ignored by drums
    Voice voice;
    double velocity;  // 0..1
    double pan;       // -1 left .. 1 right
};

double midiToHz(double midi);

// Mixes notes into a buffer of the given length. With wrap, sound that rings
// past the end is folded back onto the start, so the piece loops seamlessly.
Stereo renderNotes(const std::vector<Note>& notes, double seconds, bool wrap, uint32_t seed);

// Scales to a peak of `peak` with a gentle soft clip; optional fades.
void finish(Stereo& s, double peak, double fadeInSec, double fadeOutSec);

// Loudness as the ear weighs it (the K-weighting of ITU-R BS.1770), in LUFS,
// over the loudest 400 ms of the sound (the whole of a shorter one).
double loudestMoment(const Stereo& s);
// Scales the sound so its loudest moment is at the given loudness.
void setLoudness(Stereo& s, double lufs);

}  // namespace assetgen
