#include "traincomp/signals.h"

#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr int32_t kTempoMinimo = 101;   // a time of 1 to 100 is raised to this
constexpr int kMarcatori = 4;

}  // namespace

bool memo_segnale(Form1& f, valori_segnale& s, messaggio* err) {
  if (f.percorso.empty())
    throw errore_esecuzione("signal record comes before the line length: there is no grid yet");
  const int32_t u = ultima_cella(f);
  const int32_t c = a_long(static_cast<double>(s.posizione) / kMetriCella + 1);
  const std::string dove = "signal at " + std::to_string(s.posizione) + " m";
  if (c < 0 || c > u)
    return rifiuta(f, err, 23, s.posizione,
                   dove + " gives cell " + std::to_string(c) + ", outside the grid (0 to " +
                       std::to_string(u) + ")");
  cella_percorso& cella = f.percorso[static_cast<std::size_t>(c)];
  if (!cella_libera(cella))
    return rifiuta(f, err, 16, s.posizione,
                   dove + " falls on cell " + std::to_string(c) +
                       ", which already holds an object of kind " + std::to_string(cella.tipo));

  // The packed fields wrap to their width; the record's values are not tested.
  cella.tipo = cella_segnale;
  cella.valore1 = basso16(int64_t{s.s1} * 10 + s.d1);
  cella.valore2 = basso16(int64_t{s.s2} * 10 + s.d2);
  cella.valore3 = basso16(int64_t{s.s3} * 10 + s.d3);
  cella.valore4 = basso16(int64_t{s.rapp} * 10 + int64_t{s.sx} * 3 + s.dx);
  if (s.tempo >= 1 && s.tempo <= 100) s.tempo = kTempoMinimo;
  cella.tempo_segnale = s.sx == 2 ? basso8(s.tempo) : 0;

  const int64_t lati = (int64_t{s.sx} * 3 + s.dx) * 10;
  for (int m = 1; m <= kMarcatori; ++m) {
    const int32_t k = c - 2 * m;
    // A signal in the first 350 m has markers before cell 0: those are skipped.
    if (k < 0) break;
    f.percorso[static_cast<std::size_t>(k)].avviso = basso8(lati + m);
  }
  return true;
}

}  // namespace genera
