// Small text helpers shared by the command line's outputs.
#pragma once

#include <string>

namespace genera {

/// printf-style formatting into a string of whatever length it needs.
std::string formato(const char* fmt, ...);

/// Stored 8-bit characters as UTF-8, read as Latin-1, so JSON and SVG
/// always receive valid text whatever the bytes.
std::string utf8_da_latin1(const std::string& s);

}  // namespace genera
