#include "model/cell_kinds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace genera {
namespace {

TEST(CellKinds, EveryStoredKindOnceAndNoOther) {
  std::set<int> tipi;
  std::set<std::string> nomi, chiavi;
  for (const DescrizioneTipoCella& d : kTipiCella) {
    EXPECT_TRUE(tipi.insert(static_cast<int>(d.tipo)).second) << static_cast<int>(d.tipo);
    EXPECT_TRUE(nomi.insert(d.nome).second) << d.nome;
    EXPECT_TRUE(chiavi.insert(d.chiave).second) << d.chiave;
  }
  EXPECT_EQ(tipi, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14}));
  EXPECT_STREQ(nome_tipo_cella(static_cast<TipoCella>(7)), "sconosciuto");
  EXPECT_STREQ(nome_tipo_cella(TipoCella::prima_avviso), "prima dell'avviso");
}

TEST(CellKinds, FreeIsTheGridsOwnTest) {
  for (const DescrizioneTipoCella& d : kTipiCella) {
    cella_percorso c;
    c.tipo = d.tipo;
    EXPECT_EQ(d.libera, cella_libera(c)) << d.nome;
  }
}

TEST(CellKinds, CellKBeginsAtFiftyTimesK) {
  EXPECT_EQ(metri_cella(0), 0);
  EXPECT_EQ(metri_cella(100), 5000);  // an abbattimento at 5000 m takes cell 100
  EXPECT_EQ(metri_cella(798), 39900);
}

}  // namespace
}  // namespace genera
