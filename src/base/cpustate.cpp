#include "base/cpustate.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace planox {

#if defined(__x86_64__) || defined(__i386__)

namespace {
// Compiled for AVX alone, and only called where the processor has it.
__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }
}  // namespace

void ClearUpperVectorState() {
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) ZeroUpper();
}

#else

void ClearUpperVectorState() {}

#endif

}  // namespace planox
