#include "run/console.h"

namespace genera {

// A POSIX program always has the streams its parent gave it.
void collega_console() {}

std::vector<std::string> argomenti_programma(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace genera
