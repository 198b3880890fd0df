#include "run/form_load.h"

#include "run/compaction.h"
#include "run/wait_window.h"
#include "sources/writers.h"

namespace genera {

void Form_Load(Form1& f) {
  f.nome_linea = kNomeLinea;
  f.codice_treno = kCodiceTreno;
  const AttesaMostrata attesa;
  scrivi_documenti(*f.file_system, f.cartella, f.nome_linea, f.codice_treno);
  memorizza_percorso(f, 1);
}

}  // namespace genera
