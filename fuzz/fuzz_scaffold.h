// What every fuzz target shares: a build state over an in-memory disk,
// with the run's usual names, and the checks that must hold after any run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/file_names.h"
#include "files/file_system.h"
#include "model/route_model.h"

namespace genera::fuzz {

/// A Form1 over `disk`, sources in folder "f" with the built-in names.
inline void prepara(Form1& f, MemoryFileSystem& disk, const std::string& linea,
                    const std::string& treno) {
  f.file_system = &disk;
  f.cartella = "f";
  f.nome_linea = "LIVRA_MONTALBA";
  f.codice_treno = "R47316";
  f.sorgente_linea = {percorso_file("f", nome_sorgente_linea(f.nome_linea)),
                      nome_sorgente_linea(f.nome_linea)};
  f.sorgente_treno = {percorso_file("f", nome_sorgente_treno(f.nome_linea, f.codice_treno)),
                      nome_sorgente_treno(f.nome_linea, f.codice_treno)};
  disk.files[f.sorgente_linea.percorso] = linea;
  disk.files[f.sorgente_treno.percorso] = treno;
}

/// The plan flag for an input: set for one input size in sixteen. Building
/// the plan costs a metre-by-metre walk of the whole line, which would take
/// most executions away from the readers' own paths; sizes change with
/// almost every mutation, so both sides stay well explored.
inline int32_t piano_per(std::size_t size) { return size % 16 == 0 ? 1 : 0; }

/// Stops the fuzzer with a finding when `ok` is false.
inline void verifica(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

/// The model's own bounds: the grid and the plan agree with the length.
inline void verifica_modello(const Form1& f) {
  verifica(f.prossimo_cartello >= 0 && f.prossimo_cartello <= kPrimoCartello, "board entry in range");
  if (f.tracciato.presente()) {
    verifica(f.tracciato.x.size() == f.tracciato.y.size(), "plan columns agree");
    verifica(f.tracciato.righe_valide() <= f.tracciato.righe, "plan rows in range");
  }
}

}  // namespace genera::fuzz
