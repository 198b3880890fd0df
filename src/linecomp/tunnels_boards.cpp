#include "linecomp/tunnels_boards.h"

#include <algorithm>
#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr int32_t kDistanzaGallerie = 150;
constexpr int32_t kTipoGallerieVicine = 3;

// The cell of a board at `p` metres. The reach check keeps it below U;
// a position before the line's start gives no cell at all.
std::size_t cella_di(const Form1& f, int32_t p, const char* chi) {
  const int32_t c = a_long(static_cast<double>(p) / kMetriCella + 1);
  if (c < 0 || c > ultima_cella(f))
    throw errore_esecuzione(std::string(chi) + " at " + std::to_string(p) + " m gives cell " +
                            std::to_string(c) + ", outside the grid (0 to " +
                            std::to_string(ultima_cella(f)) + ")");
  return static_cast<std::size_t>(c);
}

int16_t velocita_impacchettata(int32_t posizione, int32_t vd, int32_t vs) {
  const double v = static_cast<double>(vd) / 5 + static_cast<double>(vs) * 20;
  const double r = arrotonda(v);
  if (!(r >= -32768.0 && r <= 32767.0))
    throw errore_esecuzione("speed-indicator board at " + std::to_string(posizione) +
                            " m: the packed speed of " + std::to_string(vs) + " and " +
                            std::to_string(vd) + " does not fit 16 bits");
  return a_intero(v);
}

}  // namespace

bool memo_montagna(Form1& f, int32_t inizio, int32_t fine, int32_t tipo, messaggio* err) {
  richiedi_griglia(f, "tunnel record");
  if (f.numero_gallerie >= kMaxGallerie)
    return rifiuta(f, err, 104, inizio,
                   "tunnel at " + std::to_string(inizio) + " m is one more than the " +
                       std::to_string(kMaxGallerie) + " tunnels a line can hold");

  bool illuminata = false;
  if (tipo > 10) {
    illuminata = true;
    tipo -= 10;
  }
  const int32_t n = ++f.numero_gallerie;
  f.inizi_gallerie[static_cast<std::size_t>(n)] = inizio;
  f.fini_gallerie[static_cast<std::size_t>(n)] = fine;
  if (n > 1 &&
      int64_t{inizio} - f.fini_gallerie[static_cast<std::size_t>(n - 1)] <= kDistanzaGallerie)
    tipo = kTipoGallerieVicine;

  const int32_t prima = a_long(static_cast<double>(inizio) / kMetriCella);
  const int32_t ultima = a_long(static_cast<double>(fine) / kMetriCella - 1);
  // Only the part of the tunnel that lies on the grid is marked; k still
  // counts from the tunnel's own first cell so the markers keep their place.
  const int32_t da = std::max(prima, 0);
  const int32_t a = std::min(ultima, ultima_cella(f));
  for (int32_t c = da; c <= a; ++c) {
    cella_percorso& cella = f.percorso[static_cast<std::size_t>(c)];
    cella.galleria = basso8(tipo);
    const int64_t k = int64_t{c} - prima + 1;
    if (illuminata && k % 4 == 0 && cella.tipo == cella_binario) cella.tipo = cella_marca_galleria;
  }
  return true;
}

bool memo_indicatori_v_max(Form1& f, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced, messaggio* err) {
  richiedi_griglia(f, "speed-indicator board");
  const std::size_t c = cella_di(f, posizione, "speed-indicator board");
  cella_percorso& cella = f.percorso[c];
  if (!cella_libera(cella))
    return rifiuta(f, err, 21, posizione,
                   "speed-indicator board at " + std::to_string(posizione) + " m lands on cell " +
                       std::to_string(c) + ", which is already taken");
  // All three packed values are computed before the cell changes, so a
  // value that does not fit leaves the cell as it was.
  const int16_t v1 = velocita_impacchettata(posizione, vad, vas);
  const int16_t v2 = velocita_impacchettata(posizione, vbd, vbs);
  const int16_t v3 = velocita_impacchettata(posizione, vcd, vcs);
  cella.tipo = cella_indicatore_v_max;
  cella.valore1 = v1;
  cella.valore2 = v2;
  cella.valore3 = v3;
  cella.valore4 = basso16(int64_t{strisces} * 10 + strisced);
  return true;
}

bool cartello_indicatore(Form1& f, int32_t p, const std::string& testo, messaggio* err) {
  richiedi_griglia(f, "indicator board");
  const std::size_t c = cella_di(f, p, "indicator board");
  cella_percorso& cella = f.percorso[c];
  if (!cella_libera(cella))
    return rifiuta(f, err, 6, p,
                   "indicator board at " + std::to_string(p) + " m lands on cell " +
                       std::to_string(c) + ", which is already taken");
  // Boards take entries 80 down to 1; entry 0 is never used.
  if (f.prossimo_cartello < 1 || f.prossimo_cartello > kPrimoCartello)
    return rifiuta(f, err, 105, p,
                   "indicator board at " + std::to_string(p) + " m is one more than the " +
                       std::to_string(kPrimoCartello) + " board texts the table can hold");
  cella.tipo = cella_cartello;
  cella.valore1 = basso16(f.prossimo_cartello);
  f.testata_linea[static_cast<std::size_t>(f.prossimo_cartello)].nome = testo;
  --f.prossimo_cartello;
  return true;
}

}  // namespace genera
