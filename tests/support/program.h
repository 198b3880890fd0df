// What the tests of the built program share: running it in a folder as a
// user would, with its exit status, stdout and stderr, and writing and
// reading the files it works on. POSIX: the program goes through a shell.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace programma {

namespace fs = std::filesystem;

/// The whole content of a file; empty when it cannot be read.
inline std::string leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

/// Replaces the file at `p` with `bytes`.
inline void scrivi(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

/// The names in folder `d`.
inline std::set<std::string> nomi(const fs::path& d) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(d)) out.insert(e.path().filename().string());
  return out;
}

/// Text with LF line ends turned into the sources' CR LF.
inline std::string crlf(const std::string& testo) {
  std::string out;
  for (const char c : testo) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

/// `testo` with its first `da` replaced by `a`; the test fails when it has none.
inline std::string sostituisci(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t at = testo.find(da);
  EXPECT_NE(at, std::string::npos) << da;
  if (at != std::string::npos) testo.replace(at, da.size(), a);
  return testo;
}

/// `s` as one word for the shell.
inline std::string quota(const std::string& s) {
  std::string out = "'";
  for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

/// A table row's description as a GoogleTest name: "a length, over" gives
/// "a_length__over".
inline std::string nome_caso(const std::string& descrizione) {
  std::string out = descrizione;
  for (char& c : out)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return out;
}

/// What a run of the program gave.
struct Esito {
  int stato;  // the exit status; -1 when it did not exit (a signal)
  std::string out;
  std::string err;
};

/// Runs `programma` with `argomenti` in the folder `cartella`. Its stdout and
/// stderr pass through the files `appunti`.out and `appunti`.err, which are
/// removed afterwards: give each run that may overlap another its own.
inline Esito esegui(const std::string& programma, const fs::path& cartella,
                    const std::vector<std::string>& argomenti, const fs::path& appunti) {
  const fs::path out = appunti.string() + ".out", err = appunti.string() + ".err";
  std::string comando = "cd " + quota(cartella.string()) + " && " + quota(programma);
  for (const std::string& a : argomenti) comando += " " + quota(a);
  comando += " >" + quota(out.string()) + " 2>" + quota(err.string());
  const int stato = std::system(comando.c_str());
  Esito e{WIFEXITED(stato) ? WEXITSTATUS(stato) : -1, leggi(out), leggi(err)};
  fs::remove(out);
  fs::remove(err);
  return e;
}

}  // namespace programma
