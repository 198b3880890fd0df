// The program's command line: with no arguments the built-in run, as
// always; with a command the scenario author's tool.
#pragma once

#include <functional>

namespace genera {

/// Parses the command line, runs what it asks for and returns the exit
/// status: 0 no failure code, 1 a failure code recorded, 2 a usage error,
/// 3 a file that could not be read, written or decoded.
int esegui_comandi(int argc, char** argv);

/// Runs `comando` and returns its status; an exception it throws becomes a
/// message on stderr and a status: UsageError 2, FileError and any other
/// std::exception 3.
int con_stato_di_uscita(const std::function<int()>& comando);

}  // namespace genera
