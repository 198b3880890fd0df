#include "linecomp/tunnels_boards.h"

#include <algorithm>
#include <string>
#include <utility>

#include "model/rounding.h"

namespace genera {
namespace {

constexpr int32_t kDistanzaGallerie = 150;
constexpr int32_t kTipoGallerieVicine = 3;

Esito guasto(std::string testo) { return {Codice::guasto_lettura, std::nullopt, std::move(testo)}; }

// The cell of a board at `p` metres. The reach check keeps it below U; a
// position before the line's start gives no cell at all.
std::optional<std::size_t> cella_di(const ScenarioCompilato& s, int32_t p) {
  const int32_t c = arrotonda_cella(static_cast<double>(p) / kMetriCella + 1);
  if (c < 0 || c > s.ultima_cella()) return std::nullopt;
  return static_cast<std::size_t>(c);
}

std::string fuori(const ScenarioCompilato& s, const char* chi, int32_t p) {
  const int32_t c = arrotonda_cella(static_cast<double>(p) / kMetriCella + 1);
  return std::string(chi) + " at " + std::to_string(p) + " m gives cell " + std::to_string(c) +
         ", outside the grid (0 to " + std::to_string(s.ultima_cella()) + ")";
}

std::optional<int16_t> velocita_impacchettata(int32_t vd, int32_t vs) {
  return a_intero(static_cast<double>(vd) / 5 + static_cast<double>(vs) * 20);
}

std::string non_entra(int32_t posizione, int32_t vs, int32_t vd) {
  return "speed-indicator board at " + std::to_string(posizione) + " m: the packed speed of " +
         std::to_string(vs) + " and " + std::to_string(vd) + " does not fit 16 bits";
}

// A tunnel laid in part or not at all says so. An end before its start is
// an error of its own, said where the value is read.
void posato_in_parte(ScenarioCompilato& s, int32_t inizio, int32_t fine, int32_t prima,
                     int32_t ultima, IdRecord id) {
  const std::string tratto =
      "the tunnel from " + std::to_string(inizio) + " to " + std::to_string(fine) + " m";
  if (ultima < prima && fine > inizio) {
    avvisa(s, Avviso::posato_in_parte, luogo_record(s, id),
           tratto + " is shorter than one 50 m cell: its last cell (" + std::to_string(ultima) +
               ") comes before its first (" + std::to_string(prima) + "), so it lays no cell",
           {}, "give the tunnel an end at least 50 m after its start");
  } else if (ultima > s.ultima_cella() && prima <= s.ultima_cella()) {
    avvisa(s, Avviso::posato_in_parte, luogo_record(s, id),
           tratto + " runs past the grid's last cell, " + std::to_string(s.ultima_cella()) +
               ": it is laid up to there, over the whole of the grid's tail",
           {},
           "end the tunnel before the line's end, at " + std::to_string(lunghezza_linea(s)) + " m");
  }
}

}  // namespace

Esito memo_montagna(ScenarioCompilato& s, StatoGallerie& g, int32_t inizio, int32_t fine,
                    int32_t tipo, IdRecord id) {
  if (g.numero >= kMaxGallerie)
    return Esito{Codice::gallerie_troppe, inizio,
                 "tunnel at " + std::to_string(inizio) + " m is one more than the " +
                     std::to_string(kMaxGallerie) + " tunnels a line can hold"};

  bool illuminata = false;
  if (tipo > 10) {
    illuminata = true;
    tipo -= 10;
  }
  const int32_t n = ++g.numero;
  g.inizi[static_cast<std::size_t>(n)] = inizio;
  g.fini[static_cast<std::size_t>(n)] = fine;
  if (n > 1 && int64_t{inizio} - g.fini[static_cast<std::size_t>(n - 1)] <= kDistanzaGallerie)
    tipo = kTipoGallerieVicine;

  const int32_t prima = arrotonda_cella(static_cast<double>(inizio) / kMetriCella);
  const int32_t ultima = arrotonda_cella(static_cast<double>(fine) / kMetriCella - 1);
  posato_in_parte(s, inizio, fine, prima, ultima, id);
  // Only the part of the tunnel that lies on the grid is marked; k still
  // counts from the tunnel's own first cell so the markers keep their place.
  const int32_t da = std::max(prima, 0);
  const int32_t a = std::min(ultima, s.ultima_cella());
  for (int32_t c = da; c <= a; ++c) {
    const auto i = static_cast<std::size_t>(c);
    cella_percorso& cella = s.percorso[i];
    cella.galleria = basso8(tipo);
    annota_scrittura(s, static_cast<int32_t>(i), &OrigineCella::galleria, id);
    const int64_t k = int64_t{c} - prima + 1;
    if (illuminata && k % 4 == 0 && cella.tipo == TipoCella::binario) {
      cella.tipo = TipoCella::marca_galleria;
      s.origini.celle[i].oggetto = id;
    }
  }
  return {};
}

Esito memo_indicatori_v_max(ScenarioCompilato& s, const ValoriIndicatore& v, IdRecord id) {
  const auto c = cella_di(s, v.posizione);
  if (!c) return guasto(fuori(s, "speed-indicator board", v.posizione));
  cella_percorso& cella = s.percorso[*c];
  if (!cella_libera(cella))
    return Esito{Codice::indicatore_occupato,
                 v.posizione,
                 "speed-indicator board at " + std::to_string(v.posizione) + " m lands on cell " +
                     std::to_string(*c) + ", which already holds " +
                     descrivi_cella(s, static_cast<int32_t>(*c)),
                 0,
                 {nota_occupante(s, static_cast<int32_t>(*c))}};
  // All three packed values are computed before the cell changes, so a
  // value that does not fit leaves the cell as it was.
  const auto v1 = velocita_impacchettata(v.vad, v.vas);
  if (!v1) return guasto(non_entra(v.posizione, v.vas, v.vad));
  const auto v2 = velocita_impacchettata(v.vbd, v.vbs);
  if (!v2) return guasto(non_entra(v.posizione, v.vbs, v.vbd));
  const auto v3 = velocita_impacchettata(v.vcd, v.vcs);
  if (!v3) return guasto(non_entra(v.posizione, v.vcs, v.vcd));
  cella.tipo = TipoCella::indicatore_v_max;
  cella.valore1 = *v1;
  cella.valore2 = *v2;
  cella.valore3 = *v3;
  cella.valore4 = basso16(int64_t{v.strisces} * 10 + v.strisced);
  s.origini.celle[*c].oggetto = id;
  return {};
}

Esito cartello_indicatore(ScenarioCompilato& s, int32_t& prossimo_cartello, int32_t p,
                          const std::string& testo, IdRecord id) {
  const auto c = cella_di(s, p);
  if (!c) return guasto(fuori(s, "indicator board", p));
  cella_percorso& cella = s.percorso[*c];
  if (!cella_libera(cella))
    return Esito{Codice::cartello_occupato,
                 p,
                 "indicator board at " + std::to_string(p) + " m lands on cell " +
                     std::to_string(*c) + ", which already holds " +
                     descrivi_cella(s, static_cast<int32_t>(*c)),
                 0,
                 {nota_occupante(s, static_cast<int32_t>(*c))}};
  // Boards take entries 80 down to 1; entry 0 is never used.
  if (prossimo_cartello < 1 || prossimo_cartello > kPrimoCartello)
    return Esito{Codice::cartelli_troppi, p,
                 "indicator board at " + std::to_string(p) + " m is one more than the " +
                     std::to_string(kPrimoCartello) + " board texts the table can hold"};
  const auto voce = static_cast<std::size_t>(prossimo_cartello);
  cella.tipo = TipoCella::cartello;
  cella.valore1 = basso16(prossimo_cartello);
  s.origini.celle[*c].oggetto = id;
  s.testata_linea[voce].nome = testo;
  s.origini.voci[voce] = id;
  --prossimo_cartello;
  return {};
}

}  // namespace genera
