#include "sources/text_layout.h"

#include <algorithm>
#include <stdexcept>

namespace genera {

std::string a_sinistra(std::string_view testo, std::size_t larghezza) {
  if (testo.size() > larghezza) {
    throw std::length_error("\"" + std::string(testo) + "\" is wider than its " +
                            std::to_string(larghezza) + " characters");
  }
  std::string cella(testo);
  cella.resize(larghezza, ' ');
  return cella;
}

std::string testo_cartello(std::initializer_list<std::string_view> righe) {
  std::size_t larghezza = 0;
  for (std::string_view riga : righe) larghezza = std::max(larghezza, riga.size());
  std::string testo;
  for (std::string_view riga : righe) testo += "(" + a_sinistra(riga, larghezza) + ")";
  return testo;
}

ListaRighe chiudi_lista(const std::vector<std::string>& righe) {
  ListaRighe lista;
  if (righe.size() >= lista.size()) {
    throw std::length_error(std::to_string(righe.size()) + " lines leave no room for the sentinel");
  }
  std::copy(righe.begin(), righe.end(), lista.begin());
  lista[righe.size()] = kSentinella;
  return lista;
}

}  // namespace genera
