// Row kernels behind the Surface blits. Each works on n pixels of one row,
// already clipped. The SSE2 versions run on any x86-64; the AVX2 and AVX-512
// versions are chosen at run time when the processor has them. All are
// exposed so the tests can hold each to the same results.
#pragma once

#include <cstdint>

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

// mixPixel with one constant alpha.
void blendRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);
void blendRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);
void blendRowAvx512(std::uint32_t* d, const std::uint32_t* s, int n, int alpha);

// mixPixel with each source pixel's own alpha; with useKey, pixels whose RGB
// equals keyRgb count as alpha 0.
void alphaRowSse2(std::uint32_t* d, const std::uint32_t* s, int n, bool useKey,
                  std::uint32_t keyRgb);

}  // namespace platform::simd
