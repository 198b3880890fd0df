#include "cli/view_command.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include "cli/command_table.h"
#include "cli/exit_codes.h"
#include "files/file_system.h"
#include "view/page.h"
#include "view/page_data.h"
#include "view/text_policy.h"
#include "view/view_server.h"

namespace genera {
namespace {

/// The page of the two texts, and its data on their own for the server.
struct PaginaCompilata {
  std::string pagina;
  std::string dati;
  int stato = 0;
};

/// The page's data of the two texts, and whether they compiled cleanly.
struct DatiCompilati {
  nlohmann::json dati;
  int stato = 0;
  std::string riepilogo;  // "89.0 km, 14 stations, ..."
};

DatiCompilati compila_dati(const OpzioniSorgenti& o, const NomiSorgenti& n,
                           const std::string& linea, const std::string& treno, uint64_t versione) {
  const ScenarioCompilato s = compila_testi(o, n, linea, treno);
  return {dati_vista(s, {o.sorgente_linea, linea}, {o.sorgente_treno, treno},
                     {n.linea, n.treno, versione}),
          stato_uscita(s, o), riepilogo_scenario(s)};
}

PaginaCompilata pagina_di(const nlohmann::json& dati, int stato, bool servita) {
  return {pagina_vista(dati, servita), testo_dati(dati), stato};
}

/// What the live page shows. A compile with errors leaves the last clean
/// drawing in place under the list of its errors; a source that went
/// missing leaves the last drawing in place under its name. The page keeps
/// its range through all of it.
class Anteprima {  // NOLINT(bugprone-exception-escape): a null json never throws
 public:
  /// The data to show after a compile.
  nlohmann::json dopo_compilazione(nlohmann::json dati, int stato, uint64_t versione) {
    if (stato == kUscitaBuona) {
      dati["stato"] = {{"esito", "ok"}};
      buoni_ = dati;
      return mostrati_ = std::move(dati);
    }
    nlohmann::json errori = {{"esito", "errori"},
                             {"diagnostiche", dati["diagnostiche"]},
                             {"sorgenti", dati["sorgenti"]}};
    if (buoni_.is_null()) {
      // Nothing clean to fall back on: the drawing as far as the rules got.
      errori["disegno"] = "questo";
      dati["stato"] = errori;
      return mostrati_ = std::move(dati);
    }
    nlohmann::json m = buoni_;
    m["versione"] = versione;
    errori["disegno"] = "ultimo_buono";
    m["stato"] = std::move(errori);
    return mostrati_ = std::move(m);
  }

  /// The data to show while `file` is missing.
  nlohmann::json mancante(const std::string& file, uint64_t versione) {
    nlohmann::json m = mostrati_;
    m["versione"] = versione;
    m["stato"] = {{"esito", "mancante"}, {"file", testo_scritto(file)}};
    return m;
  }

 private:
  nlohmann::json buoni_;     // the last clean compile's data, null before one
  nlohmann::json mostrati_;  // what the page shows now
};

/// What tells a changed file from an unchanged one without reading it.
struct Fingerprint {
  int64_t quando = 0;
  uint64_t byte = 0;
  bool presente = false;
  bool operator==(const Fingerprint&) const = default;
};

Fingerprint impronta(FileSystem& disco, const std::string& path) {
  try {
    const FileInfo info = disco.stat(path, true);
    if (info.kind != FileKind::regular) return {};
    return {info.modified_ns, info.size, true};
  } catch (const FileError&) {
    return {};
  }
}

}  // namespace

int comando_vista(const OpzioniSorgenti& o, const std::optional<std::string>& html) {
  DiskFileSystem disco;
  const NomiSorgenti n = nomi_sorgenti(o);
  const std::string linea = disco.read(o.sorgente_linea, true);
  const std::string treno = disco.read(o.sorgente_treno, true);
  const std::string uscita = html ? *html : n.linea + "_" + n.treno + ".html";
  const auto [dati, stato, riepilogo] = compila_dati(o, n, linea, treno, 0);
  const PaginaCompilata p = pagina_di(dati, stato, false);
  non_su_sorgente(disco, uscita, o);
  disco.replace(uscita, [&](ByteSink& b) { b.write(p.pagina.data(), p.pagina.size()); },
                {o.sorgente_linea, o.sorgente_treno});
  if (!o.silenzioso) std::fprintf(stderr, "wrote %s: %s\n", uscita.c_str(), riepilogo.c_str());
  return p.stato;
}

int comando_vista_servita(const OpzioniSorgenti& o, int porta) {
  if (!servizio_disponibile())
    throw UsageError(
        "view --serve is not available in this build (it has no HTTP server); "
        "write the page with view -o FILE.html and open that");
  DiskFileSystem disco;
  const NomiSorgenti n = nomi_sorgenti(o);
  std::string linea = disco.read(o.sorgente_linea, true);
  std::string treno = disco.read(o.sorgente_treno, true);
  Fingerprint impronta_linea = impronta(disco, o.sorgente_linea),
              impronta_treno = impronta(disco, o.sorgente_treno);
  uint64_t versione = 1;
  Anteprima anteprima;
  auto mostra = [&](nlohmann::json dati, int stato) {
    return pagina_di(anteprima.dopo_compilazione(std::move(dati), stato, versione), stato, true);
  };
  PaginaCompilata prima = [&] {
    [[maybe_unused]] auto [dati, stato, riepilogo] = compila_dati(o, n, linea, treno, versione);
    return mostra(std::move(dati), stato);
  }();

  OpzioniServizio servizio;
  servizio.porta = porta;
  servizio.pronto = [&](int p) {
    std::printf("serving %s and %s at http://127.0.0.1:%d/ (Ctrl-C stops)\n",
                o.sorgente_linea.c_str(), o.sorgente_treno.c_str(), p);
    std::fflush(stdout);
  };
  // A source that changed is read again once it has held still from one
  // look to the next, so a file still being written is not compiled half
  // way; one missing (an editor replacing it) is tried again later.
  Fingerprint vista_linea = impronta_linea, vista_treno = impronta_treno;
  // A source missing is shown at once, naming it, once per absence.
  std::string mancante;
  auto segnala_mancante = [&](const std::string& file) -> std::optional<ContenutoVista> {
    if (mancante == file) return std::nullopt;
    mancante = file;
    std::fprintf(stderr, "genera_scenario: %s is missing; the page keeps its last drawing\n",
                 file.c_str());
    const nlohmann::json dati = anteprima.mancante(file, ++versione);
    impronta_linea = {};
    impronta_treno = {};
    PaginaCompilata p = pagina_di(dati, 0, true);
    return ContenutoVista{std::move(p.pagina), std::move(p.dati), versione};
  };
  servizio.controlla = [&]() -> std::optional<ContenutoVista> {
    const Fingerprint il = impronta(disco, o.sorgente_linea),
                      it = impronta(disco, o.sorgente_treno);
    if (!il.presente) return segnala_mancante(o.sorgente_linea);
    if (!it.presente) return segnala_mancante(o.sorgente_treno);
    if (il == impronta_linea && it == impronta_treno) return std::nullopt;
    const bool ferme = il == vista_linea && it == vista_treno;
    vista_linea = il;
    vista_treno = it;
    if (!ferme) return std::nullopt;
    std::string nuova_linea, nuovo_treno;
    try {
      nuova_linea = disco.read(o.sorgente_linea, true);
      nuovo_treno = disco.read(o.sorgente_treno, true);
    } catch (const FileError&) {
      return std::nullopt;
    }
    impronta_linea = il;
    impronta_treno = it;
    const bool tornato = !mancante.empty();
    mancante.clear();
    if (!tornato && nuova_linea == linea && nuovo_treno == treno) return std::nullopt;
    linea = std::move(nuova_linea);
    treno = std::move(nuovo_treno);
    [[maybe_unused]] auto [dati, stato, riepilogo] = compila_dati(o, n, linea, treno, ++versione);
    PaginaCompilata p = mostra(std::move(dati), stato);
    std::fprintf(stderr, "genera_scenario: recompiled, page version %llu\n",
                 static_cast<unsigned long long>(versione));
    return ContenutoVista{std::move(p.pagina), std::move(p.dati), versione};
  };

  switch (servi_vista({std::move(prima.pagina), std::move(prima.dati), versione}, servizio)) {
    case EsitoServizio::porta_occupata:
      throw FileError("cannot serve on 127.0.0.1:" + std::to_string(porta) +
                      ": the port is in use; choose another with --port");
    case EsitoServizio::non_disponibile:
      throw UsageError("view --serve is not available in this build");
    case EsitoServizio::fermato:
      break;
  }
  std::fprintf(stderr, "genera_scenario: stopped serving\n");
  return kUscitaBuona;
}

ComandoAggiunto aggiungi_vista(CLI::App& programma) {
  struct Opzioni {
    OpzioniSorgenti sorgenti;
    std::optional<std::string> html;
    bool servi = false;
    int porta = kPortaVista;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "view", servizio_disponibile()
                  ? "write an interactive HTML page of the line, linked to the sources; with "
                    "--serve, a live preview that follows edits"
                  : "write an interactive HTML page of the line, linked to the sources");
  opzioni_sorgenti(*c, o->sorgenti);
  CLI::Option* file = c->add_option("-o,--out,--output", o->html,
                                    "the HTML file to write (default NAME_CODE.html)");
  CLI::Option* servi = c->add_flag(
      "--serve", o->servi,
      "serve the page on 127.0.0.1 and update it whenever a source changes; writes nothing");
  CLI::Option* porta = c->add_option("--port", o->porta, "the port for --serve (0: any free port)")
                           ->capture_default_str()
                           ->check(CLI::Range(0, 65535))
                           ->needs(servi);
  file->excludes(servi);
  // A build without the server does not offer it; asked for all the same,
  // it says why not.
  if (!servizio_disponibile()) {
    servi->group("");
    porta->group("");
  }
  c->add_flag("-q,--quiet", o->sorgenti.silenzioso, "no summary line");
  return {c, [o] {
            return o->servi ? comando_vista_servita(o->sorgenti, o->porta)
                            : comando_vista(o->sorgenti, o->html);
          }};
}

}  // namespace genera
