#include "view/drawable.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(Drawable, TunnelsAndSlowdownsSpanTheirCells) {
  ScenarioCompilato s;
  s.percorso.assign(200, cella_percorso{});
  s.origini.celle.assign(200, OrigineCella{});
  s.origini.record.resize(4);
  // A lit tunnel of record 1 over cells 10 to 17, its marker at 13; a
  // tunnel of record 2 right after it with a marker another record left.
  for (int k = 10; k <= 17; ++k) s.percorso[k].galleria = 1, s.origini.celle[k].galleria = 1;
  s.percorso[13].tipo = TipoCella::marca_galleria, s.origini.celle[13].oggetto = 1;
  for (int k = 18; k <= 20; ++k) s.percorso[k].galleria = 1, s.origini.celle[k].galleria = 2;
  s.percorso[19].tipo = TipoCella::marca_galleria, s.origini.celle[19].oggetto = 1;
  // A slowdown of record 3: board 50, start 80, end 84.
  const int celle[] = {50, 80, 84};
  const TipoCella tipi[] = {TipoCella::avviso_rallentamento, TipoCella::inizio_rallentamento,
                            TipoCella::fine_rallentamento};
  for (int i = 0; i < 3; ++i) {
    s.percorso[celle[i]].tipo = tipi[i];
    s.percorso[celle[i]].valore1 = 60;
    s.origini.celle[celle[i]].oggetto = 3;
  }
  const ScenarioDisegnabile d = disegnabile(s);
  ASSERT_EQ(d.gallerie.size(), 2u);
  EXPECT_EQ(d.gallerie[0].da, 500);
  EXPECT_EQ(d.gallerie[0].a, 900);
  EXPECT_TRUE(d.gallerie[0].illuminata);
  EXPECT_FALSE(d.gallerie[1].illuminata) << "the marker is the other tunnel's";
  ASSERT_EQ(d.rallentamenti.size(), 1u);
  EXPECT_EQ(d.rallentamenti[0].da, 4000);
  EXPECT_EQ(d.rallentamenti[0].a, 4250);
  EXPECT_EQ(d.rallentamenti[0].cella_avviso, 50);
  EXPECT_EQ(d.rallentamenti[0].velocita, 60);
}

TEST(Drawable, ProfileCellsNoRuleWroteNameNoRecord) {
  ScenarioCompilato s;
  s.percorso.assign(20, cella_percorso{});
  s.origini.celle.assign(20, OrigineCella{});
  s.origini.record.resize(2);
  for (int k = 0; k < 5; ++k) s.percorso[k].pendenza = 107, s.origini.celle[k].pendenza = 1;
  const ScenarioDisegnabile d = disegnabile(s);
  ASSERT_EQ(d.pendenza.size(), 2u);
  EXPECT_EQ(d.pendenza[0].valore, 7);
  EXPECT_EQ(d.pendenza[1].prima_cella, 5);
  EXPECT_EQ(d.pendenza[1].record, 0u);
  EXPECT_EQ(d.celle_profilo, 17);
}

TEST(Drawable, BoardTextsInWords) {
  EXPECT_EQ(testo_cartello("(Galleria   )(San Martino)"), "Galleria / San Martino");
  EXPECT_EQ(testo_cartello("Cerreto  "), "Cerreto");
}

}  // namespace
}  // namespace genera
