#include "cli/lsp_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "cli/command_table.h"

#include "files/file_system.h"
#include "lsp/jsonrpc.h"
#include "lsp/memory_policy.h"
#include "lsp/server.h"
#include "run/console.h"
#include "run/form_load.h"

namespace genera {

int comando_lsp(const std::string& versione) {
  flussi_binari();
  lsp::riusa_memoria_liberata();
  lsp::Ambiente ambiente;
  ambiente.versione = versione;
  ambiente.nome_linea_predefinito = kNomeLinea;
  ambiente.codice_treno_predefinito = kCodiceTreno;
  ambiente.leggi_file = [](const std::string& percorso) -> std::optional<std::string> {
    try {
      DiskFileSystem disco;
      if (!disco.exists(percorso)) return std::nullopt;
      return disco.read(percorso);
    } catch (const std::exception&) {
      return std::nullopt;  // unreadable: the partner is then the built-in source
    }
  };
  ambiente.elenca = [](const std::string& cartella) {
    try {
      DiskFileSystem disco;
      return disco.list(cartella);
    } catch (const std::exception&) {
      return std::vector<std::string>();  // no folder to look in: the built-in partner
    }
  };
  lsp::ServerLsp server(ambiente, [](const std::string& corpo) {
    const std::string cornice = lsp::incornicia(corpo);
    std::fwrite(cornice.data(), 1, cornice.size(), stdout);
    std::fflush(stdout);
  });
  lsp::FlussoFile ingresso(stdin);
  lsp::LettoreCornici lettore(ingresso);
  while (!server.finito()) {
    const std::optional<lsp::Cornice> cornice = lettore.prossima();
    if (!cornice) break;  // the editor closed the pipe
    server.ricevi(*cornice);
  }
  return server.finito() ? server.stato_uscita() : 1;
}

ComandoAggiunto aggiungi_lsp(CLI::App& programma) {
  CLI::App* c =
      programma.add_subcommand("lsp", "run the language server for editors on stdin and stdout");
  // Editors pass --stdio; stdin and stdout are the only way, so it changes nothing.
  auto stdio = std::make_shared<bool>(false);
  c->add_flag("--stdio", *stdio, "talk on stdin and stdout (the only way; accepted for editors)");
  return {c, [stdio] { return comando_lsp(GENERA_VERSION); }};
}

}  // namespace genera
