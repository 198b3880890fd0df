#include "sources/writers.h"

#include "model/file_names.h"

namespace genera {

std::array<Documento, 5> documenti(const std::string& linea, const std::string& treno) {
  return {{
      {nome_sorgente_linea(linea), &dati_linea},
      {nome_sorgente_treno(linea, treno), &dati_treno},
      {nome_documento(linea, treno, "note.txt"), &dati_note},
      {nome_documento(linea, treno, "rallentamenti.txt"), &dati_rallentamenti},
      {nome_documento(linea, treno, "scheda_treno.txt"), &dati_scheda},
  }};
}

}  // namespace genera
