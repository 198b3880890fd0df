#include "sources/writers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "sources/text_layout.h"

namespace genera {
namespace {

std::string golden(const std::string& name) {
  std::ifstream in(std::string(GENERA_TEST_DATA) + "/golden/text/" + name, std::ios::binary);
  EXPECT_TRUE(in) << "missing golden " << name;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(Writers, EachGivesExactlyItsGoldenFile) {
  for (const Documento& d : documenti("LIVRA_MONTALBA", "R47316")) {
    SCOPED_TRACE(d.nome);
    const std::string expected = golden(d.nome);
    ASSERT_FALSE(expected.empty());
    std::string testo;
    testo_righe(d.righe(), [&](std::string_view riga) { testo += riga; });
    EXPECT_EQ(testo, expected);
  }
}

TEST(Writers, DocumentsAreNamedForTheLineAndTheTrain) {
  std::vector<std::string> nomi;
  for (const Documento& d : documenti("L", "T")) nomi.push_back(d.nome);
  EXPECT_EQ(nomi, (std::vector<std::string>{"L_linea.txt", "L_T-.txt", "L_T_note.txt",
                                            "L_T_rallentamenti.txt", "L_T_scheda_treno.txt"}));
}

ListaRighe lista(const std::vector<std::string>& righe) {
  ListaRighe l;
  std::copy(righe.begin(), righe.end(), l.begin());
  return l;
}

std::string scritto(const ListaRighe& righe) {
  std::string testo;
  testo_righe(righe, [&](std::string_view riga) { testo += riga; });
  return testo;
}

TEST(TestoRighe, StopsAtTheFirstExactSentinel) {
  const ListaRighe righe =
      lista({"a", "", "Riferimento fine del file", "riferimento fine del file ",
             " riferimento fine del file", "riferimento  fine del file",
             "riferimento fine del file", "never", "riferimento fine del file"});
  EXPECT_EQ(scritto(righe),
            "a\r\n"
            "\r\n"
            "Riferimento fine del file\r\n"
            "riferimento fine del file \r\n"
            " riferimento fine del file\r\n"
            "riferimento  fine del file\r\n");
}

TEST(TestoRighe, SentinelFirstGivesAnEmptyFile) {
  EXPECT_EQ(scritto(lista({kSentinella, "never"})), "");
}

TEST(TestoRighe, ListWithoutSentinelIsWrittenWholeAndNoFurther) {
  ListaRighe righe;
  std::string expected;
  for (std::size_t i = 0; i < righe.size(); ++i) {
    righe[i] = std::to_string(i);
    expected += righe[i] + "\r\n";
  }
  EXPECT_EQ(scritto(righe), expected);
}

TEST(ChiudiLista, PutsTheSentinelAfterTheLastLineAndRefusesAFullList) {
  const ListaRighe l = chiudi_lista({"a", "b"});
  EXPECT_EQ(l[1], "b");
  EXPECT_EQ(l[2], kSentinella);
  EXPECT_EQ(l[3], "");
  EXPECT_EQ(chiudi_lista(std::vector<std::string>(1000, "x"))[1000], kSentinella);
  EXPECT_THROW(chiudi_lista(std::vector<std::string>(1001, "x")), std::length_error);
}

TEST(TextLayout, CellsAreNeverWiderThanTheirRoom) {
  EXPECT_EQ(a_sinistra("ab", 4), "ab  ");
  EXPECT_EQ(a_sinistra("abcd", 4), "abcd");
  EXPECT_THROW(a_sinistra("abcde", 4), std::length_error);
  EXPECT_EQ(testo_cartello({"Galleria", "Monte Sacro", "9200 mt."}),
            "(Galleria   )(Monte Sacro)(9200 mt.   )");
}

}  // namespace
}  // namespace genera
