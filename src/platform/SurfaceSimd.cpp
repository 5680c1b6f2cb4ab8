#include "platform/SurfaceSimd.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>

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
// Keyed constant-alpha blend: the blend where the source is not the key, the
// destination untouched where it is.

void keyedBlendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int a, std::uint32_t key) {
    const __m128i wa = laneWeights(a), wd = laneWeights(255 - a);
    const __m128i zero = _mm_setzero_si128();
    const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i K = _mm_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(S, mask), K);
        const __m128i lo =
            blendLanes(_mm_unpacklo_epi8(S, zero), _mm_unpacklo_epi8(D, zero), wa, wd);
        const __m128i hi =
            blendLanes(_mm_unpackhi_epi8(S, zero), _mm_unpackhi_epi8(D, zero), wa, wd);
        const __m128i B = _mm_packus_epi16(lo, hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_or_si128(_mm_and_si128(hit, D), _mm_andnot_si128(hit, B)));
    }
    for (; i < n; ++i)
        if ((s[i] & kRgbMask) != key) d[i] = mixPixel(s[i], d[i], static_cast<std::uint32_t>(a));
}

#if SWAPSPRINT_X86
// Eight pixels that are all key are skipped outright.
__attribute__((target("avx2"))) void keyedBlendRowAvx2(std::uint32_t* d, const std::uint32_t* s,
                                                       int n, int a, std::uint32_t key) {
    const __m256i w = _mm256_set1_epi64x(pairedWeights(a));
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const __m256i K = _mm256_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i hit = _mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K);
        if (_mm256_movemask_epi8(hit) == -1) continue;
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_blendv_epi8(blend8(S, D, w), D, hit));
    }
    if (i < n) {
        const __m256i m = firstLanes(n - i);
        const __m256i S = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), m);
        const __m256i D = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), m);
        const __m256i draw =
            _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K), m);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), draw, blend8(S, D, w));
    }
}

__attribute__((target("avx512f,avx512bw"))) void keyedBlendRowAvx512(std::uint32_t* d,
                                                                     const std::uint32_t* s, int n,
                                                                     int a, std::uint32_t key) {
    const __m512i w = _mm512_set1_epi64(pairedWeights(a));
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(kRgbMask));
    const __m512i K = _mm512_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i S = _mm512_loadu_si512(s + i);
        const __mmask16 draw = _mm512_cmpneq_epi32_mask(_mm512_and_si512(S, mask), K);
        if (!draw) continue;
        const __m512i D = _mm512_loadu_si512(d + i);
        _mm512_mask_storeu_epi32(d + i, draw, blend16(S, D, w));
    }
    if (i < n) {
        const __mmask16 m = static_cast<__mmask16>((1u << (n - i)) - 1);
        const __m512i S = _mm512_maskz_loadu_epi32(m, s + i);
        const __m512i D = _mm512_maskz_loadu_epi32(m, d + i);
        const __mmask16 draw = _mm512_mask_cmpneq_epi32_mask(m, _mm512_and_si512(S, mask), K);
        _mm512_mask_storeu_epi32(d + i, draw, blend16(S, D, w));
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
// A select, not a masked store: vpmaskmovd stores are slow on some
// processors (AMD's among them), a blend and a whole store are fast on all.
__attribute__((target("avx2"))) void keyedRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                                  std::uint32_t key) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const __m256i K = _mm256_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i hit = _mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K);
        if (_mm256_movemask_epi8(hit) == -1) continue;
        const __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(S, D, hit));
    }
    if (i < n) {  // masked loads and stores never touch the lanes past the row's end
        const __m256i m = firstLanes(n - i);
        const __m256i S = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), m);
        const __m256i draw =
            _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K), m);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), draw, S);
    }
}

// AVX-512's own masked stores are fast: only the drawn pixels are written and
// the destination is never read.
__attribute__((target("avx512f,avx512bw"))) void keyedRowAvx512(std::uint32_t* d,
                                                                const std::uint32_t* s, int n,
                                                                std::uint32_t key) {
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(kRgbMask));
    const __m512i K = _mm512_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i S = _mm512_loadu_si512(s + i);
        _mm512_mask_storeu_epi32(d + i, _mm512_cmpneq_epi32_mask(_mm512_and_si512(S, mask), K), S);
    }
    if (i < n) {
        const __mmask16 m = static_cast<__mmask16>((1u << (n - i)) - 1);
        const __m512i S = _mm512_maskz_loadu_epi32(m, s + i);
        const __mmask16 draw = _mm512_mask_cmpneq_epi32_mask(m, _mm512_and_si512(S, mask), K);
        _mm512_mask_storeu_epi32(d + i, draw, S);
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

// ---------------------------------------------------------------------------
// Antialiased ink: each pixel's coverage is spread over its three colour
// lanes; the top byte's lane keeps the destination (weights 0 and 255).

void coverageRowSse2(std::uint32_t* d, const std::uint8_t* c, int n, std::uint32_t ink) {
    const __m128i S = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(ink & kRgbMask)),
                                        _mm_setzero_si128());
    const __m128i colourLanes = _mm_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0);
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint32_t four;
        __builtin_memcpy(&four, c + i, 4);
        if (four == 0) continue;  // no ink here: the pixels stay as they are
        const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(four));
        __m128i A = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
        A = _mm_or_si128(A, _mm_slli_epi32(A, 16));
        const __m128i alo = _mm_and_si128(_mm_unpacklo_epi32(A, A), colourLanes);
        const __m128i ahi = _mm_and_si128(_mm_unpackhi_epi32(A, A), colourLanes);
        const __m128i D = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i lo = blendLanes(S, _mm_unpacklo_epi8(D, zero), alo, _mm_sub_epi16(c255, alo));
        const __m128i hi = blendLanes(S, _mm_unpackhi_epi8(D, zero), ahi, _mm_sub_epi16(c255, ahi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < n; ++i)
        if (c[i]) d[i] = (d[i] & ~kRgbMask) | mixPixel(ink, d[i], c[i]);
}

// ---------------------------------------------------------------------------
// Which pixels a keyed picture draws, as bits.

namespace {

// The pixels after the last whole group, one at a time.
int drawnBitsTail(const std::uint32_t* s, int from, int n, std::uint32_t key,
                  std::uint64_t* bits) {
    int exact = 0;
    for (int i = from; i < n; ++i) {
        if ((s[i] & kRgbMask) != key) bits[i >> 6] |= std::uint64_t{1} << (i & 63);
        exact += s[i] == key;
    }
    return exact;
}

void clearBits(int n, std::uint64_t* bits) {
    for (int i = 0; i < (n + 63) / 64; ++i) bits[i] = 0;
}

}  // namespace

int drawnBitsSse2(const std::uint32_t* s, int n, std::uint32_t key, std::uint64_t* bits) {
    clearBits(n, bits);
    const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i K = _mm_set1_epi32(static_cast<int>(key));
    int i = 0, exact = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i S = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i rgbHit = _mm_cmpeq_epi32(_mm_and_si128(S, mask), K);
        const unsigned hit = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(rgbHit)));
        const unsigned same =
            static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(S, K))));
        bits[i >> 6] |= std::uint64_t{~hit & 0xFu} << (i & 63);
        exact += std::popcount(same);
    }
    return exact + drawnBitsTail(s, i, n, key, bits);
}

#if SWAPSPRINT_X86
__attribute__((target("avx2"))) int drawnBitsAvx2(const std::uint32_t* s, int n, std::uint32_t key,
                                                  std::uint64_t* bits) {
    clearBits(n, bits);
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const __m256i K = _mm256_set1_epi32(static_cast<int>(key));
    int i = 0, exact = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i rgbHit = _mm256_cmpeq_epi32(_mm256_and_si256(S, mask), K);
        const unsigned hit = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(rgbHit)));
        const unsigned same = static_cast<unsigned>(
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(S, K))));
        bits[i >> 6] |= std::uint64_t{~hit & 0xFFu} << (i & 63);
        exact += std::popcount(same);
    }
    return exact + drawnBitsTail(s, i, n, key, bits);
}

__attribute__((target("avx512f,avx512bw"))) int drawnBitsAvx512(const std::uint32_t* s, int n,
                                                                std::uint32_t key,
                                                                std::uint64_t* bits) {
    clearBits(n, bits);
    const __m512i mask = _mm512_set1_epi32(static_cast<int>(kRgbMask));
    const __m512i K = _mm512_set1_epi32(static_cast<int>(key));
    int i = 0, exact = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i S = _mm512_loadu_si512(s + i);
        const __mmask16 drawn = _mm512_cmpneq_epi32_mask(_mm512_and_si512(S, mask), K);
        bits[i >> 6] |= std::uint64_t{drawn} << (i & 63);
        exact += std::popcount(static_cast<unsigned>(_mm512_cmpeq_epi32_mask(S, K)));
    }
    return exact + drawnBitsTail(s, i, n, key, bits);
}
#endif

// ---------------------------------------------------------------------------
// 24-bit rows to pixels.

void bgrRowScalar(std::uint32_t* d, const std::uint8_t* bgr, int n) {
    for (int i = 0; i < n; ++i, bgr += 3)
        d[i] = std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
}

#if SWAPSPRINT_X86
// Eight pixels from 24 bytes: the dword permute puts bytes 0..11 in the low
// half and 12..23 in the high one, and a byte shuffle in each half spreads
// them to four pixels with a zero top byte. Each load reads 32 bytes, so the
// last pixels, whose load would pass the row's end, are done one by one.
__attribute__((target("avx2"))) void bgrRowAvx2(std::uint32_t* d, const std::uint8_t* bgr, int n) {
    const __m256i halves = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int i = 0;
    for (; std::int64_t{i} * 3 + 32 <= std::int64_t{n} * 3; i += 8) {
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bgr + 3 * i));
        const __m256i px = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(raw, halves), spread);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), px);
    }
    bgrRowScalar(d + i, bgr + 3 * i, n - i);
}
#endif

// ---------------------------------------------------------------------------
// Keyed pictures drawn by their runs. The whole rectangle is walked inside one
// kernel, so a row costs a few loads and compares and a span an inline copy
// (spans are short, a few dozen pixels as a rule). Source and destination
// never overlap here, so a span's last vector may overlap the one before it.

namespace {

// Walks rows sy .. sy + h - 1 of runs, cut to columns [sx, sx + w), with d at
// the destination pixel where (sx, sy) lands: SPAN(dst, src, n) for each piece
// of a drawn span, DENSE(dst, src, n) for the piece of a dense row.
#define WALK_RUNS(SPAN, DENSE)                                                          \
    const int x0 = sx, x1 = sx + w;                                                     \
    const std::uint32_t* pixels = runs.pixels();                                        \
    const int yFrom = runs.top() > sy ? runs.top() - sy : 0;                            \
    const int yTo = runs.bottom() - sy < h ? runs.bottom() - sy : h;                    \
    d += stride * yFrom;                                                                \
    for (int y = yFrom; y < yTo; ++y, d += stride) {                                    \
        const Span* first = runs.begin(sy + y);                                         \
        const Span* last = runs.end(sy + y);                                            \
        if (first == last || first->begin >= x1 || last[-1].end <= x0) continue;       \
        if (first->dense) {                                                             \
            const int lo = first->begin > x0 ? first->begin : x0;                       \
            const int hi = first->end < x1 ? first->end : x1;                           \
            DENSE(d + (lo - x0), pixels + first->at + (lo - first->begin), hi - lo);    \
            continue;                                                                   \
        }                                                                               \
        /* The frames and tiles of a wide picture start mid-row. */                     \
        if (first->end <= x0) first = firstEndingAfter(first, last, x0);                \
        for (; first != last && first->begin < x1; ++first) {                           \
            const int lo = first->begin > x0 ? first->begin : x0;                       \
            const int hi = first->end < x1 ? first->end : x1;                           \
            SPAN(d + (lo - x0), pixels + first->at + (lo - first->begin), hi - lo);     \
        }                                                                               \
    }

inline const Span* firstEndingAfter(const Span* first, const Span* last, int x) {
    return std::upper_bound(first, last, x, [](int v, const Span& r) { return v < r.end; });
}

inline void copyPixelsSse2(std::uint32_t* d, const std::uint32_t* s, int n) {
    if (n < 4) {
        for (int i = 0; i < n; ++i) d[i] = s[i];
        return;
    }
    int i = 0;
    for (; i + 4 <= n; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    if (i < n)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 4),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 4)));
}

#if SWAPSPRINT_X86
__attribute__((target("avx2"))) inline void copyPixelsAvx2(std::uint32_t* d,
                                                           const std::uint32_t* s, int n) {
    if (n < 8) {
        copyPixelsSse2(d, s, n);
        return;
    }
    int i = 0;
    for (; i + 8 <= n; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
    if (i < n)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 8),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + n - 8)));
}

__attribute__((target("avx512f,avx512bw"))) inline void copyPixelsAvx512(std::uint32_t* d,
                                                                         const std::uint32_t* s,
                                                                         int n) {
    if (n < 16) {
        copyPixelsAvx2(d, s, n);
        return;
    }
    int i = 0;
    // Long runs: stores that straddle two cache lines cost two, so after a
    // first unaligned block the stores start on a line.
    if (n >= 256) {
        _mm512_storeu_si512(d, _mm512_loadu_si512(s));
        i = static_cast<int>((64 - (reinterpret_cast<std::uintptr_t>(d) & 63)) & 63) / 4;
        if (i == 0) i = 16;
        for (; i + 16 <= n; i += 16) _mm512_store_si512(d + i, _mm512_loadu_si512(s + i));
    }
    for (; i + 16 <= n; i += 16) _mm512_storeu_si512(d + i, _mm512_loadu_si512(s + i));
    if (i < n) _mm512_storeu_si512(d + n - 16, _mm512_loadu_si512(s + n - 16));
}
#endif

}  // namespace

#if SWAPSPRINT_X86
__attribute__((target("avx512f,avx512bw"))) void copyRunsAvx512(std::uint32_t* d,
                                                                std::ptrdiff_t stride,
                                                                const KeyRuns& runs, int sx,
                                                                int sy, int w, int h) {
    const std::uint32_t key = runs.key();
    const auto dense = [key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedRowAvx512(dd, ss, n, key);
    };
    WALK_RUNS(copyPixelsAvx512, dense)
}
#endif

void copyRunsSse2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                  int w, int h) {
    const std::uint32_t key = runs.key();
    const auto dense = [key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedRowSse2(dd, ss, n, key);
    };
    WALK_RUNS(copyPixelsSse2, dense)
}

#if SWAPSPRINT_X86
__attribute__((target("avx2"))) void copyRunsAvx2(std::uint32_t* d, std::ptrdiff_t stride,
                                                  const KeyRuns& runs, int sx, int sy, int w,
                                                  int h) {
    const std::uint32_t key = runs.key();
    const auto dense = [key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedRowAvx2(dd, ss, n, key);
    };
    WALK_RUNS(copyPixelsAvx2, dense)
}
#endif

void blendRunsSse2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                   int w, int h, int alpha) {
    const std::uint32_t key = runs.key();
    const auto span = [alpha](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        blendRowSse2(dd, ss, n, alpha);
    };
    const auto dense = [alpha, key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedBlendRowSse2(dd, ss, n, alpha, key);
    };
    WALK_RUNS(span, dense)
}

#if SWAPSPRINT_X86
void blendRunsAvx2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                   int w, int h, int alpha) {
    const std::uint32_t key = runs.key();
    const auto span = [alpha](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        blendRowAvx2(dd, ss, n, alpha);
    };
    const auto dense = [alpha, key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedBlendRowAvx2(dd, ss, n, alpha, key);
    };
    WALK_RUNS(span, dense)
}

void blendRunsAvx512(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx,
                     int sy, int w, int h, int alpha) {
    const std::uint32_t key = runs.key();
    const auto span = [alpha](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        blendRowAvx512(dd, ss, n, alpha);
    };
    const auto dense = [alpha, key](std::uint32_t* dd, const std::uint32_t* ss, int n) {
        keyedBlendRowAvx512(dd, ss, n, alpha, key);
    };
    WALK_RUNS(span, dense)
}
#endif

#undef WALK_RUNS

// ---------------------------------------------------------------------------

const Kernels& kernels() {
    static const Kernels chosen = [] {
        Kernels k{keyedRowSse2,  blendRowSse2,  keyedBlendRowSse2, copyRunsSse2,
                  blendRunsSse2, drawnBitsSse2, bgrRowScalar};
#if SWAPSPRINT_X86
        if (haveAvx2()) {
            k.copyRuns = copyRunsAvx2;
            k.blendRuns = blendRunsAvx2;
            k.keyedRow = keyedRowAvx2;
            k.blendRow = blendRowAvx2;
            k.keyedBlendRow = keyedBlendRowAvx2;
            k.drawnBits = drawnBitsAvx2;
            k.bgrRow = bgrRowAvx2;
        }
        if (haveAvx512bw()) {
            k.copyRuns = copyRunsAvx512;
            k.blendRuns = blendRunsAvx512;
            k.keyedRow = keyedRowAvx512;
            k.keyedBlendRow = keyedBlendRowAvx512;
            k.blendRow = blendRowAvx512;
            k.drawnBits = drawnBitsAvx512;
        }
#endif
        return k;
    }();
    return chosen;
}

}  // namespace platform::simd
