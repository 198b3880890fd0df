#include "cli/compile_command.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/json_report.h"
#include "cli/naming.h"
#include "cli/plot_svg.h"
#include "files/file_system.h"
#include "model/text.h"
#include "run/compaction.h"
#include "run/wait_window.h"

namespace genera {
namespace {

/// The names become file names in the output folder, nowhere else.
void senza_separatori(const std::string& nome) {
  if (nome.find_first_of("/\\") != std::string::npos)
    throw ErroreUso("\"" + nome + "\": a line name or train code cannot hold / or \\");
}

struct Nomi {
  std::string linea;
  std::string treno;
};

Nomi nomina(const OpzioniSorgenti& o) {
  Nomi n;
  if (o.nome_linea) {
    n.linea = *o.nome_linea;
  } else if (auto l = nome_linea_da_file(o.sorgente_linea)) {
    n.linea = *l;
  } else {
    throw ErroreUso(o.sorgente_linea +
                     ": the name does not follow NAME_linea.txt; give the line name with "
                     "--line-name");
  }
  senza_separatori(n.linea);
  if (o.codice_treno) {
    n.treno = *o.codice_treno;
  } else if (auto c = codice_treno_da_file(o.sorgente_treno, n.linea)) {
    n.treno = *c;
  } else {
    throw ErroreUso(o.sorgente_treno + ": the name does not follow " + n.linea +
                     "_CODE-.txt; give the train code with --train-code");
  }
  senza_separatori(n.treno);
  // NAME_CODE.dat with CODE "linea" would be NAME_linea.dat, the plan's
  // file: one would overwrite the other (in any letter case, for Windows).
  if (in_minuscolo(n.treno) == "linea")
    throw ErroreUso("the train code \"" + n.treno +
                     "\" would give the route file the line compact file's name " + n.linea +
                     "_linea.dat");
  return n;
}

/// The author's two sources, read once. Both must be readable before
/// anything is written: a mistyped path is the user's error to fix, not a
/// failure code of the parse.
struct SorgentiLette {
  std::string testo_linea;
  std::string testo_treno;
  Sorgente linea;
  Sorgente treno;
};

void leggi_sorgenti(FileSystem& disco, const OpzioniSorgenti& o, SorgentiLette& l) {
  l.testo_linea = disco.read(o.sorgente_linea);
  l.testo_treno = disco.read(o.sorgente_treno);
  l.linea = {o.sorgente_linea, disco.exists(o.sorgente_linea), l.testo_linea, {}};
  l.treno = {o.sorgente_treno, disco.exists(o.sorgente_treno), l.testo_treno, {}};
}

/// An output must never land on one of the sources, by name or by another
/// spelling of the same file ("./a.txt", a link).
void non_su_sorgente(const std::string& path, const OpzioniSorgenti& o) {
  for (const std::string& s : {o.sorgente_linea, o.sorgente_treno}) {
    std::error_code ec;
    if (s == path || std::filesystem::equivalent(std::filesystem::path(s),
                                                  std::filesystem::path(path), ec))
      throw ErroreFile("cannot write " + path + ": it is one of the sources");
  }
}

/// The sources through the compiler, which deletes nothing; the
/// diagnostics on stderr, and a taken race-code slot as one more.
ScenarioCompilato compila_sorgenti(const Nomi& n, const SorgentiLette& l, bool con_tracciato) {
  ScenarioCompilato s = compila(l.linea, l.treno, {n.linea, n.treno, con_tracciato}, non_eliminare);
  if (!s.scrivibile())
    s.diagnostiche.push_back(
        {Gravita::errore, s.timbro, {}, std::string(voce_codice(s.timbro).sommario), {}});
  riporta_diagnostiche(s.diagnostiche);
  return s;
}

int uscita(const ScenarioCompilato& s) {
  return s.codice_errore != Codice::nessuno || !s.scrivibile() ? kUscitaCodice : kUscitaBuona;
}

/// The failure code a report ends with: a taken race-code slot, else the parse's.
Codice codice_finale(const ScenarioCompilato& s) {
  return s.scrivibile() ? s.codice_errore : s.timbro;
}

}  // namespace

void prepara_cartella(const std::string& cartella) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(cartella);
  if (fs::is_directory(p, ec)) return;
  if (fs::exists(p, ec))
    throw ErroreFile("cannot write into " + cartella + ": it is not a folder");
  fs::create_directories(p, ec);
  if (ec) throw ErroreFile("cannot create the folder " + cartella + ": " + ec.message());
}

int comando_compila(const OpzioniSorgenti& o) {
  DiskFileSystem disco;
  const Nomi n = nomina(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  prepara_cartella(o.cartella);
  // The same run as the built-in one, so the same wait window while it works.
  mostra_attesa();
  const ScenarioCompilato s = compila_sorgenti(n, l, !o.senza_tracciato);
  if (!s.scrivibile()) {
    if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {}).c_str(), stdout);
    errore(std::to_string(numero(s.timbro)));
    return kUscitaCodice;
  }
  const std::vector<std::string> scritti =
      scrivi_file_compatti(disco, o.cartella, n.linea, n.treno, s, !o.senza_tracciato,
                           [&](const std::string& p) { non_su_sorgente(p, o); });
  chiudi_attesa();
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), scritti).c_str(), stdout);
  return uscita(s);
}

int comando_verifica(const OpzioniSorgenti& o) {
  DiskFileSystem disco;
  const Nomi n = nomina(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  const ScenarioCompilato s = compila_sorgenti(n, l, !o.senza_tracciato);
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {}).c_str(), stdout);
  return uscita(s);
}

int comando_disegna(const OpzioniSorgenti& o, const std::string& svg) {
  DiskFileSystem disco;
  const Nomi n = nomina(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  // The picture needs the plan.
  const ScenarioCompilato s = compila_sorgenti(n, l, true);
  const std::string disegno = disegna_svg(s);
  non_su_sorgente(svg, o);
  disco.replace(svg, [&](ByteSink& b) { b.write(disegno.data(), disegno.size()); });
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {svg}).c_str(), stdout);
  return uscita(s);
}

// ---- shared with `view` ----

NomiSorgenti nomi_sorgenti(const OpzioniSorgenti& o) {
  const Nomi n = nomina(o);
  return {n.linea, n.treno};
}

ScenarioCompilato compila_testi(const OpzioniSorgenti& o, const NomiSorgenti& n,
                                std::string_view linea, std::string_view treno) {
  SorgentiLette l;
  l.linea = {o.sorgente_linea, true, linea, {}};
  l.treno = {o.sorgente_treno, true, treno, {}};
  return compila_sorgenti({n.linea, n.treno}, l, true);
}

void non_sulle_sorgenti(const std::string& path, const OpzioniSorgenti& o) { non_su_sorgente(path, o); }

int stato_uscita(const ScenarioCompilato& s) { return uscita(s); }

}  // namespace genera
