#include "platform/SurfaceSimd.h"

#include <immintrin.h>

namespace platform::simd {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

// x / 255 for every x up to 255 * 255, without a division.
inline std::uint32_t div255(std::uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

// The vector kernels divide by 255 as (x * 0x8081) >> 23, taking the high
// half of a 16-bit multiply and shifting by 7: exact for every 16-bit x, and
// one instruction shorter than the add-and-shift form.
constexpr short kDiv255 = static_cast<short>(0x8081);

// Two pixels' worth of 16-bit lanes B, G, R, A: colour lanes get the weight,
// the alpha lane 0, so every blend writes 0 to the top byte for free.
inline __m128i laneWeights(int a) {
    return _mm_setr_epi16(a, a, a, 0, a, a, a, 0);
}

inline __m128i blendLanes(__m128i s16, __m128i d16, __m128i wa, __m128i wd) {
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(s16, wa), _mm_mullo_epi16(d16, wd));
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(kDiv255)), 7);
}

#if SWAPSPRINT_X86
// For the AVX2 and AVX-512 blends: pmaddubsw multiplies unsigned bytes by
// signed bytes and adds neighbours, so with source and destination bytes
// interleaved and flipped to signed (p - 128), and the weights (a, 255 - a)
// as the unsigned side, one instruction yields s*a + d*(255-a) - 32640 per
// channel, which always fits a signed 16-bit lane. These are the weight bytes
// and the 32640 to add back, per pixel, with zeros on the alpha channel.
inline long long pairedWeights(int a) {
    const unsigned long long w = static_cast<unsigned>(a) | static_cast<unsigned>(255 - a) << 8;
    return static_cast<long long>(w | w << 16 | w << 32);
}
constexpr long long kBiasBack = 0x00007F807F807F80LL;
#endif

}  // namespace

#if SWAPSPRINT_X86
bool haveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

bool haveAvx512bw() {
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return yes;
}
#endif

std::uint32_t mixPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    const std::uint32_t na = 255 - a;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t c = ((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * na;
        out |= div255(c) << shift;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Constant-alpha blend

void blendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int a) {
    const __m128i wa = laneWeights(a), wd = laneWeights(255 - a);
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo =
            blendLanes(_mm_unpacklo_epi8(S, zero), _mm_unpacklo_epi8(D, zero), wa, wd);
        const __m128i hi =
            blendLanes(_mm_unpackhi_epi8(S, zero), _mm_unpackhi_epi8(D, zero), wa, wd);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) d[i] = mixPixel(s[i], d[i], static_cast<std::uint32_t>(a));
}

#if SWAPSPRINT_X86
// Unpacks and packs work within 128-bit halves, so pixels come out in the
// order they went in.
__attribute__((target("avx2"))) static inline __m256i blend8(__m256i S, __m256i D, __m256i w) {
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i bias = _mm256_set1_epi64x(kBiasBack), div = _mm256_set1_epi16(kDiv255);
    S = _mm256_xor_si256(S, flip);
    D = _mm256_xor_si256(D, flip);
    __m256i lo = _mm256_add_epi16(_mm256_maddubs_epi16(w, _mm256_unpacklo_epi8(S, D)), bias);
    __m256i hi = _mm256_add_epi16(_mm256_maddubs_epi16(w, _mm256_unpackhi_epi8(S, D)), bias);
    lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, div), 7);
    hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, div), 7);
    return _mm256_packus_epi16(lo, hi);
}

// A lane mask for the first n (0..8) pixels of an eight-pixel step.
__attribute__((target("avx2"))) static inline __m256i firstLanes(int n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

__attribute__((target("avx2"))) void blendRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                                  int a) {
    const __m256i w = _mm256_set1_epi64x(pairedWeights(a));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), blend8(S, D, w));
    }
    if (i < n) {  // masked loads never touch the lanes past the row's end
        const __m256i m = firstLanes(n - i);
        const __m256i S = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), m);
        const __m256i D = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), m);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), m, blend8(S, D, w));
    }
}

__attribute__((target("avx512f,avx512bw"))) static inline __m512i blend16(__m512i S, __m512i D,
                                                                          __m512i w) {
    const __m512i flip = _mm512_set1_epi8(static_cast<char>(0x80));
    const __m512i bias = _mm512_set1_epi64(kBiasBack), div = _mm512_set1_epi16(kDiv255);
    S = _mm512_xor_si512(S, flip);
    D = _mm512_xor_si512(D, flip);
    __m512i lo = _mm512_add_epi16(_mm512_maddubs_epi16(w, _mm512_unpacklo_epi8(S, D)), bias);
    __m512i hi = _mm512_add_epi16(_mm512_maddubs_epi16(w, _mm512_unpackhi_epi8(S, D)), bias);
    lo = _mm512_srli_epi16(_mm512_mulhi_epu16(lo, div), 7);
    hi = _mm512_srli_epi16(_mm512_mulhi_epu16(hi, div), 7);
    return _mm512_packus_epi16(lo, hi);
}

__attribute__((target("avx512f,avx512bw"))) void blendRowAvx512(std::uint32_t* d,
                                                                const std::uint32_t* s, int n,
                                                                int a) {
    const __m512i w = _mm512_set1_epi64(pairedWeights(a));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i S = _mm512_loadu_si512(s + i);
        const __m512i D = _mm512_loadu_si512(d + i);
        _mm512_storeu_si512(d + i, blend16(S, D, w));
    }
    if (i < n) {
        const __mmask16 m = static_cast<__mmask16>((1u << (n - i)) - 1);
        const __m512i S = _mm512_maskz_loadu_epi32(m, s + i);
        const __m512i D = _mm512_maskz_loadu_epi32(m, d + i);
        _mm512_mask_storeu_epi32(d + i, m, blend16(S, D, w));
    }
}
#endif

// ---------------------------------------------------------------------------
// Keyed copy: no branches on the pixels, so runs of key pixels cost nothing
// extra and nothing mispredicts at their edges.

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

#if SWAPSPRINT_X86
// A masked store writes only the drawn pixels, so the destination is never
// read: that is what keeps this level with a run-length-encoded blit.
__attribute__((target("avx2"))) void keyedRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                                  std::uint32_t key) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const __m256i K = _mm256_set1_epi32(static_cast<int>(key));
    const __m256i all = _mm256_set1_epi32(-1);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i draw =
            _mm256_xor_si256(_mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K), all);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), draw, S);
    }
    if (i < n) {
        const __m256i m = firstLanes(n - i);
        const __m256i S = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), m);
        const __m256i draw =
            _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K), m);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), draw, S);
    }
}
#endif

// ---------------------------------------------------------------------------
// Per-pixel alpha: each pixel's alpha (0 where the key hides it) is spread
// over its three colour lanes. Few pictures use it per frame, so SSE2 only.

void alphaRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, bool useKey,
                  std::uint32_t keyRgb) {
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i K = _mm_set1_epi32(static_cast<int>(keyRgb));
    const __m128i keyOn = useKey ? _mm_set1_epi32(-1) : _mm_setzero_si128();
    const __m128i colourLanes = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i zero = _mm_setzero_si128();
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
            blendLanes(_mm_unpacklo_epi8(S, zero), _mm_unpacklo_epi8(D, zero), alo, nlo);
        const __m128i hi =
            blendLanes(_mm_unpackhi_epi8(S, zero), _mm_unpackhi_epi8(D, zero), ahi, nhi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i) {
        const bool hidden = useKey && (s[i] & kRgbMask) == keyRgb;
        d[i] = mixPixel(s[i], d[i], hidden ? 0 : s[i] >> 24);
    }
}

#if !SWAPSPRINT_X86
// WebAssembly runs the SSE2 kernels (mapped onto its 128-bit vectors) and
// never these; they exist so every caller links.
void blendRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, int a) { blendRowSse2(d, s, n, a); }
void blendRowAvx512(std::uint32_t* d, const std::uint32_t* s, int n, int a) { blendRowSse2(d, s, n, a); }
void keyedRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key) {
    keyedRowSse2(d, s, n, key);
}
#endif

}  // namespace platform::simd
