// Row kernels behind the Surface operations. Each works on n pixels of one
// row, already clipped. The SSE2 versions run on any x86-64; the AVX2 and
// AVX-512 versions are chosen once, at run time, when the processor has them
// (kernels()). All are exposed so the tests can hold each to the same results.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/KeyRuns.h"

namespace platform::simd {

#if defined(__x86_64__) || defined(__i386__)
#define SWAPSPRINT_X86 1
bool haveAvx2();
bool haveAvx512bw();  // AVX-512 F and BW
#else
// WebAssembly: the SSE2 kernels only, through its 128-bit vectors; the
// choice below folds away.
#define SWAPSPRINT_X86 0
constexpr bool haveAvx2() { return false; }
constexpr bool haveAvx512bw() { return false; }
#endif

// (s * a + d * (255 - a)) / 255 per colour channel, exact; the result is
// opaque (top byte 0).
std::uint32_t mixPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a);

// dst = src unless src's RGB equals key (0x00RRGGBB).
void keyedRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key);
void keyedRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key);
void keyedRowAvx512(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key);

// mixPixel with one constant alpha.
void blendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);
void blendRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);
void blendRowAvx512(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);

// blendRow where src's RGB is not key; where it is, dst stays as it was.
void keyedBlendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha,
                       std::uint32_t key);
void keyedBlendRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha,
                       std::uint32_t key);
void keyedBlendRowAvx512(std::uint32_t* d, const std::uint32_t* s, int n, int alpha,
                         std::uint32_t key);

// mixPixel with each source pixel's own alpha; with useKey, pixels whose RGB
// equals keyRgb count as alpha 0.
void alphaRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, bool useKey,
                  std::uint32_t keyRgb);

// Ink (0x00RRGGBB) through coverage c: (ink * c + d * (255 - c)) / 255 per
// colour channel, d's top byte kept.
void coverageRowSse2(std::uint32_t* d, const std::uint8_t* c, int n, std::uint32_t ink);

// Bit i of bits (64 to a word, low bit first) is set when pixel i's RGB is not
// key; bits past n in the last word are clear. Returns how many pixels are
// exactly key, top byte included.
int drawnBitsSse2(const std::uint32_t* s, int n, std::uint32_t key, std::uint64_t* bits);
int drawnBitsAvx2(const std::uint32_t* s, int n, std::uint32_t key, std::uint64_t* bits);
int drawnBitsAvx512(const std::uint32_t* s, int n, std::uint32_t key, std::uint64_t* bits);

// Blue, green, red bytes to 0x00RRGGBB.
void bgrRowScalar(std::uint32_t* d, const std::uint8_t* bgr, int n);
void bgrRowAvx2(std::uint32_t* d, const std::uint8_t* bgr, int n);

// A keyed picture drawn by its runs: the w x h rectangle at (sx, sy) of the
// picture, copied, or blended at a constant alpha, to d (where (sx, sy)
// lands), stride pixels a row. Only drawn pixels are read and written.
void copyRunsSse2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                  int w, int h);
void copyRunsAvx2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                  int w, int h);
void copyRunsAvx512(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                    int w, int h);
void blendRunsSse2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                   int w, int h, int alpha);
void blendRunsAvx2(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx, int sy,
                   int w, int h, int alpha);
void blendRunsAvx512(std::uint32_t* d, std::ptrdiff_t stride, const KeyRuns& runs, int sx,
                     int sy, int w, int h, int alpha);

// The fastest version of each kernel this processor runs.
struct Kernels {
    void (*keyedRow)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t);
    void (*blendRow)(std::uint32_t*, const std::uint32_t*, int, int);
    void (*keyedBlendRow)(std::uint32_t*, const std::uint32_t*, int, int, std::uint32_t);
    void (*copyRuns)(std::uint32_t*, std::ptrdiff_t, const KeyRuns&, int, int, int, int);
    void (*blendRuns)(std::uint32_t*, std::ptrdiff_t, const KeyRuns&, int, int, int, int, int);
    int (*drawnBits)(const std::uint32_t*, int, std::uint32_t, std::uint64_t*);
    void (*bgrRow)(std::uint32_t*, const std::uint8_t*, int);
};
const Kernels& kernels();

}  // namespace platform::simd
