#include "traincomp/stations.h"

#include <optional>
#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr double kMarginePortata = 800;    // a station needs this much grid after it
constexpr int32_t kMultiploPosizione = 50;
constexpr int32_t kMultiploLunghezza = 100;
constexpr int32_t kCodaBreve = 150;        // kinds 5 and 6 end this far after p
constexpr int32_t kProlunga = 50;          // byte3 lengthens an ordinary area
constexpr int32_t kLunghezzaByte4 = 600;   // shorter stations lose byte4
constexpr int32_t kDistanzaStazioni = 350;
constexpr int kTipoSenzaCelle = 25;        // kinds from here up get no cells
constexpr int kMarcatori = 4;
constexpr uint8_t kAvvisoStazione = 80;

esito_stazione ferma(Form1& f, messaggio* err, int32_t codice, std::optional<int32_t> posizione,
                     std::string testo) {
  f.codice_errore = codice;
  if (posizione) f.posizione_errore = *posizione;
  *err = {{}, 0, codice, posizione, std::move(testo)};
  return codice == 15 ? esito_stazione::fuori_portata : esito_stazione::rifiutata;
}

int32_t long_da(int64_t v, const char* cosa) {
  if (v < INT32_MIN || v > INT32_MAX)
    throw errore_esecuzione(std::string(cosa) + " " + std::to_string(v) + " does not fit 32 bits");
  return static_cast<int32_t>(v);
}

int16_t intero(FieldReader& r) { return a_intero(int64_t{r.leggi_numero()}); }
uint8_t byte(FieldReader& r) { return a_byte(r.leggi_numero()); }

}  // namespace

esito_stazione leggi_stazione(Form1& f, FieldReader& r, messaggio* err) {
  if (f.percorso.empty())
    throw errore_esecuzione("station record comes before the line length: there is no grid yet");
  const int32_t u = ultima_cella(f);
  const int32_t p = r.leggi_numero();
  const int32_t i = f.contatore_stazioni;
  const std::string dove = "station at " + std::to_string(p) + " m";

  // Only reachable with 80 indicator boards: the entry is a board's text.
  if (i < 1 || i > f.prossimo_cartello || i >= kPrimoCartello)
    return ferma(f, err, 10, std::nullopt,
                 dove + " finds no entry left in the table: entry " + std::to_string(i) +
                     " holds an indicator board's text");

  voce_testata& e = f.testata_linea[static_cast<std::size_t>(i)];
  e.dato3 = p;
  if ((static_cast<double>(p) + kMarginePortata) / kMetriCella > u)
    return ferma(f, err, 15, p,
                 dove + " lies beyond the end of the grid (a station needs 800 m after it)");
  if (p % kMultiploPosizione != 0)
    return ferma(f, err, 8, p, dove + ": the position is not a multiple of 50 m");

  e.tipo = byte(r);
  const int32_t l = r.leggi_numero();
  if (l % kMultiploLunghezza != 0)
    return ferma(f, err, 9, p,
                 dove + ": the length " + std::to_string(l) + " m is not a multiple of 100 m");

  e.opzione = byte(r);
  e.byte4 = byte(r);
  e.byte3 = byte(r);
  e.intero1 = intero(r);
  e.intero2 = intero(r);
  e.byte1 = byte(r);
  e.intero3 = intero(r);
  e.intero4 = intero(r);
  e.intero5 = intero(r);
  e.byte2 = byte(r);
  const int64_t ore = r.leggi_numero();
  const int64_t minuti = r.leggi_numero();
  const int64_t secondi = r.leggi_numero();
  e.dato4 = long_da((ore * 60 + minuti) * 60 + secondi, "the scheduled time in seconds");
  e.nome = r.leggi_testo();

  const int tipo = e.tipo;
  if (tipo == 5 || tipo == 6) {
    e.dato2 = long_da(int64_t{p} + kCodaBreve, "the station area's end");
    e.dato1 = long_da(int64_t{p} - l, "the station area's start");
    e.byte3 = 0;
  } else if (tipo == 7 || tipo == 8) {
    e.dato1 = long_da(int64_t{p} - l, "the station area's start");
    e.dato2 = long_da(int64_t{p} + l, "the station area's end");
    e.byte3 = 0;
  } else {
    e.dato1 = a_long(static_cast<double>(p) - static_cast<double>(l) / 2);
    e.dato2 = e.byte3 != 0 ? a_long(static_cast<double>(p) + static_cast<double>(l) / 2 + kProlunga)
                           : a_long(static_cast<double>(p) + static_cast<double>(l) / 2);
  }
  if (l < kLunghezzaByte4) e.byte4 = 0;
  if (i == 1) {
    e.byte3 = 0;
    e.byte4 = 0;
  }

  const double fine_celle = static_cast<double>(e.dato2) / kMetriCella;
  const bool con_celle = tipo < kTipoSenzaCelle;
  const bool ferma_oltre_1 = fine_celle - 1 > 1;
  const int32_t c = a_long(fine_celle - 1);
  if (con_celle && ferma_oltre_1 && c > u)
    return ferma(f, err, 23, p,
                 dove + ": its area ends at " + std::to_string(e.dato2) + " m, so its stop cell " +
                     std::to_string(c) + " lies beyond the grid (0 to " + std::to_string(u) + ")");
  if (con_celle && tipo != 5 && tipo != 6) {
    for (int m = 1; m <= kMarcatori; ++m) {
      const int32_t k = a_long(fine_celle - m - 1);
      if (k > 1 && k <= u)
        f.percorso[static_cast<std::size_t>(k)].avviso = static_cast<uint8_t>(kAvvisoStazione + m);
    }
  }
  if (con_celle) {
    if (!ferma_oltre_1)
      return ferma(f, err, 24, std::nullopt,
                   dove + ": its area ends at " + std::to_string(e.dato2) +
                       " m, so its stop cell would not lie beyond cell 1");
    cella_percorso& fermata = f.percorso[static_cast<std::size_t>(c)];
    fermata.tipo = cella_fermata;
    fermata.valore1 = basso16(i);
  }

  if (i > 1) {
    const voce_testata& prima = f.testata_linea[static_cast<std::size_t>(i - 1)];
    if (int64_t{e.dato1} - kDistanzaStazioni < prima.dato2)
      return ferma(f, err, 22, p,
                   dove + ": its area starts at " + std::to_string(e.dato1) +
                       " m, less than 350 m after the previous station's area ends at " +
                       std::to_string(prima.dato2) + " m");
  }

  ++f.contatore_stazioni;
  if (f.contatore_stazioni >= f.prossimo_cartello)
    return ferma(f, err, 10, std::nullopt,
                 dove + " takes entry " + std::to_string(i) +
                     ", the last one below the indicator boards' texts: no further station fits");
  return esito_stazione::registrata;
}

}  // namespace genera
