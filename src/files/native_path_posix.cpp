#include "files/native_path.h"

namespace genera {

// The system takes paths as bytes: UTF-8 goes through as it is.
std::filesystem::path native_path(const std::string& path) { return std::filesystem::path(path); }

std::string utf8_path(const std::filesystem::path& path) { return path.native(); }

}  // namespace genera
