#include "cli/guarded_file_system.h"

#include <filesystem>
#include <system_error>

#include "files/native_path.h"

namespace genera {

bool SorgentiIntatte::e_sorgente(const std::string& path) const {
  for (const std::string& s : sorgenti_) {
    if (s == path) return true;
    // Another spelling of the same file ("./a.txt", a link) counts too.
    std::error_code ec;
    if (std::filesystem::equivalent(native_path(s), native_path(path), ec))
      return true;
  }
  return false;
}

void SorgentiIntatte::remove(const std::string& path) {
  if (e_sorgente(path)) return;
  base_.remove(path);
}

void SorgentiIntatte::replace(const std::string& path,
                              const std::function<void(ByteSink&)>& produce) {
  if (e_sorgente(path)) throw errore_file("cannot write " + path + ": it is one of the sources");
  base_.replace(path, produce);
}

}  // namespace genera
