#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>

#include "run/error_box.h"

namespace genera {

// Owned by the wait window when it is the active one, so the box stays in
// front of it; no title, so the system's default one; OK only, no icon.
void mostra_errore(const std::string& testo) {
  // A box that cannot be shown (no desktop to show it on) returns at once;
  // the text then goes where a console, if any, shows it.
  if (MessageBoxA(GetActiveWindow(), testo.c_str(), nullptr, MB_OK) != IDOK)
    std::fprintf(stderr, "%s\n", testo.c_str());
}

}  // namespace genera
