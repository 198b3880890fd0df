#include "run/console.h"

#include <unistd.h>

namespace genera {

// A POSIX program always has the streams its parent gave it.
void collega_console() {}

std::vector<std::string> argomenti_programma(int argc, char** argv) { return {argv, argv + argc}; }

bool errori_su_terminale() { return isatty(STDERR_FILENO) != 0; }

void flussi_binari() {}
bool errori_su_console() { return isatty(STDERR_FILENO) != 0; }

}  // namespace genera
