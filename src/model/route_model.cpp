#include "model/route_model.h"

#include <utility>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {

void azzera_testata(Form1& f) {
  for (voce_testata& v : f.testata_linea) v = voce_testata{};
}

void richiedi_griglia(const Form1& f, const char* chi) {
  if (f.percorso.empty())
    throw errore_esecuzione(std::string(chi) + " comes before the line length: there is no grid yet");
}

bool rifiuta(Form1& f, messaggio* err, int32_t codice, int32_t posizione, std::string testo) {
  f.codice_errore = codice;
  f.posizione_errore = posizione;
  *err = {{}, 0, codice, posizione, std::move(testo)};
  return false;
}

void alloca_percorso(Form1& f, int32_t lunghezza) {
  const int64_t righe = static_cast<int64_t>(lunghezza) + kCodaLinea;
  if (righe < 0)
    throw errore_esecuzione("the line length " + std::to_string(lunghezza) +
                            " leaves no grid (it must be at least -7000)");
  const int32_t u = a_long(static_cast<double>(righe) / kMetriCella);
  f.percorso.assign(static_cast<std::size_t>(u) + 1, cella_percorso{});
  f.tracciato = tracciato_linea{};
  if (f.j != 0) {
    // Reserved, not filled: pages are only touched as points are computed.
    f.tracciato.righe = static_cast<int32_t>(righe + 1);
    f.tracciato.x.reserve(static_cast<std::size_t>(righe) + 1);
    f.tracciato.y.reserve(static_cast<std::size_t>(righe) + 1);
  }
}

}  // namespace genera
