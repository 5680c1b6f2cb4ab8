#include "engine/blitOps.h"

#include <algorithm>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define BLITOPS_X86 1
#endif

namespace blitOps {

bool clip(int dstW, int dstH, int srcW, int srcH, std::int64_t dx, std::int64_t dy,
          std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, Clipped& out) {
    if (w <= 0 || h <= 0 || dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0) return false;
    // Anything this far out is off both surfaces; stops the sums below from
    // overflowing even 64 bits.
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    if (dx <= -kFar || dy <= -kFar || sx <= -kFar || sy <= -kFar || dx >= kFar || dy >= kFar ||
        sx >= kFar || sy >= kFar)
        return false;
    w = std::min(w, kFar);
    h = std::min(h, kFar);
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min({w, srcW - sx, dstW - dx});
    h = std::min({h, srcH - sy, dstH - dy});
    if (w <= 0 || h <= 0) return false;
    out = Clipped{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
                  static_cast<int>(sy), static_cast<int>(w), static_cast<int>(h)};
    return true;
}

namespace {

// x / 255 for x <= 255 * 255, without a divide.
inline std::uint32_t div255(std::uint32_t x) { return (x * 0x8081u) >> 23; }

inline std::uint32_t blendPixel(std::uint32_t s, std::uint32_t d, std::uint32_t keyRgb,
                                std::uint32_t a) {
    if ((s & 0x00FFFFFFu) == keyRgb) return d & 0x00FFFFFFu;
    std::uint32_t ia = 255 - a, out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= div255(sc * a + dc * ia) << shift;
    }
    return out;
}

void rowScalar(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t keyRgb,
               std::uint32_t a) {
    for (int i = 0; i < n; ++i) d[i] = blendPixel(s[i], d[i], keyRgb, a);
}

#ifdef BLITOPS_X86
// Four pixels at a time on 16-bit lanes; keyed pixels keep the destination.
// x / 255 is (x * 0x8081) >> 23 for every 16-bit x: one multiply-high and a
// shift instead of two adds and two shifts.
void rowSse2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t keyRgb,
             std::uint32_t a) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i magic = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i via = _mm_set1_epi16(static_cast<short>(255 - a));
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i key = _mm_set1_epi32(static_cast<int>(keyRgb));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(vs, rgb), key);
        __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(vs, zero), va),
                                   _mm_mullo_epi16(_mm_unpacklo_epi8(vd, zero), via));
        __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(vs, zero), va),
                                   _mm_mullo_epi16(_mm_unpackhi_epi8(vd, zero), via));
        lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, magic), 7);
        hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, magic), 7);
        __m128i blended = _mm_packus_epi16(lo, hi);
        __m128i out = _mm_or_si128(_mm_and_si128(keyed, vd), _mm_andnot_si128(keyed, blended));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_and_si128(out, rgb));
    }
    rowScalar(d + i, s + i, n - i, keyRgb, a);
}

// The same eight pixels at a time. Unpack and pack both work within 128-bit
// halves, so they undo each other and pixel order is kept. Runs of keyed
// pixels (the empty parts of a picture) skip the arithmetic.
__attribute__((target("avx2"))) void rowAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                             std::uint32_t keyRgb, std::uint32_t a) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i magic = _mm256_set1_epi16(static_cast<short>(0x8081));
    const __m256i va = _mm256_set1_epi16(static_cast<short>(a));
    const __m256i via = _mm256_set1_epi16(static_cast<short>(255 - a));
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i key = _mm256_set1_epi32(static_cast<int>(keyRgb));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i vs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i vd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        __m256i keyed = _mm256_cmpeq_epi32(_mm256_and_si256(vs, rgb), key);
        if (_mm256_movemask_epi8(keyed) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_and_si256(vd, rgb));
            continue;
        }
        __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(vs, zero), va),
                                      _mm256_mullo_epi16(_mm256_unpacklo_epi8(vd, zero), via));
        __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(vs, zero), va),
                                      _mm256_mullo_epi16(_mm256_unpackhi_epi8(vd, zero), via));
        lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, magic), 7);
        hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, magic), 7);
        __m256i blended = _mm256_packus_epi16(lo, hi);
        __m256i out = _mm256_and_si256(_mm256_blendv_epi8(blended, vd, keyed), rgb);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), out);
    }
    rowSse2(d + i, s + i, n - i, keyRgb, a);
}
#endif

using RowFn = void (*)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t, std::uint32_t);

RowFn pickRow() {
#ifdef BLITOPS_X86
    // Chosen once at run time: the shipped build targets the baseline x86-64.
    if (__builtin_cpu_supports("avx2")) return rowAvx2;
    return rowSse2;
#else
    return rowScalar;
#endif
}

}  // namespace

void keyedAlphaBlend(platform::Surface& dst, const platform::Surface& src, const Clipped& r,
                     std::uint32_t keyRgb, std::uint8_t alpha) {
    if (r.w <= 0 || r.h <= 0) return;
    static const RowFn row = pickRow();
    keyRgb &= 0x00FFFFFFu;
    if (&dst == &src) {
        // Drawing a picture onto itself: take the source rows aside first so
        // overlapping rows read what was there before the draw.
        std::vector<std::uint32_t> copy(static_cast<std::size_t>(r.w) * r.h);
        for (int y = 0; y < r.h; ++y)
            std::copy_n(src.row(r.sy + y) + r.sx, r.w, copy.data() + static_cast<std::size_t>(y) * r.w);
        for (int y = 0; y < r.h; ++y)
            row(dst.row(r.dy + y) + r.dx, copy.data() + static_cast<std::size_t>(y) * r.w, r.w,
                keyRgb, alpha);
        return;
    }
    for (int y = 0; y < r.h; ++y)
        row(dst.row(r.dy + y) + r.dx, src.row(r.sy + y) + r.sx, r.w, keyRgb, alpha);
}

}  // namespace blitOps
