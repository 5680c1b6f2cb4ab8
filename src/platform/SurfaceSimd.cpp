#include "platform/SurfaceSimd.h"

#include <emmintrin.h>
#include <immintrin.h>

namespace platform::simd {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

// x / 255 for every x up to 255 * 255, without a division.
inline std::uint32_t div255(std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

// Colour weights for the lanes B, G, R, A of two pixels: the alpha lane gets
// weight 0 on both sides, so the blend writes 0 to the top byte for free.
inline __m128i laneWeights(int a) { return _mm_setr_epi16(a, a, a, 0, a, a, a, 0); }

// div255(s * wa + d * wd) on eight 16-bit lanes.
inline __m128i blendLanes(__m128i s16, __m128i d16, __m128i wa, __m128i wd, __m128i one) {
    __m128i x = _mm_add_epi16(_mm_mullo_epi16(s16, wa), _mm_mullo_epi16(d16, wd));
    x = _mm_add_epi16(x, _mm_add_epi16(one, _mm_srli_epi16(x, 8)));
    return _mm_srli_epi16(x, 8);
}

__attribute__((target("avx2"))) inline __m256i blendLanes256(__m256i s16, __m256i d16,
                                                              __m256i wa, __m256i wd,
                                                              __m256i one) {
    __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(s16, wa), _mm256_mullo_epi16(d16, wd));
    x = _mm256_add_epi16(x, _mm256_add_epi16(one, _mm256_srli_epi16(x, 8)));
    return _mm256_srli_epi16(x, 8);
}

}  // namespace

bool haveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

// For the pixels left over after the last whole vector, and the rotated draw.
std::uint32_t mixPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    const std::uint32_t na = 255 - a;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t c = ((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * na;
        out |= div255(c) << shift;
    }
    return out;
}

// Blends widen channels to 16-bit lanes, where s*a + d*(255-a) never exceeds
// 65025 and x / 255 is (x + 1 + (x >> 8)) >> 8 exactly.
void blendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int a) {
    const __m128i wa = laneWeights(a), wd = laneWeights(255 - a);
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = blendLanes(_mm_unpacklo_epi8(S, zero), _mm_unpacklo_epi8(D, zero), wa,
                                      wd, one);
        const __m128i hi = blendLanes(_mm_unpackhi_epi8(S, zero), _mm_unpackhi_epi8(D, zero), wa,
                                      wd, one);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) d[i] = mixPixel(s[i], d[i], static_cast<std::uint32_t>(a));
}

// The unpacks and the pack both work within 128-bit halves, so pixel order
// comes out as it went in.
__attribute__((target("avx2"))) void blendRowAvx2(std::uint32_t* d, const std::uint32_t* s,
                                                  int n, int a) {
    const __m256i wa = _mm256_setr_epi16(a, a, a, 0, a, a, a, 0, a, a, a, 0, a, a, a, 0);
    const int b = 255 - a;
    const __m256i wd = _mm256_setr_epi16(b, b, b, 0, b, b, b, 0, b, b, b, 0, b, b, b, 0);
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi16(1);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i lo = blendLanes256(_mm256_unpacklo_epi8(S, zero),
                                         _mm256_unpacklo_epi8(D, zero), wa, wd, one);
        const __m256i hi = blendLanes256(_mm256_unpackhi_epi8(S, zero),
                                         _mm256_unpackhi_epi8(D, zero), wa, wd, one);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) d[i] = mixPixel(s[i], d[i], static_cast<std::uint32_t>(a));
}

// Keyed copy: a branchless select per pixel, so runs of key pixels cost the
// same as drawn ones and nothing mispredicts at their edges.
void keyedRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i K = _mm_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(S, mask), K);
        const __m128i R = _mm_or_si128(_mm_and_si128(hit, D), _mm_andnot_si128(hit, S));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), R);
    }
    for (; i < n; ++i) d[i] = (s[i] & kRgbMask) == key ? d[i] : s[i];
}

__attribute__((target("avx2"))) void keyedRowAvx2(std::uint32_t* d, const std::uint32_t* s,
                                                  int n, std::uint32_t key) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const __m256i K = _mm256_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i hit = _mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(S, D, hit));
    }
    for (; i < n; ++i) d[i] = (s[i] & kRgbMask) == key ? d[i] : s[i];
}

// Per-pixel alpha: each pixel's alpha (0 where the key hides it) is spread
// over its three colour lanes. Few pictures use it per frame, so SSE2 only.
void alphaRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, bool useKey,
                  std::uint32_t keyRgb) {
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i K = _mm_set1_epi32(static_cast<int>(keyRgb));
    const __m128i keyOn = useKey ? _mm_set1_epi32(-1) : _mm_setzero_si128();
    const __m128i colourLanes = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i hidden = _mm_and_si128(keyOn, _mm_cmpeq_epi32(_mm_and_si128(S, rgb), K));
        __m128i A = _mm_andnot_si128(hidden, _mm_srli_epi32(S, 24));
        A = _mm_or_si128(A, _mm_slli_epi32(A, 16));  // alpha in both 16-bit halves
        const __m128i alo = _mm_and_si128(_mm_unpacklo_epi32(A, A), colourLanes);
        const __m128i ahi = _mm_and_si128(_mm_unpackhi_epi32(A, A), colourLanes);
        const __m128i nlo = _mm_and_si128(_mm_sub_epi16(c255, alo), colourLanes);
        const __m128i nhi = _mm_and_si128(_mm_sub_epi16(c255, ahi), colourLanes);
        const __m128i lo =
            blendLanes(_mm_unpacklo_epi8(S, zero), _mm_unpacklo_epi8(D, zero), alo, nlo, one);
        const __m128i hi =
            blendLanes(_mm_unpackhi_epi8(S, zero), _mm_unpackhi_epi8(D, zero), ahi, nhi, one);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) {
        const bool hidden = useKey && (s[i] & kRgbMask) == keyRgb;
        d[i] = mixPixel(s[i], d[i], hidden ? 0 : s[i] >> 24);
    }
}

}  // namespace platform::simd
