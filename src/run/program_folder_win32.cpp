#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>

#include "files/utf16_win32.h"
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

}  // namespace

// Read wide and kept as UTF-8, so every folder name survives whatever the
// ANSI code page; the file layer turns it back into UTF-16.
std::string cartella_programma(const char* argv0) {
  const std::wstring cartella = cartella_di(percorso_modulo(), L"\\/");
  if (!cartella.empty()) return utf8_from_utf16(cartella);
  const std::string da_argv0 = cartella_di(std::string(argv0 != nullptr ? argv0 : ""), "\\/");
  return da_argv0.empty() ? std::string(".") : da_argv0;
}

}  // namespace genera
