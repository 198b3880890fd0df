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

namespace {

bool inizia_con(const std::string& s, const std::string& p) {
  return s.size() >= p.size() && s.compare(0, p.size(), p) == 0 &&
         (s.size() == p.size() || s[p.size()] == '/');
}

/// True when a file of one of dpkg's lists of installed files lies
/// directly in `cartella`. (A folder that is only listed, as /tmp is, holds
/// no package's file.)
bool nelle_liste_dpkg(FileSystem& fs, const std::string& cartella) {
  const std::string info = "/var/lib/dpkg/info";
  if (fs.stat(info, true).kind != FileKind::folder) return false;
  std::vector<std::string> nomi;
  try {
    nomi = fs.list(info);
  } catch (const FileError&) {
    return false;
  }
  const std::string inizio = "\n" + (cartella == "/" ? std::string() : cartella) + "/";
  for (const std::string& n : nomi) {
    if (n.size() < 5 || n.compare(n.size() - 5, 5, ".list") != 0) continue;
    std::string lista;
    try {
      lista = "\n" + fs.read(join_path(info, n));
    } catch (const FileError&) {
      continue;
    }
    for (std::size_t at = lista.find(inizio); at != std::string::npos;
         at = lista.find(inizio, at + 1)) {
      const std::size_t fine = lista.find('\n', at + 1);
      const std::string resto =
          lista.substr(at + inizio.size(),
                       fine == std::string::npos ? std::string::npos : fine - at - inizio.size());
      if (!resto.empty() && resto != "." && resto.find('/') == std::string::npos) return true;
    }
  }
  return false;
}

}  // namespace

std::string cartella_installata(FileSystem& fs, const std::string& cartella) {
  std::string c = cartella;
  while (c.size() > 1 && c.back() == '/') c.pop_back();
  // The system's own trees; /usr/local is the administrator's, but its
  // program folders are installed programs all the same.
  for (const char* sistema :
       {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/etc", "/boot", "/usr/local/bin",
        "/usr/local/sbin", "/usr/local/games", "/usr/local/libexec", "/snap", "/var/lib"})
    if (inizia_con(c, sistema)) return "it holds the system's installed programs";
  if (inizia_con(c, "/usr") && !inizia_con(c, "/usr/local"))
    return "it holds the system's installed programs";
  if (nelle_liste_dpkg(fs, c)) return "it holds files that an installed package owns";
  return {};
}

}  // namespace genera
