#include "files/native_path.h"

#include <cerrno>
#include <cstring>

namespace genera {

// The system takes paths as bytes: UTF-8 goes through as it is.
std::filesystem::path native_path(const std::string& path) { return std::filesystem::path(path); }

std::FILE* open_file(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

int remove_file(const std::string& path) { return std::remove(path.c_str()); }

std::string rename_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
}

}  // namespace genera
