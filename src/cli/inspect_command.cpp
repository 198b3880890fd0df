#include "cli/inspect_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <variant>
#include <vector>

#include "cli/command_table.h"
#include "cli/exit_codes.h"
#include "cli/inspect.h"
#include "files/file_system.h"
#include "model/compact_format.h"
#include "model/text.h"

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

// The line length a scenario file gives (entry 84 dato2), or nothing when
// it cannot be read or decoded.
std::optional<int32_t> lunghezza_da(FileSystem& disco, const std::string& sim) {
  try {
    auto t = decodifica_testata(disco.read(sim, true));
    if (const auto* voci = std::get_if<TestataLetta>(&t)) return lunghezza_linea(*voci);
  } catch (const FileError&) {
  }
  return std::nullopt;
}

// Where value `k` of a plan starts: each is a 2-byte kind and its data.
std::size_t offset_valore(std::string_view bytes, std::size_t k) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < k && at + 2 <= bytes.size(); ++i) {
    const auto tipo = layout::leggi_u16(reinterpret_cast<const unsigned char*>(bytes.data() + at));
    at += tipo == 2   ? layout::kVarianteIntero
          : tipo == 5 ? layout::kVarianteDoppio
                      : layout::kVarianteVuota;
  }
  return at;
}

// The size a route file or a plan must have, from the scenario file beside
// it. An error where the bytes do not have it; `nota` says when there is
// nothing to check against.
std::optional<ErroreFormato> controlla_lunghezza(FileSystem& disco, const std::string& nome,
                                                 TipoFileCompatto tipo, std::string_view bytes,
                                                 std::string& nota) {
  // Paths stay UTF-8 text end to end: the file layer hands them to the
  // system, so a folder of any name works on Windows too.
  const std::string cartella = name_of(nome) == nome ? std::string(".") : folder_of(nome);
  const std::string file = name_of(nome);
  const std::string stem = file.substr(0, file.rfind('.'));
  if (tipo == TipoFileCompatto::percorso) {
    const std::string nome_sim = stem + ".sim";
    const std::string sim = join_path(cartella, nome_sim);
    const auto l =
        disco.stat(sim, true).kind == FileKind::regular ? lunghezza_da(disco, sim) : std::nullopt;
    if (!l) {
      nota = "the length is unchecked: no scenario file " + nome_sim + " beside it";
      return std::nullopt;
    }
    const std::size_t attese = static_cast<std::size_t>(celle_percorso(*l));
    const std::size_t celle = bytes.size() / layout::kCella;
    if (celle == attese) return std::nullopt;
    const std::string perche = nome_sim + " gives a line of " + std::to_string(*l) +
                               " m, which has " + std::to_string(attese) + " cells";
    if (celle < attese)
      return ErroreFormato{bytes.size(), "the file ends after " + std::to_string(celle) +
                                             " cells, cut short: " + perche};
    return ErroreFormato{attese * layout::kCella, "the file goes on past its last cell: " + perche};
  }
  if (tipo == TipoFileCompatto::tracciato) {
    const std::string linea = stem.substr(0, stem.size() - std::string("_linea").size());
    std::vector<std::string> scenari;
    std::vector<std::string> nomi;
    try {
      nomi = disco.list(cartella);
    } catch (const FileError&) {
    }
    std::sort(nomi.begin(), nomi.end());
    for (const std::string& n : nomi) {
      if (n.size() > linea.size() + 5 && n.rfind(linea + "_", 0) == 0 && finisce_con(n, ".sim") &&
          disco.stat(join_path(cartella, n), true).kind == FileKind::regular)
        scenari.push_back(n);
    }
    const auto l = scenari.size() == 1 ? lunghezza_da(disco, join_path(cartella, scenari.front()))
                                       : std::nullopt;
    if (!l) {
      nota = "the length is unchecked: " +
             std::string(scenari.empty() ? "no scenario file " : "more than one scenario file ") +
             linea + "_*.sim beside it";
      return std::nullopt;
    }
    auto t = decodifica_tracciato(bytes);
    const auto* piano = std::get_if<TracciatoLetto>(&t);
    if (piano == nullptr) return std::nullopt;  // the decoder reports it
    const std::size_t righe = piano->x.size();
    const auto attese = static_cast<std::size_t>(righe_tracciato(*l));
    if (righe == attese) return std::nullopt;
    const std::string perche = scenari.front() + " gives a line of " + std::to_string(*l) +
                               " m, whose plan has " + std::to_string(attese) + " rows a column";
    return ErroreFormato{offset_valore(bytes, std::min(righe, attese)),
                         "the plan holds " + std::to_string(righe) + " rows a column, " +
                             (righe < attese ? "cut short: " : "too many: ") + perche};
  }
  return std::nullopt;
}

}  // namespace

int comando_ispeziona(const std::vector<std::string>& file, bool json) {
  using ordered_json = nlohmann::ordered_json;
  for (const std::string& nome : file)
    if (riconosci_file(nome) == TipoFileCompatto::sconosciuto)
      throw UsageError(nome +
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
    ordered_json errore_letto;
    try {
      const std::string bytes = disco.read(nome, true);
      std::string nota;
      auto e = ispeziona(nome, tipo, bytes, testo, oggetto);
      if (!e) e = controlla_lunghezza(disco, nome, tipo, bytes, nota);
      if (e) {
        std::fprintf(stderr, "genera_scenario: %s: byte %zu: %s\n", nome.c_str(), e->offset,
                     e->testo.c_str());
        errore_letto = {{"offset", e->offset}, {"testo", e->testo}};
      } else if (!nota.empty()) {
        std::fprintf(stderr, "genera_scenario: %s: %s\n", nome.c_str(), nota.c_str());
      }
    } catch (const FileError& e) {
      std::fprintf(stderr, "genera_scenario: %s\n", e.what());
      errore_letto = {{"offset", nullptr}, {"testo", e.what()}};
    }
    if (!errore_letto.is_null()) {
      stato = kUscitaFile;
      oggetto = {{"file", nome}, {"tipo", nome_tipo_file(tipo)}, {"errore", errore_letto}};
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

ComandoAggiunto aggiungi_ispeziona(CLI::App& programma) {
  struct Opzioni {
    std::vector<std::string> file;
    bool json = false;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "inspect", "decode compact files (.sim, .dat, _linea.dat) into readable tables");
  c->add_option("FILE", o->file, "the files to decode")->required();
  c->add_flag("--json", o->json, "print one JSON object on stdout");
  return {c, [o] { return comando_ispeziona(o->file, o->json); }};
}

}  // namespace genera
