// `compile`, `check` and `plot`: the author's two sources through the same
// readers, post-pass and race codes as the built-in run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/compiled_scenario.h"

namespace genera {

/// What the three commands are given.
struct OpzioniSorgenti {
  std::string sorgente_linea;  // paths as the user wrote them
  std::string sorgente_treno;
  std::optional<std::string> nome_linea;    // else from the line source's name
  std::optional<std::string> codice_treno;  // else from the train source's name
  std::string cartella = ".";               // compile: where the files go
  bool senza_tracciato = false;             // --no-plan: j = 0
  bool json = false;
  bool silenzioso = false;                  // -q: no summary line
  bool avvisi_come_errori = false;          // --werror
  bool scrivi_con_errori = false;           // --emit-on-error
};

/// Writes the compact files into `o.cartella`, all of them or, when the
/// sources have errors (or warnings, with --werror), none; never touches
/// the sources. Returns the exit status; throws ErroreUso and ErroreFile.
int comando_compila(const OpzioniSorgenti& o);

/// Reads and reports, writes nothing. Returns the exit status.
int comando_verifica(const OpzioniSorgenti& o);

/// Draws the compiled sources into the SVG file `svg`, which must end in
/// ".svg". Returns the exit status.
int comando_disegna(const OpzioniSorgenti& o, const std::string& svg);

// ---- shared with `view` (view_command.cpp) ----

/// The line name and train code, from the options or the file names, checked
/// as `compile` checks them. Throws ErroreUso.
struct NomiSorgenti {
  std::string linea;
  std::string treno;
};
NomiSorgenti nomi_sorgenti(const OpzioniSorgenti& o);

/// The two texts compiled as `check` compiles them (with the plan), the
/// diagnostics shown on stderr.
ScenarioCompilato compila_testi(const OpzioniSorgenti& o, const NomiSorgenti& n,
                                std::string_view linea, std::string_view treno);

/// Throws ErroreFile when `path` names one of the sources.
void non_sulle_sorgenti(const std::string& path, const OpzioniSorgenti& o);

/// The exit status of a compile: 0, or 1 when a failure code was recorded.
int stato_uscita(const ScenarioCompilato& s, const OpzioniSorgenti& o);

// ---- end of what `view` shares ----

/// The summary of a compile: "89.0 km, 14 stations, 38 signals, 1 slowdown"
/// (and the warnings, when there are any).
std::string riepilogo_scenario(const ScenarioCompilato& s);

/// Creates `cartella` when it is missing. Throws ErroreFile when it
/// cannot be created or is not a folder.
void prepara_cartella(const std::string& cartella);

}  // namespace genera
