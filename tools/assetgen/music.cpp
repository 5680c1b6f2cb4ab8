// The four pieces of music: a title fanfare, a calm intro theme that can
// follow itself, the 63-second play theme and the looping ranking tune.
#include <cmath>
#include <vector>

#include "sounds.hpp"
#include "synth.hpp"

namespace assetgen {

namespace {

// Pitch of a major-scale degree (any integer, 7 = next octave) above root.
double degreeMidi(int root, int degree) {
    static const int steps[7] = {0, 2, 4, 5, 7, 9, 11};
    int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    return root + 12 * octave + steps[degree - octave * 7];
}

struct MotifNote {
    double beat, length;
    int step;  // scale steps above the chord's root degree
};

class Score {
public:
    Score(double bpm, int root) : beat_(60.0 / bpm), root_(root) {}
    double beat() const { return beat_; }
    double bar(int n) const { return n * 4 * beat_; }

    void note(double at, double beats, double midi, Voice v, double vel, double pan = 0) {
        notes_.push_back({at, beats * beat_, midi, v, vel, pan});
    }
    void degree(double at, double beats, int deg, int octave, Voice v, double vel, double pan = 0) {
        note(at, beats, degreeMidi(root_ + 12 * octave, deg), v, vel, pan);
    }
    // Triad on a scale degree, held for the given beats.
    void chord(double at, double beats, int deg, int octave, Voice v, double vel) {
        for (int i = 0; i < 3; ++i) degree(at, beats, deg + 2 * i, octave, v, vel, -0.4 + 0.4 * i);
    }
    void motif(double barStart, const std::vector<MotifNote>& m, int chordDeg, int octave, Voice v,
               double vel, double pan = 0.1) {
        for (const MotifNote& n : m)
            degree(barStart + n.beat * beat_, n.length, chordDeg + n.step, octave, v, vel, pan);
    }
    void drum(double at, Voice v, double vel, double pan = 0) { note(at, 0.1, 40, v, vel, pan); }
    const std::vector<Note>& notes() const { return notes_; }

private:
    double beat_;
    int root_;
    std::vector<Note> notes_;
};

}  // namespace

// About 10 s: brass fanfare over timpani, ending on a ringing chord.
Stereo makeIntro1() {
    Score s(120, 65);  // F major
    const int prog[] = {0, 3, 4, 0};
    const std::vector<MotifNote> call = {{0, 0.33, 4}, {0.33, 0.33, 4}, {0.66, 0.34, 4}, {1, 1, 7},
                                         {2, 0.5, 4},  {2.5, 0.5, 5},   {3, 1, 7}};
    const std::vector<MotifNote> answer = {{0, 0.5, 7}, {0.5, 0.5, 6}, {1, 0.5, 4}, {1.5, 0.5, 2},
                                           {2, 2, 4}};
    for (int b = 0; b < 4; ++b) {
        double t = s.bar(b);
        s.chord(t, 4, prog[b], -1, Voice::Brass, 0.28);
        s.degree(t, 1, prog[b], -2, Voice::Bass, 0.7);
        s.degree(t + 2 * s.beat(), 1, prog[b], -2, Voice::Bass, 0.6);
        s.motif(t, b % 2 == 0 ? call : answer, prog[b], 0, Voice::Brass, 0.5);
        for (int k = 0; k < 4; ++k)
            s.note(t + k * s.beat(), 0.5, degreeMidi(41, prog[b]), Voice::Timpani, k == 0 ? 0.8 : 0.4);
    }
    // Timpani roll into the last chord.
    for (int k = 0; k < 8; ++k)
        s.note(s.bar(3) + 2 * s.beat() + k * s.beat() / 4, 0.2, 41, Voice::Timpani, 0.3 + 0.06 * k);
    const double end = s.bar(4);
    s.chord(end, 3, 0, 0, Voice::Brass, 0.45);
    s.chord(end, 3, 0, -1, Voice::Brass, 0.35);
    s.degree(end, 3, 7, 0, Voice::Bell, 0.6);
    s.degree(end, 3, 0, -2, Voice::Bass, 0.8);
    s.note(end, 1, 41, Voice::Timpani, 1.0);
    s.drum(end, Voice::Kick, 0.8);
    Stereo out = renderNotes(s.notes(), 10.0, false, 3);
    finish(out, 0.85, 0.0, 1.2);
    setLoudness(out, kMusicLoudness);
    return out;
}

// 25 s of gentle marimba and pads that come home to a last chord and die
// away: the intro plays the theme again each time it ends, so every replay
// starts after a real ending instead of a cut.
Stereo makeIntro2() {
    Score s(96, 67);  // G major
    const int prog[] = {0, 5, 3, 4, 0, 2, 3, 4, 1, 4};
    const std::vector<MotifNote> arp = {{0, 0.5, 0}, {0.5, 0.5, 2}, {1, 0.5, 4}, {1.5, 0.5, 7},
                                        {2, 0.5, 4}, {2.5, 0.5, 2}, {3, 0.5, 4}, {3.5, 0.5, 2}};
    const std::vector<MotifNote> tuneA = {{0, 1.5, 4}, {1.5, 0.5, 2}, {2, 2, 0}};
    const std::vector<MotifNote> tuneB = {{0, 1, 2}, {1, 1, 4}, {2, 1.5, 7}, {3.5, 0.5, 5}};
    for (int b = 0; b < 9; ++b) {
        double t = s.bar(b);
        s.chord(t, 4, prog[b], -1, Voice::Pad, 0.22);
        s.degree(t, 3.5, prog[b], -2, Voice::Bass, 0.35);
        s.motif(t, arp, prog[b], -1, Voice::Marimba, 0.35, -0.3);
        s.motif(t, b % 2 == 0 ? tuneA : tuneB, prog[b], 0, Voice::Bell, 0.3, 0.3);
    }
    // The last bar slows into the cadence: the arpeggio thins out over the
    // dominant and the tune falls to the tonic's third.
    const double last = s.bar(9);
    s.chord(last, 4, prog[9], -1, Voice::Pad, 0.2);
    s.degree(last, 3.5, prog[9], -2, Voice::Bass, 0.32);
    s.motif(last, {{0, 1, 0}, {1, 1, 2}, {2, 2, 4}}, prog[9], -1, Voice::Marimba, 0.3, -0.3);
    s.motif(last, {{0, 2, 4}, {2, 2, 2}}, prog[9], 0, Voice::Bell, 0.28, 0.3);
    // Home: the tonic held under a last bell, left to ring out.
    const double end = s.bar(10);
    s.chord(end, 3, 0, -1, Voice::Pad, 0.22);
    s.degree(end, 3, 0, -2, Voice::Bass, 0.35);
    s.degree(end, 0.5, 2, 0, Voice::Marimba, 0.3, -0.3);
    s.degree(end, 2, 7, 0, Voice::Bell, 0.3, 0.3);
    Stereo out = renderNotes(s.notes(), end + 3.0, false, 5);
    finish(out, 0.7, 0.0, 1.5);
    setLoudness(out, kMusicLoudness);
    return out;
}

// 63 s: a two-second count-in under the last countdown banners, sixty seconds
// of theme for the play clock, then a final chord.
Stereo makePlayBgm() {
    Score s(120, 60);  // C major, a bar is 2 s
    // Count-in: two bells for "2" and "1", hats building.
    s.degree(0, 1, 4, 1, Voice::Bell, 0.6);
    s.degree(2 * s.beat(), 1, 4, 1, Voice::Bell, 0.6);
    for (int k = 0; k < 8; ++k) s.drum(k * s.beat() / 2, Voice::Hat, 0.2 + 0.05 * k);
    s.drum(3 * s.beat(), Voice::Snare, 0.5);
    s.drum(3.5 * s.beat(), Voice::Snare, 0.7);

    const int progA[] = {0, 4, 5, 3};
    const int progB[] = {5, 3, 0, 4};
    const std::vector<MotifNote> hookA = {{0, 0.5, 4}, {0.5, 0.5, 4}, {1, 0.5, 2}, {1.5, 0.5, 4},
                                          {2, 1, 7},   {3, 0.5, 4},   {3.5, 0.5, 2}};
    const std::vector<MotifNote> hookB = {{0, 0.75, 2}, {0.75, 0.75, 4}, {1.5, 0.5, 2},
                                          {2, 0.5, 0},  {2.5, 0.5, 2},   {3, 1, 4}};
    const std::vector<MotifNote> bridge = {{0, 1, 0}, {1, 0.5, 2}, {1.5, 0.5, 4}, {2, 1.5, 5},
                                           {3.5, 0.5, 4}};
    for (int b = 0; b < 30; ++b) {
        const double t = s.bar(b + 1);
        const bool sectionB = (b >= 8 && b < 16) || (b >= 24 && b < 28);
        const int deg = sectionB ? progB[b % 4] : progA[b % 4];
        const bool big = b >= 16;  // second half: four on the floor
        // Drums
        for (int k = 0; k < 4; ++k) {
            if (big || k % 2 == 0) s.drum(t + k * s.beat(), Voice::Kick, 0.9);
            if (k % 2 == 1) s.drum(t + k * s.beat(), Voice::Snare, 0.6);
            s.drum(t + (k + 0.5) * s.beat(), Voice::Hat, 0.35, 0.3);
            if (big) s.drum(t + k * s.beat(), Voice::Hat, 0.18, -0.3);
        }
        if (b % 4 == 3) s.drum(t + 3.75 * s.beat(), Voice::Snare, 0.45);
        // Bass: bouncing eighths between root and octave.
        for (int k = 0; k < 8; ++k)
            s.degree(t + k * s.beat() / 2, 0.4, deg, (k % 2) ? -2 : -3, Voice::Bass, 0.55);
        // Offbeat chord stabs.
        for (int k = 0; k < 4; ++k) s.chord(t + (k + 0.5) * s.beat(), 0.3, deg, -1, Voice::Pluck, 0.22);
        // Tune
        const auto& m = sectionB ? bridge : ((b % 2 == 0) ? hookA : hookB);
        s.motif(t, m, deg, 0, Voice::Lead, 0.42);
        if (big && !sectionB) s.motif(t, m, deg, 1, Voice::Bell, 0.18, -0.2);
    }
    const double end = s.bar(31);  // 62 s
    s.chord(end, 1.5, 0, 0, Voice::Brass, 0.4);
    s.chord(end, 1.5, 0, -1, Voice::Pluck, 0.4);
    s.degree(end, 1.5, 7, 1, Voice::Bell, 0.5);
    s.degree(end, 1.5, 0, -3, Voice::Bass, 0.8);
    s.drum(end, Voice::Kick, 1.0);
    s.drum(end, Voice::Snare, 0.7);
    Stereo out = renderNotes(s.notes(), 63.0, false, 7);
    finish(out, 0.85, 0.0, 0.5);
    setLoudness(out, kMusicLoudness);
    return out;
}

// 25 s that loop without a seam: bells and plucks over a light beat.
Stereo makeRanking() {
    Score s(115.2, 62);  // D major; twelve bars make 25 s
    const int prog[] = {0, 3, 4, 0, 5, 3, 1, 4, 0, 3, 4, 4};
    const std::vector<MotifNote> tune1 = {{0, 0.5, 0}, {0.5, 0.5, 2}, {1, 1, 4}, {2, 0.5, 5},
                                          {2.5, 0.5, 4}, {3, 1, 2}};
    const std::vector<MotifNote> tune2 = {{0, 1.5, 4}, {1.5, 0.5, 2}, {2, 0.5, 4}, {2.5, 0.5, 7},
                                          {3, 1, 4}};
    for (int b = 0; b < 12; ++b) {
        const double t = s.bar(b);
        const int deg = prog[b];
        for (int k = 0; k < 4; ++k) {
            s.drum(t + k * s.beat(), k % 2 ? Voice::Snare : Voice::Kick, k % 2 ? 0.4 : 0.7);
            s.drum(t + (k + 0.5) * s.beat(), Voice::Hat, 0.25, 0.3);
        }
        s.degree(t, 1.5, deg, -2, Voice::Bass, 0.6);
        s.degree(t + 2 * s.beat(), 1.5, deg, -2, Voice::Bass, 0.5);
        s.chord(t, 4, deg, -1, Voice::Pad, 0.15);
        for (int k = 0; k < 4; ++k) s.chord(t + (k + 0.5) * s.beat(), 0.3, deg, -1, Voice::Pluck, 0.15);
        s.motif(t, b % 2 ? tune2 : tune1, deg, 0, Voice::Bell, 0.4, 0.15);
        s.motif(t, b % 2 ? tune2 : tune1, deg, -1, Voice::Marimba, 0.25, -0.2);
    }
    Stereo out = renderNotes(s.notes(), s.bar(12), true, 9);
    finish(out, 0.8, 0.0, 0.0);
    setLoudness(out, kMusicLoudness);
    return out;
}

}  // namespace assetgen
