// `compile`, `check` and `plot`: the author's two sources through the same
// readers, post-pass and race codes as the built-in run.
#pragma once

#include <optional>
#include <string>

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

/// Creates `cartella` when it is missing. Throws ErroreFile when it
/// cannot be created or is not a folder.
void prepara_cartella(const std::string& cartella);

}  // namespace genera
