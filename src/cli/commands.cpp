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
#include "cli/help_format.h"
#include "files/file_system.h"
#include "files/output_folder.h"
#include "model/text.h"
#include "run/compaction.h"
#include "run/console.h"
#include "run/error_box.h"
#include "run/form_load.h"
#include "run/program_folder.h"
#include "sources/writers.h"

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
int comando_predefinito(DiskFileSystem& disco, const std::string& cartella, bool silenzioso) {
  Form1 f;
  f.file_system = &disco;
  f.cartella = cartella;
  Form_Load(f);
  const ScenarioCompilato& s = f.scenario;
  if (s.scrivibile() && !silenzioso && errori_su_console())
    std::fprintf(stderr, "wrote 6 files to %s: %s\n", cartella.c_str(),
                 riepilogo_scenario(s).c_str());
  return s.codice_errore != Codice::nessuno || !s.scrivibile() ? kUscitaCodice : kUscitaBuona;
}

/// Stops the run before it writes anything when `cartella`, the program's
/// own folder, is not the user's to write: a folder of installed programs
/// (/usr/bin), even for root, or one the user may not write. Taking the
/// folder's lock is the test of the second: it makes the one file a run
/// always makes there, and takes it away again. Returns false once it has
/// said why, with the advice that fits where the program was started.
bool verifica_cartella_programma(DiskFileSystem& disco, const std::string& cartella) {
  std::string perche = cartella_installata(disco, cartella);
  if (perche.empty()) {
    try {
      disco.lock_folder(cartella);
      return true;
    } catch (const FileError& e) {
      // The system's reason comes last in the lock's message.
      const std::string testo = e.what();
      const std::size_t at = testo.rfind(": ");
      perche = at == std::string::npos ? testo : testo.substr(at + 2);
    }
  }
  riporta_fallimento(
      "genera_scenario: cannot write into " + cartella + ", the program's own folder: " + perche,
      TipoFallimento::arresto,
      "Write the scenario into another folder with: genera_scenario --out DIR",
      "Copy the program into a folder you can write, such as Documents, and "
      "start it there.");
  return false;
}

/// The built-in sources and documents, not compiled. Files already there
/// may be an author's edited sources: they are only replaced on request.
int comando_sorgenti(const std::string& cartella, bool sovrascrivi, bool silenzioso) {
  DiskFileSystem disco;
  prepara_cartella(disco, cartella);
  OutputFolder uscita(disco, cartella);
  const std::vector<FileToWrite> insieme =
      documenti_da_scrivere(cartella, kNomeLinea, kCodiceTreno);
  if (!sovrascrivi) {
    for (const FileToWrite& d : insieme)
      if (disco.stat(d.path).kind != FileKind::missing)
        throw FileError("cannot write " + d.path + ": it exists already (--force replaces it)");
  }
  uscita.commit(insieme);
  riporta_avanzi(uscita);
  if (!silenzioso) {
    const auto scritti = documenti(kNomeLinea, kCodiceTreno);
    std::fprintf(stderr, "wrote %zu files to %s: %s, %s and %zu driver documents\n", scritti.size(),
                 cartella.c_str(), scritti[0].nome.c_str(), scritti[1].nome.c_str(),
                 scritti.size() - 2);
  }
  return kUscitaBuona;
}

/// What a box says instead of "Run with --help": started from Explorer
/// (a file dropped onto the program, a shortcut with arguments), nothing
/// can be typed.
std::string consiglio_da_explorer() {
#ifdef _WIN32
  return std::string(
             "Started from Explorer, the program takes no files or options: a double "
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
  throw UsageError((avanzi.size() == 1 ? "unknown argument " : "unknown arguments ") + testo);
}

/// The program's command line without its commands: the default run's
/// --out, the version, the footer.
void descrivi_programma(CLI::App& app, std::optional<std::string>& out_predefinito,
                        bool& silenzioso) {
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
  app.add_option("-o,--out", out_predefinito,
                 "write the built-in scenario into this folder instead of the program's own");
  app.add_flag("-q,--quiet", silenzioso, "no summary line on a console");
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
  bool silenzioso = false;
  descrivi_programma(app, out_predefinito, silenzioso);
  std::vector<ComandoAggiunto> comandi;
  for (const AggiuntaComando aggiungi : kComandi) comandi.push_back(aggiungi(app));

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
    throw UsageError("--out goes after the command's name");
  for (const ComandoAggiunto& c : comandi)
    if (c.sottocomando->parsed()) return c.esegui();
  DiskFileSystem disco;
  if (out_predefinito) {
    prepara_cartella(disco, *out_predefinito);
    return comando_predefinito(disco, *out_predefinito, silenzioso);
  }
  const std::string cartella = cartella_programma(argc > 0 ? argv[0] : nullptr);
  if (!verifica_cartella_programma(disco, cartella)) return kUscitaFile;
  return comando_predefinito(disco, cartella, silenzioso);
}

}  // namespace

ComandoAggiunto aggiungi_sorgenti(CLI::App& programma) {
  struct Opzioni {
    std::string cartella = ".";
    bool sovrascrivi = false;
    bool silenzioso = false;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "sources", "write the built-in line source, train source and three documents, uncompiled");
  c->add_option("-o,--out", o->cartella, "the folder to write into")->capture_default_str();
  c->add_flag("--force", o->sovrascrivi, "replace files that exist already");
  c->add_flag("-q,--quiet", o->silenzioso, "no summary line");
  return {c, [o] { return comando_sorgenti(o->cartella, o->sovrascrivi, o->silenzioso); }};
}

int con_stato_di_uscita(const std::function<int()>& comando) {
  try {
    return comando();
  } catch (const UsageError& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto,
                       "Run with --help for more information.", consiglio_da_explorer());
    return kUscitaUso;
  } catch (const FileError& e) {
    riporta_fallimento(std::string("genera_scenario: ") + e.what(), TipoFallimento::arresto);
    return kUscitaFile;
  } catch (const std::exception& e) {
    // Not a failure of ours (memory, a library): still a message and a
    // status, never an abort that leaves the user guessing.
    riporta_fallimento(
        std::string("genera_scenario: stopped by an unexpected failure: ") + e.what(),
        TipoFallimento::arresto);
    return kUscitaFile;
  }
}

int esegui_comandi(int argc, char** argv) {
  return con_stato_di_uscita([&] { return esegui(argc, argv); });
}

}  // namespace genera
