#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>

#include "files/utf16_win32.h"
#include "run/error_box.h"

namespace genera {
namespace {

// Owned by the wait window when it is the active one, so the box stays in
// front of it.
int box(const std::string& testo, const wchar_t* titolo, UINT stile) {
  return MessageBoxW(GetActiveWindow(), utf16_from_utf8(testo).c_str(), titolo, stile);
}

// stderr leads somewhere: to a console (collega_console has attached the
// one the program was started from) or to a file, a pipe, a device.
bool stderr_porta_altrove() {
  const HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(h) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

}  // namespace

// No title, so the system's default one; OK only, no icon.
void mostra_errore(const std::string& testo) {
  // A box that cannot be shown (no desktop to show it on) returns at once;
  // the text then goes where a console, if any, shows it.
  if (box(testo, nullptr, MB_OK) != IDOK) std::fprintf(stderr, "%s\n", testo.c_str());
}

void riporta_fallimento(const std::string& testo, TipoFallimento tipo) {
  // A script or a console must never wait on a box nobody may see.
  if (stderr_porta_altrove()) {
    std::fprintf(stderr, "%s\n", testo.c_str());
    std::fflush(stderr);
    return;
  }
  if (tipo == TipoFallimento::codice)
    mostra_errore(testo);
  else
    box(testo, L"genera_scenario", MB_OK | MB_ICONERROR);
}

}  // namespace genera
