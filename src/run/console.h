// Where the command line's output goes: a console program's streams
// everywhere, also for the Windows build, which is a windowed program.
#pragma once

namespace genera {

/// Gives stdout and stderr to the console the program was started from,
/// where the platform leaves a windowed program without them. Streams that
/// are already redirected (to a file, a pipe) are left as they are.
void collega_console();

}  // namespace genera
