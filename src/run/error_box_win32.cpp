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

// The stream leads somewhere: to a console (collega_console has attached
// the one the program was started from) or to a file, a pipe, a device.
bool porta_altrove(DWORD quale) {
  const HANDLE h = GetStdHandle(quale);
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

void riporta_fallimento(const std::string& testo, TipoFallimento tipo, const std::string& consiglio,
                        const std::string& consiglio_finestra) {
  // A script or a console must never wait on a box nobody may see.
  if (porta_altrove(STD_ERROR_HANDLE)) {
    std::fprintf(stderr, "%s\n", testo.c_str());
    if (!consiglio.empty()) std::fprintf(stderr, "%s\n", consiglio.c_str());
    std::fflush(stderr);
    return;
  }
  if (tipo == TipoFallimento::codice)
    mostra_errore(testo);
  else
    box(consiglio_finestra.empty() ? testo : testo + "\n\n" + consiglio_finestra,
        L"genera_scenario", MB_OK | MB_ICONERROR);
}

bool testo_in_finestra() { return !porta_altrove(STD_OUTPUT_HANDLE); }

void mostra_testo(const std::string& testo) {
  if (!testo_in_finestra()) {
    std::fputs(testo.c_str(), stdout);
    std::fflush(stdout);
    return;
  }
  std::string senza_fine = testo;
  while (!senza_fine.empty() && senza_fine.back() == '\n') senza_fine.pop_back();
  box(senza_fine, L"genera_scenario", MB_OK | MB_ICONINFORMATION);
}

}  // namespace genera
