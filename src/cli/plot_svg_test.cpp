#include "cli/plot_svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace genera {
namespace {

/// A line of 1000 m: grid of 161 cells, a straight plan, two stations.
void modello_piccolo(Form1& f) {
  f.nome_linea = "A";
  f.codice_treno = "T";
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
  f.contatore_stazioni = 3;
}

TEST(Plot, StationNamesAreEscapedAndTurnedIntoUtf8) {
  Form1 f;
  modello_piccolo(f);
  const std::string svg = disegna_svg(f);
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_NE(svg.find(">Caf\xc3\xa9 &amp; &lt;Bar&gt;</text>"), std::string::npos);
  EXPECT_EQ(svg.find("<Bar>"), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(Plot, AnyModelIsDrawnWithoutLeavingItsArrays) {
  struct caso {
    const char* nome;
    void (*guasta)(Form1&);
  };
  const caso casi[] = {
      {"nothing parsed",
       [](Form1& f) {
         f.percorso.clear();
         f.tracciato = {};
         f.testata_linea = {};
         f.contatore_stazioni = 1;
       }},
      {"station counter past the table", [](Form1& f) { f.contatore_stazioni = 100000; }},
      {"negative station counter", [](Form1& f) { f.contatore_stazioni = -5; }},
      {"station far beyond the plan", [](Form1& f) { f.testata_linea[2].dato3 = 2000000000; }},
      {"negative length", [](Form1& f) { f.testata_linea[kVoceTreno].dato2 = -7000; }},
      {"plan count past its rows", [](Form1& f) { f.tracciato.righe = 1 << 30; }},
      {"plan of NaN", [](Form1& f) { f.tracciato.x.assign(f.tracciato.x.size(), std::nan("")); }},
      {"grid of 2 cells", [](Form1& f) { f.percorso.resize(2); }},
      {"slowdown start in the last cell", [](Form1& f) { f.percorso.back().tipo = 3; }},
      {"tunnel to the end", [](Form1& f) { f.percorso.back().galleria = 2; }},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Form1 f;
    modello_piccolo(f);
    c.guasta(f);
    const std::string svg = disegna_svg(f);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  }
}

}  // namespace
}  // namespace genera
