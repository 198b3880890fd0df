// The live preview on Debian's cpp-httplib (POSIX only).
#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "view/view_server.h"

namespace genera {
namespace {

/// SIGINT and SIGTERM held back from every thread while the server runs,
/// and taken by one thread of ours with sigwait: stopping the server from
/// a signal handler would not be safe. A signal ignored (a program started
/// in the background inherits SIGINT ignored) never reaches sigwait, so
/// both get their default action back while held.
class ShutdownSignals {
 public:
  ShutdownSignals() {
    sigemptyset(&insieme_);
    sigaddset(&insieme_, SIGINT);
    sigaddset(&insieme_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &insieme_, &prima_);
    struct sigaction predefinita {};
    predefinita.sa_handler = SIG_DFL;
    sigemptyset(&predefinita.sa_mask);
    sigaction(SIGINT, &predefinita, &azione_int_);
    sigaction(SIGTERM, &predefinita, &azione_term_);
  }
  ~ShutdownSignals() {
    sigaction(SIGINT, &azione_int_, nullptr);
    sigaction(SIGTERM, &azione_term_, nullptr);
    pthread_sigmask(SIG_SETMASK, &prima_, nullptr);
  }
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

  const sigset_t& insieme() const { return insieme_; }

 private:
  sigset_t insieme_;
  sigset_t prima_;
  struct sigaction azione_int_ {};
  struct sigaction azione_term_ {};
};

/// `testo` as the whole answer, sent as it is. Debian's library compresses
/// a body set with set_content, with brotli at its slowest when the browser
/// accepts it: a second for half a megabyte, where 127.0.0.1 carries the
/// plain bytes in a few milliseconds. A body of known length from a
/// provider goes out uncompressed.
void manda(httplib::Response& r, std::string testo, const char* tipo) {
  r.set_header("Cache-Control", "no-store");
  auto corpo = std::make_shared<const std::string>(std::move(testo));
  r.set_content_provider(corpo->size(), tipo,
                         [corpo](std::size_t da, std::size_t quanti, httplib::DataSink& sink) {
                           return sink.write(corpo->data() + da, quanti);
                         });
}

/// The answer to a request the server does not take, with its reason.
const char* testo_stato(int stato) {
  switch (stato) {
    case 400:
      return "bad request\n";
    case 403:
      return "forbidden: this server answers only to 127.0.0.1 and localhost\n";
    case 405:
      return "method not allowed: only GET and HEAD\n";
    case 414:
      return "URI too long\n";
    case 431:
      return "request header fields too large\n";
    default:
      return "not found\n";
  }
}

// Far beyond any request the page makes, well within the library's own
// limits, so the answer can say which limit was passed.
constexpr std::size_t kUriMassimo = 2048;
constexpr std::size_t kIntestazioniMassime = 4096;
// Slow clients each hold a thread for at most the read timeout; the pool
// is bounded but wide enough that a few dozen of them leave threads free.
constexpr std::size_t kFili = 64;
constexpr int kCodaConnessioni = 128;

}  // namespace

bool servizio_disponibile() { return true; }

EsitoServizio servi_vista(ContenutoVista contenuto, const OpzioniServizio& o) {
  ShutdownSignals segnali;  // before any thread starts, so all inherit the mask

  // The content, renewed by the watching thread while the server's threads
  // read it.
  std::mutex mutex_contenuto;
  auto leggi = [&](auto campo) {
    const std::lock_guard<std::mutex> lock(mutex_contenuto);
    return campo(contenuto);
  };

  httplib::Server server;
  // SO_REUSEADDR alone: the library's default SO_REUSEPORT would let a
  // second server share a port another one is listening on.
  socket_t ascolto = INVALID_SOCKET;
  server.set_socket_options([&ascolto](socket_t s) {
    const int si = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
    ascolto = s;
  });
  // A page keeps its connection open between two looks at /version: short
  // waits let Ctrl-C end the server within about a second all the same.
  server.set_keep_alive_timeout(1);
  server.set_keep_alive_max_count(100);
  server.set_read_timeout(1);
  server.set_write_timeout(2);
  server.new_task_queue = [] { return new httplib::ThreadPool(kFili); };
  // The port is known once bound. Only a Host naming this server itself is
  // answered: a page of another site that rebinds its name to 127.0.0.1
  // sends its own name, and gets nothing.
  int porta = o.porta;
  server.set_pre_routing_handler([&porta](const httplib::Request& q, httplib::Response& r) {
    auto rifiuta = [&](int stato) {
      r.status = stato;
      if (stato == 405) r.set_header("Allow", "GET, HEAD");
      r.set_header("Cache-Control", "no-store");
      r.set_content(testo_stato(stato), "text/plain");
      return httplib::Server::HandlerResponse::Handled;
    };
    const std::string host = q.get_header_value("Host");
    const std::string p = ":" + std::to_string(porta);
    if (host != "127.0.0.1" + p && host != "localhost" + p) return rifiuta(403);
    if (q.target.size() > kUriMassimo) return rifiuta(414);
    std::size_t intestazioni = 0;
    for (const auto& [nome, valore] : q.headers) intestazioni += nome.size() + valore.size() + 4;
    if (intestazioni > kIntestazioniMassime) return rifiuta(431);
    if (q.method != "GET" && q.method != "HEAD") return rifiuta(405);
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.Get("/", [&](const httplib::Request&, httplib::Response& r) {
    manda(r, leggi([](const ContenutoVista& c) { return c.pagina; }), "text/html; charset=utf-8");
  });
  server.Get("/data", [&](const httplib::Request&, httplib::Response& r) {
    manda(r, leggi([](const ContenutoVista& c) { return c.dati; }), "application/json");
  });
  server.Get("/version", [&](const httplib::Request&, httplib::Response& r) {
    manda(r, leggi([](const ContenutoVista& c) { return std::to_string(c.versione); }),
          "text/plain");
  });
  // Every other path: "not found"; a request the library could not read
  // keeps the status it gave (400, 414, ...).
  server.set_error_handler([](const httplib::Request&, httplib::Response& r) {
    if (r.status < 400) r.status = 404;
    manda(r, testo_stato(r.status), "text/plain");
  });

  if (porta == 0) {
    porta = server.bind_to_any_port("127.0.0.1");
    if (porta <= 0) return EsitoServizio::porta_occupata;
  } else if (!server.bind_to_port("127.0.0.1", porta)) {
    return EsitoServizio::porta_occupata;
  }
  // The library listens with a queue of 5: a burst of connections (a page
  // and a few slow clients) would see some refused and tried again a
  // second later. Listening again on the bound socket lengthens the queue.
  if (ascolto != INVALID_SOCKET) listen(ascolto, kCodaConnessioni);

  std::mutex mutex;
  std::condition_variable sveglia;
  bool fine = false;  // under `mutex`
  std::atomic<bool> ascolto_finito{false};
  std::thread osservatore([&] {
    std::unique_lock<std::mutex> lock(mutex);
    while (!sveglia.wait_for(lock, o.intervallo, [&] { return fine; })) {
      lock.unlock();
      if (o.controlla) {
        if (std::optional<ContenutoVista> nuovo = o.controlla()) {
          const std::lock_guard<std::mutex> scrivi(mutex_contenuto);
          contenuto = std::move(*nuovo);
        }
      }
      lock.lock();
    }
  });
  bool segnale_giunto = false;  // under `mutex`
  std::thread arresto([&] {
    int segnale = 0;
    sigwait(&segnali.insieme(), &segnale);
    {
      const std::lock_guard<std::mutex> lock(mutex);
      segnale_giunto = true;
    }
    // A signal before the server began to listen: stop() would find nothing
    // to stop yet.
    while (!server.is_running() && !ascolto_finito)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server.stop();
  });

  if (o.pronto) o.pronto(porta);
  server.listen_after_bind();
  ascolto_finito = true;

  {
    const std::lock_guard<std::mutex> lock(mutex);
    fine = true;
    // Listening ended without a signal: wake the thread that waits for one.
    // The signal goes to the thread blocked in sigwait, which takes it as an order to stop.
    if (!segnale_giunto)
      pthread_kill(arresto.native_handle(), SIGTERM);  // NOLINT(bugprone-bad-signal-to-kill-thread)
  }
  sveglia.notify_all();
  osservatore.join();
  arresto.join();
  return EsitoServizio::fermato;
}

}  // namespace genera
