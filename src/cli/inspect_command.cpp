#include "cli/inspect_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/exit_codes.h"
#include "cli/inspect.h"
#include "files/file_system.h"

namespace genera {
namespace {

const char* nome_tipo_file(TipoFileCompatto t) {
  switch (t) {
    case TipoFileCompatto::testata:
      return "testata_linea";
    case TipoFileCompatto::percorso:
      return "percorso";
    case TipoFileCompatto::tracciato:
      return "tracciato_linea";
    case TipoFileCompatto::sconosciuto:
      break;
  }
  return "sconosciuto";
}

}  // namespace

int comando_ispeziona(const std::vector<std::string>& file, bool json) {
  using ordered_json = nlohmann::ordered_json;
  for (const std::string& nome : file)
    if (riconosci_file(nome) == TipoFileCompatto::sconosciuto)
      throw ErroreUso(nome +
                       ": not a compact file: expected NAME_CODE.sim, NAME_CODE.dat or "
                       "NAME_linea.dat");

  DiskFileSystem disco;
  ordered_json elenco = ordered_json::array();
  int stato = kUscitaBuona;
  bool primo = true;
  for (const std::string& nome : file) {
    const TipoFileCompatto tipo = riconosci_file(nome);
    std::string testo;
    ordered_json oggetto;
    ordered_json guasto;
    try {
      const std::string bytes = disco.read(nome);
      if (auto e = ispeziona(nome, tipo, bytes, testo, oggetto)) {
        std::fprintf(stderr, "genera_scenario: %s: byte %zu: %s\n", nome.c_str(), e->offset,
                     e->testo.c_str());
        guasto = {{"offset", e->offset}, {"testo", e->testo}};
      }
    } catch (const ErroreFile& e) {
      std::fprintf(stderr, "genera_scenario: %s\n", e.what());
      guasto = {{"offset", nullptr}, {"testo", e.what()}};
    }
    if (!guasto.is_null()) {
      stato = kUscitaFile;
      oggetto = {{"file", nome}, {"tipo", nome_tipo_file(tipo)}, {"errore", guasto}};
    } else if (!json) {
      std::printf("%s%s", primo ? "" : "\n", testo.c_str());
      primo = false;
    }
    elenco.push_back(std::move(oggetto));
  }
  if (json) {
    const ordered_json tutto = {{"file_ispezionati", elenco}};
    std::puts(tutto.dump(2, ' ', false, ordered_json::error_handler_t::replace).c_str());
  }
  return stato;
}

}  // namespace genera
