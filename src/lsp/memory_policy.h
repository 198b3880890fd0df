// How the server's process keeps memory between compiles. Every edit
// compiles the pair anew, and a compile asks for the same large blocks (the
// grid, the plan) as the one before; handed back to the system and asked
// for again, their pages are faulted in and zeroed every time, which cost
// more than the compile itself.
#pragma once

namespace genera::lsp {

/// Keeps the blocks a compile frees for the next one, where the C library
/// allows it (glibc); nothing elsewhere.
void riusa_memoria_liberata();

}  // namespace genera::lsp
