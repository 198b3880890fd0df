#include "lsp/server.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <new>
#include <set>
#include <utility>

#include "lsp/fields.h"
#include "lsp/source_map.h"
#include "model/rounding.h"
#include "model/text.h"

namespace genera::lsp {
namespace {

using nlohmann::json;

/// A request that cannot be answered, with the code to answer it with.
struct ErroreRpc {
  int codice;
  std::string testo;
};

std::string testo_json(const json& j) {
  // Text from a source that is not UTF-8 is shown replaced, never refused.
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

Posizione posizione_di(const json& p) {
  return {p.at("line").get<int>(), p.at("character").get<int>()};
}

json json_di(Posizione p) { return {{"line", p.riga}, {"character", p.colonna}}; }

json intervallo_byte(std::string_view riga, int r, std::size_t a, std::size_t b, Codifica c) {
  return {{"start", json_di({r, colonna_da_byte(riga, a, c)})},
          {"end", json_di({r, colonna_da_byte(riga, b, c)})}};
}

std::optional<int64_t> numero_di(std::string_view campo) {
  int64_t v = 0;
  if (!campo.empty() && campo.front() == '+') campo.remove_prefix(1);
  const auto [fine, err] = std::from_chars(campo.data(), campo.data() + campo.size(), v);
  if (err != std::errc() || fine != campo.data() + campo.size()) return std::nullopt;
  return v;
}

std::string_view campo_testo(std::string_view riga, const CampoRiga& c) {
  return riga.substr(c.inizio, c.fine - c.inizio);
}

std::string senza_virgolette(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return std::string(s);
}

/// The snippet a completion inserts: the key and a placeholder per field.
std::string frammento(const ParolaChiave& p) {
  const std::vector<DescrizioneCampo> campi = campi_di(p.chiave);
  std::string out;
  int k = 1;
  if (p.chiave == Chiave::curva) {
    out = "curva${1|d,s|}${2|1,2,3,4,5,6|}";
    k = 3;
  } else if (p.chiave == Chiave::ripetizione_segnali) {
    out = "ripetizione segnali ${1|9,4|} codici";
    k = 2;
  } else {
    out = std::string(p.scritta);
  }
  for (const DescrizioneCampo& c : campi) {
    out += ", ${" + std::to_string(k++) + ":" + c.nome + "}";
  }
  return out + "$0";
}

/// "segnale, posizione, sx, ...": the record as a signature.
std::string firma_di(const ParolaChiave& p,
                     std::vector<std::pair<std::size_t, std::size_t>>* pezzi) {
  std::string out(p.scritta);
  for (const DescrizioneCampo& c : campi_di(p.chiave)) {
    out += ", ";
    if (pezzi) pezzi->push_back({out.size(), out.size() + c.nome.size()});
    out += c.nome;
  }
  return out;
}

std::string descrivi_campo(const DescrizioneCampo& c) {
  std::string out = c.significato;
  if (!c.unita.empty()) out = "(" + c.unita + ") " + out;
  if (!c.intervallo.empty()) out += "; values " + c.intervallo;
  return out;
}

std::string elenco_campi(const ParolaChiave& p) {
  std::string out = "`" + firma_di(p, nullptr) + "`\n\n";
  int i = 1;
  for (const DescrizioneCampo& c : campi_di(p.chiave))
    out += std::to_string(i++) + ". **" + c.nome + "** " + descrivi_campo(c) + "\n";
  return out;
}

/// The outline's name and kind of a record, or nothing when it has none.
std::optional<std::pair<std::string, int>> simbolo(const ParolaChiave& p, const RigaRecord& rr,
                                                   std::string_view riga) {
  auto testo = [&](std::size_t i) {
    return i < rr.campi.size() ? senza_virgolette(campo_testo(riga, rr.campi[i])) : std::string();
  };
  switch (p.chiave) {
    case Chiave::stazione:
      return std::pair{"station " + testo(17), 5};
    case Chiave::segnale:
      return std::pair{std::string("signal"), 24};
    case Chiave::montagna:
      return std::pair{std::string("tunnel"), 23};
    case Chiave::rallentamento:
      return std::pair{"slowdown " + testo(2) + " km/h", 25};
    case Chiave::indicatori_v_max:
      return std::pair{std::string("speed-indicator board"), 14};
    case Chiave::cartello_indicatore:
      return std::pair{"indicator board " + testo(2), 14};
    default:
      return std::nullopt;
  }
}

const std::string kPrefissoProposta = "did you mean `";

}  // namespace

ServerLsp::ServerLsp(Ambiente ambiente, Invia invia)
    : ambiente_(std::move(ambiente)), invia_(std::move(invia)) {}

void ServerLsp::invia(const json& m) { invia_(testo_json(m)); }

void ServerLsp::errore(const json& id, int codice, const std::string& testo) {
  invia({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", testo}}}});
}

void ServerLsp::ricevi(const Cornice& cornice) {
  if (!cornice.guasto.empty()) {
    errore(nullptr, kRichiestaNonValida, cornice.guasto);
    return;
  }
  ricevi_corpo(cornice.corpo);
}

void ServerLsp::ricevi_corpo(std::string_view corpo) {
  json m = json::parse(corpo.begin(), corpo.end(), nullptr, false);
  if (m.is_discarded()) {
    errore(nullptr, kErroreParse, "the message is not JSON");
    return;
  }
  if (!m.is_object()) {
    errore(nullptr, kRichiestaNonValida, "a message must be one JSON object");
    return;
  }
  try {
    gestisci(m);
  } catch (const std::bad_alloc&) {
    errore(m.contains("id") ? m["id"] : json(nullptr), kErroreInterno, "out of memory");
  }
}

void ServerLsp::gestisci(const json& m) {
  const bool con_id = m.contains("id");
  json id = con_id ? m["id"] : json(nullptr);
  if (con_id && !id.is_number_integer() && !id.is_string()) {
    errore(nullptr, kRichiestaNonValida, "an id must be a number or a string");
    return;
  }
  if (!m.contains("method") || !m["method"].is_string()) {
    if (con_id && (m.contains("result") || m.contains("error"))) return;  // a reply to us
    errore(id, kRichiestaNonValida, "a message needs a method");
    return;
  }
  const std::string metodo = m["method"].get<std::string>();
  const json params = m.contains("params") ? m["params"] : json::object();

  if (!con_id) {
    if (!inizializzato_ && metodo != "exit") return;
    try {
      notifica(metodo, params);
    } catch (const json::exception& e) {
      invia({{"jsonrpc", "2.0"},
             {"method", "window/logMessage"},
             {"params",
              {{"type", 1}, {"message", metodo + ": parameters that do not fit: " + e.what()}}}});
    }
    return;
  }
  if (!inizializzato_ && metodo != "initialize") {
    errore(id, kNonInizializzato, "the server is not initialized yet");
    return;
  }
  if (shutdown_) {
    errore(id, kRichiestaNonValidaOra, "the server is shutting down");
    return;
  }
  try {
    json risultato = richiesta(metodo, params);
    invia({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
  } catch (const ErroreRpc& e) {
    errore(id, e.codice, e.testo);
  } catch (const json::exception& e) {
    errore(id, kParametriNonValidi, std::string("parameters that do not fit: ") + e.what());
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    errore(id, kErroreInterno, e.what());
  }
}

json ServerLsp::richiesta(const std::string& metodo, const json& params) {
  if (metodo == "initialize") return inizializza(params);
  if (metodo == "shutdown") {
    shutdown_ = true;
    return nullptr;
  }
  if (metodo == "textDocument/hover") return hover(params);
  if (metodo == "textDocument/completion") return completamento(params);
  if (metodo == "textDocument/signatureHelp") return firma(params);
  if (metodo == "textDocument/documentSymbol") return simboli(params);
  if (metodo == "textDocument/definition") return definizione(params);
  if (metodo == "textDocument/codeAction") return azioni(params);
  if (metodo == "textDocument/inlayHint") return suggerimenti(params);
  throw ErroreRpc{kMetodoIgnoto, "unknown method " + metodo};
}

void ServerLsp::notifica(const std::string& metodo, const json& params) {
  if (metodo == "exit") {
    finito_ = true;
  } else if (metodo == "textDocument/didOpen") {
    apri(params);
  } else if (metodo == "textDocument/didChange") {
    cambia(params);
  } else if (metodo == "textDocument/didClose") {
    chiudi(params);
  } else if (metodo == "textDocument/didSave" || metodo == "workspace/didChangeWatchedFiles") {
    ricompila({});  // a partner on disk may have changed
  }
  // Any other notification ("initialized", "$/cancelRequest", ...) asks nothing.
}

json ServerLsp::inizializza(const json& params) {
  if (inizializzato_) throw ErroreRpc{kRichiestaNonValida, "initialize was sent twice"};
  inizializzato_ = true;
  const json* codifiche = nullptr;
  if (params.is_object() && params.contains("capabilities")) {
    const json& cap = params["capabilities"];
    if (cap.is_object() && cap.contains("general") && cap["general"].is_object() &&
        cap["general"].contains("positionEncodings"))
      codifiche = &cap["general"]["positionEncodings"];
  }
  if (codifiche != nullptr && codifiche->is_array())
    for (const json& c : *codifiche)
      if (c == "utf-8") codifica_ = Codifica::utf8;
  return {
      {"capabilities",
       {{"positionEncoding", codifica_ == Codifica::utf8 ? "utf-8" : "utf-16"},
        {"textDocumentSync",
         {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
        {"hoverProvider", true},
        {"completionProvider", {{"resolveProvider", false}, {"triggerCharacters", json::array()}}},
        {"signatureHelpProvider",
         {{"triggerCharacters", {","}}, {"retriggerCharacters", {",", " "}}}},
        {"documentSymbolProvider", true},
        {"definitionProvider", true},
        {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
        {"inlayHintProvider", true}}},
      {"serverInfo", {{"name", "genera_scenario"}, {"version", ambiente_.versione}}}};
}

std::vector<DocumentoAperto> ServerLsp::aperti() const {
  std::vector<DocumentoAperto> out;
  for (const auto& [uri, d] : documenti_) out.push_back({uri, d.quale, &d.testo});
  return out;
}

const ServerLsp::Documento* ServerLsp::documento(const std::string& uri) const {
  const auto it = documenti_.find(uri);
  return it == documenti_.end() ? nullptr : &it->second;
}

std::shared_ptr<const Analisi> ServerLsp::analisi(const std::string& uri) const {
  const auto it = analisi_.find(uri);
  return it == analisi_.end() ? nullptr : it->second;
}

void ServerLsp::apri(const json& params) {
  const json& td = params.at("textDocument");
  const std::string uri = td.at("uri").get<std::string>();
  Documento d;
  d.lingua = td.value("languageId", "");
  d.versione = td.value("version", int64_t{0});
  d.testo = TestoDocumento(td.at("text").get<std::string>());
  d.quale = quale_sorgente(uri, d.lingua, d.testo.testo());
  documenti_[uri] = std::move(d);
  ricompila(uri);
}

void ServerLsp::cambia(const json& params) {
  const json& td = params.at("textDocument");
  const std::string uri = td.at("uri").get<std::string>();
  const auto it = documenti_.find(uri);
  if (it == documenti_.end()) return;
  Documento& d = it->second;
  for (const json& c : params.at("contentChanges")) {
    if (c.contains("range")) {
      const json& r = c.at("range");
      d.testo.sostituisci(posizione_di(r.at("start")), posizione_di(r.at("end")),
                          c.at("text").get<std::string>(), codifica_);
    } else {
      d.testo.sostituisci_tutto(c.at("text").get<std::string>());
    }
  }
  d.versione = td.value("version", d.versione + 1);
  ricompila(uri);
}

void ServerLsp::chiudi(const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  if (documenti_.erase(uri) == 0) return;
  analisi_.erase(uri);
  invia({{"jsonrpc", "2.0"},
         {"method", "textDocument/publishDiagnostics"},
         {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
  ricompila(uri);  // its partners now read it from disk
}

void ServerLsp::ricompila(const std::string& uri) {
  const std::vector<DocumentoAperto> ap = aperti();
  std::map<std::pair<std::string, std::string>, std::shared_ptr<const Analisi>> fatte;
  for (const DocumentoAperto& doc : ap) {
    Coppia c = trova_coppia(doc, ap, ambiente_);
    if (!uri.empty() && doc.uri != uri && c.linea.uri != uri && c.treno.uri != uri) continue;
    const std::pair<std::string, std::string> chiave{c.linea.uri + "\n" + c.linea.nome,
                                                     c.treno.uri + "\n" + c.treno.nome};
    std::shared_ptr<const Analisi>& a = fatte[chiave];
    if (!a) a = analizza(std::move(c));
    analisi_[doc.uri] = a;
    std::map<std::string, json> diagnostiche = diagnostiche_lsp(*a, codifica_);
    json params = {{"uri", doc.uri}, {"diagnostics", std::move(diagnostiche[doc.uri])}};
    if (const Documento* d = documento(doc.uri)) params["version"] = d->versione;
    invia({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", params}});
  }
}

// ---- what the editor asks at a place ----

namespace {

/// A place in an open document, read as a record line.
struct Punto {
  int riga = 0;
  std::string_view testo;  // the line
  std::size_t byte = 0;
  RigaRecord record;
  int campo = 0;  // 0: the key, 1: the first value, ...
};

/// The record line at the request's position.
Punto punto_in(const TestoDocumento& t, QualeSorgente q, const json& posizione, Codifica c) {
  const Posizione pos = posizione_di(posizione);
  Punto p;
  p.riga = pos.riga;
  p.testo = t.riga(pos.riga);
  p.byte = byte_da_colonna(p.testo, pos.colonna, c);
  p.record = leggi_riga(p.testo, blocco_di(struttura(t, q), p.riga));
  p.campo = campo_al_byte(p.record, p.testo, p.byte);
  return p;
}

}  // namespace

json ServerLsp::hover(const json& params) {
  const std::string uri_ = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri_);
  if (doc == nullptr) return nullptr;
  const Punto p = punto_in(doc->testo, doc->quale, params.at("position"), codifica_);
  if (p.record.parola == nullptr || p.testo.empty()) return nullptr;
  const ParolaChiave& parola = *p.record.parola;
  const std::vector<DescrizioneCampo> campi = campi_di(parola.chiave);
  std::string md =
      "**" + std::string(parola.scritta) + "**: " + std::string(parola.nome) + " record";
  if (p.campo == 0) {
    md += "\n\n" + significato_record(parola.chiave) + "\n\n" + elenco_campi(parola);
  } else if (static_cast<std::size_t>(p.campo) <= campi.size()) {
    const DescrizioneCampo& c = campi[static_cast<std::size_t>(p.campo) - 1];
    md += ", field " + std::to_string(p.campo) + " of " + std::to_string(campi.size()) + "\n\n**" +
          c.nome + "**";
    if (!c.unita.empty()) md += " (" + c.unita + ")";
    md += ": " + c.significato;
    if (!c.intervallo.empty()) md += "\n\nValues: " + c.intervallo;
    if (!c.memoria.empty()) md += "\n\nStored: " + c.memoria;
    if (static_cast<std::size_t>(p.campo) < p.record.campi.size() && c.unita == "m")
      if (const auto v =
              numero_di(campo_testo(p.testo, p.record.campi[static_cast<std::size_t>(p.campo)])))
        md += "\n\n" + std::to_string(*v) + " m is " + km(*v);
  } else {
    md += "\n\nThis is past the record's " + std::to_string(campi.size()) +
          " fields: the reader takes it as the next key.";
  }
  if (const auto a = analisi(uri_)) {
    std::vector<IdRecord> ids = record_alla_riga(a->s, doc->quale, p.riga);
    std::vector<std::string> effetti;
    for (IdRecord id : ids)
      if (a->s.origini.record[id].chiave == parola.chiave) effetti = effetti_record(a->s, id);
    if (!ids.empty()) {
      md += "\n\n---\nOn the grid:\n";
      if (effetti.empty()) md += "\nnothing (the record was read, but wrote no cell or entry)";
      for (const std::string& e : effetti) md += "\n" + e;
    } else {
      md +=
          "\n\n---\nNot applied by the last compile: the reading stopped before this line, "
          "or it refused the record.";
    }
  }
  json risultato = {{"contents", {{"kind", "markdown"}, {"value", md}}}};
  if (static_cast<std::size_t>(p.campo) < p.record.campi.size()) {
    const CampoRiga& c = p.record.campi[static_cast<std::size_t>(p.campo)];
    risultato["range"] = intervallo_byte(p.testo, p.riga, c.inizio, c.fine, codifica_);
  }
  return risultato;
}

json ServerLsp::completamento(const json& params) {
  const std::string uri_ = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri_);
  if (doc == nullptr) return nullptr;
  const Punto p = punto_in(doc->testo, doc->quale, params.at("position"), codifica_);
  json voci = json::array();
  if (p.campo != 0) return {{"isIncomplete", false}, {"items", voci}};
  const StrutturaSorgente st = struttura(doc->testo, doc->quale);
  const Blocco blocco = blocco_di(st, p.riga);
  const std::size_t inizio =
      p.record.campi.empty() ? p.byte : std::min(p.record.campi[0].inizio, p.byte);
  const json dove = intervallo_byte(p.testo, p.riga, inizio, p.byte, codifica_);
  for (const ParolaChiave& k : kParoleChiave) {
    if (k.blocco != blocco) continue;
    voci.push_back({{"label", std::string(k.scritta)},
                    {"kind", 14},
                    {"detail", std::string(k.nome) + " record"},
                    {"documentation", {{"kind", "markdown"}, {"value", elenco_campi(k)}}},
                    {"insertTextFormat", 2},
                    {"filterText", std::string(k.scritta)},
                    {"textEdit", {{"range", dove}, {"newText", frammento(k)}}}});
  }
  const bool generale_prima =
      st.quale == QualeSorgente::linea ? st.riga_generale >= 0 && st.riga_generale < p.riga : [&] {
        for (int r = 0; r < p.riga; ++r)
          if (contiene(doc->testo.riga(r), kGenerale)) return true;
        return false;
      }();
  if (!generale_prima)
    voci.push_back({{"label", std::string(kGenerale)},
                    {"kind", 14},
                    {"detail", "opens the header block; records are read after it"},
                    {"textEdit", {{"range", dove}, {"newText", std::string(kGenerale)}}}});
  return {{"isIncomplete", false}, {"items", voci}};
}

json ServerLsp::firma(const json& params) {
  const std::string uri_ = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri_);
  if (doc == nullptr) return nullptr;
  const Punto p = punto_in(doc->testo, doc->quale, params.at("position"), codifica_);
  if (p.record.parola == nullptr) return nullptr;
  std::vector<std::pair<std::size_t, std::size_t>> pezzi;
  const std::string etichetta = firma_di(*p.record.parola, &pezzi);
  const std::vector<DescrizioneCampo> campi = campi_di(p.record.parola->chiave);
  json parametri = json::array();
  for (std::size_t i = 0; i < campi.size() && i < pezzi.size(); ++i)
    parametri.push_back({{"label", {pezzi[i].first, pezzi[i].second}},
                         {"documentation", campi[i].nome + " " + descrivi_campo(campi[i])}});
  return {{"signatures",
           {{{"label", etichetta},
             {"documentation", std::string(p.record.parola->nome) + " record"},
             {"parameters", parametri}}}},
          {"activeSignature", 0},
          {"activeParameter", std::max(0, p.campo - 1)}};
}

json ServerLsp::simboli(const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri);
  if (doc == nullptr) return nullptr;
  const StrutturaSorgente st = struttura(doc->testo, doc->quale);
  json out = json::array();
  for (int r = 0; r < doc->testo.righe(); ++r) {
    const std::string_view riga = doc->testo.riga(r);
    if (riga.empty()) continue;
    const RigaRecord rr = leggi_riga(riga, blocco_di(st, r));
    if (rr.parola == nullptr || rr.campi.size() < 2) continue;
    const auto s = simbolo(*rr.parola, rr, riga);
    if (!s) continue;
    std::string dettaglio;
    if (const auto p = numero_di(campo_testo(riga, rr.campi[1]))) dettaglio = km(*p);
    if (rr.parola->chiave == Chiave::montagna && rr.campi.size() > 2)
      if (const auto f = numero_di(campo_testo(riga, rr.campi[2]))) dettaglio += " to " + km(*f);
    const std::size_t fine = rr.campi.back().fine;
    out.push_back({{"name", s->first},
                   {"detail", dettaglio},
                   {"kind", s->second},
                   {"range", intervallo_byte(riga, r, rr.campi[0].inizio, fine, codifica_)},
                   {"selectionRange",
                    intervallo_byte(riga, r, rr.campi[0].inizio, rr.campi[0].fine, codifica_)}});
  }
  return out;
}

json ServerLsp::definizione(const json& params) {
  const std::string uri_ = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri_);
  if (doc == nullptr) return nullptr;
  const Punto p = punto_in(doc->testo, doc->quale, params.at("position"), codifica_);
  const auto a = analisi(uri_);
  if (!a) return nullptr;
  const Fonte& fonte = a->fonte(doc->quale);
  auto posto = [&](const Luogo& l) -> json {
    for (const Fonte* f : {&a->coppia.linea, &a->coppia.treno})
      if (f->nome == l.file && !f->uri.empty())
        return {{"uri", f->uri},
                {"range", intervallo_luogo(f->testo, l.riga, l.colonna, codifica_)}};
    return nullptr;
  };
  // A record another one conflicts with: the note of its diagnostic.
  for (const Diagnostica& d : a->s.diagnostiche) {
    if (d.luogo.file != fonte.nome || d.luogo.riga != p.riga + 1) continue;
    for (const Nota& n : d.note)
      if (n.luogo.riga > 0 && !(n.luogo.file == fonte.nome && n.luogo.riga == p.riga + 1))
        if (json l = posto(n.luogo); !l.is_null()) return l;
  }
  // A record whose cell holds another record's object (a board, a signal).
  for (IdRecord id : record_alla_riga(a->s, doc->quale, p.riga)) {
    const RecordSorgente& rec = a->s.origini.record[id];
    if (!ha_posizione(rec.chiave)) continue;
    const int32_t c = arrotonda_cella(rec.posizione / 50.0 + 1);
    if (c < 0 || static_cast<std::size_t>(c) >= a->s.origini.celle.size()) continue;
    const IdRecord altro = a->s.origini.celle[static_cast<std::size_t>(c)].oggetto;
    if (altro == 0 || altro == id || altro >= a->s.origini.record.size()) continue;
    if (json l = posto(luogo_record(a->s, altro)); !l.is_null()) return l;
  }
  return nullptr;
}

json ServerLsp::azioni(const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri);
  if (doc == nullptr) return nullptr;
  json out = json::array();
  auto modifica = [&](const std::string& titolo, json intervallo, std::string nuovo,
                      const json& diagnostiche, bool preferita) {
    json azione = {
        {"title", titolo},
        {"kind", "quickfix"},
        {"edit",
         {{"changes",
           {{uri, {{{"range", std::move(intervallo)}, {"newText", std::move(nuovo)}}}}}}}}};
    if (!diagnostiche.empty()) azione["diagnostics"] = diagnostiche;
    if (preferita) azione["isPreferred"] = true;
    out.push_back(std::move(azione));
  };

  // The did-you-mean fixes of the diagnostics the editor shows here.
  const json& contesto = params.contains("context") ? params["context"] : json::object();
  if (contesto.contains("diagnostics"))
    for (const json& d : contesto["diagnostics"]) {
      const std::string messaggio = d.value("message", "");
      const std::size_t a = messaggio.find(kPrefissoProposta);
      if (a == std::string::npos || !d.contains("range")) continue;
      const std::size_t inizio = a + kPrefissoProposta.size();
      const std::size_t b = messaggio.find('`', inizio);
      if (b == std::string::npos) continue;
      const std::string proposta = messaggio.substr(inizio, b - inizio);
      modifica("Replace with `" + proposta + "`", d["range"], proposta, json::array({d}), true);
    }

  // The lexical fixes of the lines in the range.
  const json& r = params.at("range");
  const int da = std::max(0, r.at("start").at("line").get<int>());
  const int a = std::min(doc->testo.righe() - 1, r.at("end").at("line").get<int>());
  const StrutturaSorgente st = struttura(doc->testo, doc->quale);
  for (int riga_n = da; riga_n <= a && riga_n < da + 200; ++riga_n) {
    const std::string_view riga = doc->testo.riga(riga_n);
    const RigaRecord rr = leggi_riga(riga, blocco_di(st, riga_n));
    if (rr.commento || rr.campi.empty()) continue;
    const std::size_t primo = rr.campi[0].inizio;
    // Tabs or semicolons where the fields need commas.
    bool virgolette = false, separatori = false;
    for (std::size_t i = primo; i < riga.size(); ++i) {
      if (riga[i] == '"') virgolette = !virgolette;
      if (!virgolette && (riga[i] == ';' || riga[i] == '\t')) separatori = true;
    }
    if (separatori) {
      std::string nuova;
      virgolette = false;
      for (std::size_t i = primo; i < riga.size();) {
        if (riga[i] == '"') virgolette = !virgolette;
        if (!virgolette && (riga[i] == ';' || riga[i] == '\t' || riga[i] == ' ')) {
          std::size_t j = i;
          bool separa = false;
          while (j < riga.size() && (riga[j] == ';' || riga[j] == '\t' || riga[j] == ' ')) {
            separa = separa || riga[j] != ' ';
            ++j;
          }
          if (separa && j < riga.size() && riga[j] == ',') separa = false;  // already a comma
          nuova += separa ? ", " : std::string(riga.substr(i, j - i));
          i = j;
          continue;
        }
        nuova += riga[i++];
      }
      while (!nuova.empty() && (nuova.back() == ' ' || nuova.back() == ',')) nuova.pop_back();
      modifica("Separate the fields with commas",
               intervallo_byte(riga, riga_n, primo, riga.size(), codifica_), nuova, json::array(),
               false);
    }
    if (virgolette) {
      std::size_t fine = riga.size();
      while (fine > primo && (riga[fine - 1] == ' ' || riga[fine - 1] == '\t')) --fine;
      modifica("Close the quoted text", intervallo_byte(riga, riga_n, fine, fine, codifica_), "\"",
               json::array(), false);
    }
    // A text cut at a comma: the rest of the line belongs to it.
    if (rr.parola != nullptr) {
      for (std::size_t i = 1; i < rr.campi.size(); ++i) {
        if (!valore_di_testo(rr.parola->chiave, static_cast<int>(i)) || i + 1 >= rr.campi.size())
          continue;
        const std::size_t x = rr.campi[i].inizio, y = rr.campi.back().fine;
        if (riga[x] == '"') continue;
        std::string testo(riga.substr(x, y - x));
        if (testo.find('"') != std::string::npos) continue;
        modifica("Quote the text \"" + testo + "\"", intervallo_byte(riga, riga_n, x, y, codifica_),
                 "\"" + testo + "\"", json::array(), false);
      }
    }
  }
  return out;
}

json ServerLsp::suggerimenti(const json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const Documento* doc = documento(uri);
  const auto a = analisi(uri);
  if (doc == nullptr || !a) return nullptr;
  const json& r = params.at("range");
  const int da = r.at("start").at("line").get<int>(), fino = r.at("end").at("line").get<int>();
  const StrutturaSorgente st = struttura(doc->testo, doc->quale);
  json out = json::array();
  for (std::size_t id = 1; id < a->s.origini.record.size(); ++id) {
    const RecordSorgente& rec = a->s.origini.record[id];
    const int riga_n = rec.riga - 1;
    if (rec.sorgente != doc->quale || riga_n < da || riga_n > fino || !ha_posizione(rec.chiave))
      continue;
    const std::string_view riga = doc->testo.riga(riga_n);
    const RigaRecord rr = leggi_riga(riga, blocco_di(st, riga_n));
    if (rr.parola == nullptr || rr.campi.size() < 2) continue;
    std::string etichetta = km(rec.posizione);
    const int32_t c = prima_cella(a->s, static_cast<IdRecord>(id));
    if (c >= 0) etichetta += " · cell " + std::to_string(c);
    out.push_back(
        {{"position", json_di({riga_n, colonna_da_byte(riga, rr.campi[1].fine, codifica_)})},
         {"label", etichetta},
         {"paddingLeft", true}});
    if (out.size() >= 5000) break;
  }
  return out;
}

}  // namespace genera::lsp
