#include "sources/writers.h"

#include "model/file_names.h"
#include "files/file_system.h"

namespace genera {

// The range ends with the list: a list without a sentinel is written whole
// and never read past its last entry.
void scrivi_righe(Form1& f, const std::string& nome, const lista_righe& righe) {
  f.file_system->replace(percorso_file(f.cartella, nome), [&](ByteSink& s) {
    for (const std::string& riga : righe) {
      if (riga == kSentinella) break;
      s.write(riga.data(), riga.size());
      s.write("\r\n", 2);
    }
  });
}

}  // namespace genera
