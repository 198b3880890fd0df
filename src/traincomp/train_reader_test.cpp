#include "traincomp/train_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "traincomp/test_state.h"

namespace genera {
namespace {

constexpr const char* kLinea = "LIVRA_MONTALBA_linea.txt";
// A line source whose grid is that of StatoTreno, with nothing on it.
constexpr const char* kGrigliaVuota =
    "[generale]\r\nlunghezza percorso, 89000\r\n[corpo]\r\n[fine]\r\n";
// A line source that ends its header without a length: no grid.
constexpr const char* kSenzaGriglia = "[generale]\r\n[corpo]\r\n";

// A whole compile of `linea` and `treno` (none: no train source), with a
// hook that notes the sources it deletes.
struct Compilazione {
  Compilazione(const std::string& linea, const std::optional<std::string>& treno) {
    const Sorgente l{kLinea, true, linea, {}};
    const Sorgente t{StatoTreno::kNome,
                     treno.has_value(),
                     treno ? std::string_view(*treno) : std::string_view(),
                     {}};
    s = compila(l, t, {"LIVRA_MONTALBA", "R47316", false}, [this](QualeSorgente q) {
      eliminate.push_back(q);
      return std::string();
    });
  }
  bool eliminata(QualeSorgente q) const {
    return std::find(eliminate.begin(), eliminate.end(), q) != eliminate.end();
  }

  ScenarioCompilato s;
  std::vector<QualeSorgente> eliminate;
};

TEST(SorgenteTreno, GeneralRecords) {
  StatoTreno t;
  t.leggi(
      "[generale]\r\n"
      "numero vetture,    8\r\n"
      "percentuale massa frenata,    125\r\n"
      "sabbia,    300\r\n"
      "orologio,    8               49            0 \r\n"
      "[fine]\r\n");
  EXPECT_EQ(t.voce(kVoceTreno).dato1, 125);
  EXPECT_EQ(t.voce(kVoceTreno).dato3, 8);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero1, 300);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero3, 8);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero4, 49);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero5, 0);
  EXPECT_EQ(numero(t.s.codice_errore), 0);
  EXPECT_TRUE(t.s.diagnostiche.empty());
  EXPECT_TRUE(t.sorgente_eliminata());
}

TEST(SorgenteTreno, BuiltInRecordsGiveTheScenarioFigures) {
  StatoTreno t(89000, 70);
  t.leggi(
      "[generale]\r\n"
      "numero vetture,    8\r\n"
      "[aderenze]\r\n"
      "aderenza,       0,    90\r\n"
      "aderenza,   34100,    85\r\n"
      "aderenza,   59400,    85\r\n"
      "[vel_limite]\r\n"
      "velocita,       0,    95\r\n"
      "velocita,    2000,   150\r\n"
      "velocita,   18350,   160\r\n"
      "velocita,   58500,   135\r\n"
      "velocita,   61600,    75\r\n"
      "velocita,   64250,   160\r\n"
      "velocita,   87500,   110\r\n"
      "[stazioni]\r\n"
      "stazione,       0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, LIVRA\r\n"
      "[rallentamenti]\r\n"
      "rallentamento,   42850,    60,  200, 0,  1,  50\r\n"
      "[segnali]\r\n"
      "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n"
      "segnale,    8200,   2, 3, 1,  0, 0,    2,  2,1,0, 0\r\n"
      "[codici]\r\n"
      "[fine]\r\n");
  EXPECT_TRUE(t.s.diagnostiche.empty());
  EXPECT_EQ(numero(t.s.codice_errore), 0);
  const struct {
    int32_t da, a;
    int velocita;
  } velocita[] = {{0, 39, 19},      {40, 366, 30},    {367, 1169, 32},  {1170, 1231, 27},
                  {1232, 1284, 15}, {1285, 1749, 32}, {1750, 1917, 22}, {1918, 1920, 0}};
  for (const auto& v : velocita)
    for (int32_t k = v.da; k <= v.a; ++k) ASSERT_EQ(t.cella(k).velocita, v.velocita) << k;
  for (int32_t k = 0; k <= 1920; ++k)
    ASSERT_EQ(t.cella(k).aderenza, k <= 681 ? 90 : k <= 1917 ? 85 : 0) << k;
  EXPECT_EQ(t.voce(1).nome, "LIVRA");
  EXPECT_EQ(t.voce(1).dato4, 31800);
  EXPECT_EQ(t.cella(8).tipo, TipoCella::fermata);
  EXPECT_EQ(static_cast<int>(t.cella(858).tipo), 3);
  EXPECT_EQ(static_cast<int>(t.cella(862).tipo), 2);
  EXPECT_EQ(static_cast<int>(t.cella(834).tipo), 4);
  EXPECT_EQ(t.cella(141).valore1, 43);
  EXPECT_EQ(t.cella(165).valore1, 32);
  EXPECT_EQ(t.cella(157).avviso, 84);
  EXPECT_EQ(t.s.numero_stazioni, 1);
  EXPECT_TRUE(t.sorgente_eliminata());
}

TEST(SorgenteTreno, ReadingStartsAfterTheGeneralSection) {
  const struct {
    const char* testo;
    int vetture;
  } cases[] = {
      {"numero vetture, 3\r\n[generale]\r\nnumero vetture, 5\r\n[fine]\r\n", 5},
      {"[GENERALE]\r\nnumero vetture, 5\r\n[fine]\r\n", 5},
      {"xx[Generale]xx\r\nnumero vetture, 5\r\n[fine]\r\n", 5},
      // Without it every field is passed over.
      {"numero vetture, 5\r\n[fine]\r\n", 0},
      {"[generale", 0},
      {"", 0},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.leggi(c.testo);
    EXPECT_EQ(t.voce(kVoceTreno).dato3, c.vetture) << c.testo;
    EXPECT_TRUE(t.sorgente_eliminata()) << c.testo;
    // Fields that are not read are named, as warnings: nothing else.
    for (const Diagnostica& d : t.s.diagnostiche) EXPECT_EQ(d.gravita, Gravita::avviso) << c.testo;
  }
}

TEST(SorgenteTreno, WithoutRecordsTheTailFillsBothProfilesWithZero) {
  // Each tail writes cells 0 to U - 3 and stops there.
  StatoTreno t;
  for (uint8_t cella_percorso::*campo : {&cella_percorso::velocita, &cella_percorso::aderenza})
    for (int32_t k : {0, 1917, 1918}) t.cella(k).*campo = 9;
  t.leggi("[fine]\r\n");
  for (uint8_t cella_percorso::*campo : {&cella_percorso::velocita, &cella_percorso::aderenza}) {
    EXPECT_EQ(t.cella(0).*campo, 0);
    EXPECT_EQ(t.cella(1917).*campo, 0);
    EXPECT_EQ(t.cella(1918).*campo, 9);
  }
}

TEST(SorgenteTreno, KeysMatchInAnyCaseAndSectionHeadersMatchNothing) {
  StatoTreno t;
  t.leggi(
      "[generale]\r\n"
      "[stazioni]\r\n"
      "STAZIONE,       0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, LIVRA\r\n"
      "[segnali]\r\n"
      "Segnale,    8200,   2, 3, 1,  0, 0,    2,  2,1,0, 0\r\n"
      "[rallentamenti]\r\n"
      "NUMERO VETTURE, 6\r\n"
      "[fine]\r\n");
  EXPECT_EQ(t.voce(1).nome, "LIVRA");
  EXPECT_EQ(static_cast<int>(t.cella(165).tipo), 1);
  EXPECT_EQ(t.voce(kVoceTreno).dato3, 6);
  EXPECT_TRUE(t.s.diagnostiche.empty());
}

TEST(SorgenteTreno, AtMostTwoHyphenFieldsInARowArePassedOver) {
  const struct {
    const char* testo;
    int vetture;
  } cases[] = {
      // Two comments, even ones naming a record, are passed over.
      {"[generale]\r\n- stazione a 500 m -\r\n- altro -\r\nnumero vetture, 4\r\n", 4},
      // The third hyphen field in a row is a key field.
      {"[generale]\r\n- uno -\r\n- due -\r\n- numero vetture -, 6\r\n[fine]\r\n", 6},
      // The second hyphen field is passed over even though it names a record.
      {"[generale]\r\n- uno -\r\n- numero vetture -, 6\r\n[fine]\r\n", 0},
      // The count starts again at every key field.
      {"[generale]\r\n- a -\r\n- b -\r\nsabbia, 1\r\n- c -\r\n- d -\r\nnumero vetture, 7\r\n[fine]\r\n",
       7},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.leggi(c.testo);
    EXPECT_EQ(t.voce(kVoceTreno).dato3, c.vetture) << c.testo;
    EXPECT_EQ(numero(t.s.codice_errore), 0) << c.testo;
  }
}

TEST(SorgenteTreno, TheLastFieldIsNeverActedOn) {
  const char* cases[] = {
      "[generale]\r\nnumero vetture, 8\r\nsegnale",
      "[generale]\r\nnumero vetture, 8\r\nsegnale\r\n",
      "[generale]\r\nnumero vetture, 8\r\n- nota -\r\nsegnale\r\n",
  };
  for (const char* c : cases) {
    StatoTreno t;
    EXPECT_EQ(t.leggi(c).passo, Passo::continua) << c;
    EXPECT_EQ(t.voce(kVoceTreno).dato3, 8);
    EXPECT_EQ(numero(t.s.codice_errore), 0);
  }
}

TEST(SorgenteTreno, EveryMatchingTestReadsItsOwnValues) {
  StatoTreno t;
  t.leggi(
      "[generale]\r\n"
      "velocita e aderenza, 0, 100, 0, 90, 500, 80\r\n"
      "[fine]\r\n");
  // The speed test takes 0, 100; the adhesion test 0, 90; then "500" and
  // "80" are key fields of their own.
  EXPECT_EQ(t.cella(0).velocita, 20);
  EXPECT_EQ(t.cella(0).aderenza, 90);
  EXPECT_EQ(t.cella(1917).aderenza, 90);
}

TEST(SorgenteTreno, TheLaterOfTwoRecordsWins) {
  StatoTreno t;
  t.leggi("[generale]\r\norologio, 8 49 0\r\norologio, 9 5 30\r\n[fine]\r\n");
  EXPECT_EQ(t.voce(kVoceRipetizione).intero3, 9);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero4, 5);
  EXPECT_EQ(t.voce(kVoceRipetizione).intero5, 30);
}

TEST(SorgenteTreno, SoftStopFillsTheProfilesAndAWrongProgressiveKeepsThePosition) {
  StatoTreno t;
  t.voce(kVoceProgressivaUno).dato1 = 1025;
  t.leggi(
      "[generale]\r\n"
      "velocita, 0, 100\r\n"
      "segnale, 95950, 1,4,1,0,0,1,3,1,0,0\r\n"
      "numero vetture, 5\r\n"
      "[fine]\r\n");
  EXPECT_EQ(numero(t.s.codice_errore), 2);
  EXPECT_EQ(t.s.posizione_errore, 95950);
  EXPECT_EQ(t.voce(kVoceTreno).dato3, 0);  // read no further
  EXPECT_EQ(t.cella(1917).velocita, 20);   // the tail still ran
  EXPECT_TRUE(t.sorgente_eliminata());
  EXPECT_EQ(
      t.messaggi(),
      (std::vector<std::string>{
          "LIVRA_MONTALBA_R47316-.txt:3:1: error 15: record at 95950 m lies beyond the end of "
          "the grid",
          "LIVRA_MONTALBA_R47316-.txt: error 2: the kilometric progressives (0 and 0, 0 and "
          "0, 1025 and 0 m) are not all multiples of 50 m"}));
}

TEST(SorgenteTreno, ReachCheckOfEveryRecordKind) {
  // 95900 m is the last position in reach ((p + 100) / 50 = U); a station
  // needs (p + 800) / 50 within U.
  const struct {
    const char* record;
    int32_t codice;
  } cases[] = {
      {"velocita, 95900, 100", 0},
      {"velocita, 95901, 100", 15},
      {"aderenza, 95950, 90", 15},
      {"segnale, 95950, 1,4,1,0,0,1,3,1,0,0", 15},
      {"rallentamento, 95999, 60, 50, 0, 0, 0", 15},
      {"abbattimento, 95950, 180", 15},
      {"abbattimento, 95900, 180", 0},
      {"stazione, 95250, 26, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X", 15},
      {"stazione, 95200, 26, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X", 0},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.cella(1917).aderenza = 9;
    t.cella(1918).aderenza = 9;
    t.leggi(std::string("[generale]\r\n") + c.record + "\r\n[fine]\r\n");
    EXPECT_EQ(numero(t.s.codice_errore), c.codice) << c.record;
    const std::string record = c.record;
    if (c.codice != 0) {
      EXPECT_EQ(t.s.posizione_errore, std::stoi(record.substr(record.find(',') + 1))) << c.record;
    }
    // Records in reach past the line's end are warned of; only the stop is an error.
    std::size_t errori = 0;
    for (const Diagnostica& d : t.s.diagnostiche) errori += d.gravita == Gravita::errore ? 1 : 0;
    EXPECT_EQ(errori, c.codice != 0 ? 1u : 0u) << c.record;
    // The tail ran, up to cell U - 3.
    EXPECT_EQ(t.cella(1917).aderenza, 0) << c.record;
    EXPECT_EQ(t.cella(1918).aderenza, 9) << c.record;
  }
}

TEST(SorgenteTreno, HardStopsEndTheReadingAtOnce) {
  const struct {
    const char* record;
    int32_t codice;
    int32_t posizione;
    const char* messaggio;
  } cases[] = {
      {"segnale, 400, 1,4,1,0,0,1,3,1,0,0", 16, 400,
       "LIVRA_MONTALBA_R47316-.txt:4:1: error 16: signal at 400 m falls on cell 9, which already "
       "holds the end of the slowdown at 350 m (line 3)"},
      {"rallentamento, 350, 60, 50, 0, 0, 0", 18, 350,
       "LIVRA_MONTALBA_R47316-.txt:4:1: error 18: slowdown at 350 m: its start cell 8 already holds "
       "the start of the slowdown at 350 m (line 3)"},
      {"abbattimento, 400, 1", 7, 400,
       "LIVRA_MONTALBA_R47316-.txt:4:1: error 7: code cut at 400 m: its cell 8 already holds the "
       "start of the slowdown at 350 m (line 3)"},
      {"rallentamento, 95000, 60, 1000, 0, 0, 0", 23, 95000,
       "LIVRA_MONTALBA_R47316-.txt:4:1: error 23: slowdown at 95000 m of 1000 m runs from cell "
       "1901 to cell 1921, outside the grid (0 to 1920)"},
      {"stazione, 5025, 2, 400", 8, 5025,
       "LIVRA_MONTALBA_R47316-.txt:4:1: error 8: station at 5025 m: the position is not a multiple "
       "of 50 m"},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.voce(kVoceProgressivaUno).dato1 = 1025;  // not tested after a hard stop
    t.leggi(std::string("[generale]\r\n"
                        "velocita, 0, 100\r\n"
                        "rallentamento, 350, 60, 50, 0, 0, 0\r\n") +
            c.record + "\r\nvelocita, 1000, 50\r\nnumero vetture, 5\r\n");
    EXPECT_EQ(numero(t.s.codice_errore), c.codice) << c.record;
    EXPECT_EQ(t.s.posizione_errore, c.posizione) << c.record;
    std::vector<std::string> errori;  // a record past the line's end is warned of too
    for (const std::string& m : t.messaggi())
      if (m.find(": error ") != std::string::npos) errori.push_back(m);
    EXPECT_EQ(errori, std::vector<std::string>{c.messaggio});
    EXPECT_EQ(t.cella(0).velocita, 0) << c.record;  // no tail fill, no later record
    EXPECT_EQ(t.voce(kVoceTreno).dato3, 0) << c.record;
    EXPECT_TRUE(t.sorgente_eliminata()) << c.record;
  }
}

TEST(SorgenteTreno, ACodeLeftByTheLineHalfStopsAtTheNextSignalOrSlowdown) {
  const struct {
    const char* record;
    int32_t cella;  // the record is placed before the stop
    const char* messaggio;
  } cases[] = {
      {"segnale, 8200, 2,3,1,0,0,2,2,1,0,0", 165,
       "LIVRA_MONTALBA_R47316-.txt:5:1: error 15: the reading stops at the signal at 8200 m "
       "because of the earlier error 15"},
      {"rallentamento, 42850, 60, 200, 0, 1, 50", 858,
       "LIVRA_MONTALBA_R47316-.txt:5:1: error 15: the reading stops at the slowdown at 42850 m "
       "because of the earlier error 15"},
  };
  for (const auto& c : cases) {
    StatoTreno t;
    t.s.codice_errore = Codice::oltre_griglia;
    t.s.posizione_errore = 95950;
    t.leggi(std::string("[generale]\r\n"
                        "numero vetture, 8\r\n"
                        "velocita, 0, 100\r\n"
                        "stazione, 0, 2, 900, 0,1,0, 1,1,0, 4,1,1, 1, 8,50,0, LIVRA\r\n") +
            c.record + "\r\nsegnale, 7000, 1,4,1,0,0,1,3,1,0,0\r\n[fine]\r\n");
    EXPECT_EQ(numero(t.s.codice_errore), 15) << c.record;
    EXPECT_NE(t.cella(c.cella).tipo, TipoCella::binario) << c.record;
    const std::string record = c.record;
    EXPECT_EQ(t.s.posizione_errore, std::stoi(record.substr(record.find(',') + 1))) << c.record;
    EXPECT_EQ(t.voce(kVoceTreno).dato3, 8);  // other records are read as usual
    EXPECT_EQ(t.voce(1).nome, "LIVRA");
    EXPECT_EQ(static_cast<int>(t.cella(141).tipo), 0);  // nothing after the stop
    EXPECT_EQ(t.cella(0).velocita, 0);                  // no tail fill
    std::vector<std::string> errori;
    for (const std::string& m : t.messaggi())
      if (m.find(": error ") != std::string::npos) errori.push_back(m);
    EXPECT_EQ(errori, std::vector<std::string>{c.messaggio});
    EXPECT_TRUE(t.sorgente_eliminata());
  }
}

TEST(SorgenteTreno, FailuresAreCode25AtTheirLineAndDeleteTheSource) {
  // Every failure has a column: the field's, or the key's when the record
  // as a whole is at fault.
  const struct {
    const char* testo;
    int riga;
    int colonna;
  } cases[] = {
      // A record that runs past the end of the file.
      {"[generale]\r\nvetture, 8\r\nsegnale, 8200, 1, 4\r\n", 3, 1},
      // A field that is not a number.
      {"[generale]\r\nvetture, otto\r\n", 2, 10},
      // Byte and Integer fields that do not fit.
      {"[generale]\r\n\r\nstazione, 0, 300, 900, 0,1,0, 1,1,0, 4,1,1, 1, 8,50,0, X\r\n[fine]\r\n",
       3, 14},
      {"[generale]\r\nsabbia\r\n  40000\r\n[fine]\r\n", 2, 1},  // the key's line
      {"[generale]\r\norologio, 8 49 99999\r\n[fine]\r\n", 2, 16},
      // A speed whose fifth does not fit a byte, written by the next record:
      // the blame is on the record and the field that gave it.
      {"[generale]\r\nvelocita, 0, 1300\r\nvelocita, 500, 100\r\n[fine]\r\n", 2, 14},
      // ... or by the tail fill.
      {"[generale]\r\nvelocita, 0, -5\r\n[fine]\r\n", 2, 14},
  };
  for (const auto& c : cases) {
    const Compilazione k(kGrigliaVuota, c.testo);
    EXPECT_EQ(numero(k.s.codice_errore), 25) << c.testo;
    ASSERT_FALSE(k.s.diagnostiche.empty()) << c.testo;
    const Diagnostica& d = k.s.diagnostiche.back();
    EXPECT_EQ(numero(d.codice), 25) << c.testo;
    EXPECT_EQ(d.luogo.file, StatoTreno::kNome) << c.testo;
    EXPECT_EQ(d.luogo.riga, c.riga) << c.testo << ": " << d.testo;
    EXPECT_EQ(d.luogo.colonna, c.colonna) << c.testo << ": " << d.testo;
    EXPECT_TRUE(k.eliminata(QualeSorgente::treno)) << c.testo;
  }
}

TEST(SorgenteTreno, AMissingSourceOrGridIsARunTimeFailure) {
  // Without a grid the line half fails first: no train record is laid.
  const struct {
    const char* caso;
    const char* linea;
    std::optional<std::string> treno;
    const char* file;  // the source the failure names
  } cases[] = {
      {"no train source", kGrigliaVuota, std::nullopt, StatoTreno::kNome},
      {"signal, no grid", kSenzaGriglia,
       "[generale]\r\nsegnale, 8200, 2,3,1,0,0,2,2,1,0,0\r\n[fine]\r\n", kLinea},
      {"speed, no grid", kSenzaGriglia, "[generale]\r\nvelocita, 0, 50\r\n[fine]\r\n", kLinea},
      {"adhesion, no grid", kSenzaGriglia, "[generale]\r\naderenza, 0, 50\r\n[fine]\r\n", kLinea},
      {"profile tails only, no grid", kSenzaGriglia, "[generale]\r\n[fine]\r\n", kLinea},
      {"slowdown, no grid", kSenzaGriglia,
       "[generale]\r\nrallentamento, 42850, 60, 200, 0, 1, 50\r\n[fine]\r\n", kLinea},
      {"code cut, no grid", kSenzaGriglia, "[generale]\r\nabbattimento, 12000, 180\r\n[fine]\r\n",
       kLinea},
  };
  for (const auto& c : cases) {
    const Compilazione k(c.linea, c.treno);
    EXPECT_EQ(numero(k.s.codice_errore), 25) << c.caso;
    ASSERT_FALSE(k.s.diagnostiche.empty()) << c.caso;
    EXPECT_EQ(numero(k.s.diagnostiche.back().codice), 25) << c.caso;
    EXPECT_EQ(k.s.diagnostiche.back().luogo.file, c.file) << c.caso;
    if (c.treno) {
      EXPECT_TRUE(k.eliminata(QualeSorgente::treno)) << c.caso;
      EXPECT_TRUE(k.s.percorso.empty()) << c.caso;
    }
  }
}

}  // namespace
}  // namespace genera
