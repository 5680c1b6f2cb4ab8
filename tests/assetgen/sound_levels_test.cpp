// The mix the player hears: every generated sound decoded as the game decodes
// it, measured for loudness (ITU-R BS.1770 K-weighting) and peak, and mixed
// the way a busy stretch of play mixes them. Prints the figures it checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Harness.h"
#include "platform/AudioDecoder.h"
#include "platform/AudioFile.h"

namespace {

constexpr double kRate = platform::kMixRate;

struct Decoded {
    std::vector<double> left, right;
    std::size_t frames() const { return left.size(); }
    double seconds() const { return static_cast<double>(frames()) / kRate; }
};

Decoded decode(const std::string& file) {
    const std::string path = testing_support::gameDir() + "/soundfile/" + file;
    std::string why;
    const auto pcm = platform::decodeWhole(platform::AudioFile::open(path, &why), std::size_t{1} << 23, &why);
    Decoded d;
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
        d.left.push_back(pcm[i] / 32768.0);
        d.right.push_back(pcm[i + 1] / 32768.0);
    }
    return d;
}

// The two K-weighting filters of BS.1770, designed for our rate.
std::vector<double> kWeighted(const std::vector<double>& x) {
    struct Biquad {
        double b0, b1, b2, a1, a2;
    };
    const double pi = std::acos(-1.0);
    double k = std::tan(pi * 1681.974450955533 / kRate), q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1 + k / q + k * k;
    const Biquad shelf{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                       2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    k = std::tan(pi * 38.13547087602444 / kRate);
    q = 0.5003270373238773;
    a0 = 1 + k / q + k * k;
    const Biquad highPass{1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    std::vector<double> y = x;
    for (const Biquad& f : {shelf, highPass}) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : y) {
            const double in = v;
            v = f.b0 * in + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
            x2 = x1, x1 = in, y2 = y1, y1 = v;
        }
    }
    return y;
}

double lufs(double meanSquare) { return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1e-12)); }

struct Levels {
    double peakDb;         // dBFS
    double momentaryMax;   // LUFS over the loudest 400 ms (the whole sound if shorter)
    double integrated;     // LUFS, gated as BS.1770 gates a programme
};

Levels measure(const Decoded& d) {
    const std::vector<double> l = kWeighted(d.left), r = kWeighted(d.right);
    double peak = 0;
    for (std::size_t i = 0; i < d.frames(); ++i) peak = std::max({peak, std::fabs(d.left[i]), std::fabs(d.right[i])});
    // Mean squares of 400 ms blocks, a quarter block apart.
    const std::size_t block = std::min<std::size_t>(static_cast<std::size_t>(0.4 * kRate), d.frames());
    std::vector<double> blocks;
    for (std::size_t at = 0; at + block <= d.frames(); at += std::max<std::size_t>(block / 4, 1)) {
        double sum = 0;
        for (std::size_t i = at; i < at + block; ++i) sum += l[i] * l[i] + r[i] * r[i];
        blocks.push_back(sum / static_cast<double>(block));
    }
    Levels out{20.0 * std::log10(std::max(peak, 1e-9)), -100, -100};
    for (double b : blocks) out.momentaryMax = std::max(out.momentaryMax, lufs(b));
    const auto gatedMean = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (double b : blocks)
            if (lufs(b) > gate) sum += b, ++n;
        return n ? sum / n : 0.0;
    };
    out.integrated = lufs(gatedMean(lufs(gatedMean(-70.0)) - 10.0));
    return out;
}

const std::vector<std::string> kMusic = {"intro1.mp3", "intro2.mp3", "playbgm.mp3", "ranking.mp3"};
const std::vector<std::string> kEffects = {"combo1.mp3", "combo2.mp3", "combo3.mp3", "combo4.mp3",
                                           "combo5.mp3", "delete.mp3", "jump.wav"};

std::map<std::string, Decoded>& sounds() {
    static std::map<std::string, Decoded> all = [] {
        std::map<std::string, Decoded> m;
        for (const auto* group : {&kMusic, &kEffects})
            for (const std::string& f : *group) m[f] = decode(f);
        return m;
    }();
    return all;
}

TEST(SoundLevels, EffectsMatchMusicSitsUnderThemAndEverySoundLeavesHeadroom) {
    std::map<std::string, Levels> levels;
    std::printf("%-12s %8s %10s %12s %12s\n", "sound", "seconds", "peak dBFS", "max 400 ms", "integrated");
    for (const auto* group : {&kMusic, &kEffects})
        for (const std::string& f : *group) {
            const Decoded& d = sounds()[f];
            ASSERT_GT(d.frames(), 0u) << f;
            levels[f] = measure(d);
            std::printf("%-12s %8.2f %10.1f %8.1f LUFS %7.1f LUFS\n", f.c_str(), d.seconds(), levels[f].peakDb,
                        levels[f].momentaryMax, levels[f].integrated);
        }
    double quietest = 0, loudest = -100;
    for (const std::string& f : kEffects) {
        quietest = std::min(quietest, levels[f].momentaryMax);
        loudest = std::max(loudest, levels[f].momentaryMax);
    }
    EXPECT_LE(loudest - quietest, 2.0) << "the effects' loudness differs too much";
    for (const std::string& f : kMusic) {
        EXPECT_LE(levels[f].momentaryMax, quietest - 1.0) << f << " is not under the effects";
        EXPECT_GE(levels[f].momentaryMax, quietest - 8.0) << f << " is far under the effects";
    }
    for (const auto& [f, l] : levels) EXPECT_LE(l.peakDb, -6.0) << f << " leaves too little headroom";
}

// Sounds that stop and are played again (the intro's theme follows itself,
// effects repeat) die away instead of ending at full level.
TEST(SoundLevels, SoundsThatEndDieAway) {
    for (const auto* group : {&kMusic, &kEffects})
        for (const std::string& f : *group) {
            if (f == "ranking.mp3") continue;  // loops without a seam: it never ends
            const Decoded& d = sounds()[f];
            double tail = 0;
            for (std::size_t i = d.frames() - std::min<std::size_t>(d.frames(), 441); i < d.frames(); ++i)
                tail = std::max({tail, std::fabs(d.left[i]), std::fabs(d.right[i])});
            EXPECT_LE(20.0 * std::log10(std::max(tail, 1e-9)), -40.0) << f << " ends abruptly";
        }
}

// The busiest moment the game can make: the play music with a run of combos
// (swaps a third of a second apart, each sound overlapping the next), a jump
// and a clear on top, tried at every tenth of a second of the music. The
// limiter in the mixer never has to act.
TEST(SoundLevels, TheBusiestMixStaysUnderTheMixersCeiling) {
    const Decoded& music = sounds()["playbgm.mp3"];
    struct Hit {
        const char* file;
        double at;
    };
    const std::vector<Hit> busy = {{"combo1.mp3", 0.0}, {"combo2.mp3", 0.33}, {"combo3.mp3", 0.66},
                                   {"combo4.mp3", 1.0}, {"combo5.mp3", 1.33}, {"jump.wav", 0.5},
                                   {"jump.wav", 1.2},   {"delete.mp3", 2.4}};
    double worst = 0, worstAt = 0;
    const auto span = static_cast<std::size_t>(3.0 * kRate);
    for (std::size_t start = 0; start + span < music.frames(); start += static_cast<std::size_t>(0.1 * kRate)) {
        std::vector<double> l(music.left.begin() + start, music.left.begin() + start + span);
        std::vector<double> r(music.right.begin() + start, music.right.begin() + start + span);
        for (const Hit& h : busy) {
            const Decoded& e = sounds()[h.file];
            const auto at = static_cast<std::size_t>(h.at * kRate);
            for (std::size_t i = 0; i < e.frames() && at + i < span; ++i) {
                l[at + i] += e.left[i];
                r[at + i] += e.right[i];
            }
        }
        for (std::size_t i = 0; i < span; ++i) {
            const double p = std::max(std::fabs(l[i]), std::fabs(r[i]));
            if (p > worst) worst = p, worstAt = static_cast<double>(start + i) / kRate;
        }
    }
    std::printf("busiest mix: peak %.1f dBFS, %.2f s into the play music\n", 20 * std::log10(worst), worstAt);
    EXPECT_LT(worst, 0.89) << "the mixer's limiter would act (-1 dBFS)";
}

}  // namespace
