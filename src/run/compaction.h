// The compaction step of a run and what it shares with the author's
// commands: reading the sources for the compiler, the deletions the rules
// ask for, the diagnostics on stderr, and the three compact files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "files/file_system.h"
#include "files/output_folder.h"
#include "run/diagnostics_output.h"
#include "run/form_load.h"

namespace genera {

/// The five documents as one set to be written into `cartella`, in the
/// run's order: the two sources, then the three driver documents.
std::vector<FileToWrite> documenti_da_scrivere(const std::string& cartella,
                                               const std::string& nome_linea,
                                               const std::string& codice_treno);

/// Replaces the five documents in `cartella`, all or none.
void scrivi_documenti(FileSystem& fs, const std::string& cartella, const std::string& nome_linea,
                      const std::string& codice_treno);

/// The source at `percorso` as the compiler takes it, named `nome`; its
/// bytes go into `contenuto`, which must outlive the result.
Sorgente leggi_sorgente(FileSystem& fs, const std::string& percorso, const std::string& nome,
                        std::string& contenuto);

/// The compact files of `s` as one set to be written into `cartella`: the
/// line compact file (only when `con_tracciato`), the scenario file and
/// the route file, in that order.
std::vector<FileToWrite> file_compatti(const std::string& cartella, const std::string& nome_linea,
                                       const std::string& codice_treno, const ScenarioCompilato& s,
                                       bool con_tracciato);

/// Compiles the run's two sources in `f.cartella` (deleting them as the
/// rules say) into `f.scenario` and reports the diagnostics; writes nothing.
void compila_percorso(Form1& f, int32_t j);

/// compila_percorso, then, unless a race-code slot was taken (then errore),
/// the compact files, replaced together.
void memorizza_percorso(Form1& f, int32_t j);

/// Tells the user, on stderr, what a clean-up after a commit could not
/// remove; the next run that writes into the folder removes it.
void riporta_avanzi(const OutputFolder& cartella);

/// Shows " Errore n. " & a, the run's one message of its own, and waits
/// until it is acknowledged. The caller then ends the run.
void errore(const std::string& a);

}  // namespace genera
