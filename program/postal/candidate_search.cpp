#include "candidate_search.h"

#include <algorithm>

#if defined(TOVRA_VECTOR_SEARCH) && __has_include(<sys/platform/x86.h>)
#if defined(__clang__)
// glibc declares the helpers of this header with C's _Bool, which clang does not take in C++.
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#else
#include <sys/platform/x86.h>
#endif
#define TOVRA_ASK_THE_C_LIBRARY 1
#endif

#include "record_scan.h"

namespace tovra {
namespace {
// The widest vector search the scans may use; tests lower it to run every path on one machine.
int g_vector_width_limit = 512;
}  // namespace

namespace candidates {

// Asked of the C library, which has looked at the processor already: the compiler's own test
// would link a constructor that asks the processor again at every start, and each of those
// questions is slow under a hypervisor.
int VectorWidth() {
#if defined(TOVRA_ASK_THE_C_LIBRARY)
  static const int widest = CPU_FEATURE_ACTIVE(AVX512BW) ? 512 : CPU_FEATURE_ACTIVE(AVX2) ? 256 : 128;
#elif defined(TOVRA_VECTOR_SEARCH)
  static const int widest = 128;
#else
  static const int widest = 0;
#endif
  return std::min(widest, g_vector_width_limit);
}

}  // namespace candidates

namespace test_seams {
void LimitVectorWidth(int bits) { g_vector_width_limit = bits; }
}  // namespace test_seams

}  // namespace tovra
