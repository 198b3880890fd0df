#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>

#include "files/native_path.h"
#include "files/utf16_win32.h"

namespace genera {

// The narrow CRT and std::filesystem calls would read the bytes in the
// ANSI code page (or as Latin-1): only the wide ones take every name.
std::filesystem::path native_path(const std::string& path) {
  return std::filesystem::path(utf16_from_utf8(path));
}

std::FILE* open_file(const std::string& path, const char* mode) {
  return _wfopen(utf16_from_utf8(path).c_str(), utf16_from_utf8(mode).c_str());
}

int remove_file(const std::string& path) { return _wremove(utf16_from_utf8(path).c_str()); }

// MoveFileExW itself: _wrename does not replace, and std::filesystem
// reports every failure of it as an input/output error.
std::string rename_file(const std::string& from, const std::string& to) {
  if (MoveFileExW(utf16_from_utf8(from).c_str(), utf16_from_utf8(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    return {};
  const DWORD codice = GetLastError();
  wchar_t* testo = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      codice, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  std::wstring motivo = n > 0 ? std::wstring(testo, n) : L"";
  if (testo != nullptr) LocalFree(testo);
  // "Access is denied.\r\n" reads "Access is denied" inside a message.
  while (!motivo.empty() && (motivo.back() == L'\n' || motivo.back() == L'\r' || motivo.back() == L' ' ||
                             motivo.back() == L'.'))
    motivo.pop_back();
  return motivo.empty() ? "Windows error " + std::to_string(codice) : utf8_from_utf16(motivo);
}

}  // namespace genera
