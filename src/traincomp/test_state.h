// Test support: a build state as the line half leaves it (grid of 89000 m,
// U = 1920) with the train source held in memory.
#pragma once

#include <string>
#include <utility>

#include "files/file_system.h"
#include "model/route_model.h"

namespace genera {

struct StatoTreno {
  static constexpr const char* kPercorso = "/scenari/LIVRA_MONTALBA_R47316-.txt";
  static constexpr const char* kNome = "LIVRA_MONTALBA_R47316-.txt";

  explicit StatoTreno(int32_t lunghezza = 89000, int32_t prossimo_cartello = 80) {
    azzera_testata(f);
    f.j = 0;
    alloca_percorso(f, lunghezza);
    f.prossimo_cartello = prossimo_cartello;
    f.file_system = &fs;
    f.sorgente_treno = {kPercorso, kNome};
    f.sorgente_linea = {"/scenari/LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA_linea.txt"};
  }

  void sorgente(std::string testo) { fs.files[kPercorso] = std::move(testo); }
  bool sorgente_presente() const { return fs.files.count(kPercorso) != 0; }
  cella_percorso& cella(int32_t k) { return f.percorso.at(static_cast<std::size_t>(k)); }
  voce_testata& voce(int i) { return f.testata_linea.at(static_cast<std::size_t>(i)); }

  MemoryFileSystem fs;
  Form1 f;
};

}  // namespace genera
