#include <cstdio>

#include <unistd.h>

#include "run/wait_window.h"

namespace genera {

// No window system here: the wait text goes to a terminal, and to nobody
// when stderr is a pipe or a file, so scripts see only real messages.
void mostra_attesa() {
  if (isatty(STDERR_FILENO)) std::fputs("Attendere\n", stderr);
}

void chiudi_attesa() {}

}  // namespace genera
