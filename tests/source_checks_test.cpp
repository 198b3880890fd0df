// The checks of the sources, one row per kind: the built-in sources with
// one mistake written in, and where the mistake is reported. Correct
// variants of the built-in sources stay silent, and no warning changes the
// outcome the rules record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/long_scenario.h"
#include "compiler/compile.h"
#include "sources/writers.h"

namespace genera {
namespace {

constexpr const char* kLinea = "LIVRA_MONTALBA_linea.txt";
constexpr const char* kTreno = "LIVRA_MONTALBA_R47316-.txt";

std::string testo_di(ListaRighe (*righe)()) {
  std::string testo;
  testo_righe(righe(), [&](std::string_view parte) { testo += parte; });
  return testo;
}

// The built-in source with `da` replaced by `a` (`da` must occur).
std::string cambia(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t dove = testo.find(da);
  EXPECT_NE(dove, std::string::npos) << da;
  if (dove != std::string::npos) testo.replace(dove, da.size(), a);
  return testo;
}

struct Modifica {
  bool treno;  // which source: the train source, else the line source
  std::string da, a;
};

ScenarioCompilato compila_con(const std::vector<Modifica>& modifiche) {
  std::string linea = testo_di(dati_linea), treno = testo_di(dati_treno);
  for (const Modifica& m : modifiche) {
    std::string& t = m.treno ? treno : linea;
    t = cambia(t, m.da, m.a);
  }
  return compila({kLinea, true, linea, {}}, {kTreno, true, treno, {}},
                 {"LIVRA_MONTALBA", "R47316", true}, non_eliminare);
}

struct Sbaglio {
  const char* nome;
  Modifica modifica;
  Gravita gravita;
  int numero;  // the code, or the warning's number
  int riga;
  int colonna;
  Codice regole = Codice::nessuno;  // the outcome the rules record all the same
};

class Sbagli : public testing::TestWithParam<Sbaglio> {};

TEST_P(Sbagli, ReportedAtTheirOwnPlace) {
  const Sbaglio& c = GetParam();
  const ScenarioCompilato s = compila_con({c.modifica});
  ASSERT_FALSE(s.diagnostiche.empty());
  const Diagnostica& d = s.diagnostiche.front();
  EXPECT_EQ(d.gravita, c.gravita) << d.testo;
  EXPECT_EQ(d.gravita == Gravita::avviso ? numero(d.avviso) : numero(d.codice), c.numero)
      << d.testo;
  EXPECT_EQ(d.luogo.file, c.modifica.treno ? kTreno : kLinea) << d.testo;
  EXPECT_EQ(d.luogo.riga, c.riga) << d.testo;
  EXPECT_EQ(d.luogo.colonna, c.colonna) << d.testo;
  // Our own errors and the warnings leave the rules' outcome as it was.
  EXPECT_EQ(s.codice_errore, c.regole) << d.testo;
  EXPECT_EQ(ha_errori(s), c.gravita == Gravita::errore) << d.testo;
}

INSTANTIATE_TEST_SUITE_P(
    Sorgenti, Sbagli,
    testing::Values(Sbaglio{"value_wraps",
                            {false, "pendenza,  1250,   7", "pendenza,  1250,   900"},
                            Gravita::avviso,
                            213,
                            34,
                            20},
                    Sbaglio{"minutes_beyond_59",
                            {true, "    1,   8,50, 0, LIVRA", "    1,   7,75, 0, LIVRA"},
                            Gravita::avviso,
                            214,
                            19,
                            66},
                    Sbaglio{"clock_hours",
                            {true, "orologio,    8 ", "orologio,    49 "},
                            Gravita::avviso,
                            214,
                            5,
                            14},
                    Sbaglio{"times_go_back",
                            {true, "   60,   9, 9, 0,", "   60,   8, 9, 0,"},
                            Gravita::avviso,
                            215,
                            27,
                            1},
                    Sbaglio{"reversed_slowdown_length",
                            {true, "42850,    60,  200,", "42850,    60, -200,"},
                            Gravita::errore,
                            107,
                            34,
                            32},
                    Sbaglio{"station_length_negative",
                            {true, "4500, 12,  500,", "4500, 12, -500,"},
                            Gravita::errore,
                            107,
                            20,
                            24},
                    Sbaglio{"curve_of_length_0",
                            {false, "curvas6,  750,  250", "curvas6,  750,  0"},
                            Gravita::errore,
                            107,
                            11,
                            17},
                    Sbaglio{"tunnel_end_before_start",
                            {false, "montagna,   30300,  30600", "montagna,   30600,  30300"},
                            Gravita::errore,
                            108,
                            47,
                            21},
                    Sbaglio{"reversed_cab_signal_stretch",
                            {false, "1000,    89500", "89500,    1000"},
                            Gravita::errore,
                            108,
                            9,
                            44},
                    Sbaglio{"curve_behind_the_plan_drawn",
                            {false, "curvad4,  12900,  300", "curvad4,  1900,  300"},
                            Gravita::avviso,
                            230,
                            15,
                            1},
                    Sbaglio{"tunnel_shorter_than_a_cell",
                            {false, "montagna,   30300,  30600", "montagna,   30300,  30320"},
                            Gravita::avviso,
                            230,
                            47,
                            1},
                    Sbaglio{"tunnel_past_the_grid",
                            {false, "montagna,   88250,  89250", "montagna,   88250,  99250"},
                            Gravita::avviso,
                            230,
                            55,
                            1},
                    Sbaglio{"curve_past_the_plan",
                            {false, "curvad1,  86300,  650", "curvad1,  86300,  9900"},
                            Gravita::avviso,
                            230,
                            30,
                            1},
                    Sbaglio{"progressives_cleared",
                            {false, "progressiva chilometrica due,    0",
                             "progressiva chilometrica due,    1000"},
                            Gravita::avviso,
                            231,
                            3,
                            1},
                    Sbaglio{"line_length_0",
                            {false, "lunghezza percorso,    89000", "lunghezza percorso, 0"},
                            Gravita::errore,
                            109,
                            2,
                            21,
                            Codice::oltre_griglia},
                    Sbaglio{"decimal_comma",
                            {false, "pendenza,  1250,   7", "pendenza,  1250,   12,5"},
                            Gravita::avviso,
                            216,
                            34,
                            23},
                    Sbaglio{"text_cut_at_a_comma",
                            {true, "0, 0, San Vito", "0, 0, San, Vito"},
                            Gravita::avviso,
                            217,
                            20,
                            73},
                    Sbaglio{"semicolons",
                            {false, "pendenza,  1250,   7", "pendenza;1250;7"},
                            Gravita::errore,
                            111,
                            34,
                            1,
                            Codice::guasto_lettura},
                    Sbaglio{"overlapping_tunnels",
                            {false, "montagna,   30300,  30600", "montagna,   30300,  36100"},
                            Gravita::avviso,
                            218,
                            48,
                            1},
                    Sbaglio{
                        "markers_over_a_stations",
                        {true, "[segnali]\r\n",
                         "[segnali]\r\nsegnale,    4700,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n"},
                        Gravita::avviso,
                        218,
                        36,
                        1},
                    Sbaglio{"past_the_line_end",
                            {true, "rallentamento,   42850,    60,  200, 0,  1,  50",
                             "rallentamento,   89500,    60,  200, 0,  0,  50"},
                            Gravita::avviso,
                            219,
                            34,
                            1},
                    Sbaglio{"slowdown_shorter_than_a_cell",
                            {true, "42850,    60,  200,", "42850,    60,  25,"},
                            Gravita::errore,
                            113,
                            34,
                            1},
                    Sbaglio{"signal_time_the_rules_drop",
                            {true, "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
                             "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 150"},
                            Gravita::avviso,
                            220,
                            38,
                            1},
                    Sbaglio{"station_byte_the_rules_drop",
                            {true, "4500, 12,  500,  0, 0, 0,", "4500, 12,  500,  0, 1, 0,"},
                            Gravita::avviso,
                            220,
                            20,
                            1},
                    Sbaglio{"slowdowns_overlap",
                            {true, "rallentamento,   42850,    60,  200, 0,  1,  50",
                             "rallentamento,   42850,    60,  200, 0,  1,  50\r\nrallentamento,   "
                             "42950,    80,  400, 0,  0,  50"},
                            Gravita::avviso,
                            221,
                            35,
                            1},
                    Sbaglio{"station_name_repeated",
                            {true, "0, 0, Casalpiano", "0, 0, San Vito"},
                            Gravita::avviso,
                            222,
                            21,
                            1},
                    Sbaglio{"station_after_the_terminus",
                            {true, "[rallentamenti]",
                             "stazione,   93500, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, "
                             "0, 0, Oltre\r\n[rallentamenti]"},
                            Gravita::avviso,
                            219,
                            33,
                            1},
                    Sbaglio{"speed_limit_0",
                            {true, "velocita,   18350,   160", "velocita,   18350,   0"},
                            Gravita::avviso,
                            214,
                            13,
                            22},
                    Sbaglio{"slowdown_faster_than_the_limit",
                            {true, "42850,    60,", "42850,    200,"},
                            Gravita::avviso,
                            214,
                            34,
                            1},
                    Sbaglio{"swapped_speed_fields_blame_their_record",
                            {true, "velocita,    2000,   150", "velocita,    150,   2000"},
                            Gravita::errore,
                            25,
                            12,
                            21,
                            Codice::guasto_lettura}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Sbagli, AnEmptyTrainSourceFailsTheCompile) {
  const ScenarioCompilato s = compila_con({{true, "[generale]", "[vuoto]"}});
  ASSERT_FALSE(s.diagnostiche.empty());
  EXPECT_EQ(s.diagnostiche.back().codice, Codice::sorgente_treno_vuota);
  EXPECT_EQ(s.codice_errore, Codice::nessuno);
}

TEST(Sbagli, AUtf16SourceIsOneClearError) {
  const std::string linea = testo_di(dati_linea), treno8 = testo_di(dati_treno);
  std::string treno = "\xFF\xFE";
  for (char c : treno8) treno += std::string{c, '\0'};
  const ScenarioCompilato s = compila({kLinea, true, linea, {}}, {kTreno, true, treno, {}},
                                      {"LIVRA_MONTALBA", "R47316", true}, non_eliminare);
  ASSERT_EQ(s.diagnostiche.size(), 1u);
  EXPECT_EQ(s.diagnostiche[0].codice, Codice::codifica_larga);
  EXPECT_NE(s.diagnostiche[0].testo.find("UTF-16 LE"), std::string::npos);
  EXPECT_FALSE(s.diagnostiche[0].aiuto.empty());
}

struct Variante {
  const char* nome;
  std::vector<Modifica> modifiche;
};

class Corrette : public testing::TestWithParam<Variante> {};

TEST_P(Corrette, StaySilent) {
  const ScenarioCompilato s = compila_con(GetParam().modifiche);
  for (const Diagnostica& d : s.diagnostiche) ADD_FAILURE() << formatta(d);
  EXPECT_EQ(s.codice_errore, Codice::nessuno);
}

INSTANTIATE_TEST_SUITE_P(
    Sorgenti, Corrette,
    testing::Values(
        Variante{"built_in", {}},
        Variante{"a_station_more",
                 {{true, "stazione,   62600",
                   "stazione,   52000, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   9,20, 0, "
                   "Nuova\r\nstazione,   62600"}}},
        Variante{"a_moved_signal", {{true, "segnale,   12650", "segnale,   12700"}}},
        Variante{
            "a_curve_more",
            {{false, "curvas1,  18050,  300", "curvas1,  18050,  300\r\ncurvas2,  20000,  400"}}},
        Variante{"a_tunnel_more",
                 {{false, "montagna,   56900,  60950,  11",
                   "montagna,   56900,  60950,  11\r\nmontagna,   62000,  62500,  2"}}},
        Variante{"a_slowdown_more",
                 {{true, "rallentamento,   42850,    60,  200, 0,  1,  50",
                   "rallentamento,   42850,    60,  200, 0,  1,  50\r\nrallentamento,   75000,    "
                   "80,  300, 0,  1,  0"}}},
        Variante{"a_quoted_board_text_with_a_comma",
                 {{false, "cartello_indicatore,  30150,",
                   "cartello_indicatore,  31000,   \"(Galleria, Nord)\"\r\ncartello_indicatore,  "
                   "30150,"}}},
        Variante{"a_comment_after_the_values",
                 {{false, "pendenza,  1250,   7", "pendenza,  1250,   7, - salita -"}}}),
    [](const auto& info) { return std::string(info.param.nome); });

// The benchmark's longest line: 1000 km of every record kind, more
// stations, signals, curves, tunnels and slowdowns than the built-in line.
TEST(Corrette, TheLongestLineStaysSilent) {
  const bench::LongScenario lungo = bench::genera_scenario_lungo();
  const ScenarioCompilato s =
      compila({"LUNGA_linea.txt", true, lungo.linea, {}}, {"LUNGA_L1-.txt", true, lungo.treno, {}},
              {"LUNGA", "L1", true}, non_eliminare);
  for (const Diagnostica& d : s.diagnostiche) ADD_FAILURE() << formatta(d);
  EXPECT_EQ(s.codice_errore, Codice::nessuno);
}

}  // namespace
}  // namespace genera
