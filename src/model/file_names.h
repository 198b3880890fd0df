// The names of the run's files, all built from the line name and the
// train code.
#pragma once

#include <string>

namespace genera {

inline std::string nome_sorgente_linea(const std::string& linea) { return linea + "_linea.txt"; }
inline std::string nome_sorgente_treno(const std::string& linea, const std::string& treno) {
  return linea + "_" + treno + "-.txt";
}
inline std::string nome_documento(const std::string& linea, const std::string& treno,
                                  const std::string& suffisso) {
  return linea + "_" + treno + "_" + suffisso;  // "note.txt", "rallentamenti.txt", ...
}
inline std::string nome_file_linea(const std::string& linea) { return linea + "_linea.dat"; }
inline std::string nome_file_scenario(const std::string& linea, const std::string& treno) {
  return linea + "_" + treno + ".sim";
}
inline std::string nome_file_percorso(const std::string& linea, const std::string& treno) {
  return linea + "_" + treno + ".dat";
}

}  // namespace genera
