// The language server of the two sources: JSON-RPC requests and
// notifications in, responses and published diagnostics out. It compiles
// on every change, through the same compiler as `check`, and answers from
// the last compile. It reads files only through its `Ambiente` and writes
// only through `Invia`, so a test drives it without a pipe.
//
// No message brings it down: a body that is not JSON, a request it does
// not know or whose parameters do not fit gets a JSON-RPC error, and it
// goes on.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/analysis.h"
#include "lsp/jsonrpc.h"
#include "lsp/text_document.h"

namespace genera::lsp {

class ServerLsp {
 public:
  /// `invia` takes each outgoing message's JSON body.
  using Invia = std::function<void(const std::string& corpo)>;

  ServerLsp(Ambiente ambiente, Invia invia);
  ServerLsp(const ServerLsp&) = delete;
  ServerLsp& operator=(const ServerLsp&) = delete;

  /// Handles one frame from the stream.
  void ricevi(const Cornice& cornice);
  /// Handles one message body.
  void ricevi_corpo(std::string_view corpo);

  /// True after "exit".
  bool finito() const { return finito_; }
  /// The exit status the protocol gives: 0 after shutdown then exit, else 1.
  int stato_uscita() const { return shutdown_ ? 0 : 1; }

 private:
  struct Documento {
    TestoDocumento testo;
    QualeSorgente quale = QualeSorgente::linea;
    std::string lingua;
    int64_t versione = 0;
  };

  void gestisci(const nlohmann::json& m);
  nlohmann::json richiesta(const std::string& metodo, const nlohmann::json& params);
  void notifica(const std::string& metodo, const nlohmann::json& params);
  void invia(const nlohmann::json& m);
  void errore(const nlohmann::json& id, int codice, const std::string& testo);

  nlohmann::json inizializza(const nlohmann::json& params);
  void apri(const nlohmann::json& params);
  void cambia(const nlohmann::json& params);
  void chiudi(const nlohmann::json& params);

  nlohmann::json hover(const nlohmann::json& params);
  nlohmann::json completamento(const nlohmann::json& params);
  nlohmann::json firma(const nlohmann::json& params);
  nlohmann::json simboli(const nlohmann::json& params);
  nlohmann::json definizione(const nlohmann::json& params);
  nlohmann::json azioni(const nlohmann::json& params);
  nlohmann::json suggerimenti(const nlohmann::json& params);

  /// Compiles again every open document that `uri` touches (all of them
  /// when `uri` is empty) and publishes their diagnostics.
  void ricompila(const std::string& uri);
  std::vector<DocumentoAperto> aperti() const;
  const Documento* documento(const std::string& uri) const;
  std::shared_ptr<const Analisi> analisi(const std::string& uri) const;

  Ambiente ambiente_;
  Invia invia_;
  Codifica codifica_ = Codifica::utf16;
  bool inizializzato_ = false;
  bool shutdown_ = false;
  bool finito_ = false;
  std::map<std::string, Documento> documenti_;
  std::map<std::string, std::shared_ptr<const Analisi>> analisi_;
};

/// Error codes of JSON-RPC and the protocol.
inline constexpr int kErroreParse = -32700;
inline constexpr int kRichiestaNonValida = -32600;
inline constexpr int kMetodoIgnoto = -32601;
inline constexpr int kParametriNonValidi = -32602;
inline constexpr int kErroreInterno = -32603;
inline constexpr int kNonInizializzato = -32002;
inline constexpr int kRichiestaNonValidaOra = -32600;

}  // namespace genera::lsp
