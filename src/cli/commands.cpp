#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/compile_command.h"
#include "cli/explain_command.h"
#include "cli/help_format.h"
#include "cli/exit_codes.h"
#include "cli/inspect_command.h"
#include "cli/view_command.h"
#include "files/file_system.h"
#include "files/native_path.h"
#include "run/compaction.h"
#include "run/console.h"
#include "run/error_box.h"
#include "run/form_load.h"
#include "model/text.h"
#include "run/program_folder.h"
#include "sources/writers.h"
#include "view/view_server.h"

#ifndef GENERA_VERSION
#define GENERA_VERSION "unknown"
#endif

namespace genera {
namespace {

/// What to do from Explorer, where no command can be typed.
#ifdef _WIN32
constexpr char kManuale[] = "manual\\index.html beside the program";
#endif

/// The built-in scenario, written into `cartella`. On a console it says
/// what it wrote, as the commands do; a script's stderr stays as it was.
int comando_predefinito(const std::string& cartella, bool silenzioso) {
  DiskFileSystem disco;
  Form1 f;
  f.file_system = &disco;
  f.cartella = cartella;
  Form_Load(f);
  const ScenarioCompilato& s = f.scenario;
  if (s.scrivibile() && !silenzioso && errori_su_console())
    std::fprintf(stderr, "wrote 6 files to %s: %s\n", cartella.c_str(), riepilogo_scenario(s).c_str());
  return s.codice_errore != Codice::nessuno || !s.scrivibile() ? kUscitaCodice : kUscitaBuona;
}

/// Stops the run before it writes anything when `cartella` cannot take a
/// new file: an installed program's folder (/usr/bin) is not the user's to
/// write. The probe creates and removes a file of a name no run uses; asking
/// for permissions alone is wrong for root and on some file systems.
bool verifica_cartella_programma(const std::string& cartella) {
  std::random_device casuale;
  const auto ora = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string prova = percorso_file(
      cartella, ".genera_scenario-probe-" + std::to_string(casuale()) + "-" + std::to_string(ora));
  std::FILE* file = open_file(prova, "wb");
  if (file == nullptr) {
    riporta_fallimento("genera_scenario: cannot write into " + cartella +
                           ", the program's own folder: " + std::strerror(errno),
                       TipoFallimento::arresto,
                       "Write the scenario into another folder with: genera_scenario --out DIR",
                       "Copy the program into a folder you can write, such as Documents, and "
                       "start it there.");
    return false;
  }
  std::fclose(file);
  remove_file(prova);
  return true;
}

/// The built-in sources and documents, not compiled. Files already there
/// may be an author's edited sources: they are only replaced on request.
int comando_sorgenti(const std::string& cartella, bool sovrascrivi, bool silenzioso) {
  prepara_cartella(cartella);
  DiskFileSystem disco;
  if (!sovrascrivi) {
    for (const Documento& d : documenti(kNomeLinea, kCodiceTreno)) {
      const std::string p = percorso_file(cartella, d.nome);
      if (disco.exists(p))
        throw ErroreFile("cannot write " + p + ": it exists already (--force replaces it)");
    }
  }
  scrivi_documenti(disco, cartella, kNomeLinea, kCodiceTreno);
  if (!silenzioso) {
    const auto scritti = documenti(kNomeLinea, kCodiceTreno);
    std::fprintf(stderr, "wrote %zu files to %s: %s, %s and %zu driver documents\n", scritti.size(),
                 cartella.c_str(), scritti[0].nome.c_str(), scritti[1].nome.c_str(), scritti.size() - 2);
  }
  return kUscitaBuona;
}

/// What a box says instead of "Run with --help": started from Explorer
/// (a file dropped onto the program, a shortcut with arguments), nothing
/// can be typed.
std::string consiglio_da_explorer() {
#ifdef _WIN32
  return std::string("Started from Explorer, the program takes no files or options: a double "
                     "click writes the built-in scenario into the program's folder. The "
                     "commands are typed in cmd or PowerShell; the manual is ") +
         kManuale + ".";
#else
  return "";
#endif
}

/// Arguments the command line does not know, in the order given, each with
/// the closest option of its command as a suggestion.
void rifiuta_avanzi(CLI::App& app) {
  CLI::App* comando = &app;
  for (CLI::App* sub : app.get_subcommands()) comando = sub;
  std::vector<std::string> avanzi = app.remaining();
  if (comando != &app)
    for (const std::string& a : comando->remaining()) avanzi.push_back(a);
  if (avanzi.empty()) return;
  std::string testo;
  for (const std::string& a : avanzi) {
    testo += (testo.empty() ? "" : ", ") + std::string("\"") + a + "\"";
    if (a.empty() || a[0] != '-') continue;
    std::string migliore;
    std::size_t distanza_minima = 3;
    for (const CLI::Option* opt : comando->get_options()) {
      for (const std::string& nome : opt->get_lnames()) {
        const std::size_t d = distanza(a, "--" + nome);
        if (d < distanza_minima) distanza_minima = d, migliore = "--" + nome;
      }
    }
    if (!migliore.empty()) testo += " (did you mean " + migliore + "?)";
  }
  throw ErroreUso((avanzi.size() == 1 ? "unknown argument " : "unknown arguments ") + testo);
}

void opzioni_nomi(CLI::App& c, OpzioniSorgenti& o) {
  c.add_option("LINE_SOURCE", o.sorgente_linea, "the line source, NAME_linea.txt")->required();
  c.add_option("TRAIN_SOURCE", o.sorgente_treno, "the train source, NAME_CODE-.txt")->required();
  c.add_option("--line-name", o.nome_linea,
               "the line name, when the line source's file name does not carry it");
  c.add_option("--train-code", o.codice_treno,
               "the train code, when the train source's file name does not carry it");
}

int esegui(int argc, char** argv) {
  CLI::App app{
      "Builds the scenario pack of a train-driving simulator. Without a command it "
      "writes and compiles the built-in scenario (line LIVRA_MONTALBA, train R47316) "
      "in the program's own folder.",
      "genera_scenario"};
  usa_formato_aiuto(app, testo_in_finestra());
  app.set_version_flag("--version", std::string("genera_scenario ") + GENERA_VERSION);
  app.require_subcommand(0, 1);
  app.footer(
      "Exit status: 0 no failure code, 1 a failure code recorded, 2 usage error, "
      "3 a file that cannot be read, written or decoded.\n"
#ifdef _WIN32
      "Manual: manual\\index.html beside the program; a first scenario step by step: "
      "manual\\tutorial.html."
#else
      "Manual: man genera_scenario; the source formats: man 5 genera_scenario-linea\n"
      "and man 5 genera_scenario-treno; a first scenario step by step:\n"
      "/usr/share/doc/genera-scenario/docs/tutorial.md.gz"
#endif
  );

  app.allow_extras();
  std::optional<std::string> out_predefinito;
  app.add_option("-o,--out", out_predefinito,
                 "write the built-in scenario into this folder instead of the program's own");
  bool silenzioso_predefinito = false;
  app.add_flag("-q,--quiet", silenzioso_predefinito, "no summary line on a console");

  std::string out_sorgenti = ".";
  CLI::App* sorgenti = app.add_subcommand(
      "sources", "write the built-in line source, train source and three documents, uncompiled");
  sorgenti->add_option("-o,--out", out_sorgenti, "the folder to write into")->capture_default_str();
  bool sovrascrivi = false;
  sorgenti->add_flag("--force", sovrascrivi, "replace files that exist already");
  bool sorgenti_silenzioso = false;
  sorgenti->add_flag("-q,--quiet", sorgenti_silenzioso, "no summary line");

  OpzioniSorgenti compila_o;
  CLI::App* compila = app.add_subcommand(
      "compile", "compile a line source and a train source into the three compact files");
  opzioni_nomi(*compila, compila_o);
  compila->add_option("-o,--out", compila_o.cartella, "the folder to write into")
      ->capture_default_str();
  compila->add_flag("--emit-on-error", compila_o.scrivi_con_errori,
                    "write the files even when the sources have errors, as the built-in run "
                    "does");
  compila->add_flag("--werror", compila_o.avvisi_come_errori,
                    "count warnings as errors: then nothing is written");
  compila->add_flag("-q,--quiet", compila_o.silenzioso, "no summary line on success");
  compila->add_flag("--no-plan", compila_o.senza_tracciato,
                    "skip the plan: no line compact file (NAME_linea.dat)");
  compila->add_flag("--json", compila_o.json, "print a JSON report on stdout");

  OpzioniSorgenti verifica_o;
  CLI::App* verifica =
      app.add_subcommand("check", "read both sources and report what is wrong; write nothing");
  opzioni_nomi(*verifica, verifica_o);
  verifica->add_flag("--no-plan", verifica_o.senza_tracciato,
                     "skip the plan, and with it the curve records");
  verifica->add_flag("--json", verifica_o.json, "print a JSON report on stdout");
  verifica->add_flag("--werror", verifica_o.avvisi_come_errori, "count warnings as errors");
  verifica->add_flag("-q,--quiet", verifica_o.silenzioso, "no summary line on success");

  std::vector<std::string> da_ispezionare;
  bool ispeziona_json = false;
  CLI::App* ispeziona = app.add_subcommand(
      "inspect", "decode compact files (.sim, .dat, _linea.dat) into readable tables");
  ispeziona->add_option("FILE", da_ispezionare, "the files to decode")->required();
  ispeziona->add_flag("--json", ispeziona_json, "print one JSON object on stdout");

  OpzioniSorgenti disegna_o;
  std::string svg;
  CLI::App* disegna = app.add_subcommand(
      "plot", "draw the plan and the profiles of a line source and a train source as SVG");
  opzioni_nomi(*disegna, disegna_o);
  disegna->add_option("-o,--out,--output", svg, "the SVG file to write")->required();
  disegna->add_flag("--json", disegna_o.json, "print a JSON report on stdout");
  disegna->add_flag("-q,--quiet", disegna_o.silenzioso, "no summary line");

  std::optional<std::string> da_spiegare;
  bool spiega_markdown = false;
  CLI::App* spiega = app.add_subcommand(
      "explain", "explain a failure code: what it means, its usual cause, how to fix it");
  spiega->add_option("CODE", da_spiegare, "the failure code; without it, the list of codes");
  spiega->add_flag("--markdown", spiega_markdown, "print every code as a Markdown page");

  // ---- view ----
  OpzioniSorgenti vista_o;
  std::optional<std::string> html;
  bool servi = false;
  int porta = kPortaVista;
  CLI::App* vista = app.add_subcommand(
      "view", servizio_disponibile()
                  ? "write an interactive HTML page of the line, linked to the sources; with "
                    "--serve, a live preview that follows edits"
                  : "write an interactive HTML page of the line, linked to the sources");
  opzioni_nomi(*vista, vista_o);
  CLI::Option* vista_file =
      vista->add_option("-o,--out,--output", html, "the HTML file to write (default NAME_CODE.html)");
  CLI::Option* vista_servi = vista->add_flag(
      "--serve", servi,
      "serve the page on 127.0.0.1 and update it whenever a source changes; writes nothing");
  CLI::Option* vista_porta = vista->add_option("--port", porta, "the port for --serve (0: any free port)")
                                ->capture_default_str()
                                ->check(CLI::Range(0, 65535))
                                ->needs(vista_servi);
  vista_file->excludes(vista_servi);
  // A build without the server does not offer it; asked for all the same,
  // it says why not.
  if (!servizio_disponibile()) {
    vista_servi->group("");
    vista_porta->group("");
  }
  vista->add_flag("-q,--quiet", vista_o.silenzioso, "no summary line");
  // ---- end of view ----

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::ostringstream uscita, errori;
    const int stato = app.exit(e, uscita, errori);
    if (!uscita.str().empty()) mostra_testo(uscita.str());
    if (std::string testo = errori.str(); !testo.empty()) {
      if (testo.back() == '\n') testo.pop_back();
      std::string consiglio;
      if (const std::size_t a = testo.rfind("\nRun with --help"); a != std::string::npos) {
        consiglio = testo.substr(a + 1);
        testo.erase(a);
      }
      riporta_fallimento(testo, TipoFallimento::arresto, consiglio, consiglio_da_explorer());
    }
    return stato == 0 ? kUscitaBuona : kUscitaUso;
  }

  rifiuta_avanzi(app);
  if (out_predefinito && !app.get_subcommands().empty())
    throw ErroreUso("--out goes after the command's name");
  if (sorgenti->parsed()) return comando_sorgenti(out_sorgenti, sovrascrivi, sorgenti_silenzioso);
  if (compila->parsed()) return comando_compila(compila_o);
  if (verifica->parsed()) return comando_verifica(verifica_o);
  if (ispeziona->parsed()) return comando_ispeziona(da_ispezionare, ispeziona_json);
  if (disegna->parsed()) return comando_disegna(disegna_o, svg);
  if (spiega->parsed()) return comando_spiega(da_spiegare, spiega_markdown);
  if (vista->parsed()) return servi ? comando_vista_servita(vista_o, porta) : comando_vista(vista_o, html);
  if (out_predefinito) {
    prepara_cartella(*out_predefinito);
    return comando_predefinito(*out_predefinito, silenzioso_predefinito);
  }
  const std::string cartella = cartella_programma(argc > 0 ? argv[0] : nullptr);
  if (!verifica_cartella_programma(cartella)) return kUscitaFile;
  return comando_predefinito(cartella, silenzioso_predefinito);
}

}  // namespace

int esegui_comandi(int argc, char** argv) {
  try {
    return esegui(argc, argv);
  } catch (const ErroreUso& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto,
                       "Run with --help for more information.", consiglio_da_explorer());
    return kUscitaUso;
  } catch (const ErroreFile& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto);
    return kUscitaFile;
  }
}

}  // namespace genera
