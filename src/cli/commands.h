// The program's command line: with no arguments the built-in run, as
// always; with a command the scenario author's tool.
#pragma once

namespace genera {

/// Parses the command line, runs what it asks for and returns the exit
/// status: 0 no failure code, 1 a failure code recorded, 2 a usage error,
/// 3 a file that could not be read, written or decoded.
int esegui_comandi(int argc, char** argv);

}  // namespace genera
