// `compile`, `check` and `plot`: the author's two sources through the same
// readers, post-pass and race codes as the built-in run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/file_system.h"
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
  bool silenzioso = false;          // -q: no summary line
  bool avvisi_come_errori = false;  // --werror
  bool scrivi_con_errori = false;   // --emit-on-error
};

/// Writes the compact files into `o.cartella`, all of them or, when the
/// sources have errors (or warnings, with --werror), none; never touches
/// the sources. Returns the exit status; throws UsageError and FileError.
int comando_compila(const OpzioniSorgenti& o);

/// Reads and reports, writes nothing. Returns the exit status.
int comando_verifica(const OpzioniSorgenti& o);

/// Draws the compiled sources into the SVG file `svg`, which must end in
/// ".svg". Returns the exit status.
int comando_disegna(const OpzioniSorgenti& o, const std::string& svg);

/// The line name and train code, from the options or the file names. They
/// become file names, so a name holding / or \ and a train code "linea"
/// are refused with UsageError.
struct NomiSorgenti {
  std::string linea;
  std::string treno;
};
NomiSorgenti nomi_sorgenti(const OpzioniSorgenti& o);

/// The two texts, named by `o`'s paths, compiled as `check` compiles them
/// (with the plan, deleting nothing), the diagnostics shown on stderr.
ScenarioCompilato compila_testi(const OpzioniSorgenti& o, const NomiSorgenti& n,
                                std::string_view linea, std::string_view treno);

/// Throws FileError when `path` names one of the sources, by its name or
/// by another spelling of the same file ("./a.txt", a link, a second hard link).
void non_su_sorgente(FileSystem& disco, const std::string& path, const OpzioniSorgenti& o);

/// The exit status of a compile: 1 when it failed (an error, or a warning
/// with --werror), else 0.
int stato_uscita(const ScenarioCompilato& s, const OpzioniSorgenti& o);

/// The summary of a compile: "89.0 km, 14 stations, 38 signals, 1 slowdown"
/// (and the warnings, when there are any).
std::string riepilogo_scenario(const ScenarioCompilato& s);

/// Creates `cartella` when it is missing. Throws FileError when it
/// cannot be created or is not a folder.
void prepara_cartella(FileSystem& disco, const std::string& cartella);

}  // namespace genera
