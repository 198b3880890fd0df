#include "linecomp/line_reader.h"

namespace genera {

bool leggi_sorgente_linea(Form1& f) {
  f.testata_linea[kVoceLinea].nome = f.nome_linea;
  f.testata_linea[kVoceRipetizione].nome = f.codice_treno;
  return false;
}

}  // namespace genera
