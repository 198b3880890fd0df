#include "linecomp/gradients_curves.h"

#include <string>

#include "linecomp/field_reader.h"
#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr int32_t kLimiteTracciato = 1000000;

void richiedi_tracciato(const Form1& f, const char* chi) {
  if (!f.tracciato.presente())
    throw errore_esecuzione(std::string(chi) +
                            " comes before the line length: there is no plan yet");
}

// One step of the gradient profile. The cursor stops one past the last
// cell, so out-of-order records can neither write outside the grid nor
// make the cursor overflow.
void scrivi_pendenza(Form1& f) {
  const int32_t u = ultima_cella(f);
  if (f.cursore_pendenza > u) return;
  f.percorso[static_cast<std::size_t>(f.cursore_pendenza)].pendenza =
      basso8(int64_t{f.pendenza_corrente} + 100);
  ++f.cursore_pendenza;
}

// Point i from the step between points i - 1 and i - 2, turned by `passo`
// (0 for a straight point). The operations run in exactly this order.
// Point i always follows the last point set: the cursor and the rows
// that hold a value advance together.
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

void record_pendenza(Form1& f, int32_t p, int32_t g) {
  richiedi_griglia(f, "gradient record");
  const int32_t n = a_long(static_cast<double>(p) / kMetriCella);
  if (n > 0) {
    do {
      scrivi_pendenza(f);
    } while (f.cursore_pendenza < n);
  }
  f.pendenza_corrente = g;
}

void coda_pendenze(Form1& f) {
  richiedi_griglia(f, "the gradient tail");
  const int32_t u = ultima_cella(f);
  do {
    scrivi_pendenza(f);
  } while (f.cursore_pendenza < u - 2);
}

void inizia_tracciato(Form1& f) {
  f.cursore_tracciato = 2;
  tracciato_linea& t = f.tracciato;
  t.x.clear();
  t.y.clear();
  // A plan of one or two rows (lengths -7000 and -6999) keeps what fits.
  for (int32_t i = 0; i < 2 && i <= t.ultima_riga(); ++i) t.aggiungi(0.0, static_cast<double>(i));
}

bool record_curva(Form1& f, std::string_view chiave, int32_t p, int32_t len, messaggio* err) {
  richiedi_tracciato(f, "curve record");
  double passo = passo_da_chiave(chiave);
  if (passo == 0.0) {
    f.codice_errore = 103;
    *err = {{},
            0,
            103,
            std::nullopt,
            "curve " + citazione(chiave) + " names no class digit (1 to 6)"};
    return false;
  }
  if (contiene(chiave, "s")) passo = -passo;

  tracciato_linea& t = f.tracciato;
  const int64_t fine_curva = int64_t{p} + len;
  for (bool curva : {false, true}) {
    const int64_t ultimo = curva ? fine_curva : p;
    // A curve that runs past the plan's last point stops there.
    while (f.cursore_tracciato <= ultimo && f.cursore_tracciato <= t.ultima_riga()) {
      calcola_punto(t, f.cursore_tracciato, passo, curva);
      ++f.cursore_tracciato;
      if (f.cursore_tracciato > kLimiteTracciato) {
        f.codice_errore = 103;
        *err = {{},
                0,
                103,
                std::nullopt,
                "the curve at " + std::to_string(p) + " m takes the plan past " +
                    std::to_string(kLimiteTracciato) + " m"};
        return false;
      }
    }
  }
  return true;
}

void coda_tracciato(Form1& f) {
  richiedi_tracciato(f, "the plan tail");
  tracciato_linea& t = f.tracciato;
  while (f.cursore_tracciato <= t.ultima_riga() - 2) {
    calcola_punto(t, f.cursore_tracciato, 0.0, false);
    ++f.cursore_tracciato;
  }
}

}  // namespace genera
