#include "run/form_load.h"

#include "run/compaction.h"
#include "run/wait_window.h"
#include "sources/writers.h"

namespace genera {

void Form_Load(Form1& f) {
  f.nome_linea = kNomeLinea;
  f.codice_treno = kCodiceTreno;
  mostra_attesa();
  dati_linea(f);
  dati_treno(f);
  dati_note(f);
  dati_rallentamenti(f);
  dati_scheda(f);
  memorizza_percorso(f, 1);
  chiudi_attesa();
}

}  // namespace genera
