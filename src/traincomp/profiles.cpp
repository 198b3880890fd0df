#include "traincomp/profiles.h"

#include <string>

#include "model/rounding.h"

namespace genera {
namespace {

using Campo = uint8_t cella_percorso::*;
using CampoOrigine = IdRecord OrigineCella::*;

std::optional<uint8_t> velocita_cella(int32_t kmh) {
  const int32_t quinti = arrotonda_cella(static_cast<double>(kmh) / 5);
  if (quinti < 0 || quinti > 255) return std::nullopt;
  return static_cast<uint8_t>(quinti);
}

// The value fails when the cells take it, but the record that gave it is
// the one to blame: the failure is put on its line.
Esito velocita_fuori(const ScenarioCompilato& s, const StatoProfilo& st, const char* quando) {
  const auto id = static_cast<std::size_t>(st.origine);
  const int riga = id < s.origini.record.size() ? s.origini.record[id].riga : 0;
  Esito r{Codice::guasto_lettura, std::nullopt,
          "the speed limit of " + std::to_string(st.corrente) +
              " km/h does not fit the grid's speed field (-2 to 1277 km/h); it fails when " +
              quando + " writes its cells",
          riga};
  r.colonna = riga != 0 ? st.colonna : 0;
  return r;
}

void scrivi(ScenarioCompilato& s, Campo campo, CampoOrigine origine, int32_t c, uint8_t valore,
            IdRecord id) {
  const auto i = static_cast<std::size_t>(c);
  s.percorso[i].*campo = valore;
  s.origini.celle[i].*origine = id;
}

// One profile step: write `valore` from the cursor up to cell n - 1, at
// least once when n > 0, never reaching cell U.
void passo(ScenarioCompilato& s, Campo campo, CampoOrigine origine, StatoProfilo& st, int32_t n,
           uint8_t valore) {
  if (n <= 0) return;
  const int32_t u = s.ultima_cella();
  do {
    if (st.cursore >= u) break;
    scrivi(s, campo, origine, st.cursore, valore, st.origine);
    ++st.cursore;
  } while (st.cursore < n);
}

// True when the step of a record at cell n writes at least one cell.
bool scrive(const ScenarioCompilato& s, const StatoProfilo& st, int32_t n) {
  return n > 0 && st.cursore < s.ultima_cella();
}

void coda(ScenarioCompilato& s, Campo campo, CampoOrigine origine, StatoProfilo& st,
          uint8_t valore) {
  const int32_t u = s.ultima_cella();
  do {
    // The record steps leave the cursor at U at most; the test keeps any
    // other start inside the grid as well.
    if (st.cursore >= 0 && st.cursore <= u)
      scrivi(s, campo, origine, st.cursore, valore, st.origine);
    ++st.cursore;
  } while (st.cursore < u - 2);
}

// True when the tail fill writes at least one cell.
bool coda_scrive(const ScenarioCompilato& s, const StatoProfilo& st) {
  return st.cursore >= 0 && st.cursore <= s.ultima_cella();
}

}  // namespace

Esito record_velocita(ScenarioCompilato& s, StatoProfilo& st, int32_t p, int32_t v, IdRecord id) {
  const int32_t n = arrotonda_cella(static_cast<double>(p) / kMetriCella);
  if (scrive(s, st, n)) {
    // The value in force is converted only when a cell takes it.
    const auto valore = velocita_cella(st.corrente);
    if (!valore) return velocita_fuori(s, st, "the next speed record");
    passo(s, &cella_percorso::velocita, &OrigineCella::velocita, st, n, *valore);
  }
  st.corrente = v;
  st.origine = id;
  return {};
}

void record_aderenza(ScenarioCompilato& s, StatoProfilo& st, int32_t p, int32_t a, IdRecord id) {
  const int32_t n = arrotonda_cella(static_cast<double>(p) / kMetriCella);
  passo(s, &cella_percorso::aderenza, &OrigineCella::aderenza, st, n, basso8(st.corrente));
  st.corrente = a;
  st.origine = id;
}

Esito coda_profili(ScenarioCompilato& s, StatoProfilo& velocita, StatoProfilo& aderenza) {
  uint8_t v = 0;
  if (coda_scrive(s, velocita)) {
    const auto valore = velocita_cella(velocita.corrente);
    if (!valore) return velocita_fuori(s, velocita, "the end of the file");
    v = *valore;
  }
  coda(s, &cella_percorso::velocita, &OrigineCella::velocita, velocita, v);
  coda(s, &cella_percorso::aderenza, &OrigineCella::aderenza, aderenza, basso8(aderenza.corrente));
  return {};
}

}  // namespace genera
