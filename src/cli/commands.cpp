#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/compile_command.h"
#include "cli/exit_codes.h"
#include "cli/inspect_command.h"
#include "model/file_names.h"
#include "files/file_system.h"
#include "run/error_box.h"
#include "run/form_load.h"
#include "run/program_folder.h"
#include "sources/writers.h"

#ifndef GENERA_VERSION
#define GENERA_VERSION "unknown"
#endif

namespace genera {
namespace {

/// The built-in scenario, written into `cartella`.
int comando_predefinito(const std::string& cartella) {
  DiskFileSystem disco;
  Form1 f;
  f.file_system = &disco;
  f.cartella = cartella;
  Form_Load(f);
  return f.codice_errore != 0 ? kUscitaCodice : kUscitaBuona;
}

/// The built-in sources and documents, not compiled. Files already there
/// may be an author's edited sources: they are only replaced on request.
int comando_sorgenti(const std::string& cartella, bool sovrascrivi) {
  prepara_cartella(cartella);
  DiskFileSystem disco;
  Form1 f;
  f.file_system = &disco;
  f.cartella = cartella;
  f.nome_linea = kNomeLinea;
  f.codice_treno = kCodiceTreno;
  if (!sovrascrivi) {
    const std::string nomi[] = {
        nome_sorgente_linea(f.nome_linea),
        nome_sorgente_treno(f.nome_linea, f.codice_treno),
        nome_documento(f.nome_linea, f.codice_treno, "note.txt"),
        nome_documento(f.nome_linea, f.codice_treno, "rallentamenti.txt"),
        nome_documento(f.nome_linea, f.codice_treno, "scheda_treno.txt"),
    };
    for (const std::string& nome : nomi) {
      const std::string p = percorso_file(cartella, nome);
      if (disco.exists(p))
        throw errore_file("cannot write " + p + ": it exists already (--force replaces it)");
    }
  }
  dati_linea(f);
  dati_treno(f);
  dati_note(f);
  dati_rallentamenti(f);
  dati_scheda(f);
  return kUscitaBuona;
}

void opzioni_nomi(CLI::App& c, opzioni_sorgenti& o) {
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
  app.set_version_flag("--version", std::string("genera_scenario ") + GENERA_VERSION);
  app.require_subcommand(0, 1);
  app.footer(
      "Exit status: 0 no failure code, 1 a failure code recorded, 2 usage error, "
      "3 a file that cannot be read, written or decoded.");

  std::optional<std::string> out_predefinito;
  app.add_option("--out", out_predefinito,
                 "write the built-in scenario into this folder instead of the program's own");

  std::string out_sorgenti = ".";
  CLI::App* sorgenti = app.add_subcommand(
      "sources", "write the built-in line source, train source and three documents, uncompiled");
  sorgenti->add_option("--out", out_sorgenti, "the folder to write into")->capture_default_str();
  bool sovrascrivi = false;
  sorgenti->add_flag("--force", sovrascrivi, "replace files that exist already");

  opzioni_sorgenti compila_o;
  CLI::App* compila = app.add_subcommand(
      "compile", "compile a line source and a train source into the three compact files");
  opzioni_nomi(*compila, compila_o);
  compila->add_option("--out", compila_o.cartella, "the folder to write into")
      ->capture_default_str();
  compila->add_flag("--no-plan", compila_o.senza_tracciato,
                    "skip the plan: no line compact file (NAME_linea.dat)");
  compila->add_flag("--json", compila_o.json, "print a JSON report on stdout");

  opzioni_sorgenti verifica_o;
  CLI::App* verifica =
      app.add_subcommand("check", "read both sources and report what is wrong; write nothing");
  opzioni_nomi(*verifica, verifica_o);
  verifica->add_flag("--no-plan", verifica_o.senza_tracciato,
                     "skip the plan, and with it the curve records");
  verifica->add_flag("--json", verifica_o.json, "print a JSON report on stdout");

  std::vector<std::string> da_ispezionare;
  bool ispeziona_json = false;
  CLI::App* ispeziona = app.add_subcommand(
      "inspect", "decode compact files (.sim, .dat, _linea.dat) into readable tables");
  ispeziona->add_option("FILE", da_ispezionare, "the files to decode")->required();
  ispeziona->add_flag("--json", ispeziona_json, "print one JSON object on stdout");

  opzioni_sorgenti disegna_o;
  std::string svg;
  CLI::App* disegna = app.add_subcommand(
      "plot", "draw the plan and the profiles of a line source and a train source as SVG");
  opzioni_nomi(*disegna, disegna_o);
  disegna->add_option("-o,--output", svg, "the SVG file to write")->required();
  disegna->add_flag("--json", disegna_o.json, "print a JSON report on stdout");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::ostringstream uscita, errori;
    const int stato = app.exit(e, uscita, errori);
    std::fputs(uscita.str().c_str(), stdout);
    if (std::string testo = errori.str(); !testo.empty()) {
      if (testo.back() == '\n') testo.pop_back();
      riporta_fallimento(testo, TipoFallimento::arresto);
    }
    return stato == 0 ? kUscitaBuona : kUscitaUso;
  }

  if (out_predefinito && !app.get_subcommands().empty())
    throw errore_uso("--out goes after the command's name");
  if (sorgenti->parsed()) return comando_sorgenti(out_sorgenti, sovrascrivi);
  if (compila->parsed()) return comando_compila(compila_o);
  if (verifica->parsed()) return comando_verifica(verifica_o);
  if (ispeziona->parsed()) return comando_ispeziona(da_ispezionare, ispeziona_json);
  if (disegna->parsed()) return comando_disegna(disegna_o, svg);
  if (out_predefinito) {
    prepara_cartella(*out_predefinito);
    return comando_predefinito(*out_predefinito);
  }
  return comando_predefinito(cartella_programma(argc > 0 ? argv[0] : nullptr));
}

}  // namespace

int esegui_comandi(int argc, char** argv) {
  try {
    return esegui(argc, argv);
  } catch (const errore_uso& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what() +
                           "\nRun with --help for more information.",
                       TipoFallimento::arresto);
    return kUscitaUso;
  } catch (const errore_file& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto);
    return kUscitaFile;
  }
}

}  // namespace genera
