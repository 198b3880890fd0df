#include "view/plot_svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace genera {
namespace {

/// A line of 1000 m: grid of 161 cells, a straight plan, two stations.
void modello_piccolo(ScenarioCompilato& f) {
  f.testata_linea[kVoceLinea].nome = "A";
  f.testata_linea[kVoceRipetizione].nome = "T";
  f.testata_linea[kVoceTreno].dato2 = 1000;
  f.percorso.assign(161, cella_percorso{});
  for (auto& c : f.percorso) c.pendenza = 100, c.velocita = 20, c.aderenza = 90;
  f.percorso[10].tipo = TipoCella::segnale;
  f.percorso[12].tipo = TipoCella::inizio_rallentamento;
  f.percorso[12].valore1 = 30;
  f.percorso[14].tipo = TipoCella::fine_rallentamento;
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

/// A text of the picture and the box it may take: as wide as the drawing
/// code reckons a text (0.62 of the font size a byte), as tall as its font.
struct Scritta {
  std::string testo;
  double x0, y0, x1, y1;
};

/// The value of attribute `nome` in the tag `tag`, empty when it has none.
std::string attributo(const std::string& tag, const std::string& nome) {
  const std::size_t at = tag.find(" " + nome + "=\"");
  if (at == std::string::npos) return {};
  const std::size_t da = at + nome.size() + 3;
  return tag.substr(da, tag.find('"', da) - da);
}

std::vector<Scritta> scritte(const std::string& svg) {
  std::vector<Scritta> out;
  for (std::size_t at = svg.find("<text "); at != std::string::npos;
       at = svg.find("<text ", at + 1)) {
    const std::size_t chiude = svg.find('>', at), fine = svg.find("</text>", at);
    const std::string tag = svg.substr(at, chiude - at);
    if (attributo(tag, "transform").find("rotate") != std::string::npos)
      continue;  // the plan's y axis title
    // The text as drawn: each entity is one character.
    std::string t;
    for (std::size_t i = chiude + 1; i < fine; ++i) {
      t += svg[i];
      if (svg[i] == '&') i = svg.find(';', i);
    }
    const double x = std::stod(attributo(tag, "x")), y = std::stod(attributo(tag, "y"));
    const std::string c = attributo(tag, "font-size");
    const double corpo = c.empty() ? 16 : std::stod(c);  // the picture's default size
    const std::string ancora = attributo(tag, "text-anchor");
    const double w = 0.62 * corpo * static_cast<double>(t.size());
    const double x0 = ancora == "middle" ? x - w / 2 : ancora == "end" ? x - w : x;
    out.push_back({t, x0, y - corpo * 0.8, x0 + w, y + corpo * 0.2});
  }
  return out;
}

/// A line of 10 km with far more stations and boards than their names
/// leave room for.
void modello_affollato(ScenarioCompilato& f) {
  modello_piccolo(f);
  f.testata_linea[kVoceTreno].dato2 = 10000;
  f.percorso.assign(341, cella_percorso{});
  for (auto& c : f.percorso) c.pendenza = 100, c.velocita = 20, c.aderenza = 90;
  f.tracciato = {};
  f.tracciato.righe = 17001;
  for (int m = 0; m < 16999; ++m)
    f.tracciato.aggiungi(m < 5000 ? 0 : (m - 5000) * 0.7, m < 5000 ? m : 5000 + (m - 5000) * 0.7);
  f.numero_stazioni = 60;
  for (int i = 1; i <= 60; ++i) {
    f.testata_linea[static_cast<std::size_t>(i)].nome = "Stazione numero " + std::to_string(i);
    f.testata_linea[static_cast<std::size_t>(i)].dato3 = 150 * i;
    f.testata_linea[static_cast<std::size_t>(i)].dato1 = 150 * i - 50;
    f.testata_linea[static_cast<std::size_t>(i)].dato2 = 150 * i + 50;
  }
  for (int k = 5; k < 300; k += 3) {
    f.percorso[static_cast<std::size_t>(k)].tipo =
        k % 2 ? TipoCella::cartello : TipoCella::indicatore_v_max;
    f.percorso[static_cast<std::size_t>(k)].valore1 = k % 2 ? 80 : 2800;
  }
  f.testata_linea[80].nome = "(Galleria)(Lunghissima di nome)";
}

TEST(Plot, NoTwoTextsOfThePictureOverlap) {
  for (const bool affollato : {false, true}) {
    SCOPED_TRACE(affollato ? "crowded line" : "small line");
    ScenarioCompilato f;
    affollato ? modello_affollato(f) : modello_piccolo(f);
    const std::vector<Scritta> t = scritte(disegna_svg(f));
    ASSERT_GT(t.size(), 20u);
    for (std::size_t i = 0; i < t.size(); ++i)
      for (std::size_t j = i + 1; j < t.size(); ++j) {
        const bool tocca =
            t[i].x0 < t[j].x1 && t[j].x0 < t[i].x1 && t[i].y0 < t[j].y1 && t[j].y0 < t[i].y1;
        EXPECT_FALSE(tocca) << "\"" << t[i].testo << "\" and \"" << t[j].testo << "\"";
      }
  }
}

TEST(Plot, EveryAxisHasItsUnitAndTheLinesEndIsMarked) {
  ScenarioCompilato f;
  modello_piccolo(f);
  f.percorso[30].tipo = TipoCella::indicatore_v_max;
  f.percorso[30].valore1 = 2800;  // 140 km/h
  f.percorso[40].tipo = TipoCella::cartello;
  f.percorso[40].valore1 = 80;
  f.testata_linea[80].nome = "(Galleria   )(Uno)";
  const std::string svg = disegna_svg(f);
  for (const char* atteso :
       {">gradient (\xe2\x80\xb0)</text>", ">speed limit (km/h)</text>", ">adhesion (%)</text>",
        ">distance along the line (km)</text>", ">x (km)</text>", ">y (km)</text>",
        // The axis ends at the grid's end, 161 cells; the tail after the
        // line's end is shaded.
        ">end of line, km 1.0</text>", ">grid ends, km 8.1</text>", "fill=\"url(#coda)\"",
        ">end of line</text>",
        // Both kinds of board, each in the boards lane.
        ">140/0/0</text>", ">Galleria / Uno</text>"})
    EXPECT_NE(svg.find(atteso), std::string::npos) << atteso;
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
      {"station far beyond the plan",
       [](ScenarioCompilato& f) { f.testata_linea[2].dato3 = 2000000000; }},
      {"negative length", [](ScenarioCompilato& f) { f.testata_linea[kVoceTreno].dato2 = -7000; }},
      {"plan count past its rows", [](ScenarioCompilato& f) { f.tracciato.righe = 1 << 30; }},
      {"plan of NaN",
       [](ScenarioCompilato& f) { f.tracciato.x.assign(f.tracciato.x.size(), std::nan("")); }},
      {"grid of 2 cells", [](ScenarioCompilato& f) { f.percorso.resize(2); }},
      {"slowdown start in the last cell",
       [](ScenarioCompilato& f) { f.percorso.back().tipo = TipoCella::inizio_rallentamento; }},
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

TEST(PlotSvg, CellsNoRuleWroteAreHatchedNotDrawnAsZero) {
  ScenarioCompilato f;
  modello_piccolo(f);
  f.origini.record.resize(2);
  f.origini.celle.assign(f.percorso.size(), OrigineCella{});
  // The reading stopped at cell 100: the profiles hold only what came before.
  for (std::size_t k = 0; k < 100; ++k)
    f.origini.celle[k].pendenza = f.origini.celle[k].velocita = f.origini.celle[k].aderenza = 1;
  const std::string svg = disegna_svg(f);
  std::size_t tratteggi = 0;
  for (std::size_t at = svg.find("data-non-scritto=\"100-157\""); at != std::string::npos;
       at = svg.find("data-non-scritto=\"100-157\"", at + 1))
    ++tratteggi;
  EXPECT_EQ(tratteggi, 3u) << "one hatch in each profile, cells 100 to U - 3";
}

}  // namespace
}  // namespace genera
