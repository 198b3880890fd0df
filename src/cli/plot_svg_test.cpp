#include "cli/plot_svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace genera {
namespace {

/// A line of 1000 m: grid of 161 cells, a straight plan, two stations.
void modello_piccolo(ScenarioCompilato& f) {
  f.testata_linea[kVoceLinea].nome = "A";
  f.testata_linea[kVoceRipetizione].nome = "T";
  f.testata_linea[kVoceTreno].dato2 = 1000;
  f.percorso.assign(161, cella_percorso{});
  for (auto& c : f.percorso) c.pendenza = 100, c.velocita = 20, c.aderenza = 90;
  f.percorso[10].tipo = cella_segnale;
  f.percorso[12].tipo = cella_inizio_rallentamento;
  f.percorso[12].valore1 = 30;
  f.percorso[14].tipo = cella_fine_rallentamento;
  f.percorso[20].galleria = 1;
  f.tracciato.righe = 8001;
  for (int m = 0; m < 7999; ++m) f.tracciato.aggiungi(0, m);
  f.testata_linea[1].nome = "Caf\xe9 & <Bar>";
  f.testata_linea[2].nome = "Z";
  f.testata_linea[2].dato3 = 900;
  f.numero_stazioni = 2;
}

TEST(Plot, StationNamesAreEscapedAndTurnedIntoUtf8) {
  ScenarioCompilato f;
  modello_piccolo(f);
  const std::string svg = disegna_svg(f);
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_NE(svg.find(">Caf\xc3\xa9 &amp; &lt;Bar&gt;</text>"), std::string::npos);
  EXPECT_EQ(svg.find("<Bar>"), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(Plot, AnyModelIsDrawnWithoutLeavingItsArrays) {
  struct Caso {
    const char* nome;
    void (*guasta)(ScenarioCompilato&);
  };
  const Caso casi[] = {
      {"nothing parsed",
       [](ScenarioCompilato& f) {
         f.percorso.clear();
         f.tracciato = {};
         f.testata_linea = {};
         f.numero_stazioni = 0;
       }},
      {"station counter past the table", [](ScenarioCompilato& f) { f.numero_stazioni = 99999; }},
      {"negative station counter", [](ScenarioCompilato& f) { f.numero_stazioni = -6; }},
      {"station far beyond the plan", [](ScenarioCompilato& f) { f.testata_linea[2].dato3 = 2000000000; }},
      {"negative length", [](ScenarioCompilato& f) { f.testata_linea[kVoceTreno].dato2 = -7000; }},
      {"plan count past its rows", [](ScenarioCompilato& f) { f.tracciato.righe = 1 << 30; }},
      {"plan of NaN", [](ScenarioCompilato& f) { f.tracciato.x.assign(f.tracciato.x.size(), std::nan("")); }},
      {"grid of 2 cells", [](ScenarioCompilato& f) { f.percorso.resize(2); }},
      {"slowdown start in the last cell", [](ScenarioCompilato& f) { f.percorso.back().tipo = 3; }},
      {"tunnel to the end", [](ScenarioCompilato& f) { f.percorso.back().galleria = 2; }},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    ScenarioCompilato f;
    modello_piccolo(f);
    c.guasta(f);
    const std::string svg = disegna_svg(f);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  }
}

}  // namespace
}  // namespace genera
