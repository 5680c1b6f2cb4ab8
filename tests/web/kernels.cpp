// The page's drawing kernels against their plain definitions, built for
// WebAssembly and run in node (scripts/web-test.sh): the SSE2 kernels reach
// the page through emscripten's mapping onto 128-bit wasm vectors, and must
// give the very pixels the desktop draws.
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/SurfaceSimd.h"

namespace simd = platform::simd;

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFF, kKey = 0x00FF00FF;
int failures = 0;

void expectSame(const char* what, int n, int alpha, const std::vector<std::uint32_t>& got,
                const std::vector<std::uint32_t>& want) {
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (got[i] == want[i]) continue;
        if (++failures <= 10)
            std::printf("%s, %d pixels, alpha %d: pixel %zu is %08x, not %08x\n", what, n, alpha, i,
                        got[i], want[i]);
        return;
    }
}

}  // namespace

int main() {
    std::mt19937 random(19);
    // Rows of every length around the vector widths; a third of the pixels key.
    for (int n = 0; n <= 41; ++n) {
        for (int alpha = 0; alpha <= 255; alpha += n < 9 ? 1 : 17) {
            std::vector<std::uint32_t> s(n), d(n);
            std::vector<std::uint8_t> cover(n);
            for (int i = 0; i < n; ++i) {
                s[i] = random() % 3 == 0 ? (kKey | (random() & 0xFF000000u)) : random();
                d[i] = random();
                cover[i] = random() % 4 == 0 ? 0 : static_cast<std::uint8_t>(random());
            }
            std::vector<std::uint32_t> want(d), got(d);
            for (int i = 0; i < n; ++i) want[i] = simd::mixPixel(s[i], d[i], alpha);
            simd::blendRowSse2(got.data(), s.data(), n, alpha);
            expectSame("constant alpha", n, alpha, got, want);

            want = got = d;
            for (int i = 0; i < n; ++i)
                if ((s[i] & kRgb) != kKey) want[i] = simd::mixPixel(s[i], d[i], alpha);
            simd::keyedBlendRowSse2(got.data(), s.data(), n, alpha, kKey);
            expectSame("keyed constant alpha", n, alpha, got, want);

            if (alpha == 0) {
                // The kernels without a constant alpha: once per row length.
                want = got = d;
                simd::coverageRowSse2(got.data(), cover.data(), n, s.empty() ? 0 : s[0] & kRgb);
                for (int i = 0; i < n; ++i)
                    want[i] = (d[i] & ~kRgb) | simd::mixPixel(s[0] & kRgb, d[i], cover[i]);
                expectSame("coverage", n, alpha, got, want);

                for (bool useKey : {false, true}) {
                    want = got = d;
                    for (int i = 0; i < n; ++i) {
                        const bool hidden = useKey && (s[i] & kRgb) == kKey;
                        want[i] = simd::mixPixel(s[i], d[i], hidden ? 0 : s[i] >> 24);
                    }
                    simd::alphaRowSse2(got.data(), s.data(), n, useKey, kKey);
                    expectSame(useKey ? "per-pixel alpha, keyed" : "per-pixel alpha", n, alpha,
                               got, want);
                }

                want = got = d;
                for (int i = 0; i < n; ++i)
                    if ((s[i] & kRgb) != kKey) want[i] = s[i];
                simd::keyedRowSse2(got.data(), s.data(), n, kKey);
                expectSame("keyed copy", n, alpha, got, want);

                std::vector<std::uint64_t> bits((n + 63) / 64 + 1, ~0ull), wantBits(bits.size(), 0);
                wantBits.back() = ~0ull;  // past the row's words: untouched
                int exact = 0;
                for (int i = 0; i < n; ++i) {
                    if ((s[i] & kRgb) != kKey) wantBits[i / 64] |= 1ull << (i % 64);
                    exact += s[i] == kKey;
                }
                const int gotExact = simd::drawnBitsSse2(s.data(), n, kKey, bits.data());
                if (bits != wantBits || gotExact != exact) {
                    ++failures;
                    std::printf("drawn bits, %d pixels: wrong bits or count %d, not %d\n", n,
                                gotExact, exact);
                }
            }
        }
    }
    std::printf("wasm kernels: %s\n", failures ? "FAILED" : "all exact");
    return failures ? 1 : 0;
}
