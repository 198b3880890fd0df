// The live preview: a small HTTP server on 127.0.0.1 that serves the page
// and its data, and nothing else. It reads no file: the driver hands it the
// page and renews the data when the sources change.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace genera {

/// What the server answers with: the page, its data and the version the
/// data carries.
struct ContenutoVista {
  std::string pagina;
  std::string dati;
  uint64_t versione = 0;
};

/// How serving ended.
enum class EsitoServizio { fermato, porta_occupata, non_disponibile };

struct OpzioniServizio {
  int porta = 8765;                           // 0: any free port
  std::chrono::milliseconds intervallo{100};  // between two calls of `controlla`
  std::function<void(int porta)> pronto;      // the port it listens on, once
  /// Called every `intervallo`, always from the same thread: new content
  /// when the sources changed, nothing otherwise.
  std::function<std::optional<ContenutoVista>()> controlla;
};

/// True when this build can serve (it was built with cpp-httplib).
bool servizio_disponibile();

/// Serves `contenuto` on 127.0.0.1: GET / the page, GET /data the data,
/// GET /version its version; any other request 404. Calls `o.controlla`
/// every `o.intervallo` on a thread of its own and serves what it returns
/// from then on. Returns `fermato` after
/// SIGINT or SIGTERM (the server stopped cleanly), `porta_occupata` when
/// the port cannot be bound, `non_disponibile` in a build without a server.
EsitoServizio servi_vista(ContenutoVista contenuto, const OpzioniServizio& o);

}  // namespace genera
