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

#include "model/cell_kinds.h"
#include "view/author_fields.h"
#include "view/drawable.h"
#include "view/palette.h"
#include "view/plan_thinning.h"
#include "view/text_policy.h"

namespace genera {
namespace {

using json = nlohmann::json;

constexpr int kRigheAttorno = 2;           // lines quoted on either side of a named one
constexpr std::size_t kRigaMassima = 300;  // bytes of a line the page quotes

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
  return testo_scritto(campo.substr(0, 40));
}

/// At most `n` bytes of `s`, never ending inside a UTF-8 character.
std::string_view cima(std::string_view s, std::size_t n) {
  if (s.size() <= n) return s;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

int indice_sorgente(QualeSorgente q) { return q == QualeSorgente::linea ? 0 : 1; }

/// Runs as [first cell, value, record, ...]; record 0: no rule wrote them.
json corse(const std::vector<Corsa>& c) {
  json out = json::array();
  for (const Corsa& r : c) {
    out.push_back(r.prima_cella);
    out.push_back(r.valore);
    out.push_back(r.record);
  }
  return out;
}

/// The plan thinned to at most `o.punti_pianta_max` points, as differences.
json tracciato(const tracciato_linea& t, const OpzioniVista& o) {
  const std::size_t righe =
      std::min({static_cast<std::size_t>(std::max(t.righe, 0)), t.x.size(), t.y.size()});
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
  return {
      {"righe", std::max(t.righe, 0)}, {"tolleranza", tolleranza}, {"r", r}, {"x", jx}, {"y", jy}};
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
    const ScenarioDisegnabile g = disegnabile(s_);
    json d;
    d["linea"] = testo_scritto(o.nome_linea);
    d["treno"] = testo_scritto(o.codice_treno);
    d["versione"] = o.versione;
    d["lunghezza"] = g.lunghezza;
    d["celle"] = g.celle;
    d["metri_cella"] = kMetriCella;
    d["codice_errore"] = numero(s_.codice_errore);
    d["posizione_errore"] = s_.posizione_errore;
    d["profili"] = {{"pendenza", corse(g.pendenza)},
                    {"velocita", corse(g.velocita)},
                    {"aderenza", corse(g.aderenza)}};
    json gal = json::array();
    for (const GalleriaDisegnabile& t : g.gallerie) {
      gal.push_back({t.prima, t.ultima, t.tipo, t.illuminata ? 1 : 0, t.record, t.da, t.a});
      cita_record(t.record);
    }
    d["gallerie"] = gal;
    json ogg = json::array();
    for (const OggettoDisegnabile& x : g.oggetti) {
      ogg.push_back({x.cella, x.tipo, x.valori[0], x.valori[1], x.valori[2], x.valori[3],
                     x.tempo_segnale, x.record, x.metri});
      cita_record(x.record);
    }
    d["oggetti"] = ogg;
    json avv = json::array();
    for (const AvvisoDisegnabile& x : g.avvisi) {
      avv.push_back({x.cella, x.valore, x.record, x.metri});
      cita_record(x.record);
    }
    d["avvisi"] = avv;
    json ral = json::array();
    for (const RallentamentoDisegnabile& r : g.rallentamenti) {
      ral.push_back({r.record, r.da, r.a, r.velocita, r.cella_inizio, r.cella_fine, r.cella_avviso,
                     r.celle_prima});
      cita_record(r.record);
    }
    d["rallentamenti"] = ral;
    json sta = json::array();
    for (const StazioneDisegnabile& x : g.stazioni) {
      sta.push_back({x.voce, x.nome, x.posizione, x.inizio, x.fine, x.tipo, x.orario, x.record,
                     x.cella_fermata});
      cita_record(x.record);
    }
    d["stazioni"] = sta;
    json car = json::object();
    for (const auto& [voce, testo] : g.testi_cartelli) {
      car[std::to_string(voce)] = testo;
      cita_record(s_.origini.voci[static_cast<std::size_t>(voce)]);
    }
    d["cartelli"] = car;
    json tipi = json::object();
    for (const DescrizioneTipoCella& t : kTipiCella)
      tipi[std::to_string(static_cast<int>(t.tipo))] = {t.nome, t.descrizione, t.chiave};
    d["tipi_cella"] = tipi;
    d["tracciato"] = tracciato(s_.tracciato, o);
    json curve = json::array();
    for (const CurvaTracciata& c : s_.origini.curve) {
      curve.push_back({c.record, c.prima_riga, c.ultima_riga});
      cita_record(c.record);
    }
    d["curve"] = curve;
    for (const std::vector<Corsa>* p : {&g.pendenza, &g.velocita, &g.aderenza})
      for (const Corsa& c : *p) cita_record(c.record);
    d["diagnostiche"] = diagnostiche();
    d["record"] = record();
    d["sorgenti"] = json::array({sorgente(0), sorgente(1)});
    return d;
  }

 private:
  void cita_record(IdRecord id) {
    if (id == 0 || id >= s_.origini.record.size()) return;
    if (!citati_.insert(id).second) return;
    const RecordSorgente& r = s_.origini.record[id];
    cita(indice_sorgente(r.sorgente), r.riga);
  }

  void cita(int sorgente, int riga) {
    if (sorgente < 0 || riga < 1) return;
    for (int k = riga - kRigheAttorno; k <= riga + kRigheAttorno; ++k)
      if (k >= 1) citate_[static_cast<std::size_t>(sorgente)].insert(k);
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
            {"file", testo_scritto(l.file)},
            {"riga", l.riga},
            {"colonna", l.colonna},
            {"posizione", l.posizione ? json(*l.posizione) : json(nullptr)}};
  }

  json diagnostiche() {
    json out = json::array();
    for (const Diagnostica& d : s_.diagnostiche) {
      json j = luogo(d.luogo);
      j["gravita"] = nome_gravita(d.gravita);
      j["codice"] = numero(d.codice);
      // "error 16", "warning": the words the terminal prints, and the
      // code's name where it has one.
      j["titolo"] = gravita_scritta(d.gravita, d.codice);
      const VoceCodice* v = d.codice == Codice::nessuno ? nullptr : cerca_codice(numero(d.codice));
      j["nome"] = v ? std::string(v->nome) : std::string();
      j["testo"] = testo_scritto(d.testo);
      json note = json::array();
      for (const Nota& n : d.note) {
        json jn = luogo(n.luogo);
        jn["testo"] = testo_scritto(n.testo);
        note.push_back(jn);
      }
      j["note"] = note;
      out.push_back(j);
    }
    return out;
  }

  json record() const {
    json out = json::object();
    for (const IdRecord id : citati_) {
      const RecordSorgente& r = s_.origini.record[id];
      const int i = indice_sorgente(r.sorgente);
      json campi = json::array();
      const auto& righe = righe_[static_cast<std::size_t>(i)];
      if (r.riga >= 1 && static_cast<std::size_t>(r.riga) <= righe.size())
        for (const CampoAutore& c :
             campi_autore(r.chiave, righe[static_cast<std::size_t>(r.riga - 1)], r.colonna))
          campi.push_back({c.nome, c.unita, c.valore});
      out[std::to_string(id)] = {i, chiave_scritta(righe, r), r.riga, r.posizione, campi};
    }
    return out;
  }

  json sorgente(int i) const {
    const auto& righe = righe_[static_cast<std::size_t>(i)];
    json testi = json::object();
    for (const int k : citate_[static_cast<std::size_t>(i)]) {
      if (static_cast<std::size_t>(k) > righe.size()) break;
      testi[std::to_string(k)] =
          testo_scritto(cima(righe[static_cast<std::size_t>(k - 1)], kRigaMassima));
    }
    return {{"nome", testo_scritto(sorgenti_[static_cast<std::size_t>(i)]->nome)},
            {"righe", testi}};
  }

  const ScenarioCompilato& s_;
  std::array<const SorgenteVista*, 2> sorgenti_;
  std::array<std::vector<std::string_view>, 2> righe_;
  std::set<IdRecord> citati_;
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
