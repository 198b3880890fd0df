#include "sources/writers.h"

#include "model/file_names.h"
#include "model/file_system.h"

namespace genera {

void scrivi_righe(Form1& f, const std::string& nome, const lista_righe& righe) {
  f.file_system->replace(percorso_file(f.cartella, nome), [&](ByteSink& s) {
    for (const std::string& riga : righe) {
      if (riga == kSentinella) break;
      s.write(riga.data(), riga.size());
      s.write("\r\n", 2);
    }
  });
}

void dati_linea(Form1&) {}
void dati_treno(Form1&) {}
void dati_note(Form1&) {}
void dati_rallentamenti(Form1&) {}
void dati_scheda(Form1&) {}

}  // namespace genera
