#include "traincomp/stations.h"

#include <gtest/gtest.h>

#include <string>

#include "model/run_failure.h"
#include "traincomp/test_state.h"

namespace genera {
namespace {

// Reads one station record (the values after the key) into `t`.
esito_stazione stazione(StatoTreno& t, const std::string& valori, messaggio* err) {
  FieldReader r(valori);
  return leggi_stazione(t.f, r, err);
}

// A station far before the one under test, so the spacing test passes.
void dopo_la_prima(StatoTreno& t) {
  messaggio err;
  ASSERT_EQ(stazione(t, "0, 2, 900, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, PRIMA\r\n", &err),
            esito_stazione::registrata);
}

int avvisi(StatoTreno& t) {
  int n = 0;
  for (const cella_percorso& c : t.f.percorso) n += c.avviso != 0;
  return n;
}

TEST(Stazione, BuiltInFirstStation) {
  StatoTreno t;
  messaggio err;
  ASSERT_EQ(stazione(t, "      0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, LIVRA\r\n", &err),
            esito_stazione::registrata);
  const voce_testata& e = t.voce(1);
  EXPECT_EQ(e.tipo, 2);
  EXPECT_EQ(e.dato3, 0);
  EXPECT_EQ(e.dato1, -450);
  EXPECT_EQ(e.dato2, 450);
  EXPECT_EQ(e.opzione, 0);
  EXPECT_EQ(e.byte4, 0);   // read as 1, forced to 0 for entry 1
  EXPECT_EQ(e.byte3, 0);
  EXPECT_EQ(e.intero1, 1);
  EXPECT_EQ(e.intero2, 1);
  EXPECT_EQ(e.byte1, 0);
  EXPECT_EQ(e.intero3, 4);
  EXPECT_EQ(e.intero4, 1);
  EXPECT_EQ(e.intero5, 1);
  EXPECT_EQ(e.byte2, 1);
  EXPECT_EQ(e.dato4, 31800);
  EXPECT_EQ(e.nome, "LIVRA");
  EXPECT_EQ(t.cella(8).tipo, 10);
  EXPECT_EQ(t.cella(8).valore1, 1);
  for (int m = 1; m <= 4; ++m) EXPECT_EQ(t.cella(8 - m).avviso, 80 + m);
  EXPECT_EQ(avvisi(t), 4);
  EXPECT_EQ(t.f.contatore_stazioni, 2);
  EXPECT_EQ(t.f.codice_errore, 0);
}

TEST(Stazione, AreasStopCellsAndMarkersByKind) {
  const struct {
    const char* valori;
    int32_t dato1, dato2;
    int32_t fermata;   // -1: no stop cell
    int marcatori;
    int byte3, byte4;
  } cases[] = {
      // byte3 lengthens an ordinary area by 50 m.
      {"10000, 4, 400, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, A", 9800, 10250, 204, 4, 1, 0},
      {"10000, 4, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 9800, 10200, 203, 4, 0, 0},
      // byte4 survives from 600 m up.
      {"10000, 4, 500, 0, 1, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 9750, 10250, 204, 4, 0, 0},
      {"10000, 4, 600, 0, 1, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 9700, 10300, 205, 4, 0, 1},
      // Kinds 5 and 6: no markers, byte3 cleared.
      {"20000, 5, 400, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, A", 19600, 20150, 402, 0, 0, 0},
      {"20000, 6, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 19600, 20150, 402, 0, 0, 0},
      // Kinds 7 and 8: the area runs L each way.
      {"20000, 7, 400, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, A", 19600, 20400, 407, 4, 0, 0},
      // 25 and up: entry and area only.
      {"47500, 26, 500, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 47250, 47750, -1, 0, 0, 0},
      {"9050, 28, 400, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, A", 8850, 9300, -1, 0, 1, 0},
      {"9050, 24, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 8850, 9250, 184, 4, 0, 0},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    dopo_la_prima(t);
    const int prima = avvisi(t);
    messaggio err;
    ASSERT_EQ(stazione(t, c.valori, &err), esito_stazione::registrata) << c.valori;
    const voce_testata& e = t.voce(2);
    EXPECT_EQ(e.dato1, c.dato1) << c.valori;
    EXPECT_EQ(e.dato2, c.dato2) << c.valori;
    EXPECT_EQ(e.byte3, c.byte3) << c.valori;
    EXPECT_EQ(e.byte4, c.byte4) << c.valori;
    EXPECT_EQ(avvisi(t) - prima, c.marcatori) << c.valori;
    int fermate = 0;
    for (int32_t k = 9; k < static_cast<int32_t>(t.f.percorso.size()); ++k) {
      if (t.cella(k).tipo != 10) continue;
      ++fermate;
      EXPECT_EQ(k, c.fermata) << c.valori;
      EXPECT_EQ(t.cella(k).valore1, 2);
    }
    EXPECT_EQ(fermate, c.fermata < 0 ? 0 : 1) << c.valori;
    if (c.marcatori == 4) {
      for (int m = 1; m <= 4; ++m) EXPECT_EQ(t.cella(c.fermata - m).avviso, 80 + m) << c.valori;
    }
  }
}

TEST(Stazione, StopCellAndMarkersOverwriteWithoutATest) {
  StatoTreno t;
  t.cella(8).tipo = cella_segnale;
  t.cella(6).avviso = 43;
  messaggio err;
  ASSERT_EQ(stazione(t, "0, 2, 900, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", &err),
            esito_stazione::registrata);
  EXPECT_EQ(t.cella(8).tipo, 10);
  EXPECT_EQ(t.cella(6).avviso, 82);
}

TEST(Stazione, StopsRecordTheirCode) {
  const struct {
    const char* valori;
    int32_t codice;
    int32_t posizione;   // posizione_errore after the stop (starts at 7)
    esito_stazione esito;
    const char* testo;
  } cases[] = {
      {"95250, 2, 400", 15, 95250, esito_stazione::fuori_portata,
       "station at 95250 m lies beyond the end of the grid (a station needs 800 m after it)"},
      {"10025, 2, 400", 8, 10025, esito_stazione::rifiutata,
       "station at 10025 m: the position is not a multiple of 50 m"},
      {"10000, 2, 450", 9, 10000, esito_stazione::rifiutata,
       "station at 10000 m: the length 450 m is not a multiple of 100 m"},
      // The previous area ends at 450 m: 300 m is too close.
      {"1050, 2, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 22, 1050, esito_stazione::rifiutata,
       "station at 1050 m: its area starts at 750 m, less than 350 m after the previous "
       "station's area ends at 450 m"},
      // An area that reaches past the grid: no cell written.
      {"90000, 7, 7000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 23, 90000, esito_stazione::rifiutata,
       "station at 90000 m: its area ends at 97000 m, so its stop cell 1939 lies beyond the "
       "grid (0 to 1920)"},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    dopo_la_prima(t);
    t.f.posizione_errore = 7;
    messaggio err;
    EXPECT_EQ(stazione(t, c.valori, &err), c.esito) << c.valori;
    EXPECT_EQ(t.f.codice_errore, c.codice) << c.valori;
    EXPECT_EQ(t.f.posizione_errore, c.posizione) << c.valori;
    EXPECT_EQ(err.codice, c.codice);
    EXPECT_EQ(err.testo, c.testo);
    EXPECT_EQ(t.voce(2).dato3, std::stoi(c.valori)) << c.valori;
  }
}

TEST(Stazione, TooCloseStationKeepsItsEntryAndCells) {
  StatoTreno t;
  dopo_la_prima(t);
  messaggio err;
  ASSERT_EQ(stazione(t, "1050, 2, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", &err),
            esito_stazione::rifiutata);
  EXPECT_EQ(t.voce(2).nome, "B");
  EXPECT_EQ(t.cella(26).tipo, 10);   // area 750 to 1350
  EXPECT_EQ(t.f.contatore_stazioni, 2);
}

TEST(Stazione, AStopCellNotBeyondCell1IsCode24WithThePositionUnchanged) {
  // Area -200 to 100 m: 100 / 50 - 1 = 1 is not above 1.
  StatoTreno t;
  t.f.posizione_errore = 7;
  messaggio err;
  EXPECT_EQ(stazione(t, "-50, 4, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", &err),
            esito_stazione::rifiutata);
  EXPECT_EQ(t.f.codice_errore, 24);
  EXPECT_EQ(t.f.posizione_errore, 7);
  EXPECT_FALSE(err.posizione.has_value());
  EXPECT_EQ(avvisi(t), 0);
  // Kinds from 25 up have no stop cell to test.
  StatoTreno u;
  EXPECT_EQ(stazione(u, "-50, 25, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", &err),
            esito_stazione::registrata);
}

TEST(Stazione, TheTableLimitStopsAfterTheLastEntryBelowTheBoards) {
  // Ten boards: entries 71 to 80; station 69 fills the last room.
  StatoTreno t(89000, 70);
  t.f.contatore_stazioni = 69;
  t.f.posizione_errore = 7;
  messaggio err;
  EXPECT_EQ(stazione(t, "10000, 26, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, ULTIMA", &err),
            esito_stazione::rifiutata);
  EXPECT_EQ(t.f.codice_errore, 10);
  EXPECT_EQ(t.f.posizione_errore, 7);
  EXPECT_EQ(t.voce(69).nome, "ULTIMA");
  EXPECT_EQ(t.f.contatore_stazioni, 70);
}

TEST(Stazione, AnEntryHoldingABoardTextIsNeverWritten) {
  // 80 boards leave no entry at all: the station is refused before it
  // writes anything, its board text stays.
  StatoTreno t(89000, 0);
  t.voce(1).nome = "BIVIO";
  t.voce(1).dato3 = 5;
  messaggio err;
  EXPECT_EQ(stazione(t, "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", &err),
            esito_stazione::rifiutata);
  EXPECT_EQ(t.f.codice_errore, 10);
  EXPECT_EQ(t.voce(1).nome, "BIVIO");
  EXPECT_EQ(t.voce(1).dato3, 5);
  EXPECT_EQ(avvisi(t), 0);
  EXPECT_EQ(err.testo,
            "station at 10000 m finds no entry left in the table: entry 1 holds an indicator "
            "board's text");
}

TEST(Stazione, ValuesThatDoNotFitTheirFieldAreRunTimeFailures) {
  const char* cases[] = {
      "10000, 256, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",     // kind: Byte
      "10000, 4, 400, -1,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",      // field 4: Byte
      "10000, 4, 400, 0,0,0, 32768,0,0, 0,0,0, 0, 0,0,0, A",   // field 7: Integer
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,-32769, 0, 0,0,0, A",  // field 12: Integer
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 300, 0,0,0, A",     // field 13: Byte
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, A",  // seconds beyond 32 bits
      "10000, 7, -2147483600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",  // p + L beyond 32 bits
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0",          // ends before the name
  };
  for (const char* c : cases) {
    StatoTreno t;
    messaggio err;
    EXPECT_THROW(stazione(t, c, &err), errore_esecuzione) << c;
  }
}

}  // namespace
}  // namespace genera
