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
#include "view/plot_svg.h"
#include "files/file_system.h"
#include "files/folder_lock.h"
#include "files/native_path.h"
#include "model/text.h"
#include "run/compaction.h"
#include "run/error_box.h"
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
    if (s == path || std::filesystem::equivalent(native_path(s), native_path(path), ec))
      throw ErroreFile("cannot write " + path + ": it is one of the sources");
  }
}

/// The sources through the compiler, which deletes nothing; the
/// diagnostics on stderr.
ScenarioCompilato compila_sorgenti(const Nomi& n, const SorgentiLette& l, bool con_tracciato) {
  ScenarioCompilato s = compila(l.linea, l.treno, {n.linea, n.treno, con_tracciato}, non_eliminare);
  riporta_diagnostiche(s.diagnostiche,
                       {{l.linea.nome, l.linea.testo}, {l.treno.nome, l.treno.testo}});
  return s;
}

int contati(const ScenarioCompilato& s, Gravita g) {
  int n = 0;
  for (const Diagnostica& d : s.diagnostiche) n += d.gravita == g ? 1 : 0;
  return n;
}

/// True when the compile failed: an error, or a warning with --werror.
bool fallita(const ScenarioCompilato& s, const OpzioniSorgenti& o) {
  return ha_errori(s) || (o.avvisi_come_errori && contati(s, Gravita::avviso) > 0);
}

int uscita(const ScenarioCompilato& s, const OpzioniSorgenti& o) {
  return fallita(s, o) ? kUscitaCodice : kUscitaBuona;
}

/// The failure code a report ends with: a taken race-code slot, else the parse's.
Codice codice_finale(const ScenarioCompilato& s) {
  return s.scrivibile() ? s.codice_errore : s.timbro;
}

std::string conta(int n, const char* una, const char* molte) {
  return std::to_string(n) + " " + (n == 1 ? una : molte);
}

/// "89.0 km, 14 stations, 38 signals, 1 slowdown" (and the warnings).
std::string riepilogo(const ScenarioCompilato& s) {
  int segnali = 0, rallentamenti = 0;
  for (const cella_percorso& c : s.percorso) {
    segnali += c.tipo == cella_segnale ? 1 : 0;
    rallentamenti += c.tipo == cella_inizio_rallentamento ? 1 : 0;
  }
  char km[32];
  std::snprintf(km, sizeof km, "%.1f km", s.testata_linea[kVoceTreno].dato2 / 1000.0);
  std::string out = std::string(km) + ", " + conta(s.numero_stazioni, "station", "stations") +
                    ", " + conta(segnali, "signal", "signals") + ", " +
                    conta(rallentamenti, "slowdown", "slowdowns");
  if (const int avvisi = contati(s, Gravita::avviso); avvisi > 0)
    out += ", " + conta(avvisi, "warning", "warnings");
  return out;
}

/// "2 errors, 1 warning", and with --werror the warnings it counted.
std::string conteggio(const ScenarioCompilato& s, const OpzioniSorgenti& o) {
  const int errori = contati(s, Gravita::errore), avvisi = contati(s, Gravita::avviso);
  std::string out = conta(errori, "error", "errors") + ", " + conta(avvisi, "warning", "warnings");
  if (o.avvisi_come_errori && avvisi > 0) {
    std::string nomi;
    for (const Diagnostica& d : s.diagnostiche) {
      if (d.gravita != Gravita::avviso) continue;
      const VoceAvviso* v = cerca_avviso(numero(d.avviso));
      const std::string nome = v != nullptr ? "W" + std::to_string(numero(d.avviso)) + " " +
                                                  std::string(v->nome)
                                            : "unnamed";
      if (nomi.find(nome) == std::string::npos) nomi += (nomi.empty() ? "" : ", ") + nome;
    }
    out += " (--werror counts " + std::string(avvisi == 1 ? "it" : "them") + " as errors: " +
           nomi + ")";
  }
  return out;
}

void di(const OpzioniSorgenti& o, const std::string& riga) {
  if (!o.silenzioso) std::fprintf(stderr, "%s\n", riga.c_str());
}

}  // namespace

void prepara_cartella(const std::string& cartella) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p = native_path(cartella);
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
    // The box of the built-in run only where nothing else reaches the
    // user: a script or a console gets the line and the exit status. The
    // wait window stays behind the box, as in the built-in run.
    riporta_fallimento(" Errore n. " + std::to_string(numero(s.timbro)), TipoFallimento::codice);
    chiudi_attesa();
    return kUscitaCodice;
  }
  if (fallita(s, o) && !o.scrivi_con_errori) {
    chiudi_attesa();
    if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {}).c_str(), stdout);
    std::fprintf(stderr,
                 "genera_scenario: no file written: the sources have %s; what %s holds is as it "
                 "was (--emit-on-error writes the files all the same)\n",
                 ha_errori(s) ? "errors" : "warnings, and --werror counts them as errors",
                 o.cartella.c_str());
    di(o, "compile failed: " + conteggio(s, o));
    return kUscitaCodice;
  }
  const std::vector<FileDaScrivere> insieme =
      file_compatti(o.cartella, n.linea, n.treno, s, !o.senza_tracciato);
  std::vector<std::string> scritti;
  for (const FileDaScrivere& f : insieme) {
    non_su_sorgente(f.percorso, o);
    scritti.push_back(f.percorso);
  }
  {
    // Another run writing the same folder waits: one complete set, never a mix.
    const BloccoCartella blocco(o.cartella);
    disco.replace_all(insieme);
  }
  chiudi_attesa();
  di(o, "wrote " + conta(static_cast<int>(scritti.size()), "file", "files") + " to " +
            o.cartella + ": " + riepilogo(s));
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), scritti).c_str(), stdout);
  return uscita(s, o);
}

int comando_verifica(const OpzioniSorgenti& o) {
  DiskFileSystem disco;
  const Nomi n = nomina(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  const ScenarioCompilato s = compila_sorgenti(n, l, !o.senza_tracciato);
  if (!fallita(s, o))
    di(o, "checked " + o.sorgente_linea + " and " + o.sorgente_treno + ": " + riepilogo(s));
  else
    di(o, "check failed: " + conteggio(s, o));
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {}).c_str(), stdout);
  return uscita(s, o);
}

int comando_disegna(const OpzioniSorgenti& o, const std::string& svg) {
  if (!finisce_con(in_minuscolo(svg), ".svg"))
    throw ErroreUso(svg + ": plot draws SVG; give the picture a name ending in .svg");
  DiskFileSystem disco;
  const Nomi n = nomina(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  // The picture needs the plan.
  const ScenarioCompilato s = compila_sorgenti(n, l, true);
  const std::string disegno = disegna_svg(s);
  non_su_sorgente(svg, o);
  disco.replace(svg, [&](ByteSink& b) { b.write(disegno.data(), disegno.size()); });
  di(o, "wrote " + svg + ": " + riepilogo(s));
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), {svg}).c_str(), stdout);
  return uscita(s, o);
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

int stato_uscita(const ScenarioCompilato& s, const OpzioniSorgenti& o) { return uscita(s, o); }

}  // namespace genera
