// The program's one message of its own: a modal box on Windows, a line on
// stderr elsewhere.
#pragma once

#include <string>

namespace genera {

/// Shows `testo` and waits until the user has acknowledged it.
void mostra_errore(const std::string& testo);

}  // namespace genera
