#include "lsp/memory_policy.h"

namespace genera::lsp {

// The Windows heap keeps freed blocks for reuse by itself.
void riusa_memoria_liberata() {}

}  // namespace genera::lsp
