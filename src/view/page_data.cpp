#include "view/page_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "view/plan_thinning.h"

namespace genera {
namespace {

using json = nlohmann::json;

constexpr int kRigheAttorno = 2;          // lines quoted on either side of a named one
constexpr std::size_t kRigaMassima = 300;  // bytes of a line the page quotes

/// Stored or source bytes as UTF-8 text for the page: read as Latin-1,
/// tabs as spaces, other control characters dropped.
std::string testo_pagina(std::string_view s) {
  std::string out;
  for (const char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '\t') {
      out += ' ';
    } else if (b >= 0x80) {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    } else if (b >= 0x20 && b != 0x7F) {
      out += ch;
    }
  }
  return out;
}

/// The lines of a source as its reader counts them: CR LF, CR or LF end one.
std::vector<std::string_view> righe_di(std::string_view t) {
  std::vector<std::string_view> righe;
  std::size_t inizio = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '\r' && t[i] != '\n') continue;
    righe.push_back(t.substr(inizio, i - inizio));
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  if (inizio < t.size()) righe.push_back(t.substr(inizio));
  return righe;
}

/// The key field of a record as its line writes it.
std::string chiave_scritta(const std::vector<std::string_view>& righe, const RecordSorgente& r) {
  if (r.riga < 1 || static_cast<std::size_t>(r.riga) > righe.size() || r.colonna < 1) return {};
  const std::string_view riga = righe[static_cast<std::size_t>(r.riga - 1)];
  const auto da = static_cast<std::size_t>(r.colonna - 1);
  if (da >= riga.size()) return {};
  std::string_view campo = riga.substr(da, std::min(riga.find(',', da), riga.size()) - da);
  while (!campo.empty() && (campo.back() == ' ' || campo.back() == '\t')) campo.remove_suffix(1);
  return testo_pagina(campo.substr(0, 40));
}

int indice_sorgente(QualeSorgente q) { return q == QualeSorgente::linea ? 0 : 1; }

/// Runs of equal value and record over cells [0, fine): first cell, value, record.
template <typename Valore>
json corse(const ScenarioCompilato& s, std::size_t fine, Valore valore, IdRecord OrigineCella::*da) {
  json out = json::array();
  std::optional<std::pair<int, IdRecord>> prima;
  for (std::size_t k = 0; k < fine; ++k) {
    const std::pair<int, IdRecord> ora{valore(s.percorso[k]), s.origini.celle[k].*da};
    if (prima && *prima == ora) continue;
    out.push_back(k);
    out.push_back(ora.first);
    out.push_back(ora.second);
    prima = ora;
  }
  return out;
}

json gallerie(const ScenarioCompilato& s) {
  json out = json::array();
  const std::size_t n = s.percorso.size();
  for (std::size_t k = 0; k < n;) {
    const cella_percorso& c = s.percorso[k];
    const IdRecord id = s.origini.celle[k].galleria;
    if (c.galleria == 0) {
      ++k;
      continue;
    }
    std::size_t fine = k;
    bool illuminata = false;
    while (fine < n && s.percorso[fine].galleria == c.galleria &&
           s.origini.celle[fine].galleria == id) {
      illuminata = illuminata || (s.percorso[fine].tipo == cella_marca_galleria &&
                                  s.origini.celle[fine].oggetto == id);
      ++fine;
    }
    out.push_back({k, fine - 1, c.galleria, illuminata ? 1 : 0, id});
    k = fine;
  }
  return out;
}

/// The plan thinned to at most `o.punti_pianta_max` points, as differences.
json tracciato(const tracciato_linea& t, const OpzioniVista& o) {
  const std::size_t righe = std::min({static_cast<std::size_t>(std::max(t.righe, 0)), t.x.size(), t.y.size()});
  const std::span<const double> x(t.x.data(), righe), y(t.y.data(), righe);
  double tolleranza = o.tolleranza_pianta;
  std::vector<std::size_t> tenuti = thin_polyline(x, y, tolleranza);
  while (tenuti.size() > o.punti_pianta_max && tolleranza < 1e6) {
    tolleranza *= 2;
    tenuti = thin_polyline(x, y, tolleranza);
  }
  json r = json::array(), jx = json::array(), jy = json::array();
  std::size_t riga_prima = 0;
  long long x_prima = 0, y_prima = 0;
  for (const std::size_t i : tenuti) {
    r.push_back(i - riga_prima);
    riga_prima = i;
    // Far beyond any line: drawn as a break rather than as a number JSON
    // cannot hold.
    if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || std::abs(x[i]) > 1e12 ||
        std::abs(y[i]) > 1e12) {
      jx.push_back(nullptr);
      jy.push_back(nullptr);
      continue;
    }
    const long long cx = std::llround(x[i] * 100), cy = std::llround(y[i] * 100);
    jx.push_back(cx - x_prima);
    jy.push_back(cy - y_prima);
    x_prima = cx;
    y_prima = cy;
  }
  return {{"righe", std::max(t.righe, 0)}, {"tolleranza", tolleranza}, {"r", r}, {"x", jx}, {"y", jy}};
}

const char* nome_gravita(Gravita g) {
  switch (g) {
    case Gravita::errore:
      return "error";
    case Gravita::avviso:
      return "warning";
    case Gravita::nota:
      return "note";
  }
  return "error";
}

class Costruttore {
 public:
  Costruttore(const ScenarioCompilato& s, const SorgenteVista& linea, const SorgenteVista& treno)
      : s_(s), sorgenti_{&linea, &treno}, righe_{righe_di(linea.testo), righe_di(treno.testo)} {}

  json costruisci(const OpzioniVista& o) {
    const std::size_t celle = s_.percorso.size();
    const std::size_t celle_profilo = celle > 3 ? celle - 3 : 0;  // cells 0 to U - 3
    json d;
    d["linea"] = testo_pagina(o.nome_linea);
    d["treno"] = testo_pagina(o.codice_treno);
    d["versione"] = o.versione;
    d["lunghezza"] = s_.testata_linea[kVoceTreno].dato2;
    d["celle"] = celle;
    d["metri_cella"] = kMetriCella;
    d["codice_errore"] = numero(s_.codice_errore);
    d["posizione_errore"] = s_.posizione_errore;
    d["profili"] = {
        {"pendenza", corse(s_, celle_profilo, [](const cella_percorso& c) { return c.pendenza - 100; },
                           &OrigineCella::pendenza)},
        {"velocita", corse(s_, celle_profilo, [](const cella_percorso& c) { return c.velocita * 5; },
                           &OrigineCella::velocita)},
        {"aderenza", corse(s_, celle_profilo, [](const cella_percorso& c) { return int{c.aderenza}; },
                           &OrigineCella::aderenza)},
    };
    for (const auto& g : (d["gallerie"] = gallerie(s_))) nomina(g[4].get<IdRecord>());
    d["oggetti"] = oggetti();
    d["avvisi"] = avvisi();
    d["stazioni"] = stazioni();
    d["cartelli"] = cartelli();
    d["tracciato"] = tracciato(s_.tracciato, o);
    json curve = json::array();
    for (const CurvaTracciata& c : s_.origini.curve) {
      curve.push_back({c.record, c.prima_riga, c.ultima_riga});
      nomina(c.record);
    }
    d["curve"] = curve;
    for (const char* p : {"pendenza", "velocita", "aderenza"}) {
      const json& runs = d["profili"][p];
      for (std::size_t i = 2; i < runs.size(); i += 3) nomina(runs[i].get<IdRecord>());
    }
    d["diagnostiche"] = diagnostiche();
    d["record"] = record();
    d["sorgenti"] = json::array({sorgente(0), sorgente(1)});
    return d;
  }

 private:
  void nomina(IdRecord id) {
    if (id == 0 || id >= s_.origini.record.size()) return;
    if (!nominati_.insert(id).second) return;
    const RecordSorgente& r = s_.origini.record[id];
    cita(indice_sorgente(r.sorgente), r.riga);
  }

  void cita(int sorgente, int riga) {
    if (sorgente < 0 || riga < 1) return;
    for (int k = riga - kRigheAttorno; k <= riga + kRigheAttorno; ++k)
      if (k >= 1) citate_[static_cast<std::size_t>(sorgente)].insert(k);
  }

  json oggetti() {
    json out = json::array();
    for (std::size_t k = 0; k < s_.percorso.size(); ++k) {
      const cella_percorso& c = s_.percorso[k];
      if (c.tipo == cella_binario) continue;
      const IdRecord id = s_.origini.celle[k].oggetto;
      nomina(id);
      out.push_back({k, c.tipo, c.valore1, c.valore2, c.valore3, c.valore4, c.tempo_segnale, id});
    }
    return out;
  }

  json avvisi() {
    json out = json::array();
    for (std::size_t k = 0; k < s_.percorso.size(); ++k) {
      if (s_.percorso[k].avviso == 0) continue;
      const IdRecord id = s_.origini.celle[k].avviso;
      nomina(id);
      out.push_back({k, s_.percorso[k].avviso, id});
    }
    return out;
  }

  json stazioni() {
    json out = json::array();
    const int ultima = std::clamp(s_.numero_stazioni, 0, kPrimoCartello - 1);  // below the boards' texts
    for (int i = 1; i <= ultima; ++i) {
      const voce_testata& v = s_.testata_linea[static_cast<std::size_t>(i)];
      const IdRecord id = s_.origini.voci[static_cast<std::size_t>(i)];
      nomina(id);
      out.push_back({i, testo_pagina(v.nome), v.dato3, v.dato1, v.dato2, v.tipo, v.dato4, id});
    }
    return out;
  }

  json cartelli() {
    json out = json::object();
    for (const cella_percorso& c : s_.percorso) {
      if (c.tipo != cella_cartello || c.valore1 < 1 || c.valore1 >= kVociTestata) continue;
      const auto voce = static_cast<std::size_t>(c.valore1);
      out[std::to_string(voce)] = testo_pagina(s_.testata_linea[voce].nome);
      nomina(s_.origini.voci[voce]);
    }
    return out;
  }

  int sorgente_di(const std::string& file) const {
    for (int i = 0; i < 2; ++i)
      if (!file.empty() && file == sorgenti_[static_cast<std::size_t>(i)]->nome) return i;
    return -1;
  }

  json luogo(const Luogo& l) {
    const int sorgente = sorgente_di(l.file);
    cita(sorgente, l.riga);
    return {{"sorgente", sorgente},
            {"file", l.file},
            {"riga", l.riga},
            {"posizione", l.posizione ? json(*l.posizione) : json(nullptr)}};
  }

  json diagnostiche() {
    json out = json::array();
    for (const Diagnostica& d : s_.diagnostiche) {
      json j = luogo(d.luogo);
      j["gravita"] = nome_gravita(d.gravita);
      j["codice"] = numero(d.codice);
      j["testo"] = d.testo;
      json note = json::array();
      for (const Nota& n : d.note) {
        json jn = luogo(n.luogo);
        jn["testo"] = n.testo;
        note.push_back(jn);
      }
      j["note"] = note;
      out.push_back(j);
    }
    return out;
  }

  json record() const {
    json out = json::object();
    for (const IdRecord id : nominati_) {
      const RecordSorgente& r = s_.origini.record[id];
      const int i = indice_sorgente(r.sorgente);
      out[std::to_string(id)] = {i, chiave_scritta(righe_[static_cast<std::size_t>(i)], r), r.riga,
                                 r.posizione};
    }
    return out;
  }

  json sorgente(int i) const {
    const auto& righe = righe_[static_cast<std::size_t>(i)];
    json testi = json::object();
    for (const int k : citate_[static_cast<std::size_t>(i)]) {
      if (static_cast<std::size_t>(k) > righe.size()) break;
      testi[std::to_string(k)] =
          testo_pagina(righe[static_cast<std::size_t>(k - 1)].substr(0, kRigaMassima));
    }
    return {{"nome", sorgenti_[static_cast<std::size_t>(i)]->nome}, {"righe", testi}};
  }

  const ScenarioCompilato& s_;
  std::array<const SorgenteVista*, 2> sorgenti_;
  std::array<std::vector<std::string_view>, 2> righe_;
  std::set<IdRecord> nominati_;
  std::array<std::set<int>, 2> citate_;
};

}  // namespace

json dati_vista(const ScenarioCompilato& s, const SorgenteVista& linea, const SorgenteVista& treno,
                const OpzioniVista& o) {
  return Costruttore(s, linea, treno).costruisci(o);
}

std::string testo_dati(const json& dati) {
  const std::string t = dati.dump(-1, ' ', false, json::error_handler_t::replace);
  // "<" appears only inside strings; escaped, no "</script>" or "<!--" can
  // end or upset the script element the page holds the data in.
  std::string out;
  out.reserve(t.size());
  for (const char c : t) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace genera
