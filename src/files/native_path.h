// Where a path meets the system. Inside the program every path is UTF-8
// text; these hand it to the system's file calls without a code page in
// between, so a folder may have any name.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace genera {

/// The UTF-8 `path` as std::filesystem takes it: built from UTF-16 on
/// Windows, the same bytes elsewhere.
std::filesystem::path native_path(const std::string& path);

/// std::fopen of the UTF-8 `path`: null on failure, with errno set.
std::FILE* open_file(const std::string& path, const char* mode);

/// std::remove of the UTF-8 `path`: 0 when deleted, else errno set.
int remove_file(const std::string& path);

/// Renames `from` to `to`, replacing a file there. Empty when done, else
/// the system's reason, as a user reads it.
std::string rename_file(const std::string& from, const std::string& to);

}  // namespace genera
