#include "lsp/analysis.h"

#include <algorithm>
#include <cstdio>

#include "compiler/compile.h"
#include "model/text.h"
#include "sources/writers.h"

namespace genera::lsp {
namespace {

using nlohmann::json;

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view nome_file(std::string_view percorso) {
  const std::size_t barra = percorso.find_last_of("/\\");
  return barra == std::string_view::npos ? percorso : percorso.substr(barra + 1);
}

std::string folder_of(std::string_view percorso) {
  const std::size_t barra = percorso.find_last_of("/\\");
  return barra == std::string_view::npos ? std::string(".")
                                         : std::string(percorso.substr(0, barra));
}

std::string unisci(const std::string& cartella, std::string_view nome) {
  return cartella + "/" + std::string(nome);
}

std::string testo_predefinito(ListaRighe (*scrittore)()) {
  std::string out;
  testo_righe(scrittore(), [&](std::string_view s) { out += s; });
  return out;
}

/// The stem NAME of NAME_linea.txt, or nothing.
std::optional<std::string> nome_linea_di(std::string_view file) {
  constexpr std::string_view coda = "_linea.txt";
  if (!finisce_con(file, coda) || file.size() == coda.size()) return std::nullopt;
  return std::string(file.substr(0, file.size() - coda.size()));
}

/// The code of NAME_CODE-.txt for the line NAME, or nothing.
std::optional<std::string> codice_di(std::string_view file, std::string_view nome) {
  constexpr std::string_view coda = "-.txt";
  if (file.size() <= nome.size() + 1 + coda.size() || !finisce_con(file, coda)) return std::nullopt;
  if (file.substr(0, nome.size()) != nome || file[nome.size()] != '_') return std::nullopt;
  return std::string(file.substr(nome.size() + 1, file.size() - nome.size() - 1 - coda.size()));
}

Fonte fonte_aperta(const DocumentoAperto& d) {
  Fonte f;
  f.uri = d.uri;
  f.nome = percorso_da_uri(d.uri).value_or(d.uri);
  f.testo = *d.testo;
  f.aperta = true;
  return f;
}

std::optional<Fonte> fonte_disco(const std::string& percorso, const Ambiente& amb) {
  if (!amb.leggi_file) return std::nullopt;
  std::optional<std::string> testo = amb.leggi_file(percorso);
  if (!testo) return std::nullopt;
  Fonte f;
  f.uri = uri_da_percorso(percorso);
  f.nome = percorso;
  f.testo = TestoDocumento(std::move(*testo));
  return f;
}

Fonte fonte_predefinita(QualeSorgente q, const Ambiente& amb) {
  Fonte f;
  if (q == QualeSorgente::linea) {
    f.nome = "built-in " + amb.nome_linea_predefinito + "_linea.txt";
    f.testo = TestoDocumento(testo_predefinito(dati_linea));
  } else {
    f.nome =
        "built-in " + amb.nome_linea_predefinito + "_" + amb.codice_treno_predefinito + "-.txt";
    f.testo = TestoDocumento(testo_predefinito(dati_treno));
  }
  return f;
}

const DocumentoAperto* aperto(const std::vector<DocumentoAperto>& aperti, const std::string& uri) {
  for (const DocumentoAperto& d : aperti)
    if (d.uri == uri) return &d;
  return nullptr;
}

}  // namespace

std::optional<std::string> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view schema = "file://";
  if (uri.substr(0, schema.size()) != schema) return std::nullopt;
  std::string_view resto = uri.substr(schema.size());
  const std::size_t barra = resto.find('/');
  if (barra == std::string_view::npos) return std::nullopt;
  resto.remove_prefix(barra);  // an authority ("localhost") is dropped
  std::string out;
  for (std::size_t i = 0; i < resto.size(); ++i) {
    if (resto[i] == '%' && i + 2 < resto.size()) {
      const int a = cifra_esadecimale(resto[i + 1]), b = cifra_esadecimale(resto[i + 2]);
      if (a >= 0 && b >= 0) {
        out += static_cast<char>(a * 16 + b);
        i += 2;
        continue;
      }
    }
    out += resto[i];
  }
  // file:///c:/x is the Windows path c:/x.
  if (out.size() >= 3 && out[0] == '/' && out[2] == ':') out.erase(0, 1);
  return out;
}

std::string uri_da_percorso(std::string_view percorso) {
  std::string out = "file://";
  if (!percorso.empty() && percorso[0] != '/') out += '/';
  static constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : percorso) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
        std::string_view("/-._~").find(c) != std::string_view::npos) {
      out += c;
    } else if (c == '\\') {
      out += '/';
    } else {
      out += '%';
      out += kCifre[b >> 4];
      out += kCifre[b & 15];
    }
  }
  return out;
}

QualeSorgente quale_sorgente(std::string_view uri, std::string_view lingua,
                             std::string_view testo) {
  if (lingua == "genera-linea") return QualeSorgente::linea;
  if (lingua == "genera-treno") return QualeSorgente::treno;
  const std::string percorso = percorso_da_uri(uri).value_or(std::string(uri));
  const std::string_view file = nome_file(percorso);
  if (finisce_con(file, "_linea.txt")) return QualeSorgente::linea;
  if (finisce_con(file, "-.txt")) return QualeSorgente::treno;
  // Any other name: the line source is the one that gives a length.
  const std::string_view inizio = testo.substr(0, 65536);
  return contiene(inizio, "lunghezza") && contiene(inizio, "percorso") ? QualeSorgente::linea
                                                                       : QualeSorgente::treno;
}

Coppia trova_coppia(const DocumentoAperto& doc, const std::vector<DocumentoAperto>& aperti,
                    const Ambiente& amb) {
  Coppia c;
  const std::optional<std::string> percorso = percorso_da_uri(doc.uri);
  const std::string file(percorso ? nome_file(*percorso) : std::string_view());
  const std::string cartella = percorso ? folder_of(*percorso) : std::string();
  std::optional<Fonte> compagna;

  if (doc.quale == QualeSorgente::linea) {
    c.linea = fonte_aperta(doc);
    const std::optional<std::string> nome = nome_linea_di(file);
    c.nome_linea = nome.value_or(amb.nome_linea_predefinito);
    if (nome && percorso) {
      // NAME_CODE-.txt beside it: an open one first, else the first on disk.
      for (const DocumentoAperto& d : aperti) {
        const std::optional<std::string> p = percorso_da_uri(d.uri);
        if (d.quale != QualeSorgente::treno || !p || folder_of(*p) != cartella) continue;
        if (const auto codice = codice_di(nome_file(*p), *nome)) {
          compagna = fonte_aperta(d);
          c.codice_treno = *codice;
          break;
        }
      }
      if (!compagna && amb.elenca) {
        std::vector<std::string> nomi = amb.elenca(cartella);
        std::sort(nomi.begin(), nomi.end());
        for (const std::string& n : nomi) {
          const auto codice = codice_di(n, *nome);
          if (!codice) continue;
          if ((compagna = fonte_disco(unisci(cartella, n), amb))) {
            c.codice_treno = *codice;
            break;
          }
        }
      }
    }
    c.treno = compagna ? std::move(*compagna) : fonte_predefinita(QualeSorgente::treno, amb);
    if (!compagna) c.codice_treno = amb.codice_treno_predefinito;
    return c;
  }

  c.treno = fonte_aperta(doc);
  if (percorso && finisce_con(file, "-.txt")) {
    // NAME_CODE-.txt: NAME may hold "_" itself; the longest NAME whose line
    // source exists wins.
    for (std::size_t i = file.size(); i-- > 0;) {
      if (file[i] != '_' || i == 0) continue;
      const std::string nome = file.substr(0, i);
      if (!codice_di(file, nome)) continue;
      const std::string linea = unisci(cartella, nome + "_linea.txt");
      if (const DocumentoAperto* d = aperto(aperti, uri_da_percorso(linea))) {
        compagna = fonte_aperta(*d);
      } else {
        compagna = fonte_disco(linea, amb);
      }
      if (compagna) {
        c.nome_linea = nome;
        c.codice_treno = *codice_di(file, nome);
        break;
      }
    }
  }
  if (!compagna) {
    c.linea = fonte_predefinita(QualeSorgente::linea, amb);
    c.nome_linea = amb.nome_linea_predefinito;
    const auto codice = codice_di(file, c.nome_linea);
    c.codice_treno = codice.value_or(amb.codice_treno_predefinito);
  } else {
    c.linea = std::move(*compagna);
  }
  return c;
}

std::shared_ptr<const Analisi> analizza(Coppia coppia) {
  auto a = std::make_shared<Analisi>();
  a->coppia = std::move(coppia);
  const Fonte& l = a->coppia.linea;
  const Fonte& t = a->coppia.treno;
  const Sorgente linea{l.nome, true, l.testo.testo(), {}};
  const Sorgente treno{t.nome, true, t.testo.testo(), {}};
  a->s = compila(linea, treno, {a->coppia.nome_linea, a->coppia.codice_treno, true}, non_eliminare);
  return a;
}

json intervallo_luogo(const TestoDocumento& t, int riga, int colonna, Codifica c, int larghezza) {
  const int r = std::clamp(riga - 1, 0, std::max(0, t.righe() - 1));
  const std::string_view testo = t.riga(r);
  std::size_t a = 0, b = testo.size();
  if (colonna > 0 && static_cast<std::size_t>(colonna - 1) < testo.size()) {
    a = static_cast<std::size_t>(colonna - 1);
    b = a;
    if (larghezza > 0) {
      b = std::min(testo.size(), a + static_cast<std::size_t>(larghezza));
    } else if (testo[b] == '"') {
      b = testo.find('"', a + 1);
      b = b == std::string_view::npos ? testo.size() : b + 1;
    } else {
      while (b < testo.size() && testo[b] != ',') ++b;
    }
    while (b > a + 1 && (testo[b - 1] == ' ' || testo[b - 1] == '\t')) --b;
    if (b == a) b = std::min(testo.size(), a + 1);
  } else {
    while (a < b && (testo[a] == ' ' || testo[a] == '\t')) ++a;
  }
  return {{"start", {{"line", r}, {"character", colonna_da_byte(testo, a, c)}}},
          {"end", {{"line", r}, {"character", colonna_da_byte(testo, b, c)}}}};
}

std::map<std::string, json> diagnostiche_lsp(const Analisi& a, Codifica c) {
  std::map<std::string, json> out;
  const Fonte* fonti[] = {&a.coppia.linea, &a.coppia.treno};
  for (const Fonte* f : fonti)
    if (f->aperta) out[f->uri] = json::array();
  auto fonte_di = [&](const std::string& file) -> const Fonte* {
    for (const Fonte* f : fonti)
      if (f->nome == file) return f;
    return nullptr;
  };
  for (const Diagnostica& d : a.s.diagnostiche) {
    const Fonte* f = fonte_di(d.luogo.file);
    if (f == nullptr) f = a.coppia.linea.aperta ? &a.coppia.linea : &a.coppia.treno;
    if (!f->aperta) continue;  // about a source the editor does not show
    json& lista = out[f->uri];
    if (lista.size() >= kDiagnosticheMassime) continue;
    json j;
    j["range"] = intervallo_luogo(f->testo, d.luogo.riga, d.luogo.colonna, c, d.luogo.larghezza);
    j["severity"] = d.gravita == Gravita::errore ? 1 : d.gravita == Gravita::avviso ? 2 : 3;
    if (d.codice != Codice::nessuno)
      j["code"] = numero(d.codice);
    else if (d.avviso != Avviso::nessuno)
      j["code"] = "W" + std::to_string(numero(d.avviso));
    j["source"] = "genera_scenario";
    // The text `check` prints: a warning with its number and name, then the fix.
    std::string messaggio = testo_con_nome(d);
    if (!d.aiuto.empty()) messaggio += "\nhelp: " + d.aiuto;
    json correlate = json::array();
    for (const Nota& n : d.note) {
      const Fonte* g = fonte_di(n.luogo.file);
      if (g != nullptr && !g->uri.empty()) {
        correlate.push_back({{"location",
                              {{"uri", g->uri},
                               {"range", intervallo_luogo(g->testo, n.luogo.riga, n.luogo.colonna,
                                                          c, n.luogo.larghezza)}}},
                             {"message", n.testo}});
      } else {
        messaggio += "\n" + formatta(n);  // a place in the built-in source
      }
    }
    j["message"] = messaggio;
    if (!correlate.empty()) j["relatedInformation"] = correlate;
    lista.push_back(std::move(j));
  }
  return out;
}

std::vector<IdRecord> record_alla_riga(const ScenarioCompilato& s, QualeSorgente q, int r) {
  std::vector<IdRecord> out;
  for (std::size_t i = 1; i < s.origini.record.size(); ++i) {
    const RecordSorgente& rec = s.origini.record[i];
    if (rec.sorgente == q && rec.riga == r + 1) out.push_back(static_cast<IdRecord>(i));
  }
  return out;
}

std::string km(int64_t metri) {
  char buf[48];
  const int64_t assoluti = metri < 0 ? -metri : metri;
  std::snprintf(buf, sizeof buf, "km %s%lld.%03lld", metri < 0 ? "-" : "",
                static_cast<long long>(assoluti / 1000), static_cast<long long>(assoluti % 1000));
  return buf;
}

namespace {

const char* nome_tipo(TipoCella tipo) {
  switch (tipo) {
    case TipoCella::segnale:
      return "signal";
    case TipoCella::fine_rallentamento:
      return "end of slowdown";
    case TipoCella::inizio_rallentamento:
      return "start of slowdown";
    case TipoCella::avviso_rallentamento:
      return "slowdown warning board";
    case TipoCella::prima_avviso:
      return "cell before the warning board";
    case TipoCella::indicatore_v_max:
      return "speed-indicator board";
    case TipoCella::fermata:
      return "station stop";
    case TipoCella::marca_galleria:
      return "tunnel marker";
    case TipoCella::codice:
      return "code cell";
    case TipoCella::abbattimento:
      return "code cut";
    case TipoCella::cartello:
      return "indicator board";
    default:
      return "track";
  }
}

std::string celle(int32_t a, int32_t b) {
  if (a == b) return "cell " + std::to_string(a) + " (" + km(int64_t{a} * kMetriCella) + ")";
  return "cells " + std::to_string(a) + "–" + std::to_string(b) + " (" +
         km(int64_t{a} * kMetriCella) + " to " + km(int64_t{b} * kMetriCella) + ")";
}

}  // namespace

int32_t prima_cella(const ScenarioCompilato& s, IdRecord id) {
  const auto& o = s.origini.celle;
  for (std::size_t i = 0; i < o.size(); ++i)
    if (o[i].oggetto == id) return static_cast<int32_t>(i);
  for (std::size_t i = 0; i < o.size(); ++i)
    if (o[i].avviso == id || o[i].galleria == id || o[i].velocita == id || o[i].pendenza == id ||
        o[i].aderenza == id)
      return static_cast<int32_t>(i);
  return -1;
}

std::vector<std::string> effetti_record(const ScenarioCompilato& s, IdRecord id) {
  std::vector<std::string> out;
  const auto& o = s.origini.celle;
  const auto n = static_cast<int32_t>(std::min(o.size(), s.percorso.size()));
  int oggetti = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (o[static_cast<std::size_t>(i)].oggetto != id) continue;
    if (++oggetti > 8) continue;
    const cella_percorso& cella = s.percorso[static_cast<std::size_t>(i)];
    out.push_back("- " + celle(i, i) + ": " + nome_tipo(cella.tipo) + ", values " +
                  std::to_string(cella.valore1) + ", " + std::to_string(cella.valore2) + ", " +
                  std::to_string(cella.valore3) + ", " + std::to_string(cella.valore4));
  }
  if (oggetti > 8) out.push_back("- and " + std::to_string(oggetti - 8) + " more object cells");

  // The layers a record writes over a run of cells.
  struct Strato {
    const char* nome;
    IdRecord OrigineCella::*campo;
    uint8_t cella_percorso::*valore;
  };
  static constexpr Strato kStrati[] = {
      {"approach marker", &OrigineCella::avviso, &cella_percorso::avviso},
      {"tunnel", &OrigineCella::galleria, &cella_percorso::galleria},
      {"speed limit", &OrigineCella::velocita, &cella_percorso::velocita},
      {"gradient (stored +100)", &OrigineCella::pendenza, &cella_percorso::pendenza},
      {"adhesion", &OrigineCella::aderenza, &cella_percorso::aderenza},
  };
  for (const Strato& st : kStrati) {
    int corse = 0;
    for (int32_t i = 0; i < n;) {
      if (o[static_cast<std::size_t>(i)].*st.campo != id) {
        ++i;
        continue;
      }
      const int32_t a = i;
      const int v = s.percorso[static_cast<std::size_t>(i)].*st.valore;
      while (i < n && o[static_cast<std::size_t>(i)].*st.campo == id &&
             s.percorso[static_cast<std::size_t>(i)].*st.valore == v)
        ++i;
      if (++corse <= 4)
        out.push_back("- " + celle(a, i - 1) + ": " + st.nome + " " + std::to_string(v));
    }
    if (corse > 4) out.push_back("- and " + std::to_string(corse - 4) + " more runs of " + st.nome);
  }
  for (int e = 0; e < kVociTestata; ++e) {
    if (s.origini.voci[static_cast<std::size_t>(e)] != id) continue;
    const voce_testata& v = s.testata_linea[static_cast<std::size_t>(e)];
    std::string riga = "- table entry " + std::to_string(e);
    if (!v.nome.empty()) riga += ": \"" + utf8_da_cp1252(v.nome) + "\"";
    if (e >= 1 && e <= s.numero_stazioni) riga += ", area " + km(v.dato1) + " to " + km(v.dato2);
    out.push_back(riga);
  }
  for (const CurvaTracciata& c : s.origini.curve)
    if (c.record == id && c.ultima_riga >= c.prima_riga)
      out.push_back("- plan rows " + std::to_string(c.prima_riga) + "–" +
                    std::to_string(c.ultima_riga) + " (" + km(c.prima_riga) + " to " +
                    km(c.ultima_riga) + ")");
  return out;
}

}  // namespace genera::lsp
