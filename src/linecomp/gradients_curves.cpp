#include "linecomp/gradients_curves.h"

#include <string>

#include "model/rounding.h"
#include "model/text.h"

namespace genera {
namespace {

constexpr int32_t kLimiteTracciato = 1000000;

// One step of the gradient profile. The cursor stops one past the last
// cell, so out-of-order records can neither write outside the grid nor
// make the cursor overflow.
void scrivi_pendenza(ScenarioCompilato& s, StatoPendenze& st) {
  if (st.cursore > s.ultima_cella()) return;
  const auto c = static_cast<std::size_t>(st.cursore);
  s.percorso[c].pendenza = basso8(int64_t{st.corrente} + 100);
  s.origini.celle[c].pendenza = st.origine;
  ++st.cursore;
}

// Row i from the step between rows i - 1 and i - 2, turned by `passo`
// (0 for a straight row). The operations run in exactly this order.
// Row i always follows the last row set: the cursor and the rows that hold
// a value advance together.
void calcola_punto(tracciato_linea& t, int32_t i, double passo, bool curva) {
  const std::size_t a = static_cast<std::size_t>(i);
  const double dx = t.x[a - 1] - t.x[a - 2];
  const double dy = t.y[a - 1] - t.y[a - 2];
  if (curva) {
    t.aggiungi(t.x[a - 1] + (dx + passo * dy), t.y[a - 1] + (dy - passo * dx));
  } else {
    t.aggiungi(t.x[a - 1] + dx, t.y[a - 1] + dy);
  }
}

double passo_da_chiave(std::string_view chiave) {
  static constexpr struct {
    const char* cifra;
    double passo;
  } classi[] = {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004},
                {"4", 0.001},  {"5", 0.002},  {"6", 0.003}};
  for (const auto& c : classi)
    if (contiene_esatto(chiave, c.cifra)) return c.passo;
  return 0.0;
}

}  // namespace

void record_pendenza(ScenarioCompilato& s, StatoPendenze& st, int32_t p, int32_t g, IdRecord id) {
  const int32_t n = arrotonda_cella(static_cast<double>(p) / kMetriCella);
  if (n > 0) {
    do {
      scrivi_pendenza(s, st);
    } while (st.cursore < n);
  }
  st.corrente = g;
  st.origine = id;
}

void coda_pendenze(ScenarioCompilato& s, StatoPendenze& st) {
  const int32_t u = s.ultima_cella();
  do {
    scrivi_pendenza(s, st);
  } while (st.cursore < u - 2);
}

void inizia_tracciato(tracciato_linea& t, StatoTracciato& st) {
  st.cursore = 2;
  t.x.clear();
  t.y.clear();
  // A plan of one or two rows (lengths -7000 and -6999) keeps what fits.
  for (int32_t i = 0; i < 2 && i <= t.ultima_riga(); ++i) t.aggiungi(0.0, static_cast<double>(i));
}

Esito record_curva(ScenarioCompilato& s, StatoTracciato& st, std::string_view chiave, int32_t p,
                   int32_t len, IdRecord id) {
  double passo = passo_da_chiave(chiave);
  if (passo == 0.0)
    return Esito{Codice::curva_errata, std::nullopt,
                 "curve " + citazione(chiave) + " names no class digit (1 to 6)"};
  if (contiene(chiave, "s")) passo = -passo;

  tracciato_linea& t = s.tracciato;
  int32_t prima = st.cursore;
  const int64_t fine_curva = int64_t{p} + len;
  Esito esito;
  for (bool curva : {false, true}) {
    const int64_t ultimo = curva ? fine_curva : p;
    if (curva) prima = st.cursore;
    // A curve that runs past the plan's last row stops there.
    while (st.cursore <= ultimo && st.cursore <= t.ultima_riga()) {
      calcola_punto(t, st.cursore, passo, curva);
      ++st.cursore;
      if (st.cursore > kLimiteTracciato) {
        esito = Esito{Codice::curva_errata, std::nullopt,
                      "the curve at " + std::to_string(p) + " m takes the plan past " +
                          std::to_string(kLimiteTracciato) + " m"};
        break;
      }
    }
    if (!esito.prosegue()) break;
  }
  s.origini.curve.push_back({id, prima, st.cursore - 1});
  return esito;
}

void coda_tracciato(tracciato_linea& t, StatoTracciato& st) {
  while (st.cursore <= t.ultima_riga() - 2) {
    calcola_punto(t, st.cursore, 0.0, false);
    ++st.cursore;
  }
}

}  // namespace genera
