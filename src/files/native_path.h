// Where a path meets the system. Inside the program every path is UTF-8
// text; native_path hands it to the system's file calls without a code page
// in between, so a folder may have any name. Every path the file layer
// gives the system goes through it.
#pragma once

#include <filesystem>
#include <string>

namespace genera {

/// The UTF-8 `path` as the system takes it: built from UTF-16 on Windows,
/// the same bytes elsewhere.
std::filesystem::path native_path(const std::string& path);

/// The system's `path` as UTF-8 text again.
std::string utf8_path(const std::filesystem::path& path);

}  // namespace genera
