#include "run/console.h"

namespace genera {

// A POSIX program always has the streams its parent gave it.
void collega_console() {}

}  // namespace genera
