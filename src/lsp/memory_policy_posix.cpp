#include "lsp/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace genera::lsp {

void riusa_memoria_liberata() {
#if defined(__GLIBC__)
  // Large blocks from the heap, not from a mapping of their own, and the
  // heap's top kept: the next compile reuses the same pages.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
}

}  // namespace genera::lsp
