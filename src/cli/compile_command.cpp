#include "cli/compile_command.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/exit_codes.h"
#include "cli/json_report.h"
#include "cli/naming.h"
#include "files/file_system.h"
#include "files/output_folder.h"
#include "model/text.h"
#include "run/compaction.h"
#include "run/error_box.h"
#include "run/wait_window.h"
#include "view/plot_svg.h"

namespace genera {
namespace {

/// The names become file names in the output folder, nowhere else.
void senza_separatori(const std::string& nome) {
  if (nome.find_first_of("/\\") != std::string::npos)
    throw UsageError("\"" + nome + "\": a line name or train code cannot hold / or \\");
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
  // Files the user names: a link to one is followed, a FIFO is not waited on.
  l.testo_linea = disco.read(o.sorgente_linea, true);
  l.testo_treno = disco.read(o.sorgente_treno, true);
  l.linea = {o.sorgente_linea, true, l.testo_linea, {}};
  l.treno = {o.sorgente_treno, true, l.testo_treno, {}};
}

/// The sources through the compiler, which deletes nothing; the
/// diagnostics on stderr.
ScenarioCompilato compila_sorgenti(const NomiSorgenti& n, const SorgentiLette& l,
                                   bool con_tracciato) {
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
    segnali += c.tipo == TipoCella::segnale ? 1 : 0;
    rallentamenti += c.tipo == TipoCella::inizio_rallentamento ? 1 : 0;
  }
  char km[32];
  std::snprintf(km, sizeof km, "%.1f km", lunghezza_linea(s) / 1000.0);
  std::string out = std::string(km) + ", " + conta(s.numero_stazioni, "station", "stations") +
                    ", " + conta(segnali, "signal", "signals") + ", " +
                    conta(rallentamenti, "slowdown", "slowdowns");
  if (const int avvisi = contati(s, Gravita::avviso); avvisi > 0)
    out += ", " + conta(avvisi, "warning", "warnings");
  return out;
}

/// The summary line, or nothing with -q.
std::string se_non_silenzioso(const OpzioniSorgenti& o, const std::string& riga) {
  return o.silenzioso ? std::string() : riga;
}

/// How compile, check and plot end, in one order: the line that says what
/// happened on stderr (none when empty), then the JSON report on stdout
/// when asked for. Returns `stato`.
int concludi(const ScenarioCompilato& s, const OpzioniSorgenti& o, const std::string& riga,
             const std::vector<std::string>& scritti, int stato) {
  if (!riga.empty()) std::fprintf(stderr, "%s\n", riga.c_str());
  if (o.json) std::fputs(rapporto_json(s, codice_finale(s), scritti).c_str(), stdout);
  return stato;
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
      const std::string nome =
          v != nullptr ? "W" + std::to_string(numero(d.avviso)) + " " + std::string(v->nome)
                       : "unnamed";
      if (nomi.find(nome) == std::string::npos) nomi += (nomi.empty() ? "" : ", ") + nome;
    }
    out += " (--werror counts " + std::string(avvisi == 1 ? "it" : "them") + " as errors: " + nomi +
           ")";
  }
  return out;
}

}  // namespace

NomiSorgenti nomi_sorgenti(const OpzioniSorgenti& o) {
  NomiSorgenti n;
  if (o.nome_linea) {
    n.linea = *o.nome_linea;
  } else if (auto l = nome_linea_da_file(o.sorgente_linea)) {
    n.linea = *l;
  } else {
    throw UsageError(o.sorgente_linea +
                     ": the name does not follow NAME_linea.txt; give the line name with "
                     "--line-name");
  }
  senza_separatori(n.linea);
  if (o.codice_treno) {
    n.treno = *o.codice_treno;
  } else if (auto c = codice_treno_da_file(o.sorgente_treno, n.linea)) {
    n.treno = *c;
  } else {
    throw UsageError(o.sorgente_treno + ": the name does not follow " + n.linea +
                     "_CODE-.txt; give the train code with --train-code");
  }
  senza_separatori(n.treno);
  // NAME_CODE.dat with CODE "linea" would be NAME_linea.dat, the plan's
  // file: one would overwrite the other (in any letter case, for Windows).
  if (in_minuscolo(n.treno) == "linea")
    throw UsageError("the train code \"" + n.treno +
                     "\" would give the route file the line compact file's name " + n.linea +
                     "_linea.dat");
  return n;
}

std::string riepilogo_scenario(const ScenarioCompilato& s) { return riepilogo(s); }

void non_su_sorgente(FileSystem& disco, const std::string& path, const OpzioniSorgenti& o) {
  const FileInfo uscita = disco.stat(path, true);
  for (const std::string& s : {o.sorgente_linea, o.sorgente_treno}) {
    if (s == path || (uscita.kind != FileKind::missing && disco.stat(s, true).id == uscita.id))
      throw FileError("cannot write " + path + ": it is one of the sources");
  }
}

int stato_uscita(const ScenarioCompilato& s, const OpzioniSorgenti& o) {
  return fallita(s, o) ? kUscitaCodice : kUscitaBuona;
}

void prepara_cartella(FileSystem& disco, const std::string& cartella) {
  disco.make_folders(cartella);
}

int comando_compila(const OpzioniSorgenti& o) {
  DiskFileSystem disco;
  const NomiSorgenti n = nomi_sorgenti(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  prepara_cartella(disco, o.cartella);
  // The same run as the built-in one, so the same wait window while it works.
  AttesaMostrata attesa;
  const ScenarioCompilato s = compila_sorgenti(n, l, !o.senza_tracciato);
  if (!s.scrivibile()) {
    // The box of the built-in run only where nothing else reaches the
    // user: a script or a console gets the line and the exit status. The
    // wait window stays behind the box, as in the built-in run.
    riporta_fallimento(" Errore n. " + std::to_string(numero(s.timbro)), TipoFallimento::codice);
    attesa.chiudi();
    return concludi(s, o, "", {}, kUscitaCodice);
  }
  if (fallita(s, o) && !o.scrivi_con_errori) {
    attesa.chiudi();
    std::string riga = std::string("genera_scenario: no file written: the sources have ") +
                       (ha_errori(s) ? "errors" : "warnings, and --werror counts them as errors") +
                       "; what " + o.cartella +
                       " holds is as it was (--emit-on-error writes the files all the same)";
    if (!o.silenzioso) riga += "\ncompile failed: " + conteggio(s, o);
    return concludi(s, o, riga, {}, kUscitaCodice);
  }
  const std::vector<FileToWrite> insieme =
      file_compatti(o.cartella, n.linea, n.treno, s, !o.senza_tracciato);
  std::vector<std::string> scritti;
  for (const FileToWrite& f : insieme) {
    non_su_sorgente(disco, f.path, o);
    scritti.push_back(f.path);
  }
  {
    // Another run writing the same folder waits: one complete set, never a mix.
    OutputFolder uscita(disco, o.cartella, {o.sorgente_linea, o.sorgente_treno});
    uscita.commit(insieme);
    riporta_avanzi(uscita);
  }
  attesa.chiudi();
  const std::string riga = "wrote " + conta(static_cast<int>(scritti.size()), "file", "files") +
                           " to " + o.cartella + ": " + riepilogo(s);
  return concludi(s, o, se_non_silenzioso(o, riga), scritti, stato_uscita(s, o));
}

int comando_verifica(const OpzioniSorgenti& o) {
  DiskFileSystem disco;
  const NomiSorgenti n = nomi_sorgenti(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  const ScenarioCompilato s = compila_sorgenti(n, l, !o.senza_tracciato);
  const std::string riga = fallita(s, o) ? "check failed: " + conteggio(s, o)
                                         : "checked " + o.sorgente_linea + " and " +
                                               o.sorgente_treno + ": " + riepilogo(s);
  return concludi(s, o, se_non_silenzioso(o, riga), {}, stato_uscita(s, o));
}

int comando_disegna(const OpzioniSorgenti& o, const std::string& svg) {
  if (!finisce_con(in_minuscolo(svg), ".svg"))
    throw UsageError(svg + ": plot draws SVG; give the picture a name ending in .svg");
  DiskFileSystem disco;
  const NomiSorgenti n = nomi_sorgenti(o);
  SorgentiLette l;
  leggi_sorgenti(disco, o, l);
  // The picture needs the plan.
  const ScenarioCompilato s = compila_sorgenti(n, l, true);
  const std::string disegno = disegna_svg(s);
  non_su_sorgente(disco, svg, o);
  disco.replace(svg, [&](ByteSink& b) { b.write(disegno.data(), disegno.size()); },
                {o.sorgente_linea, o.sorgente_treno});
  return concludi(s, o, se_non_silenzioso(o, "wrote " + svg + ": " + riepilogo(s)), {svg},
                  stato_uscita(s, o));
}

ScenarioCompilato compila_testi(const OpzioniSorgenti& o, const NomiSorgenti& n,
                                std::string_view linea, std::string_view treno) {
  SorgentiLette l;
  l.linea = {o.sorgente_linea, true, linea, {}};
  l.treno = {o.sorgente_treno, true, treno, {}};
  return compila_sorgenti(n, l, true);
}

void opzioni_sorgenti(CLI::App& c, OpzioniSorgenti& o) {
  c.add_option("LINE_SOURCE", o.sorgente_linea, "the line source, NAME_linea.txt")->required();
  c.add_option("TRAIN_SOURCE", o.sorgente_treno, "the train source, NAME_CODE-.txt")->required();
  c.add_option("--line-name", o.nome_linea,
               "the line name, when the line source's file name does not carry it");
  c.add_option("--train-code", o.codice_treno,
               "the train code, when the train source's file name does not carry it");
}

ComandoAggiunto aggiungi_compila(CLI::App& programma) {
  auto o = std::make_shared<OpzioniSorgenti>();
  CLI::App* c = programma.add_subcommand(
      "compile", "compile a line source and a train source into the three compact files");
  opzioni_sorgenti(*c, *o);
  c->add_option("-o,--out", o->cartella, "the folder to write into")->capture_default_str();
  c->add_flag("--emit-on-error", o->scrivi_con_errori,
              "write the files even when the sources have errors, as the built-in run does");
  c->add_flag("--werror", o->avvisi_come_errori,
              "count warnings as errors: then nothing is written");
  c->add_flag("-q,--quiet", o->silenzioso, "no summary line on success");
  c->add_flag("--no-plan", o->senza_tracciato,
              "skip the plan: no line compact file (NAME_linea.dat)");
  c->add_flag("--json", o->json, "print a JSON report on stdout");
  return {c, [o] { return comando_compila(*o); }};
}

ComandoAggiunto aggiungi_verifica(CLI::App& programma) {
  auto o = std::make_shared<OpzioniSorgenti>();
  CLI::App* c = programma.add_subcommand(
      "check", "read both sources and report what is wrong; write nothing");
  opzioni_sorgenti(*c, *o);
  c->add_flag("--no-plan", o->senza_tracciato, "skip the plan, and with it the curve records");
  c->add_flag("--json", o->json, "print a JSON report on stdout");
  c->add_flag("--werror", o->avvisi_come_errori, "count warnings as errors");
  c->add_flag("-q,--quiet", o->silenzioso, "no summary line on success");
  return {c, [o] { return comando_verifica(*o); }};
}

ComandoAggiunto aggiungi_disegna(CLI::App& programma) {
  struct Opzioni {
    OpzioniSorgenti sorgenti;
    std::string svg;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "plot", "draw the plan and the profiles of a line source and a train source as SVG");
  opzioni_sorgenti(*c, o->sorgenti);
  c->add_option("-o,--out,--output", o->svg, "the SVG file to write")->required();
  c->add_flag("--json", o->sorgenti.json, "print a JSON report on stdout");
  c->add_flag("-q,--quiet", o->sorgenti.silenzioso, "no summary line");
  return {c, [o] { return comando_disegna(o->sorgenti, o->svg); }};
}

}  // namespace genera
