// The byte search in front of the record reader: where in a stretch of the file a record may
// be worth reading. Written once, over a vector of the processor's width.
//
// For each block of W positions p (W the vector's width in bytes, a few vectors per block):
//
//     candidates = (byte[p] is the line end AND byte[p+1] <= ',')     -- a line that may be
//                                                                        blank or begin with a comma
//                | OR over needles n: byte[p] == n.first AND byte[p + n.size-1] == n.last
//     for each set bit q of candidates, in order:
//         if q >= to: no candidate in the stretch
//         if verify(q): q is the candidate
//
// Comparing a needle's first and last bytes only, rather than all of it, lets one pass look
// for several needles at once; verify() compares the rest. The needle count is a template
// argument so that the needles' bytes stay in registers: this loop runs over every byte of
// the stretch. The widest vector the processor has is chosen at run time (SSE2 always, AVX2
// and AVX-512BW where present); where the blocks leave a short rest, the caller's byte loop
// takes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TOVRA_VECTOR_SEARCH 1
#endif

namespace tovra::candidates {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The widest vector the searches may use in bits (512, 256, 128), or 0 where the processor
// or the build has none: then the caller's byte loop does all the work.
int VectorWidth();

// What the search compares of each of N needles: its first and last bytes, and how far the
// last stands from the first.
template <std::size_t N>
struct NeedleEnds {
  explicit NeedleEnds(const std::vector<std::string>& needles) {
    for (std::size_t i = 0; i < N; ++i) {
      first[i] = needles[i].front();
      last[i] = needles[i].back();
      tail[i] = needles[i].size() - 1;
      if (needles[i].size() > longest) longest = needles[i].size();
    }
  }
  char first[N], last[N];
  std::size_t tail[N];
  std::size_t longest = 1;
};

// How far ahead of the search the next bytes are asked for. The file is seldom in the cache
// when a search starts, and the processor's own prefetching stops at every 4 KB page: a page
// ahead, the search no longer waits at each one (0.2 ms less over KEN_ALL.CSV).
constexpr std::size_t kPrefetchAhead = 4096;

}  // namespace tovra::candidates

#if defined(TOVRA_VECTOR_SEARCH)

// The algorithm, once per instruction set: each inclusion is compiled for the instructions
// its region names, and its Find runs over the `Vector` of that region (SSE2 and AVX2: the
// byte vector of their width; AVX-512BW: mask registers).
namespace tovra::candidates::sse2 {
#include "candidate_search.inc"
using Vector = ByteVector<16>;
}  // namespace tovra::candidates::sse2

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace tovra::candidates::avx2 {
#include "candidate_search.inc"
using Vector = ByteVector<32>;
}  // namespace tovra::candidates::avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512bw"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512bw")
#endif
namespace tovra::candidates::avx512 {
#include "candidate_search.inc"
// Each test is a mask register: about half the instructions of the AVX2 loop.
struct MaskVector {
  using Reg = __m512i;
  using Bits = __mmask64;
  static constexpr std::size_t kBytes = 64;
  static constexpr int kPerBlock = 1;
  static Reg Load(const char* at) { return _mm512_loadu_si512(at); }
  static Reg Splat(char c) { return _mm512_set1_epi8(c); }
  static Bits Equal(Reg a, Reg b) { return _mm512_cmpeq_epi8_mask(a, b); }
  static Bits AtMost(Reg a, Reg limit) { return _mm512_cmple_epu8_mask(a, limit); }
  static Bits And(Bits a, Bits b) { return a & b; }
  static Bits Or(Bits a, Bits b) { return a | b; }
  static std::uint64_t Mask(Bits b) { return b; }
};
using Vector = MaskVector;
}  // namespace tovra::candidates::avx512
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace tovra::candidates {

// The widest search the processor runs, for N needles; each narrower one takes over where the
// wider one leaves the last block short, and the caller's byte loop ends the stretch.
template <std::size_t N, typename Verify>
std::size_t Find(const char* base, std::size_t size, std::size_t& p, std::size_t to, char eol,
                 const std::vector<std::string>& needles, Verify verify) {
  const int width = VectorWidth();
  const NeedleEnds<N> ends(needles);
  if (width >= 512) {
    const std::size_t hit = avx512::FindWith<N, avx512::Vector>(base, size, p, to, eol, ends, verify);
    if (hit != kNone || p >= to) return hit;
  }
  if (width >= 256) {
    const std::size_t hit = avx2::FindWith<N, avx2::Vector>(base, size, p, to, eol, ends, verify);
    if (hit != kNone || p >= to) return hit;
  }
  if (width < 128) return kNone;
  return sse2::FindWith<N, sse2::Vector>(base, size, p, to, eol, ends, verify);
}

}  // namespace tovra::candidates

#endif
