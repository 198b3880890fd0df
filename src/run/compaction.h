// The compaction step of a run and what it shares with the author's
// commands: reading the sources for the compiler, the deletions the rules
// ask for, the diagnostics on stderr, and the three compact files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "files/file_system.h"
#include "run/diagnostics_output.h"
#include "run/form_load.h"

namespace genera {

/// Replaces the five documents in `cartella`, in the run's order.
void scrivi_documenti(FileSystem& fs, const std::string& cartella, const std::string& nome_linea,
                      const std::string& codice_treno);

/// The source at `percorso` as the compiler takes it, named `nome`; its
/// bytes go into `contenuto`, which must outlive the result.
Sorgente leggi_sorgente(FileSystem& fs, const std::string& percorso, const std::string& nome,
                        std::string& contenuto);

/// Writes the line compact file (only when `con_tracciato`), the scenario
/// file and the route file of `s` into `cartella`, in that order, each
/// replaced whole. Returns the paths written. Throws ErroreFile naming the
/// path that failed.
std::vector<std::string> scrivi_file_compatti(FileSystem& fs, const std::string& cartella,
                                              const std::string& nome_linea,
                                              const std::string& codice_treno,
                                              const ScenarioCompilato& s, bool con_tracciato);

/// The compact files of `s` as one set to be written into `cartella`: the
/// line compact file (only when `con_tracciato`), the scenario file and
/// the route file, in that order.
std::vector<FileDaScrivere> file_compatti(const std::string& cartella,
                                          const std::string& nome_linea,
                                          const std::string& codice_treno,
                                          const ScenarioCompilato& s, bool con_tracciato);

/// Compiles the run's two sources in `f.cartella` (deleting them as the
/// rules say), reports the diagnostics, and, unless a race-code slot was
/// taken (then errore), writes the compact files.
void memorizza_percorso(Form1& f, int32_t j);

/// Shows " Errore n. " & a, the run's one message of its own, and waits
/// until it is acknowledged. The caller then ends the run.
void errore(const std::string& a);

}  // namespace genera
