#include <filesystem>
#include <system_error>

#include "run/program_folder.h"

namespace genera {

std::string cartella_programma(const char* argv0) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(fs::path(argv0 != nullptr ? argv0 : "."), ec);
  const fs::path cartella = exe.parent_path();
  return cartella.empty() ? std::string(".") : cartella.string();
}

}  // namespace genera
