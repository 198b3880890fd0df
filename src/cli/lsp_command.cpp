#include "cli/lsp_command.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/file_system.h"
#include "files/native_path.h"
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
    std::vector<std::string> nomi;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(native_path(cartella), ec), fine; !ec && it != fine;
         it.increment(ec)) {
      const std::u8string nome = it->path().filename().u8string();
      nomi.emplace_back(nome.begin(), nome.end());
    }
    return nomi;
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

}  // namespace genera
