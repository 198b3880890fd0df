#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>

#include "run/program_folder.h"

namespace genera {
namespace {

// The full path of the running module, however long; empty on failure.
std::wstring percorso_modulo() {
  std::wstring percorso(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
    if (n == 0) return {};
    if (n < percorso.size()) {
      percorso.resize(n);
      return percorso;
    }
    if (percorso.size() >= 65536) return {};
    percorso.resize(percorso.size() * 2);
  }
}

// The folder part of a file path: "C:\a\b.exe" -> "C:\a". A root keeps its
// separator ("X:\b.exe" -> "X:\", "\b.exe" -> "\"). Empty without a folder.
template <typename Testo>
Testo cartella_di(const Testo& file, const typename Testo::value_type* separatori) {
  const auto fine = file.find_last_of(separatori);
  if (fine == Testo::npos) return {};
  if (fine == 0 || file[fine - 1] == ':') return file.substr(0, fine + 1);
  return file.substr(0, fine);
}

// The text in the ANSI code page, the one fopen and remove take. `esatto`
// says whether every character had a form there.
std::string in_ansi(const std::wstring& testo, bool& esatto) {
  esatto = true;
  if (testo.empty()) return {};
  const int lunghezza = static_cast<int>(testo.size());
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, testo.data(), lunghezza, nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) {
    esatto = false;
    return {};
  }
  std::string risultato(static_cast<std::size_t>(n), '\0');
  BOOL sostituito = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, testo.data(), lunghezza, risultato.data(), n, nullptr,
                      &sostituito);
  esatto = sostituito == FALSE;
  return risultato;
}

// The folder's 8.3 form, plain ASCII on most volumes; empty when none.
std::wstring forma_breve(const std::wstring& cartella) {
  const DWORD n = GetShortPathNameW(cartella.c_str(), nullptr, 0);
  if (n == 0) return {};
  std::wstring breve(n, L'\0');
  const DWORD scritti = GetShortPathNameW(cartella.c_str(), breve.data(), n);
  if (scritti == 0 || scritti >= n) return {};
  breve.resize(scritti);
  return breve;
}

}  // namespace

std::string cartella_programma(const char* argv0) {
  const std::wstring cartella = cartella_di(percorso_modulo(), L"\\/");
  if (cartella.empty()) {
    const std::string da_argv0 = cartella_di(std::string(argv0 != nullptr ? argv0 : ""), "\\/");
    return da_argv0.empty() ? std::string(".") : da_argv0;
  }
  bool esatto = false;
  const std::string ansi = in_ansi(cartella, esatto);
  if (esatto) return ansi;
  // A name the code page cannot spell: its short form usually can. Failing
  // that, the nearest spelling makes the first file access fail with the
  // path named, rather than writing somewhere else.
  const std::string breve = in_ansi(forma_breve(cartella), esatto);
  if (esatto && !breve.empty()) return breve;
  return ansi;
}

}  // namespace genera
