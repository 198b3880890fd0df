#include "traincomp/stations.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "traincomp/test_state.h"

namespace genera {
namespace {

// A station far before the one under test, so the spacing test passes.
constexpr const char* kPrima = "0, 2, 900, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, PRIMA";

// Reads a train source of the station records `valori` (the values after
// each key) followed by one more record, and tells how the reading went on
// after the last station: it read the next record (continua), it stopped
// but the profile tails ran (fine_morbida), it stopped at once
// (fine_dura), or it failed (guasto).
Passo stazioni(StatoTreno& t, std::initializer_list<std::string> valori) {
  std::string testo = "[generale]\r\n";
  for (const std::string& v : valori) testo += "stazione, " + v + "\r\n";
  testo += "numero vetture, 5\r\n[fine]\r\n";
  t.cella(0).velocita = 9;  // the tail writes 0 here
  const Esito esito = t.leggi(testo);
  if (esito.passo == Passo::guasto) return Passo::guasto;
  if (t.voce(kVoceTreno).dato3 == 5) return Passo::continua;
  return t.cella(0).velocita == 0 ? Passo::fine_morbida : Passo::fine_dura;
}

// A station that fails before its record ends: nothing follows it.
Passo guasta(StatoTreno& t, const std::string& valori) {
  return t.leggi("[generale]\r\nstazione, " + valori).passo;
}

int avvisi(StatoTreno& t) {
  int n = 0;
  for (const cella_percorso& c : t.s.percorso) n += c.avviso != 0;
  return n;
}

TEST(Stazione, BuiltInFirstStation) {
  StatoTreno t;
  ASSERT_EQ(stazioni(t, {"      0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, LIVRA"}),
            Passo::continua);
  const voce_testata& e = t.voce(1);
  EXPECT_EQ(static_cast<int>(e.tipo), 2);
  EXPECT_EQ(e.dato3, 0);
  EXPECT_EQ(e.dato1, -450);
  EXPECT_EQ(e.dato2, 450);
  EXPECT_EQ(e.opzione, 0);
  EXPECT_EQ(e.byte4, 0);  // read as 1, forced to 0 for entry 1
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
  EXPECT_EQ(t.cella(8).tipo, TipoCella::fermata);
  EXPECT_EQ(t.cella(8).valore1, 1);
  for (int m = 1; m <= 4; ++m) EXPECT_EQ(t.cella(8 - m).avviso, 80 + m);
  EXPECT_EQ(avvisi(t), 4);
  EXPECT_EQ(t.s.numero_stazioni, 1);
  EXPECT_EQ(numero(t.s.codice_errore), 0);
}

// byte4 and byte3 that the rules make 0 are said, but not the first
// station's: the built-in scenario writes its byte4, and its byte3 still
// lengthens the area.
TEST(Stazione, ByteFieldsMadeZeroAreSaid) {
  const struct {
    const char* nome;
    const char* valori;  // the second station, after kPrima
    int avvisi;
  } cases[] = {
      {"byte4 kept at 600 m", "9000, 12, 600, 0,1,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 0},
      {"byte4 dropped below 600 m", "9000, 12, 500, 0,1,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 1},
      {"byte3 kept by kind 12", "9000, 12, 500, 0,0,1, 0,0,0, 0,0,0, 0, 0,0,0, B", 0},
      {"byte3 dropped by kind 5", "9000, 5, 400, 0,0,1, 0,0,0, 0,0,0, 0, 0,0,0, B", 1},
      {"both dropped by kind 7", "9000, 7, 400, 0,2,3, 0,0,0, 0,0,0, 0, 0,0,0, B", 2},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    ASSERT_EQ(stazioni(t, {kPrima, c.valori}), Passo::continua) << c.nome;
    int n = 0;
    for (const Diagnostica& d : t.s.diagnostiche) n += d.avviso == Avviso::valore_cambiato;
    EXPECT_EQ(n, c.avvisi) << c.nome;
    EXPECT_EQ(t.s.diagnostiche.size(), static_cast<std::size_t>(c.avvisi)) << c.nome;
  }
  StatoTreno primo;
  ASSERT_EQ(stazioni(primo, {"0, 2, 500, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, A"}), Passo::continua);
  EXPECT_TRUE(primo.s.diagnostiche.empty());
  EXPECT_EQ(primo.voce(1).dato2, 300);  // 250 + 50: byte3 did its work
}

TEST(Stazione, AreasStopCellsAndMarkersByKind) {
  const struct {
    const char* valori;
    int32_t dato1, dato2;
    int32_t fermata;  // -1: no stop cell
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
    ASSERT_EQ(stazioni(t, {kPrima, c.valori}), Passo::continua) << c.valori;
    const voce_testata& e = t.voce(2);
    EXPECT_EQ(e.dato1, c.dato1) << c.valori;
    EXPECT_EQ(e.dato2, c.dato2) << c.valori;
    EXPECT_EQ(e.byte3, c.byte3) << c.valori;
    EXPECT_EQ(e.byte4, c.byte4) << c.valori;
    // The first station has its four markers below cell 9.
    EXPECT_EQ(avvisi(t) - 4, c.marcatori) << c.valori;
    int fermate = 0;
    for (int32_t k = 9; k < static_cast<int32_t>(t.s.percorso.size()); ++k) {
      if (t.cella(k).tipo != TipoCella::fermata) continue;
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
  t.cella(8).tipo = TipoCella::segnale;
  t.cella(6).avviso = 43;
  ASSERT_EQ(stazioni(t, {"0, 2, 900, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}), Passo::continua);
  EXPECT_EQ(static_cast<int>(t.cella(8).tipo), 10);
  EXPECT_EQ(t.cella(6).avviso, 82);
}

TEST(Stazione, StopsRecordTheirCode) {
  const struct {
    const char* valori;
    int32_t codice;
    int32_t posizione;  // posizione_errore after the stop (starts at 7)
    Passo passo;
    const char* testo;
  } cases[] = {
      {"95250, 2, 400", 15, 95250, Passo::fine_morbida,
       "station at 95250 m lies beyond the end of the grid (a station needs 800 m after it)"},
      {"10025, 2, 400", 8, 10025, Passo::fine_dura,
       "station at 10025 m: the position is not a multiple of 50 m"},
      {"10000, 2, 450", 9, 10000, Passo::fine_dura,
       "station at 10000 m: the length 450 m is not a multiple of 100 m"},
      // The previous area ends at 450 m: 300 m is too close.
      {"1050, 2, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 22, 1050, Passo::fine_dura,
       "station at 1050 m: its area starts at 750 m, less than 350 m after the previous "
       "station's area ends at 450 m"},
      // An area that reaches past the grid: no cell written.
      {"90000, 7, 7000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B", 23, 90000, Passo::fine_dura,
       "station at 90000 m: its area ends at 97000 m, so its stop cell 1939 lies beyond the "
       "grid (0 to 1920)"},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.s.posizione_errore = 7;
    EXPECT_EQ(stazioni(t, {kPrima, c.valori}), c.passo) << c.valori;
    EXPECT_EQ(numero(t.s.codice_errore), c.codice) << c.valori;
    EXPECT_EQ(t.s.posizione_errore, c.posizione) << c.valori;
    ASSERT_FALSE(t.s.diagnostiche.empty()) << c.valori;
    EXPECT_EQ(numero(t.s.diagnostiche.back().codice), c.codice);
    EXPECT_EQ(t.s.diagnostiche.back().testo, c.testo);
    EXPECT_EQ(t.voce(2).dato3, std::stoi(c.valori)) << c.valori;
  }
}

TEST(Stazione, TooCloseStationKeepsItsEntryAndCells) {
  StatoTreno t;
  ASSERT_EQ(stazioni(t, {kPrima, "1050, 2, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B"}),
            Passo::fine_dura);
  EXPECT_EQ(t.voce(2).nome, "B");
  EXPECT_EQ(static_cast<int>(t.cella(26).tipo), 10);  // area 750 to 1350
  EXPECT_EQ(t.s.numero_stazioni, 1);
}

TEST(Stazione, AStopCellNotBeyondCell1IsCode24WithThePositionUnchanged) {
  // Area -200 to 100 m: 100 / 50 - 1 = 1 is not above 1.
  StatoTreno t;
  t.s.posizione_errore = 7;
  EXPECT_EQ(stazioni(t, {"-50, 4, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}), Passo::fine_dura);
  EXPECT_EQ(numero(t.s.codice_errore), 24);
  EXPECT_EQ(t.s.posizione_errore, 7);
  ASSERT_FALSE(t.s.diagnostiche.empty());
  EXPECT_FALSE(t.s.diagnostiche.back().luogo.posizione.has_value());
  EXPECT_EQ(avvisi(t), 0);
  // Kinds from 25 up have no stop cell to test.
  StatoTreno u;
  EXPECT_EQ(stazioni(u, {"-50, 25, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}), Passo::continua);
}

TEST(Stazione, TheTableLimitStopsAfterTheLastEntryBelowTheBoards) {
  // Ten boards: entries 71 to 80; station 69 fills the last room.
  StatoTreno t(89000, 70);
  t.s.posizione_errore = 7;
  std::string testo = "[generale]\r\n";
  for (int i = 1; i <= 68; ++i)
    testo +=
        "stazione, " + std::to_string(i * 1000) + ", 26, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S\r\n";
  testo +=
      "stazione, 69000, 26, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, ULTIMA\r\n"
      "numero vetture, 5\r\n[fine]\r\n";
  EXPECT_EQ(t.leggi(testo).passo, Passo::fine_dura);
  EXPECT_EQ(numero(t.s.codice_errore), 10);
  EXPECT_EQ(t.s.posizione_errore, 7);
  EXPECT_EQ(t.voce(69).nome, "ULTIMA");
  EXPECT_EQ(t.voce(kVoceTreno).dato3, 0);
  EXPECT_EQ(t.s.numero_stazioni, 69);
}

TEST(Stazione, AnEntryHoldingABoardTextIsNeverWritten) {
  // 80 boards leave no entry at all: the station is refused before it
  // writes anything, its board text stays.
  StatoTreno t(89000, 0);
  t.voce(1).nome = "BIVIO";
  t.voce(1).dato3 = 5;
  EXPECT_EQ(stazioni(t, {"10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}), Passo::fine_dura);
  EXPECT_EQ(numero(t.s.codice_errore), 10);
  EXPECT_EQ(t.voce(1).nome, "BIVIO");
  EXPECT_EQ(t.voce(1).dato3, 5);
  EXPECT_EQ(avvisi(t), 0);
  ASSERT_FALSE(t.s.diagnostiche.empty());
  EXPECT_EQ(t.s.diagnostiche.back().testo,
            "station at 10000 m finds no entry left in the table: entry 1 holds an indicator "
            "board's text");
}

TEST(Stazione, ValuesThatDoNotFitTheirFieldAreRunTimeFailures) {
  const char* cases[] = {
      "10000, 256, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",        // kind: Byte
      "10000, 4, 400, -1,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",         // field 4: Byte
      "10000, 4, 400, 0,0,0, 32768,0,0, 0,0,0, 0, 0,0,0, A",      // field 7: Integer
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,-32769, 0, 0,0,0, A",     // field 12: Integer
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 300, 0,0,0, A",        // field 13: Byte
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, A",     // seconds beyond 32 bits
      "10000, 7, -2147483600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",  // p + L beyond 32 bits
      "10000, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0",             // ends before the name
  };
  for (const char* c : cases) {
    StatoTreno t;
    EXPECT_EQ(guasta(t, c), Passo::guasto) << c;
  }
}

}  // namespace
}  // namespace genera
