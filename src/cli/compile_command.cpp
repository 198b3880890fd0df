#include "cli/compile_command.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/guarded_file_system.h"
#include "cli/json_report.h"
#include "cli/naming.h"
#include "cli/plot_svg.h"
#include "files/file_system.h"
#include "files/native_path.h"
#include "model/route_model.h"
#include "run/compaction.h"
#include "run/error_box.h"
#include "run/wait_window.h"

namespace genera {
namespace {

/// The names become file names in the output folder, nowhere else.
void senza_separatori(const std::string& nome) {
  if (nome.find_first_of("/\\") != std::string::npos)
    throw errore_uso("\"" + nome + "\": a line name or train code cannot hold / or \\");
}

void nomina(Form1& f, const opzioni_sorgenti& o) {
  if (o.nome_linea) {
    f.nome_linea = *o.nome_linea;
  } else if (auto n = nome_linea_da_file(o.sorgente_linea)) {
    f.nome_linea = *n;
  } else {
    throw errore_uso(o.sorgente_linea +
                     ": the name does not follow NAME_linea.txt; give the line name with "
                     "--line-name");
  }
  senza_separatori(f.nome_linea);
  if (o.codice_treno) {
    f.codice_treno = *o.codice_treno;
  } else if (auto c = codice_treno_da_file(o.sorgente_treno, f.nome_linea)) {
    f.codice_treno = *c;
  } else {
    throw errore_uso(o.sorgente_treno + ": the name does not follow " + f.nome_linea +
                     "_CODE-.txt; give the train code with --train-code");
  }
  senza_separatori(f.codice_treno);
  // NAME_CODE.dat with CODE "linea" would be NAME_linea.dat, the plan's
  // file: one would overwrite the other (in any letter case, for Windows).
  std::string minuscolo = f.codice_treno;
  for (char& c : minuscolo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (minuscolo == "linea")
    throw errore_uso("the train code \"" + f.codice_treno +
                     "\" would give the route file the line compact file's name " + f.nome_linea +
                     "_linea.dat");
}

/// Both sources must be readable before anything is written: a mistyped
/// path is the user's error to fix, not a failure code of the parse.
void controlla_sorgenti(FileSystem& disco, const opzioni_sorgenti& o) {
  disco.read(o.sorgente_linea);
  disco.read(o.sorgente_treno);
}

std::string testo_codici_gara(int32_t esito) {
  return esito == 1250
             ? "a record has already put a value into a race-code marker slot (entry 85 "
               "intero1 or cell 1 valore1), so no compact file can be written"
             : "a record has already put a value into a race-code slot (entry 85 dato4 or "
               "cell 1 valore2), so no compact file can be written";
}

/// Sources and the parse up to the race codes, as the built-in run does
/// them, on a named `f`. Returns 0, 1250 or 1251; a taken slot is also a
/// message.
int32_t leggi(Form1& f, FileSystem& fs, const opzioni_sorgenti& o) {
  f.cartella = o.cartella;
  f.file_system = &fs;
  f.sorgente_linea = {o.sorgente_linea, o.sorgente_linea};
  f.sorgente_treno = {o.sorgente_treno, o.sorgente_treno};
  const int32_t esito = compatta(f, o.senza_tracciato ? 0 : 1);
  if (esito != 0) f.messaggi.push_back({"", 0, esito, std::nullopt, testo_codici_gara(esito)});
  riporta_messaggi(f);
  return esito;
}

int uscita(const Form1& f, int32_t esito) {
  return f.codice_errore != 0 || esito != 0 ? kUscitaCodice : kUscitaBuona;
}

}  // namespace

void prepara_cartella(const std::string& cartella) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p = native_path(cartella);
  if (fs::is_directory(p, ec)) return;
  if (fs::exists(p, ec))
    throw errore_file("cannot write into " + cartella + ": it is not a folder");
  fs::create_directories(p, ec);
  if (ec) throw errore_file("cannot create the folder " + cartella + ": " + ec.message());
}

int comando_compila(const opzioni_sorgenti& o) {
  DiskFileSystem disco;
  Form1 f;
  nomina(f, o);
  controlla_sorgenti(disco, o);
  prepara_cartella(o.cartella);
  SorgentiIntatte protetto(disco, {o.sorgente_linea, o.sorgente_treno});
  // The same run as the built-in one, so the same wait window while it works.
  mostra_attesa();
  const int32_t esito = leggi(f, protetto, o);
  if (esito != 0) {
    if (o.json) std::fputs(rapporto_json(f, esito, {}).c_str(), stdout);
    // The box of the built-in run only where nothing else reaches the
    // user: a script or a console gets the line and the exit status.
    riporta_fallimento(" Errore n. " + std::to_string(esito), TipoFallimento::codice);
    return kUscitaCodice;
  }
  const std::vector<std::string> scritti = scrivi_file_compatti(f);
  chiudi_attesa();
  if (o.json) std::fputs(rapporto_json(f, f.codice_errore, scritti).c_str(), stdout);
  return uscita(f, esito);
}

int comando_verifica(const opzioni_sorgenti& o) {
  DiskFileSystem disco;
  Form1 f;
  nomina(f, o);
  controlla_sorgenti(disco, o);
  SoloLettura sola(disco);
  const int32_t esito = leggi(f, sola, o);
  if (o.json)
    std::fputs(rapporto_json(f, esito != 0 ? esito : f.codice_errore, {}).c_str(), stdout);
  return uscita(f, esito);
}

int comando_disegna(const opzioni_sorgenti& o, const std::string& svg) {
  DiskFileSystem disco;
  Form1 f;
  nomina(f, o);
  controlla_sorgenti(disco, o);
  SoloLettura sola(disco);
  opzioni_sorgenti con_tracciato = o;
  con_tracciato.senza_tracciato = false;  // the picture needs the plan
  const int32_t esito = leggi(f, sola, con_tracciato);
  const std::string disegno = disegna_svg(f);
  SorgentiIntatte protetto(disco, {o.sorgente_linea, o.sorgente_treno});
  protetto.replace(svg, [&](ByteSink& s) { s.write(disegno.data(), disegno.size()); });
  if (o.json)
    std::fputs(rapporto_json(f, esito != 0 ? esito : f.codice_errore, {svg}).c_str(), stdout);
  return uscita(f, esito);
}

}  // namespace genera
