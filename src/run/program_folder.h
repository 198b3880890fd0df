// Where the program's executable lies: the run's files go beside it.
#pragma once

#include <string>

namespace genera {

/// The folder of the running executable, without a trailing separator
/// (a root folder keeps its one separator). `argv0` is the fallback when
/// the platform cannot say.
std::string cartella_programma(const char* argv0);

}  // namespace genera
