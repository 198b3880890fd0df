#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/compile_command.h"
#include "cli/exit_codes.h"
#include "files/file_system.h"
#include "files/output_folder.h"
#include "run/compaction.h"
#include "run/error_box.h"
#include "run/form_load.h"
#include "model/text.h"
#include "run/program_folder.h"
#include "sources/writers.h"

#ifndef GENERA_VERSION
#define GENERA_VERSION "unknown"
#endif

namespace genera {
namespace {

/// The built-in scenario, written into `cartella`.
int comando_predefinito(DiskFileSystem& disco, const std::string& cartella) {
  Form1 f;
  f.file_system = &disco;
  f.cartella = cartella;
  Form_Load(f);
  const ScenarioCompilato& s = f.scenario;
  return s.codice_errore != Codice::nessuno || !s.scrivibile() ? kUscitaCodice : kUscitaBuona;
}

/// Stops the run before it writes anything when `cartella`, the program's
/// own folder, is not the user's to write: a folder of installed programs
/// (/usr/bin), even for root, or one the user may not write. Taking the
/// folder's lock is the test of the second: it makes the one file a run
/// always makes there, and takes it away again.
void verifica_cartella_programma(DiskFileSystem& disco, const std::string& cartella) {
  const std::string suggerimento = "; write the scenario into another folder with: genera_scenario --out DIR";
  if (const std::string perche = cartella_installata(disco, cartella); !perche.empty())
    throw ErroreFile("cannot write into " + cartella + ", the program's own folder: " + perche + suggerimento);
  try {
    disco.lock_folder(cartella);
  } catch (const ErroreFile& e) {
    // The system's reason comes last in the lock's message.
    const std::string testo = e.what();
    const std::size_t at = testo.rfind(": ");
    throw ErroreFile("cannot write into " + cartella + ", the program's own folder: " +
                     (at == std::string::npos ? testo : testo.substr(at + 2)) + suggerimento);
  }
}

/// The built-in sources and documents, not compiled. Files already there
/// may be an author's edited sources: they are only replaced on request.
int comando_sorgenti(const std::string& cartella, bool sovrascrivi) {
  DiskFileSystem disco;
  prepara_cartella(disco, cartella);
  OutputFolder uscita(disco, cartella);
  const std::vector<FileDaScrivere> insieme = documenti_da_scrivere(cartella, kNomeLinea, kCodiceTreno);
  if (!sovrascrivi) {
    for (const FileDaScrivere& d : insieme)
      if (disco.stat(d.percorso).kind != FileKind::missing)
        throw ErroreFile("cannot write " + d.percorso + ": it exists already (--force replaces it)");
  }
  uscita.commit(insieme);
  riporta_avanzi(uscita);
  return kUscitaBuona;
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

/// The program's command line without its commands: the default run's
/// --out, the version, the footer.
void descrivi_programma(CLI::App& app, std::optional<std::string>& out_predefinito) {
  app.set_version_flag("--version", std::string("genera_scenario ") + GENERA_VERSION);
  app.require_subcommand(0, 1);
  app.footer(
      "Exit status: 0 no failure code, 1 a failure code recorded, 2 usage error, "
      "3 a file that cannot be read, written or decoded.\n"
      "Manual: man genera_scenario, man 5 genera_scenario-linea, man 5 genera_scenario-treno.\n"
      "A first scenario step by step: docs/tutorial.md "
      "(/usr/share/doc/genera-scenario/docs/ once installed).");
  app.allow_extras();
  app.add_option("-o,--out", out_predefinito,
                 "write the built-in scenario into this folder instead of the program's own");
}

// The tool table, in the order --help lists the commands.
constexpr AggiuntaComando kComandi[] = {
    aggiungi_sorgenti, aggiungi_compila, aggiungi_verifica, aggiungi_ispeziona,
    aggiungi_disegna,  aggiungi_spiega,  aggiungi_vista,    aggiungi_lsp,
};

int esegui(int argc, char** argv) {
  CLI::App app{
      "Builds the scenario pack of a train-driving simulator. Without a command it "
      "writes and compiles the built-in scenario (line LIVRA_MONTALBA, train R47316) "
      "in the program's own folder.",
      "genera_scenario"};
  std::optional<std::string> out_predefinito;
  descrivi_programma(app, out_predefinito);
  std::vector<ComandoAggiunto> comandi;
  for (const AggiuntaComando aggiungi : kComandi) comandi.push_back(aggiungi(app));

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

  rifiuta_avanzi(app);
  if (out_predefinito && !app.get_subcommands().empty())
    throw ErroreUso("--out goes after the command's name");
  for (const ComandoAggiunto& c : comandi)
    if (c.sottocomando->parsed()) return c.esegui();
  DiskFileSystem disco;
  if (out_predefinito) {
    prepara_cartella(disco, *out_predefinito);
    return comando_predefinito(disco, *out_predefinito);
  }
  const std::string cartella = cartella_programma(argc > 0 ? argv[0] : nullptr);
  verifica_cartella_programma(disco, cartella);
  return comando_predefinito(disco, cartella);
}

}  // namespace

ComandoAggiunto aggiungi_sorgenti(CLI::App& programma) {
  struct Opzioni {
    std::string cartella = ".";
    bool sovrascrivi = false;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "sources", "write the built-in line source, train source and three documents, uncompiled");
  c->add_option("-o,--out", o->cartella, "the folder to write into")->capture_default_str();
  c->add_flag("--force", o->sovrascrivi, "replace files that exist already");
  return {c, [o] { return comando_sorgenti(o->cartella, o->sovrascrivi); }};
}

int con_stato_di_uscita(const std::function<int()>& comando) {
  try {
    return comando();
  } catch (const ErroreUso& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what() +
                           "\nRun with --help for more information.",
                       TipoFallimento::arresto);
    return kUscitaUso;
  } catch (const ErroreFile& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto);
    return kUscitaFile;
  } catch (const std::exception& e) {
    // Not a failure of ours (memory, a library): still a message and a
    // status, never an abort that leaves the user guessing.
    riporta_fallimento(std::string("genera_scenario: stopped by an unexpected failure: ") +
                           e.what(),
                       TipoFallimento::arresto);
    return kUscitaFile;
  }
}

int esegui_comandi(int argc, char** argv) {
  return con_stato_di_uscita([&] { return esegui(argc, argv); });
}

}  // namespace genera
