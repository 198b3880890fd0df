#include "traincomp/signals.h"

#include <string>

#include "model/rounding.h"

namespace genera {
namespace {

constexpr int32_t kTempoMinimo = 101;  // a time of 1 to 100 is raised to this
constexpr int kMarcatori = 4;

}  // namespace

Esito memo_segnale(ScenarioCompilato& s, ValoriSegnale& v, IdRecord id) {
  const int32_t u = s.ultima_cella();
  const int32_t c = arrotonda_cella(static_cast<double>(v.posizione) / kMetriCella + 1);
  const std::string dove = "signal at " + std::to_string(v.posizione) + " m";
  if (c < 0 || c > u)
    return Esito{Codice::fuori_griglia, v.posizione,
                 dove + " gives cell " + std::to_string(c) + ", outside the grid (0 to " +
                     std::to_string(u) + ")"};
  cella_percorso& cella = s.percorso[static_cast<std::size_t>(c)];
  if (!cella_libera(cella))
    return Esito{Codice::segnale_occupato,
                 v.posizione,
                 dove + " falls on cell " + std::to_string(c) + ", which already holds " +
                     descrivi_cella(s, c),
                 0,
                 {nota_occupante(s, c)}};

  // The packed fields wrap to their width; the record's values are not tested.
  cella.tipo = TipoCella::segnale;
  cella.valore1 = basso16(int64_t{v.s1} * 10 + v.d1);
  cella.valore2 = basso16(int64_t{v.s2} * 10 + v.d2);
  cella.valore3 = basso16(int64_t{v.s3} * 10 + v.d3);
  cella.valore4 = basso16(int64_t{v.rapp} * 10 + int64_t{v.sx} * 3 + v.dx);
  // A time written is changed in two ways; say so, since the author meant it.
  const int32_t scritto = v.tempo;
  if (v.tempo >= 1 && v.tempo <= 100) v.tempo = kTempoMinimo;
  cella.tempo_segnale = v.sx == 2 ? basso8(v.tempo) : 0;
  if (scritto != 0 && v.sx != 2)
    avvisa(s, Avviso::valore_cambiato, luogo_record(s, id),
           "the " + dove + " has sx " + std::to_string(v.sx) + ", so its `tempo` " +
               std::to_string(scritto) + " is not kept: 0 is stored",
           {}, "give a signal whose sx is not 2 the time 0, or give it sx 2 to keep the time");
  else if (scritto != v.tempo)
    avvisa(s, Avviso::valore_cambiato, luogo_record(s, id),
           "the " + dove + " has the `tempo` " + std::to_string(scritto) + ", which is raised to " +
               std::to_string(kTempoMinimo) + ": a time of 1 to 100 is stored as 101",
           {}, "give the time 0 for none, or 101 or more");
  s.origini.celle[static_cast<std::size_t>(c)].oggetto = id;

  const int64_t lati = (int64_t{v.sx} * 3 + v.dx) * 10;
  for (int m = 1; m <= kMarcatori; ++m) {
    const int32_t k = c - 2 * m;
    // A signal in the first 350 m has markers before cell 0: those are skipped.
    if (k < 0) break;
    s.percorso[static_cast<std::size_t>(k)].avviso = basso8(lati + m);
    annota_scrittura(s, k, &OrigineCella::avviso, id);
  }
  return {};
}

}  // namespace genera
