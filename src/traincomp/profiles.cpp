#include "traincomp/profiles.h"

#include <string>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

uint8_t velocita_cella(int32_t kmh) {
  const int32_t quinti = a_long(static_cast<double>(kmh) / 5);
  if (quinti < 0 || quinti > 255)
    throw errore_esecuzione("the speed limit of " + std::to_string(kmh) +
                            " km/h does not fit the grid's speed field (-2 to 1277 km/h)");
  return static_cast<uint8_t>(quinti);
}

uint8_t aderenza_cella(int32_t a) { return basso8(a); }

// One profile step: write `valore` from the cursor up to cell n - 1, at
// least once when n > 0, never reaching cell U.
template <typename Valore>
void passo(Form1& f, uint8_t cella_percorso::*campo, int32_t& cursore, int32_t n, Valore valore) {
  if (n <= 0) return;
  const int32_t u = ultima_cella(f);
  do {
    if (cursore >= u) break;
    f.percorso[static_cast<std::size_t>(cursore)].*campo = valore();
    ++cursore;
  } while (cursore < n);
}

template <typename Valore>
void coda(Form1& f, uint8_t cella_percorso::*campo, int32_t& cursore, Valore valore) {
  const int32_t u = ultima_cella(f);
  do {
    // The record steps leave the cursor at U at most; the test keeps any
    // other start inside the grid as well.
    if (cursore >= 0 && cursore <= u) f.percorso[static_cast<std::size_t>(cursore)].*campo = valore();
    ++cursore;
  } while (cursore < u - 2);
}

}  // namespace

void record_velocita(Form1& f, int32_t p, int32_t v) {
  richiedi_griglia(f, "speed record");
  const int32_t n = a_long(static_cast<double>(p) / kMetriCella);
  const int32_t corrente = f.velocita_corrente;
  passo(f, &cella_percorso::velocita, f.cursore_velocita, n, [&] { return velocita_cella(corrente); });
  f.velocita_corrente = v;
}

void record_aderenza(Form1& f, int32_t p, int32_t a) {
  richiedi_griglia(f, "adhesion record");
  const int32_t n = a_long(static_cast<double>(p) / kMetriCella);
  const int32_t corrente = f.aderenza_corrente;
  passo(f, &cella_percorso::aderenza, f.cursore_aderenza, n, [&] { return aderenza_cella(corrente); });
  f.aderenza_corrente = a;
}

void coda_profili(Form1& f) {
  richiedi_griglia(f, "the profiles' tail fill");
  const int32_t v = f.velocita_corrente;
  coda(f, &cella_percorso::velocita, f.cursore_velocita, [&] { return velocita_cella(v); });
  const int32_t a = f.aderenza_corrente;
  coda(f, &cella_percorso::aderenza, f.cursore_aderenza, [&] { return aderenza_cella(a); });
}

}  // namespace genera
