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
  if (v.tempo >= 1 && v.tempo <= 100) v.tempo = kTempoMinimo;
  cella.tempo_segnale = v.sx == 2 ? basso8(v.tempo) : 0;
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
