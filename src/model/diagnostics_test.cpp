#include "model/diagnostics.h"

#include <gtest/gtest.h>

#include "model/text.h"

namespace genera {
namespace {

TEST(Formatta, CompilerForm) {
  EXPECT_EQ(formatta({Gravita::errore,
                      Codice::oltre_griglia,
                      {"L_linea.txt", 45, 1, 95950},
                      "record at 95950 m lies beyond the end of the grid",
                      {}}),
            "L_linea.txt:45:1: error 15: record at 95950 m lies beyond the end of the grid");
  EXPECT_EQ(formatta({Gravita::errore,
                      Codice::codice_prima_rallentamento,
                      {"T-.txt", 0, 0, 42000},
                      "no free cell",
                      {}}),
            "T-.txt: error 12: no free cell");
  EXPECT_EQ(formatta({Gravita::errore, Codice::marcatori_occupati, {}, "taken", {}}),
            "error 1250: taken");
}

TEST(Citazione, ShowsHostileFieldsSafely) {
  const struct {
    std::string campo, atteso;
  } cases[] = {
      {"curvad", "\"curvad\""},
      {std::string("a\0b\r\xe0", 5), "\"a\\x00b\\x0D\xc3\xa0\""},
      {"Forl\xc3\xac \xe2\x82\xac", "\"Forl\xc3\xac \xe2\x82\xac\""},
      {"\x81", "\"\\x81\""},
      {std::string(10'000'000, 'x'), "\"" + std::string(40, 'x') + "...\""},
  };
  for (const auto& c : cases) EXPECT_EQ(citazione(c.campo), c.atteso);
}

TEST(TabellaCodici, EveryCodeHasItsRowAndEveryRowItsWords) {
  for (const VoceCodice& v : tabella_codici()) {
    EXPECT_EQ(cerca_codice(numero(v.codice)), &v);
    EXPECT_FALSE(v.nome.empty() || v.sommario.empty() || v.causa.empty() || v.rimedio.empty())
        << numero(v.codice);
  }
  EXPECT_EQ(cerca_codice(14), nullptr);
  EXPECT_EQ(cerca_codice(0), nullptr);
}

}  // namespace
}  // namespace genera
