#include "view/drawable.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "model/cell_kinds.h"
#include "view/text_policy.h"

namespace genera {
namespace {

IdRecord origine(const ScenarioCompilato& s, std::size_t k, IdRecord OrigineCella::*da) {
  return k < s.origini.celle.size() ? s.origini.celle[k].*da : IdRecord{0};
}

template <typename Valore>
std::vector<Corsa> corse(const ScenarioCompilato& s, std::size_t fine, Valore valore,
                         IdRecord OrigineCella::*da) {
  std::vector<Corsa> out;
  for (std::size_t k = 0; k < fine; ++k) {
    const Corsa ora{static_cast<int32_t>(k), valore(s.percorso[k]), origine(s, k, da)};
    if (!out.empty() && out.back().valore == ora.valore && out.back().record == ora.record)
      continue;
    out.push_back(ora);
  }
  return out;
}

std::vector<GalleriaDisegnabile> gallerie(const ScenarioCompilato& s) {
  std::vector<GalleriaDisegnabile> out;
  const std::size_t n = s.percorso.size();
  for (std::size_t k = 0; k < n;) {
    const cella_percorso& c = s.percorso[k];
    const IdRecord id = origine(s, k, &OrigineCella::galleria);
    if (c.galleria == 0) {
      ++k;
      continue;
    }
    std::size_t fine = k;
    bool illuminata = false;
    while (fine < n && s.percorso[fine].galleria == c.galleria &&
           origine(s, fine, &OrigineCella::galleria) == id) {
      // A marker of this very tunnel: one left by another record is not.
      illuminata = illuminata || (s.percorso[fine].tipo == TipoCella::marca_galleria &&
                                  origine(s, fine, &OrigineCella::oggetto) == id);
      ++fine;
    }
    out.push_back({static_cast<int32_t>(k), static_cast<int32_t>(fine - 1),
                   metri_cella(static_cast<int64_t>(k)), metri_cella(static_cast<int64_t>(fine)),
                   c.galleria, illuminata, id});
    k = fine;
  }
  return out;
}

}  // namespace

std::string testo_cartello(const std::string& grezzo) {
  std::string out, parte;
  bool dentro = false, parentesi = false;
  auto chiudi = [&] {
    while (!parte.empty() && parte.back() == ' ') parte.pop_back();
    if (!parte.empty()) out += (out.empty() ? "" : " / ") + parte;
    parte.clear();
  };
  for (const char c : grezzo) {
    if (c == '(') {
      dentro = parentesi = true;
    } else if (c == ')') {
      chiudi();
      dentro = false;
    } else if (dentro && !(c == ' ' && parte.empty())) {
      parte += c;
    }
  }
  if (!parentesi) {
    std::string t = grezzo;
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  }
  return out;
}

ScenarioDisegnabile disegnabile(const ScenarioCompilato& s) {
  ScenarioDisegnabile d;
  d.lunghezza = lunghezza_linea(s);
  d.celle = static_cast<int32_t>(s.percorso.size());
  d.celle_profilo = d.celle > 3 ? d.celle - 3 : 0;
  const auto fine = static_cast<std::size_t>(d.celle_profilo);
  d.pendenza = corse(
      s, fine, [](const cella_percorso& c) { return c.pendenza - 100; }, &OrigineCella::pendenza);
  d.velocita = corse(
      s, fine, [](const cella_percorso& c) { return c.velocita * 5; }, &OrigineCella::velocita);
  d.aderenza = corse(
      s, fine, [](const cella_percorso& c) { return int{c.aderenza}; }, &OrigineCella::aderenza);
  d.gallerie = gallerie(s);

  std::map<IdRecord, RallentamentoDisegnabile> rallentamenti;
  for (std::size_t k = 0; k < s.percorso.size(); ++k) {
    const cella_percorso& c = s.percorso[k];
    const auto cella = static_cast<int32_t>(k);
    if (c.avviso != 0)
      d.avvisi.push_back(
          {cella, metri_cella(cella), c.avviso, origine(s, k, &OrigineCella::avviso)});
    if (c.tipo == TipoCella::binario) continue;
    const IdRecord id = origine(s, k, &OrigineCella::oggetto);
    d.oggetti.push_back({cella,
                         metri_cella(cella),
                         c.tipo,
                         {c.valore1, c.valore2, c.valore3, c.valore4},
                         c.tempo_segnale,
                         id});
    switch (c.tipo) {
      case TipoCella::inizio_rallentamento:
      case TipoCella::fine_rallentamento:
      case TipoCella::avviso_rallentamento:
      case TipoCella::prima_avviso: {
        RallentamentoDisegnabile& r = rallentamenti[id];
        r.record = id;
        if (c.tipo == TipoCella::inizio_rallentamento && r.cella_inizio < 0) r.cella_inizio = cella;
        if (c.tipo == TipoCella::fine_rallentamento && r.cella_fine < 0) r.cella_fine = cella;
        if (c.tipo == TipoCella::avviso_rallentamento && r.cella_avviso < 0) r.cella_avviso = cella;
        if (c.tipo == TipoCella::prima_avviso) r.celle_prima.push_back(cella);
        break;
      }
      case TipoCella::cartello:
        if (c.valore1 >= 1 && c.valore1 < kVociTestata)
          d.testi_cartelli[c.valore1] =
              testo_memorizzato(s.testata_linea[static_cast<std::size_t>(c.valore1)].nome);
        break;
      default:
        break;
    }
  }
  for (auto& [id, r] : rallentamenti) {
    // A slowdown of length 0 ends as its start cell alone.
    const int32_t prima = r.cella_inizio >= 0 ? r.cella_inizio
                          : r.cella_fine >= 0 ? r.cella_fine
                          : r.cella_avviso >= 0
                              ? r.cella_avviso
                              : (r.celle_prima.empty() ? 0 : r.celle_prima.front());
    const int32_t ultima = r.cella_fine >= 0 ? std::max(r.cella_fine, prima) : prima;
    r.da = metri_cella(prima);
    r.a = metri_cella(ultima + 1);
    const int32_t con_velocita = r.cella_inizio >= 0   ? r.cella_inizio
                                 : r.cella_avviso >= 0 ? r.cella_avviso
                                                       : r.cella_fine;
    r.velocita = con_velocita >= 0 ? s.percorso[static_cast<std::size_t>(con_velocita)].valore1 : 0;
    d.rallentamenti.push_back(std::move(r));
  }
  std::sort(d.rallentamenti.begin(), d.rallentamenti.end(), [](const auto& a, const auto& b) {
    return std::pair(a.da, a.record) < std::pair(b.da, b.record);
  });

  // Stations fill entries 1 upward and never reach the boards' texts.
  const int ultima = std::clamp(s.numero_stazioni, 0, kPrimoCartello - 1);
  for (int i = 1; i <= ultima; ++i) {
    const voce_testata& v = s.testata_linea[static_cast<std::size_t>(i)];
    StazioneDisegnabile st{i,
                           testo_memorizzato(v.nome),
                           v.dato3,
                           v.dato1,
                           v.dato2,
                           v.tipo,
                           v.dato4,
                           -1,
                           s.origini.voci[static_cast<std::size_t>(i)]};
    for (const OggettoDisegnabile& o : d.oggetti)
      if (o.tipo == TipoCella::fermata && o.valori[0] == i) st.cella_fermata = o.cella;
    d.stazioni.push_back(std::move(st));
  }
  return d;
}

}  // namespace genera
