#include "lsp/fields.h"

#include "model/schema.h"

namespace genera::lsp {

std::vector<DescrizioneCampo> campi_di(Chiave c) {
  const SchemaRecord& r = schema_record(c);
  std::vector<DescrizioneCampo> out;
  for (const Campo& f : r.campi) {
    DescrizioneCampo d;
    d.nome = f.nome;
    d.unita = f.unita;
    d.significato = f.significato;
    d.testo = f.lettura == Lettura::testo;
    d.memoria = f.memoria;
    if (!d.testo) {
      d.intervallo = "stored unchanged: " + scrivi_memorizzabile(f) +
                     " (outside: " + std::string(scrivi_fuori(f)) +
                     "); sensible: " + scrivi_sensato(r, f);
    }
    out.push_back(std::move(d));
  }
  return out;
}

std::string significato_record(Chiave c) { return std::string(schema_record(c).significato); }

}  // namespace genera::lsp
