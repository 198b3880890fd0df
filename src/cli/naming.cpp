#include "cli/naming.h"

#include "files/file_system.h"

namespace genera {
namespace {

std::string nome_del_file(const std::string& percorso) { return name_of(percorso); }

bool finisce_con(const std::string& s, const std::string& coda) {
  return s.size() >= coda.size() && s.compare(s.size() - coda.size(), coda.size(), coda) == 0;
}

}  // namespace

std::optional<std::string> nome_linea_da_file(const std::string& percorso) {
  const std::string nome = nome_del_file(percorso);
  const std::string coda = "_linea.txt";
  if (!finisce_con(nome, coda) || nome.size() == coda.size()) return std::nullopt;
  return nome.substr(0, nome.size() - coda.size());
}

std::optional<std::string> codice_treno_da_file(const std::string& percorso,
                                                const std::string& nome_linea) {
  const std::string nome = nome_del_file(percorso);
  const std::string testa = nome_linea + "_";
  const std::string coda = "-.txt";
  // The code must not be empty: "NAME_-.txt" names no train.
  if (nome.size() <= testa.size() + coda.size()) return std::nullopt;
  if (nome.compare(0, testa.size(), testa) != 0 || !finisce_con(nome, coda)) return std::nullopt;
  return nome.substr(testa.size(), nome.size() - testa.size() - coda.size());
}

}  // namespace genera
