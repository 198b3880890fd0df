// Small text helpers shared by the command line's outputs.
#pragma once

#include <string>

namespace genera {

/// printf-style formatting into a string of whatever length it needs.
std::string formato(const char* fmt, ...);

}  // namespace genera
