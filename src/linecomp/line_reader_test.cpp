#include "linecomp/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "linecomp/test_support.h"
#include "sources/writers.h"

namespace genera {
namespace {

// A header with a short line (cells 0 to 160, plan points 0 to 8000).
std::string con_testata(const std::string& corpo) {
  return righe({"[generale]", "lunghezza percorso,    1000", "[corpo]"}) + corpo;
}

// The whole compile of the line source `testo` (none: no such file), the
// train source present beside it.
struct Compilazione {
  ScenarioCompilato s;
  Eliminazioni eliminazioni;
};

Compilazione compila_linea(const std::optional<std::string>& testo) {
  Compilazione c;
  const Sorgente linea{kNomeLinea, testo.has_value(), testo ? *testo : std::string_view(), {}};
  const Sorgente treno{kNomeTreno, true, "the train source stays", {}};
  c.s = compila(linea, treno, {"LIVRA_MONTALBA", "R47316", true}, c.eliminazioni.hook());
  return c;
}

TEST(LeggiSorgenteLinea, MissingSourceIs101) {
  const Compilazione c = compila_linea(std::nullopt);
  EXPECT_EQ(c.s.codice_errore, Codice::sorgente_linea_mancante);
  EXPECT_EQ(c.s.posizione_errore, 0);
  EXPECT_EQ(messaggi(c.s), "LIVRA_MONTALBA_linea.txt: error 101: the line source does not exist\n");
  EXPECT_FALSE(c.eliminazioni.eliminata(QualeSorgente::treno));
  EXPECT_EQ(c.s.testata_linea[85].nome, "LIVRA_MONTALBA");
  EXPECT_EQ(c.s.testata_linea[86].nome, "R47316");
}

// Every failure that ends the parse: the code, the position when it has
// one, the exact message, the source deleted and no tail run.
TEST(LeggiSorgenteLinea, FailuresThatEndTheParse) {
  std::string ottantuno_gallerie, ottantuno_cartelli;
  for (int i = 1; i <= 81; ++i) {
    ottantuno_gallerie += "montagna,   " + std::to_string(i * 1000) + ",  " +
                          std::to_string(i * 1000 + 100) + ",  2\r\n";
    ottantuno_cartelli += "cartello_indicatore,  " + std::to_string(i * 1000) + ",   (T)\r\n";
  }
  const std::string lunga = righe({"[generale]", "lunghezza percorso,    89000", "[corpo]"});
  const struct {
    const char* nome;
    std::string testo;
    int32_t codice;
    int32_t posizione;  // kPosizioneIntatta: unchanged
    const char* messaggio;
  } casi[] = {
      {"empty file", "", 102, kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt: error 102: no field holds \"[generale]\" before the end of the "
       "file"},
      {"blank line", "\r\n", 102, kPosizioneIntatta, nullptr},
      {"no [generale]", righe({"[curve]", "curvas6,  750,  250"}), 102, kPosizioneIntatta, nullptr},
      {"ends right after [generale]", righe({"xx", "[generale]"}), 102, kPosizioneIntatta, nullptr},
      {"[generale] without a line break", "[generale]", 102, kPosizioneIntatta, nullptr},
      {"length 1000001",
       righe({"[generale]", "lunghezza percorso,    1000001", "[curve]", "pendenza, 0, 1"}), 1,
       kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt:2:1: error 1: the line length 1000001 m exceeds 1000000 m"},
      {"repetition start 1025",
       righe({"[generale]", "lunghezza percorso, 89000",
              "ripetizione segnali 9 codici, 1025, 89500", "[curve]"}),
       3, kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt:3:1: error 3: the cab-signal repetition starts at 1025 m, not a "
       "multiple of 50 m"},
      {"repetition end 89525",
       righe({"[generale]", "ripetizione segnali 9 codici, 1000, 89525", "[curve]"}), 4,
       kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt:2:1: error 4: the cab-signal repetition ends at 89525 m, not a "
       "multiple of 50 m"},
      {"repetition without 4 or 9",
       righe({"[generale]", "ripetizione segnali codici, 1000, 89500", "[curve]"}), 5,
       kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt:2:1: error 5: the cab-signal repetition \"ripetizione segnali "
       "codici\" names neither 4 nor 9 codes"},
      {"no codes and end 0 still fails",
       righe({"[generale]", "ripetizione segnali codici, 1000, 0", "[curve]"}), 5,
       kPosizioneIntatta, nullptr},
      {"curve without class digit", con_testata(righe({"pendenza, 100, 2", "curvad, 500, 100"})),
       103, kPosizioneIntatta,
       "LIVRA_MONTALBA_linea.txt:5:1: error 103: curve \"curvad\" names no class digit (1 to 6)"},
      {"indicator board on a taken cell",
       con_testata(
           righe({"indicatori_vmax, 1000, 1, 1, 1, 0, , , , 0", "cartello_indicatore, 1010, (A)"})),
       6, 1010,
       "LIVRA_MONTALBA_linea.txt:5:1: error 6: indicator board at 1010 m lands on cell 21, which "
       "already holds the speed-indicator board at 1000 m (line 4)"},
      {"speed board on a taken cell",
       con_testata(
           righe({"cartello_indicatore, 1010, (A)", "indicatori_vmax, 1000, 1, 1, 1, 0, , , , 0"})),
       21, 1000,
       "LIVRA_MONTALBA_linea.txt:5:1: error 21: speed-indicator board at 1000 m lands on cell 21, "
       "which already holds the indicator board at 1010 m (line 4)"},
      {"81st tunnel", lunga + ottantuno_gallerie, 104, 81000,
       "LIVRA_MONTALBA_linea.txt:84:1: error 104: tunnel at 81000 m is one more than the 80 tunnels "
       "a line can hold"},
      {"81st indicator board", lunga + ottantuno_cartelli, 105, 81000,
       "LIVRA_MONTALBA_linea.txt:84:1: error 105: indicator board at 81000 m is one more than the 80 "
       "board texts the table can hold"},
  };
  for (const auto& c : casi) {
    const LetturaLinea l = leggi_linea(c.testo);
    ASSERT_NE(l.esito.passo, Passo::guasto) << c.nome << ": " << l.esito.testo;
    EXPECT_EQ(l.esito.passo, Passo::fine_dura) << c.nome;
    EXPECT_EQ(numero(l.s.codice_errore), c.codice) << c.nome;
    EXPECT_EQ(l.s.posizione_errore, c.posizione) << c.nome;
    // The error that ended the parse is the last word (a board off the grid is also warned of).
    ASSERT_FALSE(l.s.diagnostiche.empty()) << c.nome;
    EXPECT_EQ(l.s.diagnostiche.back().gravita, Gravita::errore) << c.nome;
    EXPECT_EQ(numero(l.s.diagnostiche.back().codice), c.codice) << c.nome;
    if (c.messaggio != nullptr) {
      EXPECT_EQ(formatta(l.s.diagnostiche.back()), c.messaggio) << c.nome;
    }
    EXPECT_TRUE(l.linea_eliminata()) << c.nome;
    EXPECT_FALSE(l.treno_eliminato()) << c.nome;
    if (!l.s.percorso.empty()) {
      EXPECT_EQ(l.s.percorso[static_cast<std::size_t>(l.s.ultima_cella() - 3)].pendenza, 0)
          << c.nome << ": the gradient tail ran";
    }
  }
}

TEST(LeggiSorgenteLinea, ReachCheck) {
  const std::string testata = righe({"[generale]", "lunghezza percorso,    89000", "[pendenze]"});
  {
    const LetturaLinea l = leggi_linea(testata + righe({"pendenza,  95900,   7"}));
    EXPECT_TRUE(l.prosegue());
    EXPECT_EQ(l.s.codice_errore, Codice::nessuno);
    // The record's cell is 1918 = U - 2: it fills cells 0 to 1917 with 100,
    // and the tail still writes its one cell, 1918, before it tests.
    EXPECT_EQ(l.s.percorso[1917].pendenza, 100);
    EXPECT_EQ(l.s.percorso[1918].pendenza, 107);
    EXPECT_EQ(l.s.percorso[1919].pendenza, 0);
    EXPECT_EQ(l.s.percorso[1920].pendenza, 0);
    EXPECT_EQ(l.messaggi(),
              "LIVRA_MONTALBA_linea.txt:4:1: warning: the gradient at 95900 m lies past the "
              "line's end at 89000 m, in the grid's tail\n");
  }
  // Each kind: the record is not applied, the body ends, the tails run and
  // the train source is still to be read.
  const struct {
    const char* record;
    int32_t posizione;
    const char* prima = "";  // what is said of its values before
  } casi[] = {
      {"pendenza,  95950,   7", 95950},
      {"curvad1,  95950,  10", 95950},
      {"montagna,   95950,  96600,  2", 95950},
      {"montagna,   2147483647,  30600,  2", 2147483647,
       "LIVRA_MONTALBA_linea.txt:5:26: error 108: `fine` 30600 m is not after `inizio` "
       "2147483647 m\n"},
      {"indicatori_vmax,  95950,  130,  135,  140,  2,  ,  ,  ,  0", 95950},
      {"cartello_indicatore,  95950,   (Galleria)(Montalba)", 95950},
  };
  for (const auto& c : casi) {
    const LetturaLinea l =
        leggi_linea(testata + righe({"pendenza, 100, 5", c.record, "pendenza, 200, 9"}));
    ASSERT_NE(l.esito.passo, Passo::guasto) << c.record << ": " << l.esito.testo;
    EXPECT_TRUE(l.prosegue()) << c.record;
    EXPECT_EQ(l.s.codice_errore, Codice::oltre_griglia) << c.record;
    EXPECT_EQ(l.s.posizione_errore, c.posizione) << c.record;
    EXPECT_EQ(l.messaggi(),
              std::string(c.prima) + "LIVRA_MONTALBA_linea.txt:5:1: error 15: record at " +
                  std::to_string(c.posizione) + " m lies beyond the end of the grid\n")
        << c.record;
    EXPECT_TRUE(l.linea_eliminata()) << c.record;
    // The record after it was never read; the tail carried gradient 5 on.
    EXPECT_EQ(l.s.percorso[1].pendenza, 100) << c.record;
    EXPECT_EQ(l.s.percorso[2].pendenza, 105) << c.record;
    EXPECT_EQ(l.s.percorso[1917].pendenza, 105) << c.record;
    EXPECT_EQ(l.s.percorso[1918].pendenza, 0) << c.record;
    EXPECT_EQ(l.s.tracciato.righe_valide(), 95999) << c.record;
    EXPECT_EQ(l.prossimo_cartello, 80) << c.record;
    for (const cella_percorso& cella : l.s.percorso) {
      ASSERT_EQ(cella.galleria, 0) << c.record;
      ASSERT_EQ(cella.tipo, TipoCella::binario) << c.record;
    }
  }
}

TEST(LeggiSorgenteLinea, HeaderCaseRules) {
  const LetturaLinea l = leggi_linea(righe({
      "pendenza, 100, 5",  // before the header: passed over
      "[GENERALE]",
      "LUNGHEZZA PERCORSO,    1000",
      "Progressiva chilometrica uno,    1000,    0,    0",
      "progressiva chilometrica due,    3000,    50,    1",
      "SFONDO UNO,    1",
      "sfondo due,    60000",
      "sfondo tre,    80000",
      "Ripetizione segnali 9 codici,    1000,    2000",
      "[curve]",
      "sfondo uno,    7",
  }));
  EXPECT_TRUE(l.prosegue());
  // Nothing here is applied silently: each key the header does not take is named.
  const std::string chiave_ignota = "warning: unknown record key ";
  const std::string minuscole =
      " is ignored, with the fields after it on its line; did you mean `%`? (the header words "
      "must be written in lower case)\n";
  auto avviso = [&](int riga, const std::string& chiave, const std::string& giusta) {
    std::string m = minuscole;
    m.replace(m.find('%'), 1, giusta);
    return "LIVRA_MONTALBA_linea.txt:" + std::to_string(riga) + ":1: " + chiave_ignota + "\"" +
           chiave + "\"" + m;
  };
  EXPECT_EQ(l.messaggi(),
            "LIVRA_MONTALBA_linea.txt:1:1: warning: the fields before \"[generale]\" are not "
            "read: the line source starts there\n" +
                avviso(4, "Progressiva chilometrica uno", "progressiva chilometrica uno") +
                avviso(6, "SFONDO UNO", "sfondo uno") +
                avviso(9, "Ripetizione segnali 9 codici", "ripetizione segnali 9 codici") +
                "LIVRA_MONTALBA_linea.txt:11:1: warning: \"sfondo uno\" names a background "
                "record, which is read only in the line source's header block, between "
                "\"[generale]\" and the next section line: it is ignored here, with the fields "
                "after it\n");
  const ScenarioCompilato& f = l.s;
  EXPECT_EQ(f.testata_linea[84].dato2, 1000);
  EXPECT_EQ(f.ultima_cella(), 160);
  EXPECT_EQ(f.tracciato.ultima_riga(), 8000);
  // Only "due" was recognised, and it is the only progressive.
  EXPECT_EQ(f.testata_linea[81].dato1, 3000);
  EXPECT_EQ(f.testata_linea[81].dato2, 150);
  EXPECT_EQ(f.testata_linea[83].dato1, 0);
  EXPECT_EQ(f.testata_linea[85].dato1, 0);
  EXPECT_EQ(f.testata_linea[85].dato3, 60000);
  EXPECT_EQ(f.testata_linea[85].dato2, 80000);
  EXPECT_EQ(f.testata_linea[86].dato1, 0);
  EXPECT_EQ(f.testata_linea[86].dato2, 0);
  EXPECT_EQ(f.testata_linea[86].dato3, 0);
  EXPECT_EQ(f.percorso[2].pendenza, 100);
}

TEST(LeggiSorgenteLinea, SignalRepetition) {
  const struct {
    const char* riga;
    int32_t dato1, dato2, codici;
  } casi[] = {
      {"ripetizione segnali 9 codici,    1000,    89500", 1000, 89500, 9},
      {"ripetizione segnali 4 codici, 1000, 89500", 1000, 89500, 4},
      {"ripetizione segnali 9 o 4 codici, 1000, 89500", 1000, 89500, 4},
      {"ripetizione segnali 9 codici, 1000, 0", 1000, 0, 0},
      {"xripetizione_segnali 49, -50, 50", -50, 50, 4},
  };
  for (const auto& c : casi) {
    const LetturaLinea l =
        leggi_linea(righe({"[generale]", "lunghezza percorso, 89000", c.riga, "[curve]"}));
    EXPECT_TRUE(l.prosegue()) << c.riga;
    EXPECT_EQ(l.s.testata_linea[86].dato1, c.dato1) << c.riga;
    EXPECT_EQ(l.s.testata_linea[86].dato2, c.dato2) << c.riga;
    EXPECT_EQ(l.s.testata_linea[86].dato3, c.codici) << c.riga;
  }
}

TEST(LeggiSorgenteLinea, LengthLimitAndRecreatedGrid) {
  LetturaLinea l =
      leggi_linea(righe({"[generale]", "lunghezza percorso, 1000000", "[curve]"}), false);
  EXPECT_TRUE(l.prosegue());
  EXPECT_EQ(l.s.codice_errore, Codice::nessuno);
  EXPECT_EQ(l.s.ultima_cella(), 20140);
  EXPECT_FALSE(l.s.tracciato.presente());

  // L = 25: round(140.5) = 140. The second length record makes both anew.
  l = leggi_linea(
      righe({"[generale]", "lunghezza percorso, 89000", "lunghezza percorso, 25", "[curve]"}));
  EXPECT_TRUE(l.prosegue());
  EXPECT_EQ(l.s.testata_linea[84].dato2, 25);
  EXPECT_EQ(l.s.ultima_cella(), 140);
  EXPECT_EQ(l.s.tracciato.ultima_riga(), 7025);
  EXPECT_EQ(l.s.tracciato.righe_valide(), 7024);
}

TEST(LeggiSorgenteLinea, HeaderComments) {
  auto commenti = [](int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) v.push_back("- nota " + std::to_string(i) + " -");
    return v;
  };
  auto sorgente = [](const std::vector<std::string>& mezzo, const std::vector<std::string>& dopo) {
    std::string s = righe({"[generale]", "lunghezza percorso, 1000"});
    for (const std::string& r : mezzo) s += r + "\r\n";
    for (const std::string& r : dopo) s += r + "\r\n";
    return s;
  };
  const struct {
    const char* nome;
    int commenti;
    std::vector<std::string> dopo;
    int32_t sfondo_uno, sfondo_due;
  } casi[] = {
      // The eleventh field in a row is interpreted even though it holds "-".
      {"11th comment is read as a key", 10, {"-sfondo uno-, 9", "[curve]"}, 9, 0},
      {"10th comment is replaced", 9, {"-sfondo uno-, 9", "[curve]"}, 0, 0},
      {"a comment hides a section line",
       0,
       {"- [note] -", "sfondo uno, 4", "[curve]", "sfondo due, 5"},
       4,
       0},
      {"even as the 11th comment", 10, {"- [note] -", "sfondo uno, 4", "[curve]"}, 4, 0},
      {"  [x] with leading blanks ends the block", 0, {"   [x]", "sfondo uno, 4"}, 0, 0},
      {"a section line ends it", 3, {"[pendenze]", "sfondo due, 5"}, 0, 0},
  };
  for (const auto& c : casi) {
    const LetturaLinea l = leggi_linea(sorgente(commenti(c.commenti), c.dopo));
    ASSERT_NE(l.esito.passo, Passo::guasto) << c.nome << ": " << l.esito.testo;
    EXPECT_TRUE(l.prosegue()) << c.nome;
    EXPECT_EQ(l.s.testata_linea[85].dato1, c.sfondo_uno) << c.nome;
    EXPECT_EQ(l.s.testata_linea[85].dato3, c.sfondo_due) << c.nome;
  }
}

TEST(LeggiSorgenteLinea, BodyRecords) {
  const struct {
    const char* nome;
    std::string corpo;
    int32_t pendenza_cella_10;  // cell 10 is the cell of 500 m
    std::string avvisi{};       // what the author is told
  } casi[] = {
      {"a plain gradient", righe({"pendenza, 500, 3"}), 103},
      {"keyword inside the key", righe({"xxPENDENZAxx, 500, 3"}), 103},
      {"any section", righe({"[montagne]", "pendenza, 500, 3", "[fine]"}), 103},
      {"two comments are passed over", righe({"- a -", "- b -", "pendenza, 500, 3"}), 103},
      {"a third comment is a key field", righe({"- a -", "- b -", "-pendenza-, 500, 3"}), 103},
      {"a second comment is replaced", righe({"- b -", "-pendenza-, 500, 3"}), 100},
      {"inside the header it is not applied", "", 100},
      {"a last lone key field is not interpreted", righe({"pendenza"}), 100},
      {"a record over several lines", righe({"pendenza", "500", "3"}), 103,
       "LIVRA_MONTALBA_linea.txt:5:1: warning: the gradient record's values run on to line 7: "
       "is a value missing on line 5?\n"},
      {"numbers apart by blanks", righe({"pendenza, 500 3"}), 103},
  };
  for (const auto& c : casi) {
    const std::string testo =
        righe({"[generale]", "lunghezza percorso, 1000", "pendenza, 250, 8", "[corpo]"}) + c.corpo;
    const LetturaLinea l = leggi_linea(testo);
    ASSERT_NE(l.esito.passo, Passo::guasto) << c.nome << ": " << l.esito.testo;
    EXPECT_TRUE(l.prosegue()) << c.nome;
    EXPECT_EQ(l.s.codice_errore, Codice::nessuno) << c.nome;
    EXPECT_EQ(l.s.percorso[9].pendenza, 100) << c.nome;
    EXPECT_EQ(l.s.percorso[10].pendenza, c.pendenza_cella_10) << c.nome;
    EXPECT_TRUE(l.linea_eliminata()) << c.nome;
    // The gradient inside the header is named every time.
    EXPECT_EQ(l.messaggi(),
              "LIVRA_MONTALBA_linea.txt:3:1: warning: \"pendenza\" names a gradient record, "
              "which is read only in the line source, after its header block: it is ignored "
              "here, with the fields after it\n" +
                  c.avvisi)
        << c.nome;
  }
}

TEST(LeggiSorgenteLinea, HeaderKeysAreNotBodyKeys) {
  const LetturaLinea l = leggi_linea(con_testata(righe(
      {"lunghezza percorso, 2000", "sfondo uno, 3", "progressiva chilometrica uno, 50, 0, 0"})));
  EXPECT_TRUE(l.prosegue());
  EXPECT_EQ(l.s.testata_linea[84].dato2, 1000);
  EXPECT_EQ(l.s.ultima_cella(), 160);
  EXPECT_EQ(l.s.testata_linea[85].dato1, 0);
  EXPECT_EQ(l.s.testata_linea[81].dato1, 0);
}

TEST(LeggiSorgenteLinea, CurvesOnlyWithThePlan) {
  const std::string testo = con_testata(righe({"curvad, 500, 100", "curvas6, 750, 250"}));
  LetturaLinea l = leggi_linea(testo, false);
  EXPECT_TRUE(l.prosegue());
  EXPECT_EQ(l.s.codice_errore, Codice::nessuno);
  EXPECT_FALSE(l.s.tracciato.presente());
  EXPECT_EQ(l.s.percorso[157].pendenza, 100);
  EXPECT_EQ(l.s.percorso[158].pendenza, 0);

  l = leggi_linea(con_testata(righe({"curvas6,  750,  250"})), true);
  EXPECT_TRUE(l.prosegue());
  EXPECT_EQ(l.s.tracciato.x[751], -0.003);
  EXPECT_EQ(l.s.tracciato.y[751], 751.0);
  EXPECT_EQ(l.s.tracciato.righe_valide(), 7999);
}

// The failures the compile records as code 25: the reading ends naming
// the line of the field or record that failed, and records nothing itself;
// the compile records code 25 there and deletes both sources.
TEST(LeggiSorgenteLinea, RunTimeFailuresNameTheirLine) {
  const struct {
    const char* nome;
    std::string testo;
    int riga;
    std::string prima{};  // what is said of its values before the failure
  } casi[] = {
      {"text in a numeric field", con_testata(righe({"- x -", "pendenza, 1O0, 3"})), 5},
      {"a number beyond 32 bits", con_testata(righe({"pendenza, 100, 99999999999"})), 4},
      {"values past the end", con_testata("pendenza, 100\r\n"), 4},
      {"header comments past the end", righe({"[generale]", "- a -", "- b -"}), 3},
      {"no length record", righe({"[generale]", "sfondo uno, 1", "[corpo]", "pendenza, 100, 1"}),
       3},
      {"a length that leaves no grid", righe({"[generale]", "lunghezza percorso, -7001", "[x]"}), 2,
       "LIVRA_MONTALBA_linea.txt:2:21: error 109: `lunghezza` -7001 m is outside 1 to "
       "1000000\n"},
      {"a packed speed beyond 16 bits",
       con_testata(righe({"indicatori_vmax, 500, 1639, 0, 0, 0, , , , 0"})), 4},
      {"a board before the line's start", con_testata(righe({"cartello_indicatore, -100, (A)"})), 4,
       "LIVRA_MONTALBA_linea.txt:4:22: warning: `posizione` -100 m is below 0\n"},
      {"a progressive correction beyond 32 bits",
       righe({"[generale]", "lunghezza percorso, 1000", "progressiva uno, 50, 2147483600, 1",
              "[curve]"}),
       4},
  };
  for (const auto& c : casi) {
    const LetturaLinea l = leggi_linea(c.testo);
    ASSERT_EQ(l.esito.passo, Passo::guasto) << c.nome;
    EXPECT_EQ(l.esito.riga, c.riga) << c.nome << ": " << l.esito.testo;
    EXPECT_EQ(l.s.codice_errore, Codice::nessuno) << c.nome;
    EXPECT_EQ(l.messaggi(), c.prima) << c.nome;

    const Compilazione compilata = compila_linea(c.testo);
    EXPECT_EQ(compilata.s.codice_errore, Codice::guasto_lettura) << c.nome;
    const std::string colonna = l.esito.colonna > 0 ? ":" + std::to_string(l.esito.colonna) : "";
    EXPECT_EQ(messaggi(compilata.s), c.prima + std::string(kNomeLinea) + ":" +
                                         std::to_string(c.riga) + colonna +
                                         ": error 25: " + l.esito.testo + "\n")
        << c.nome;
    EXPECT_TRUE(compilata.eliminazioni.eliminata(QualeSorgente::linea)) << c.nome;
    EXPECT_TRUE(compilata.eliminazioni.eliminata(QualeSorgente::treno)) << c.nome;
  }
}

// The built-in line source, as the program writes it, read back.
TEST(LeggiSorgenteLinea, BuiltInLine) {
  std::string testo;
  testo_righe(dati_linea(), [&](std::string_view parte) { testo += parte; });
  ASSERT_FALSE(testo.empty());
  const LetturaLinea l = leggi_linea(testo);
  ASSERT_TRUE(l.prosegue());
  const ScenarioCompilato& f = l.s;
  EXPECT_EQ(f.codice_errore, Codice::nessuno);
  EXPECT_EQ(l.messaggi(), "");
  EXPECT_TRUE(l.linea_eliminata());
  ASSERT_EQ(f.ultima_cella(), 1920);
  ASSERT_EQ(f.tracciato.ultima_riga(), 96000);
  EXPECT_EQ(f.tracciato.righe_valide(), 95999);  // points 95999 and 96000 stay empty
  EXPECT_EQ(tipo_riga(f.tracciato, 95998), TipoVariante::doppio);
  EXPECT_EQ(tipo_riga(f.tracciato, 95999), TipoVariante::vuoto);

  // Gradients: each value from its record's cell to the next record's;
  // 100 in cells 0 to 24, 107 in 25 to 89, 110 from 90, and the last
  // record (79250 m, 0) runs to U - 3.
  const struct {
    std::size_t da;
    int pendenza;
  } tratti[] = {{0, 100},    {25, 107},   {90, 110},   {367, 100},  {443, 107},
                {564, 109},  {793, 114},  {1246, 105}, {1248, 102}, {1252, 100},
                {1269, 119}, {1284, 115}, {1585, 100}, {1918, 0},   {1921, 0}};
  for (std::size_t t = 0; t + 1 < std::size(tratti); ++t)
    for (std::size_t c = tratti[t].da; c < tratti[t + 1].da; ++c)
      ASSERT_EQ(f.percorso[c].pendenza, tratti[t].pendenza) << c;

  std::vector<int> galleria_2, galleria_1_a_874, marcatori_a_874;
  for (int c = 0; c <= 874; ++c) {
    const cella_percorso& cella = f.percorso[static_cast<std::size_t>(c)];
    if (cella.galleria == 2) galleria_2.push_back(c);
    if (cella.galleria == 1) galleria_1_a_874.push_back(c);
    if (cella.tipo == TipoCella::marca_galleria) marcatori_a_874.push_back(c);
  }
  std::vector<int> attese_2, attese_1, attesi_marcatori;
  for (int c = 606; c <= 611; ++c) attese_2.push_back(c);
  for (int c = 721; c <= 729; ++c) attese_2.push_back(c);  // 36050 to 36500
  for (int c = 839; c <= 874; ++c) attese_1.push_back(c);
  for (int c = 842; c <= 874; c += 4) attesi_marcatori.push_back(c);
  EXPECT_EQ(galleria_2, attese_2);
  EXPECT_EQ(galleria_1_a_874, attese_1);
  EXPECT_EQ(marcatori_a_874, attesi_marcatori);

  const cella_percorso& v_max = f.percorso[1141];
  EXPECT_EQ(v_max.tipo, TipoCella::indicatore_v_max);
  EXPECT_EQ(v_max.valore1, 2600);
  EXPECT_EQ(v_max.valore2, 2700);
  EXPECT_EQ(v_max.valore3, 2800);
  EXPECT_EQ(v_max.valore4, 20);

  EXPECT_EQ(f.percorso[1764].tipo, TipoCella::cartello);
  EXPECT_EQ(f.percorso[1764].valore1, 71);
  EXPECT_EQ(f.testata_linea[71].nome, "(Galleria)(Montalba)");
  EXPECT_EQ(l.prossimo_cartello, 70);
  // All nine tunnel records were applied.
  EXPECT_EQ(std::count_if(f.origini.record.begin(), f.origini.record.end(),
                          [](const RecordSorgente& r) { return r.chiave == Chiave::montagna; }),
            9);

  const struct {
    int voce;
    int32_t dato1, dato2, dato3;
  } voci[] = {
      {81, 1000, 0, 0},  {82, 0, 0, 0},         {83, 0, 0, 0},
      {84, 0, 89000, 0}, {85, 1, 80000, 60000}, {86, 1000, 89500, 9},
  };
  for (const auto& v : voci) {
    const voce_testata& e = f.testata_linea[v.voce];
    EXPECT_EQ(e.dato1, v.dato1) << v.voce;
    EXPECT_EQ(e.dato2, v.dato2) << v.voce;
    EXPECT_EQ(e.dato3, v.dato3) << v.voce;
  }
  EXPECT_TRUE(f.testata_linea[0].nome.empty());
  EXPECT_TRUE(f.testata_linea[70].nome.empty());

  // Points of the plan, computed independently in IEEE double with no
  // fused operations, from the 21 curve records.
  const struct {
    std::size_t i;
    const char* x;
    const char* y;
  } punti[] = {
      {1999, "-0x1.937ef1e762775p+9", "0x1.a26d4b0667969p+10"},
      {2000, "-0x1.93df37a534539p+9", "0x1.a29794713d056p+10"},
      {50000, "-0x1.9f8950fb3940fp+13", "0x1.56dd77ce47bd5p+15"},
      {88100, "0x1.0775ded69507ap+14", "0x1.c494ade43790fp+15"},
      {95998, "0x1.831e46ccca294p+14", "0x1.c71ac37732861p+15"},
  };
  for (const auto& p : punti) {
    EXPECT_EQ(f.tracciato.x[p.i], std::strtod(p.x, nullptr)) << p.i;
    EXPECT_EQ(f.tracciato.y[p.i], std::strtod(p.y, nullptr)) << p.i;
  }
}

}  // namespace
}  // namespace genera
