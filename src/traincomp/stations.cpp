#include "traincomp/stations.h"

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "model/rounding.h"
#include "model/text.h"

namespace genera {
namespace {

constexpr double kMarginePortata = 800;  // a station needs this much grid after it
constexpr int32_t kMultiploPosizione = 50;
constexpr int32_t kMultiploLunghezza = 100;
constexpr int32_t kCodaBreve = 150;       // kinds 5 and 6 end this far after p
constexpr int32_t kProlunga = 50;         // byte3 lengthens an ordinary area
constexpr int32_t kLunghezzaByte4 = 600;  // shorter stations lose byte4
constexpr int32_t kDistanzaStazioni = 350;
constexpr int kTipoSenzaCelle = 25;  // kinds from here up get no cells
constexpr int kMarcatori = 4;
constexpr uint8_t kAvvisoStazione = 80;

/// Reads the fields of one station in order, each into its entry field,
/// converting as the field's width asks. The first failure sticks.
class CampiStazione {
 public:
  explicit CampiStazione(LettoreSorgente& r) : r_(r) {}

  bool byte(uint8_t& campo) {
    int64_t v = 0;
    if (!numero(v)) return false;
    const auto b = a_byte(v);
    if (!b) return fallisci("the value " + std::to_string(v) + " does not fit a byte (0 to 255)");
    campo = *b;
    return true;
  }
  bool intero(int16_t& campo) {
    int64_t v = 0;
    if (!numero(v)) return false;
    const auto i = a_intero(v);
    if (!i) return fallisci("the value " + std::to_string(v) + " does not fit a 16-bit number");
    campo = *i;
    return true;
  }
  template <typename... T>
  bool numero(T&... v) {
    esito_ = r_.numeri(v...);
    return esito_.prosegue();
  }
  bool testo(std::string& v) {
    esito_ = r_.testo(v);
    return esito_.prosegue();
  }
  // At the field just read: the one that did not fit.
  bool fallisci(std::string testo) {
    const Luogo campo = r_.luogo_campo();
    esito_ = r_.guasto(std::move(testo), campo.riga, campo.colonna);
    return false;
  }
  /// How the reading went: the first failure, or on.
  Esito esito() { return std::move(esito_); }

 private:
  LettoreSorgente& r_;
  Esito esito_;
};

std::optional<int32_t> long_da(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string non_entra(int64_t v, const char* cosa) {
  return std::string(cosa) + " " + std::to_string(v) + " does not fit 32 bits";
}

constexpr const char* kNonEntraLong = "the value does not fit a 32-bit number";

// Fields 4 to 16 and the name, into entry `e`.
bool leggi_valori(LettoreSorgente& r, CampiStazione& c, voce_testata& e) {
  if (!(c.byte(e.opzione) && c.byte(e.byte4) && c.byte(e.byte3) && c.intero(e.intero1) &&
        c.intero(e.intero2) && c.byte(e.byte1) && c.intero(e.intero3) && c.intero(e.intero4) &&
        c.intero(e.intero5) && c.byte(e.byte2)))
    return false;
  int64_t ore = 0, minuti = 0, secondi = 0;
  if (!c.numero(ore, minuti, secondi)) return false;
  const int64_t tempo = (ore * 60 + minuti) * 60 + secondi;
  const auto dato4 = long_da(tempo);
  if (!dato4) return c.fallisci(non_entra(tempo, "the scheduled time in seconds"));
  e.dato4 = *dato4;
  if (!c.testo(e.nome)) return false;
  e.nome = r.in_codepage(e.nome);
  return true;
}

// The area (dato1, dato2) of station `e` at `p` of length `l`; byte3 is
// cleared for the kinds that take no extension.
bool area(CampiStazione& c, voce_testata& e, int32_t p, int32_t l) {
  const int tipo = e.tipo;
  if (tipo == 5 || tipo == 6) {
    const int64_t fine = int64_t{p} + kCodaBreve, inizio = int64_t{p} - l;
    if (!long_da(fine)) return c.fallisci(non_entra(fine, "the station area's end"));
    e.dato2 = static_cast<int32_t>(fine);
    if (!long_da(inizio)) return c.fallisci(non_entra(inizio, "the station area's start"));
    e.dato1 = static_cast<int32_t>(inizio);
    e.byte3 = 0;
  } else if (tipo == 7 || tipo == 8) {
    const int64_t inizio = int64_t{p} - l, fine = int64_t{p} + l;
    if (!long_da(inizio)) return c.fallisci(non_entra(inizio, "the station area's start"));
    e.dato1 = static_cast<int32_t>(inizio);
    if (!long_da(fine)) return c.fallisci(non_entra(fine, "the station area's end"));
    e.dato2 = static_cast<int32_t>(fine);
    e.byte3 = 0;
  } else {
    const auto inizio = a_long(static_cast<double>(p) - static_cast<double>(l) / 2);
    if (!inizio) return c.fallisci(kNonEntraLong);
    e.dato1 = *inizio;
    const auto fine = e.byte3 != 0
                          ? a_long(static_cast<double>(p) + static_cast<double>(l) / 2 + kProlunga)
                          : a_long(static_cast<double>(p) + static_cast<double>(l) / 2);
    if (!fine) return c.fallisci(kNonEntraLong);
    e.dato2 = *fine;
  }
  return true;
}

// Scheduled times rise along the journey; 0:00:00 is no time at all.
void orario_crescente(LettoreSorgente& r, ScenarioCompilato& s, int32_t i) {
  const voce_testata& e = s.testata_linea[static_cast<std::size_t>(i)];
  if (e.dato4 == 0) return;
  for (int32_t k = i - 1; k >= 1; --k) {
    const voce_testata& prima = s.testata_linea[static_cast<std::size_t>(k)];
    if (prima.dato4 == 0) continue;
    if (prima.dato4 > e.dato4) {
      const auto ora = [](int32_t t) {
        char testo[32];
        std::snprintf(testo, sizeof testo, "%d:%02d:%02d", t / 3600, t / 60 % 60, t % 60);
        return std::string(testo);
      };
      avvisa(s, Avviso::orari_non_crescenti, r.luogo(e.dato3),
             "this station's time " + ora(e.dato4) + " is earlier than " + ora(prima.dato4) +
                 " at the station before it, " + citazione(utf8_da_cp1252(prima.nome)),
             {{luogo_record(s, s.origini.voci[static_cast<std::size_t>(k)]),
               "the station with the later time"}},
             "give the stations in the order of the journey, with rising times");
    }
    return;
  }
}

// A name given to an earlier station too: the driver could not tell them apart.
void nome_ripetuto(LettoreSorgente& r, ScenarioCompilato& s, int32_t i) {
  const voce_testata& e = s.testata_linea[static_cast<std::size_t>(i)];
  if (e.nome.empty()) return;
  for (int32_t k = 1; k < i; ++k) {
    if (s.testata_linea[static_cast<std::size_t>(k)].nome != e.nome) continue;
    avvisa(s, Avviso::nome_ripetuto, r.luogo(e.dato3),
           "this station has the name " + citazione(utf8_da_cp1252(e.nome)) +
               ", which an earlier station has too",
           {{luogo_record(s, s.origini.voci[static_cast<std::size_t>(k)]),
             "the earlier station with that name"}},
           "give each station its own name");
    return;
  }
}

// The first station past the line's end is its terminus, which the rules
// place there; a station after it lies past the end too.
void dopo_capolinea(LettoreSorgente& r, ScenarioCompilato& s, int32_t i) {
  const int32_t fine = lunghezza_linea(s);
  const int32_t p = s.testata_linea[static_cast<std::size_t>(i)].dato3;
  if (p <= fine) return;
  for (int32_t k = 1; k < i; ++k) {
    if (s.testata_linea[static_cast<std::size_t>(k)].dato3 <= fine) continue;
    avvisa(s, Avviso::oltre_fine_linea, r.luogo(p),
           "the station at " + std::to_string(p) + " m lies past the line's end at " +
               std::to_string(fine) + " m, after the terminus",
           {{luogo_record(s, s.origini.voci[static_cast<std::size_t>(k)]),
             "the terminus, the first station past the line's end"}},
           "check the position, or the line length in \"lunghezza percorso\"");
    return;
  }
}

// byte4 and byte3 written by the author but made 0 by the rules. The first
// station's byte4 is dropped in the built-in scenario too: that is normal.
// Its byte3 still lengthens an ordinary area, so only kinds 5 to 8, whose
// areas ignore it, lose it for nothing.
void byte_azzerati(LettoreSorgente& r, ScenarioCompilato& s, int32_t i, int32_t l, uint8_t byte4,
                   uint8_t byte3) {
  const voce_testata& e = s.testata_linea[static_cast<std::size_t>(i)];
  const auto azzerato = [&](const char* campo, uint8_t v, std::string perche) {
    avvisa(s, Avviso::valore_cambiato, r.luogo(e.dato3),
           "this station's " + std::string(campo) + " " + std::to_string(v) +
               " is stored as 0: " + std::move(perche),
           {}, "give " + std::string(campo) + " the value 0");
  };
  if (byte4 != 0 && e.byte4 == 0 && i != 1)
    azzerato("byte4", byte4,
             "a station shorter than 600 m (this one is " + std::to_string(l) + " m) keeps none");
  if (byte3 != 0 && e.tipo >= 5 && e.tipo <= 8)
    azzerato("byte3", byte3,
             "a station of kind " + std::to_string(e.tipo) + " (5 to 8) keeps none");
}

// A station as read, before it is laid: its entry in the table, its
// position and length, and its record.
struct StazioneLetta {
  int32_t i = 0;
  int32_t p = 0;
  int32_t l = 0;
  IdRecord id = 0;
};

std::string dove_stazione(int32_t p) { return "station at " + std::to_string(p) + " m"; }

// Reads the station's values into its entry, in the rules' order: each
// check on a value comes before the values after it are read, so a station
// refused by its position leaves the rest of its fields unread.
Esito leggi_campi(LettoreSorgente& r, ScenarioCompilato& s, int32_t contatore,
                  int32_t prossimo_cartello, StazioneLetta& st) {
  const int32_t u = s.ultima_cella();
  if (Esito e = r.numeri(st.p); !e.prosegue()) return e;
  const int32_t p = st.p;
  st.id = r.annota_record(Chiave::stazione, p);
  const int32_t i = st.i = contatore;
  const std::string dove = dove_stazione(p);

  // Only reachable with 80 indicator boards: the entry is a board's text.
  if (i < 1 || i > prossimo_cartello || i >= kPrimoCartello)
    return {Codice::stazioni_troppe, std::nullopt,
            dove + " finds no entry left in the table: entry " + std::to_string(i) +
                " holds an indicator board's text"};

  voce_testata& e = s.testata_linea[static_cast<std::size_t>(i)];
  s.origini.voci[static_cast<std::size_t>(i)] = st.id;
  e.dato3 = p;
  if ((static_cast<double>(p) + kMarginePortata) / kMetriCella > u)
    return {Codice::oltre_griglia, p,
            dove + " lies beyond the end of the grid (a station needs 800 m after it)"};
  if (p % kMultiploPosizione != 0)
    return {Codice::stazione_non_multipla, p, dove + ": the position is not a multiple of 50 m"};

  CampiStazione campi(r);
  if (!campi.byte(e.tipo) || !campi.numero(st.l)) return campi.esito();
  if (st.l % kMultiploLunghezza != 0)
    return {Codice::lunghezza_stazione_non_multipla, p,
            dove + ": the length " + std::to_string(st.l) + " m is not a multiple of 100 m"};
  leggi_valori(r, campi, e);
  return campi.esito();
}

// Lays the station read: its area, its stop cell with the approach markers
// before it, the distance from the station before, and the count on.
Esito posa_stazione(LettoreSorgente& r, ScenarioCompilato& s, const StazioneLetta& st,
                    int32_t& contatore, int32_t prossimo_cartello) {
  const int32_t u = s.ultima_cella();
  const int32_t i = st.i, p = st.p;
  const IdRecord id = st.id;
  const std::string dove = dove_stazione(p);
  voce_testata& e = s.testata_linea[static_cast<std::size_t>(i)];
  orario_crescente(r, s, i);
  nome_ripetuto(r, s, i);
  dopo_capolinea(r, s, i);
  const uint8_t byte4 = e.byte4, byte3 = e.byte3;
  CampiStazione campi(r);
  if (!area(campi, e, p, st.l)) return campi.esito();
  if (st.l < kLunghezzaByte4) e.byte4 = 0;
  if (i == 1) {
    e.byte3 = 0;
    e.byte4 = 0;
  }
  byte_azzerati(r, s, i, st.l, byte4, byte3);

  const int tipo = e.tipo;
  const double fine_celle = static_cast<double>(e.dato2) / kMetriCella;
  const bool con_celle = tipo < kTipoSenzaCelle;
  const bool ferma_oltre_1 = fine_celle - 1 > 1;
  const int32_t c = arrotonda_cella(fine_celle - 1);
  if (con_celle && ferma_oltre_1 && c > u)
    return {Codice::fuori_griglia, p,
            dove + ": its area ends at " + std::to_string(e.dato2) + " m, so its stop cell " +
                std::to_string(c) + " lies beyond the grid (0 to " + std::to_string(u) + ")"};
  if (con_celle && tipo != 5 && tipo != 6) {
    for (int m = 1; m <= kMarcatori; ++m) {
      const int32_t k = arrotonda_cella(fine_celle - m - 1);
      if (k > 1 && k <= u) {
        s.percorso[static_cast<std::size_t>(k)].avviso = static_cast<uint8_t>(kAvvisoStazione + m);
        annota_scrittura(s, k, &OrigineCella::avviso, id);
      }
    }
  }
  if (con_celle) {
    if (!ferma_oltre_1)
      return {Codice::fermata_troppo_presto, std::nullopt,
              dove + ": its area ends at " + std::to_string(e.dato2) +
                  " m, so its stop cell would not lie beyond cell 1"};
    cella_percorso& fermata = s.percorso[static_cast<std::size_t>(c)];
    // A stop takes its cell whatever stands there: say what it replaces.
    if (!cella_libera(fermata))
      avvisa(s, Avviso::fermata_sostituisce, r.luogo(p),
             "the stop of this station, cell " + std::to_string(c) + ", replaces " +
                 descrivi_cella(s, c),
             {{luogo_record(s, s.origini.celle[static_cast<std::size_t>(c)].oggetto),
               "what it replaces"}});
    fermata.tipo = TipoCella::fermata;
    fermata.valore1 = basso16(i);
    s.origini.celle[static_cast<std::size_t>(c)].oggetto = id;
  }

  if (i > 1) {
    const voce_testata& prima = s.testata_linea[static_cast<std::size_t>(i - 1)];
    if (int64_t{e.dato1} - kDistanzaStazioni < prima.dato2)
      return {Codice::stazioni_vicine, p,
              dove + ": its area starts at " + std::to_string(e.dato1) +
                  " m, less than 350 m after the previous station's area ends at " +
                  std::to_string(prima.dato2) + " m"};
  }

  ++contatore;
  if (contatore >= prossimo_cartello)
    return {Codice::stazioni_troppe, std::nullopt,
            dove + " takes entry " + std::to_string(i) +
                ", the last one below the indicator boards' texts: no further station fits"};
  return {};
}

}  // namespace

Esito leggi_stazione(LettoreSorgente& r, ScenarioCompilato& s, int32_t& contatore,
                     int32_t prossimo_cartello) {
  StazioneLetta st;
  if (Esito e = leggi_campi(r, s, contatore, prossimo_cartello, st); !e.prosegue()) return e;
  return posa_stazione(r, s, st, contatore, prossimo_cartello);
}

}  // namespace genera
