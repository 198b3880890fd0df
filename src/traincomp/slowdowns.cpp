#include "traincomp/slowdowns.h"

#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr int32_t kSogliaAvviso = 1500;      // at or below: no warning board
constexpr int32_t kDistanzaAvviso = 1200;    // the board stands this far before the start
constexpr int kCellePrimaAvviso = 4;

bool sulla_griglia(const Form1& f, int32_t c) { return c >= 0 && c <= ultima_cella(f); }

cella_percorso& cella(Form1& f, int32_t c) { return f.percorso[static_cast<std::size_t>(c)]; }

std::string occupata(int32_t c, const cella_percorso& k) {
  return "cell " + std::to_string(c) + " already holds an object of kind " +
         std::to_string(k.tipo);
}

}  // namespace

bool memo_rallentamento(Form1& f, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v, messaggio* err) {
  richiedi_griglia(f, "slowdown record");
  const std::string dove = "slowdown at " + std::to_string(x) + " m";
  const int32_t s = a_long(static_cast<double>(x) / kMetriCella + 1);
  // x + l in doubles: a length near the 32-bit limit is simply off the grid.
  const int32_t e = a_long((static_cast<double>(x) + l) / kMetriCella + 1);
  const int32_t u = ultima_cella(f);
  if (x < 0)
    return rifiuta(f, err, 23, x, dove + " starts before the start of the line");
  if (!sulla_griglia(f, s) || !sulla_griglia(f, e))
    return rifiuta(f, err, 23, x,
                   dove + " of " + std::to_string(l) + " m runs from cell " + std::to_string(s) +
                       " to cell " + std::to_string(e) + ", outside the grid (0 to " +
                       std::to_string(u) + ")");

  // x > 1500 keeps the board at cell 7 or later and the four cells at 3 or later.
  const bool avviso = x > kSogliaAvviso;
  const double prima_avviso = (static_cast<double>(x) - kDistanzaAvviso) / kMetriCella;
  const int32_t b = avviso ? a_long(prima_avviso + 1) : 0;
  const int32_t p = avviso ? a_long(prima_avviso) : 0;
  if (avviso && !cella_libera(cella(f, b)))
    return rifiuta(f, err, 17, x, dove + ": its warning-board " + occupata(b, cella(f, b)));
  if (!avviso) f_ta = 0;
  if (!cella_libera(cella(f, s)))
    return rifiuta(f, err, 18, x, dove + ": its start " + occupata(s, cella(f, s)));
  if (!cella_libera(cella(f, e)))
    return rifiuta(f, err, 19, x, dove + ": its end " + occupata(e, cella(f, e)));

  // End before start: a slowdown of length 0 ends up as a start cell.
  cella(f, e).tipo = cella_fine_rallentamento;
  if (d_v != 0) cella(f, e).valore2 = basso16(d_v);
  cella(f, s).tipo = cella_inizio_rallentamento;
  if (d_v != 0) cella(f, s).valore2 = basso16(d_v);
  if (avviso) {
    cella(f, b).tipo = cella_avviso_rallentamento;
    if (d_v != 0) cella(f, b).valore2 = basso16(d_v);
    cella(f, b).valore1 = basso16(v);
  }
  for (const int32_t c : {s, e}) {
    cella(f, c).valore1 = basso16(v);
    cella(f, c).valore3 = basso16(f_tt);
  }

  if (f_ta == 0) return true;
  for (int i = 0; i < kCellePrimaAvviso; ++i) {
    if (!cella_libera(cella(f, p - i)))
      return rifiuta(f, err, 20, x,
                     dove + ": of the four cells before its warning board, " +
                         occupata(p - i, cella(f, p - i)));
  }
  for (int i = 0; i < kCellePrimaAvviso; ++i) {
    cella_percorso& k = cella(f, p - i);
    k.tipo = cella_prima_avviso;
    k.valore1 = static_cast<int16_t>(i + 1);
    if (d_v != 0) k.valore2 = static_cast<int16_t>(i + 1);
  }
  return true;
}

bool memo_abbattimento(Form1& f, int32_t p, int32_t w, messaggio* err) {
  richiedi_griglia(f, "code cut record");
  const int32_t k = a_long(static_cast<double>(p) / kMetriCella);
  const std::string dove = "code cut at " + std::to_string(p) + " m";
  if (!sulla_griglia(f, k))
    return rifiuta(f, err, 23, p,
                   dove + " gives cell " + std::to_string(k) + ", outside the grid (0 to " +
                       std::to_string(ultima_cella(f)) + ")");
  cella_percorso& c = cella(f, k);
  if (!cella_libera(c))
    return rifiuta(f, err, 7, p, dove + ": its " + occupata(k, c));
  if (w > 0) {
    c.tipo = cella_codice;
    c.valore1 = basso16(w);
  } else {
    c.tipo = cella_abbattimento;
  }
  return true;
}

}  // namespace genera
