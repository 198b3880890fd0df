#include "files/native_path.h"

#include "files/utf16_win32.h"

namespace genera {

// The narrow CRT and std::filesystem calls would read the bytes in the
// ANSI code page (or as Latin-1): only the wide ones take every name.
std::filesystem::path native_path(const std::string& path) {
  return std::filesystem::path(utf16_from_utf8(path));
}

std::string utf8_path(const std::filesystem::path& path) { return utf8_from_utf16(path.native()); }

}  // namespace genera
