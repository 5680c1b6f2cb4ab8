#include "sounds.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "image_io.hpp"
#include "synth.hpp"

namespace assetgen {

namespace {

Stereo combo1() { return makeCombo(1); }
Stereo combo2() { return makeCombo(2); }
Stereo combo3() { return makeCombo(3); }
Stereo combo4() { return makeCombo(4); }
Stereo combo5() { return makeCombo(5); }

}  // namespace

const std::vector<SoundEntry>& soundCatalog() {
    static const std::vector<SoundEntry> list = {
        {"intro1.mp3", makeIntro1}, {"intro2.mp3", makeIntro2}, {"playbgm.mp3", makePlayBgm},
        {"ranking.mp3", makeRanking}, {"combo1.mp3", combo1},   {"combo2.mp3", combo2},
        {"combo3.mp3", combo3},     {"combo4.mp3", combo4},     {"combo5.mp3", combo5},
        {"delete.mp3", makeDelete}, {"jump.wav", makeJump},
    };
    return list;
}

bool writeAllSounds(const std::string& dir) {
    bool ok = true;
    for (const SoundEntry& entry : soundCatalog()) {
        Stereo s = entry.make();
        bool wav = std::filesystem::path(entry.file).extension() == ".wav";
        auto bytes = wav ? encodeWav16(s) : encodeMp3(s);
        if (bytes.empty() || !writeFile(dir + "/" + entry.file, bytes)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", entry.file.c_str());
            ok = false;
        }
    }
    return ok;
}

// A bright chime: two quick bell notes, each level a step higher.
Stereo makeCombo(int level) {
    const double base = 72 + (level - 1) * 2.0 + (level >= 4 ? 1 : 0);  // C5, D5, E5, G5, A5
    std::vector<Note> notes = {
        {0.0, 0.08, base, Voice::Bell, 0.8, -0.2},
        {0.07, 0.3, base + 7, Voice::Bell, 0.9, 0.2},
        {0.07, 0.3, base + 12, Voice::Bell, 0.35, 0.0},
    };
    if (level >= 3) notes.push_back({0.14, 0.3, base + 16, Voice::Bell, 0.5, 0.3});
    if (level == 5) notes.push_back({0.21, 0.4, base + 19, Voice::Bell, 0.6, -0.3});
    Stereo s = renderNotes(notes, 0.9, false, 11);
    finish(s, 0.8, 0.0, 0.2);
    setLoudness(s, kEffectLoudness);
    return s;
}

// A short bubbly pop: a falling sine with a click of noise.
Stereo makeDelete() {
    const size_t n = size_t(0.16 * kSampleRate);
    Stereo s(n);
    uint32_t st = 99;
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / kSampleRate;
        double f = 320 + 700 * std::exp(-t * 40);
        phase += 2 * M_PI * f / kSampleRate;
        st = st * 1664525u + 1013904223u;
        double nz = double(int32_t(st)) / 2147483648.0;
        double v = std::sin(phase) * std::exp(-t * 28) + 0.3 * nz * std::exp(-t * 200);
        s.left[i] = s.right[i] = float(v);
    }
    finish(s, 0.75, 0.0, 0.03);
    setLoudness(s, kEffectLoudness);
    return s;
}

// A springy boing: pitch sweeping up with a wobble that settles.
Stereo makeJump() {
    const size_t n = size_t(0.45 * kSampleRate);
    Stereo s(n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / kSampleRate;
        double f = 160 + 420 * (1 - std::exp(-t * 9)) + 40 * std::sin(2 * M_PI * 14 * t) * std::exp(-t * 5);
        phase += 2 * M_PI * f / kSampleRate;
        double v = (std::sin(phase) + 0.25 * std::sin(2 * phase)) * std::exp(-t * 5.5) *
                   std::min(1.0, t / 0.005);
        s.left[i] = s.right[i] = float(v);
    }
    finish(s, 0.7, 0.0, 0.12);
    setLoudness(s, kEffectLoudness);
    return s;
}

}  // namespace assetgen
