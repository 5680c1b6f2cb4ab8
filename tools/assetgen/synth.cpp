#include "synth.hpp"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

struct Noise {
    uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return float(int32_t(state)) / 2147483648.0f;
    }
};

// How long a voice keeps sounding after its key is released.
double releaseTime(Voice v) {
    switch (v) {
    case Voice::Bell: return 1.2;
    case Voice::Pluck: return 0.25;
    case Voice::Brass: return 0.15;
    case Voice::Pad: return 0.8;
    case Voice::Bass: return 0.08;
    case Voice::Lead: return 0.12;
    case Voice::Marimba: return 0.5;
    case Voice::Kick: return 0.35;
    case Voice::Snare: return 0.22;
    case Voice::Hat: return 0.06;
    case Voice::Timpani: return 1.0;
    }
    return 0.1;
}

double attackRelease(double t, double held, double attack, double release) {
    double a = attack > 0 ? std::min(1.0, t / attack) : 1.0;
    if (t > held) a *= std::max(0.0, 1.0 - (t - held) / release);
    return a;
}

// One sample of a voice at time t since its start.
double voiceSample(const Note& n, double f, double t, Noise& noise, double& lp) {
    const double held = n.duration;
    switch (n.voice) {
    case Voice::Bell: {
        double env = std::exp(-t * 3.0) * attackRelease(t, held + 1.0, 0.002, 1.2);
        double idx = 2.2 * std::exp(-t * 6.0);
        return env * std::sin(kTwoPi * f * t + idx * std::sin(kTwoPi * f * 3.5 * t)) * 0.6 +
               env * 0.25 * std::sin(kTwoPi * f * 2.0 * t);
    }
    case Voice::Marimba: {
        double env = std::exp(-t * 7.0) * attackRelease(t, held, 0.002, 0.5);
        return env * (std::sin(kTwoPi * f * t) + 0.3 * std::sin(kTwoPi * f * 4.0 * t) * std::exp(-t * 20));
    }
    case Voice::Pluck: {
        double env = std::exp(-t * 5.0) * attackRelease(t, held, 0.003, 0.25);
        double saw = 0;
        for (int k = 1; k <= 6; ++k) saw += std::sin(kTwoPi * f * k * t) / k * std::exp(-t * k * 2.0);
        return env * saw * 0.7;
    }
    case Voice::Brass: {
        double env = attackRelease(t, held, 0.04, 0.15) * (0.85 + 0.15 * std::exp(-t * 4));
        double bright = 0.5 + 0.5 * std::min(1.0, t / 0.08);
        double v = 0;
        for (int k = 1; k <= 7; ++k) v += std::sin(kTwoPi * f * k * t) * std::pow(bright * 0.62, k - 1);
        return env * v * 0.45 * (1.0 + 0.02 * std::sin(kTwoPi * 5.5 * t));
    }
    case Voice::Pad: {
        double env = attackRelease(t, held, 0.35, 0.8);
        double v = std::sin(kTwoPi * f * t) + std::sin(kTwoPi * f * 1.004 * t) * 0.7 +
                   0.3 * std::sin(kTwoPi * f * 2.003 * t) + 0.15 * std::sin(kTwoPi * f * 3.0 * t);
        return env * v * 0.3;
    }
    case Voice::Bass: {
        double env = attackRelease(t, held, 0.005, 0.08) * (0.7 + 0.3 * std::exp(-t * 8));
        double v = std::sin(kTwoPi * f * t) + 0.35 * std::sin(kTwoPi * f * 2 * t) +
                   0.12 * std::sin(kTwoPi * f * 3 * t);
        return env * v * 0.7;
    }
    case Voice::Lead: {
        double env = attackRelease(t, held, 0.01, 0.12);
        double vib = 1.0 + 0.004 * std::sin(kTwoPi * 6.0 * t) * std::min(1.0, t / 0.3);
        double v = 0;
        for (int k = 1; k <= 9; k += 2) v += std::sin(kTwoPi * f * vib * k * t) / k;
        lp += (v - lp) * 0.35;  // soften the square
        return env * lp * 0.55;
    }
    case Voice::Kick: {
        double pf = 45 + 110 * std::exp(-t * 30);
        double phase = kTwoPi * (45 * t + 110 * (1 - std::exp(-t * 30)) / 30);
        (void)pf;
        return std::exp(-t * 9) * std::sin(phase) * 1.1;
    }
    case Voice::Snare: {
        double tone = std::sin(kTwoPi * 190 * t) * std::exp(-t * 25);
        double nz = noise.next();
        lp += (nz - lp) * 0.5;
        return (0.5 * tone + 0.6 * (nz - lp * 0.6)) * std::exp(-t * 18);
    }
    case Voice::Hat: {
        double nz = noise.next();
        lp += (nz - lp) * 0.2;
        return (nz - lp) * std::exp(-t * 60) * 0.5;
    }
    case Voice::Timpani: {
        double env = std::exp(-t * 3.5);
        return env * (std::sin(kTwoPi * f * t) + 0.4 * std::sin(kTwoPi * f * 1.5 * t) * std::exp(-t * 6) +
                      0.3 * noise.next() * std::exp(-t * 40));
    }
    }
    return 0;
}

}  // namespace

double midiToHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

Stereo renderNotes(const std::vector<Note>& notes, double seconds, bool wrap, uint32_t seed) {
    const size_t length = size_t(std::llround(seconds * kSampleRate));
    Stereo out(length);
    Noise noise{seed ? seed : 1u};
    for (const Note& n : notes) {
        const double f = midiToHz(n.midi);
        const double total = n.duration + releaseTime(n.voice) + (n.voice == Voice::Bell ? 1.0 : 0.0);
        const size_t begin = size_t(std::llround(n.start * kSampleRate));
        const size_t count = size_t(total * kSampleRate);
        const float gl = float(n.velocity * std::sqrt(0.5 * (1.0 - n.pan)));
        const float gr = float(n.velocity * std::sqrt(0.5 * (1.0 + n.pan)));
        double lp = 0;
        for (size_t i = 0; i < count; ++i) {
            size_t at = begin + i;
            if (at >= length) {
                if (!wrap) break;
                at %= length;
            }
            float v = float(voiceSample(n, f, double(i) / kSampleRate, noise, lp));
            out.left[at] += v * gl;
            out.right[at] += v * gr;
        }
    }
    return out;
}

void finish(Stereo& s, double peak, double fadeInSec, double fadeOutSec) {
    float maxAbs = 1e-6f;
    for (size_t i = 0; i < s.frames(); ++i)
        maxAbs = std::max({maxAbs, std::fabs(s.left[i]), std::fabs(s.right[i])});
    // Drive gently into tanh so the loudest peaks round off instead of clipping.
    const double drive = 1.2 / maxAbs;
    const double norm = peak / std::tanh(1.2);
    const size_t fadeIn = size_t(fadeInSec * kSampleRate), fadeOut = size_t(fadeOutSec * kSampleRate);
    for (size_t i = 0; i < s.frames(); ++i) {
        double g = 1.0;
        if (i < fadeIn) g *= double(i) / fadeIn;
        if (fadeOut && i + fadeOut > s.frames()) g *= double(s.frames() - i) / fadeOut;
        s.left[i] = float(std::tanh(s.left[i] * drive) * norm * g);
        s.right[i] = float(std::tanh(s.right[i] * drive) * norm * g);
    }
}

namespace {

// The two K-weighting filters (a high shelf for the head, a high pass), one
// channel at a time.
std::vector<double> kWeighted(const std::vector<float>& x) {
    struct Biquad {
        double b0, b1, b2, a1, a2;
    };
    double k = std::tan(M_PI * 1681.974450955533 / kSampleRate), q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1 + k / q + k * k;
    const Biquad shelf{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                       2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    k = std::tan(M_PI * 38.13547087602444 / kSampleRate);
    q = 0.5003270373238773;
    a0 = 1 + k / q + k * k;
    const Biquad highPass{1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    std::vector<double> y(x.begin(), x.end());
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

}  // namespace

double loudestMoment(const Stereo& s) {
    const std::vector<double> l = kWeighted(s.left), r = kWeighted(s.right);
    const size_t window = std::min(s.frames(), size_t(0.4 * kSampleRate));
    if (window == 0) return -100.0;
    // Running sum over the window, moved one frame at a time.
    double sum = 0, loudest = 0;
    for (size_t i = 0; i < s.frames(); ++i) {
        sum += l[i] * l[i] + r[i] * r[i];
        if (i >= window) sum -= l[i - window] * l[i - window] + r[i - window] * r[i - window];
        if (i + 1 >= window) loudest = std::max(loudest, sum / double(window));
    }
    return -0.691 + 10.0 * std::log10(std::max(loudest, 1e-12));
}

void setLoudness(Stereo& s, double lufs) {
    const float gain = float(std::pow(10.0, (lufs - loudestMoment(s)) / 20.0));
    for (size_t i = 0; i < s.frames(); ++i) {
        s.left[i] *= gain;
        s.right[i] *= gain;
    }
}

}  // namespace assetgen
