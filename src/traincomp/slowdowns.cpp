#include "traincomp/slowdowns.h"

#include <string>
#include <utility>
#include <vector>

#include "model/rounding.h"

namespace genera {
namespace {

constexpr int32_t kSogliaAvviso = 1500;    // at or below: no warning board
constexpr int32_t kDistanzaAvviso = 1200;  // the board stands this far before the start
constexpr int kCellePrimaAvviso = 4;

bool sulla_griglia(const ScenarioCompilato& s, int32_t c) {
  return c >= 0 && c <= s.ultima_cella();
}

cella_percorso& cella(ScenarioCompilato& s, int32_t c) {
  return s.percorso[static_cast<std::size_t>(c)];
}

void da(ScenarioCompilato& s, int32_t c, IdRecord id) {
  s.origini.celle[static_cast<std::size_t>(c)].oggetto = id;
}

std::string occupata(const ScenarioCompilato& sc, int32_t c) {
  return "cell " + std::to_string(c) + " already holds " + descrivi_cella(sc, c);
}

// The earlier slowdown whose stretch shares a cell with cells s to e (both
// free): one of its ends lies between them, or the nearest end before s is
// a start whose end lies after e. 0 when none does.
IdRecord sovrapposto(const ScenarioCompilato& sc, int32_t s, int32_t e) {
  const auto tipo = [&](int32_t c) { return sc.percorso[static_cast<std::size_t>(c)].tipo; };
  const auto autore = [&](int32_t c) {
    return sc.origini.celle[static_cast<std::size_t>(c)].oggetto;
  };
  for (int32_t c = s + 1; c < e; ++c)
    if (tipo(c) == TipoCella::inizio_rallentamento || tipo(c) == TipoCella::fine_rallentamento)
      return autore(c);
  for (int32_t c = s - 1; c >= 0; --c) {
    if (tipo(c) == TipoCella::fine_rallentamento) return 0;
    if (tipo(c) != TipoCella::inizio_rallentamento) continue;
    // A slowdown with no stretch has a start and no end.
    const IdRecord altro = autore(c);
    for (int32_t k = e + 1; k <= sc.ultima_cella(); ++k)
      if (tipo(k) == TipoCella::fine_rallentamento && autore(k) == altro) return altro;
    return 0;
  }
  return 0;
}

}  // namespace

Esito memo_rallentamento(ScenarioCompilato& sc, int32_t x, int32_t v, int32_t l, int32_t f_tt,
                         int32_t f_ta, int32_t d_v, IdRecord id) {
  const std::string dove = "slowdown at " + std::to_string(x) + " m";
  const int32_t s = arrotonda_cella(static_cast<double>(x) / kMetriCella + 1);
  // x + l in doubles: a length near the 32-bit limit is simply off the grid.
  const int32_t e = arrotonda_cella((static_cast<double>(x) + l) / kMetriCella + 1);
  const int32_t u = sc.ultima_cella();
  if (x < 0) return Esito{Codice::fuori_griglia, x, dove + " starts before the start of the line"};
  if (!sulla_griglia(sc, s) || !sulla_griglia(sc, e))
    return Esito{Codice::fuori_griglia, x,
                 dove + " of " + std::to_string(l) + " m runs from cell " + std::to_string(s) +
                     " to cell " + std::to_string(e) + ", outside the grid (0 to " +
                     std::to_string(u) + ")"};

  // An end that rounds onto the start cell leaves no stretch: the start is
  // laid over the end, and the codes along the slowdown then run to the end
  // of the line, as with a reversed length (which its field reports).
  if (l > 0 && e <= s) {
    segnala_errore(sc, Codice::rallentamento_senza_celle, luogo_record(sc, id),
                   dove + " of " + std::to_string(l) + " m ends on its start cell " +
                       std::to_string(s) + " (a cell is 50 m): it has no stretch");
    sc.diagnostiche.back().aiuto =
        "give the length in metres: more than 50 m always ends in a later cell";
  }

  // x > 1500 keeps the board at cell 7 or later and the four cells at 3 or later.
  const bool avviso = x > kSogliaAvviso;
  const double prima_avviso = (static_cast<double>(x) - kDistanzaAvviso) / kMetriCella;
  const int32_t b = avviso ? arrotonda_cella(prima_avviso + 1) : 0;
  const int32_t p = avviso ? arrotonda_cella(prima_avviso) : 0;
  if (avviso && !cella_libera(cella(sc, b)))
    return Esito{Codice::avviso_rallentamento_occupato,
                 x,
                 dove + ": its warning-board " + occupata(sc, b),
                 0,
                 {nota_occupante(sc, b)}};
  if (!avviso) f_ta = 0;
  if (!cella_libera(cella(sc, s)))
    return Esito{Codice::inizio_rallentamento_occupato,
                 x,
                 dove + ": its start " + occupata(sc, s),
                 0,
                 {nota_occupante(sc, s)}};
  if (!cella_libera(cella(sc, e)))
    return Esito{Codice::fine_rallentamento_occupato,
                 x,
                 dove + ": its end " + occupata(sc, e),
                 0,
                 {nota_occupante(sc, e)}};

  if (e > s) {
    if (const IdRecord altro = sovrapposto(sc, s, e); altro != 0)
      avvisa(sc, Avviso::rallentamenti_sovrapposti, luogo_record(sc, id),
             dove + " (cells " + std::to_string(s) + " to " + std::to_string(e) + ") overlaps " +
                 descrivi_record(sc, altro),
             {{luogo_record(sc, altro), "the slowdown it overlaps"}},
             "join the two slowdowns into one, or shorten the first so it ends before the next");
  }

  // End before start: a slowdown of length 0 ends up as a start cell.
  cella(sc, e).tipo = TipoCella::fine_rallentamento;
  da(sc, e, id);
  if (d_v != 0) cella(sc, e).valore2 = basso16(d_v);
  cella(sc, s).tipo = TipoCella::inizio_rallentamento;
  da(sc, s, id);
  if (d_v != 0) cella(sc, s).valore2 = basso16(d_v);
  if (avviso) {
    cella(sc, b).tipo = TipoCella::avviso_rallentamento;
    da(sc, b, id);
    if (d_v != 0) cella(sc, b).valore2 = basso16(d_v);
    cella(sc, b).valore1 = basso16(v);
  }
  for (const int32_t c : {s, e}) {
    cella(sc, c).valore1 = basso16(v);
    cella(sc, c).valore3 = basso16(f_tt);
  }

  if (f_ta == 0) return {};
  for (int i = 0; i < kCellePrimaAvviso; ++i) {
    if (!cella_libera(cella(sc, p - i)))
      return Esito{Codice::prima_avviso_occupata,
                   x,
                   dove + ": of the four cells before its warning board, " + occupata(sc, p - i),
                   0,
                   {nota_occupante(sc, p - i)}};
  }
  for (int i = 0; i < kCellePrimaAvviso; ++i) {
    cella_percorso& k = cella(sc, p - i);
    k.tipo = TipoCella::prima_avviso;
    da(sc, p - i, id);
    k.valore1 = static_cast<int16_t>(i + 1);
    if (d_v != 0) k.valore2 = static_cast<int16_t>(i + 1);
  }
  return {};
}

void confronta_velocita_limite(ScenarioCompilato& sc) {
  const int32_t u = sc.ultima_cella();
  for (int32_t c = 0; c <= u; ++c) {
    const cella_percorso& k = sc.percorso[static_cast<std::size_t>(c)];
    if (k.tipo != TipoCella::inizio_rallentamento) continue;
    const int32_t limite = int32_t{k.velocita} * 5;
    // Under no limit at all the speed profile says nothing to compare with.
    if (limite == 0 || k.valore1 <= limite) continue;
    const OrigineCella& o = sc.origini.celle[static_cast<std::size_t>(c)];
    std::vector<Nota> note;
    if (o.velocita != 0)
      note.push_back({luogo_record(sc, o.velocita), "the speed limit in force there"});
    avvisa(sc, Avviso::valore_insensato, luogo_record(sc, o.oggetto),
           "the slowdown's speed " + std::to_string(k.valore1) +
               " km/h is above the speed limit of " + std::to_string(limite) +
               " km/h in force at its start",
           std::move(note), "give the slowdown a speed below the speed limit");
  }
}

Esito memo_abbattimento(ScenarioCompilato& sc, int32_t p, int32_t w, IdRecord id) {
  const int32_t k = arrotonda_cella(static_cast<double>(p) / kMetriCella);
  const std::string dove = "code cut at " + std::to_string(p) + " m";
  if (!sulla_griglia(sc, k))
    return Esito{Codice::fuori_griglia, p,
                 dove + " gives cell " + std::to_string(k) + ", outside the grid (0 to " +
                     std::to_string(sc.ultima_cella()) + ")"};
  cella_percorso& c = cella(sc, k);
  if (!cella_libera(c))
    return Esito{Codice::abbattimento_occupato,
                 p,
                 dove + ": its " + occupata(sc, k),
                 0,
                 {nota_occupante(sc, k)}};
  da(sc, k, id);
  if (w > 0) {
    c.tipo = TipoCella::codice;
    c.valore1 = basso16(w);
  } else {
    c.tipo = TipoCella::abbattimento;
  }
  return {};
}

}  // namespace genera
