// Where the program's executable lies: the run's files go beside it.
#pragma once

#include <string>

#include "files/file_system.h"

namespace genera {

/// The folder of the running executable, without a trailing separator
/// (a root folder keeps its one separator). `argv0` is the fallback when
/// the platform cannot say.
std::string cartella_programma(const char* argv0);

/// Why `cartella` belongs to the system's installed programs, or nothing
/// when it does not: a folder the system keeps its programs and libraries
/// in, or (on Debian) one that holds a file a package installed. The run
/// without arguments never writes there, whoever runs it.
std::string cartella_installata(FileSystem& fs, const std::string& cartella);

}  // namespace genera
