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
    const DWORD n =
        GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
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
Testo folder_of(const Testo& file, const typename Testo::value_type* separatori) {
  const auto fine = file.find_last_of(separatori);
  if (fine == Testo::npos) return {};
  if (fine == 0 || file[fine - 1] == ':') return file.substr(0, fine + 1);
  return file.substr(0, fine);
}

}  // namespace

// Read wide and kept as UTF-8, so every folder name survives whatever the
// ANSI code page; the file layer turns it back into UTF-16.
std::string cartella_programma(const char* argv0) {
  const std::wstring cartella = folder_of(percorso_modulo(), L"\\/");
  if (!cartella.empty()) return utf8_from_utf16(cartella);
  const std::string da_argv0 = folder_of(std::string(argv0 != nullptr ? argv0 : ""), "\\/");
  return da_argv0.empty() ? std::string(".") : da_argv0;
}

}  // namespace genera

namespace genera {
namespace {

std::wstring ambiente(const wchar_t* nome) {
  wchar_t valore[32768];
  const DWORD n = GetEnvironmentVariableW(nome, valore, 32768);
  return n > 0 && n < 32768 ? std::wstring(valore, n) : std::wstring();
}

std::wstring minuscolo(std::wstring s) {
  if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
  while (s.size() > 3 && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
  return s;
}

}  // namespace

// The folders Windows keeps its own programs and installed ones in.
std::string cartella_installata(FileSystem&, const std::string& cartella) {
  const std::wstring c = minuscolo(utf16_from_utf8(cartella));
  for (const wchar_t* nome :
       {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"}) {
    const std::wstring sistema = minuscolo(ambiente(nome));
    if (sistema.size() < 3) continue;
    if (c.size() >= sistema.size() && c.compare(0, sistema.size(), sistema) == 0 &&
        (c.size() == sistema.size() || c[sistema.size()] == L'\\' || c[sistema.size()] == L'/'))
      return "it holds the system's installed programs";
  }
  return {};
}

}  // namespace genera
