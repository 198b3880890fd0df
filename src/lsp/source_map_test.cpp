#include "lsp/source_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace genera::lsp {
namespace {

std::vector<std::string> campi(std::string_view riga, const RigaRecord& r) {
  std::vector<std::string> out;
  for (const CampoRiga& c : r.campi) out.emplace_back(riga.substr(c.inizio, c.fine - c.inizio));
  return out;
}

TEST(LeggiRiga, FieldsSplitAtCommasAndNumbersAtBlanks) {
  const std::string riga = "  orologio,    8               49            0 ";
  const RigaRecord r = leggi_riga(riga, Blocco::treno);
  ASSERT_NE(r.parola, nullptr);
  EXPECT_EQ(r.parola->chiave, Chiave::orologio);
  EXPECT_EQ(campi(riga, r), (std::vector<std::string>{"orologio", "8", "49", "0"}));
}

TEST(LeggiRiga, AStationNameKeepsItsBlanksAndQuotes) {
  const std::string riga =
      "stazione, 4500, 2, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 55, 0, \"San Vito, Alta\"";
  const RigaRecord r = leggi_riga(riga, Blocco::treno);
  ASSERT_NE(r.parola, nullptr);
  ASSERT_EQ(r.campi.size(), 18u);
  EXPECT_EQ(campi(riga, r).back(), "\"San Vito, Alta\"");
}

TEST(LeggiRiga, KeysAreTestedAgainstTheirBlockOnly) {
  EXPECT_EQ(leggi_riga("segnale, 1", Blocco::corpo_linea).parola, nullptr);
  EXPECT_NE(leggi_riga("lunghezza percorso, 1", Blocco::testata_linea).parola, nullptr);
  EXPECT_EQ(leggi_riga("lunghezza percorso, 1", Blocco::corpo_linea).parola, nullptr);
  EXPECT_TRUE(leggi_riga("- nota, 1", Blocco::treno).commento);
}

TEST(CampoAlByte, CountsTheFieldTheCursorIsIn) {
  const std::string riga = "segnale, 8200, 2 ,";
  const RigaRecord r = leggi_riga(riga, Blocco::treno);
  EXPECT_EQ(campo_al_byte(r, riga, 0), 0);
  EXPECT_EQ(campo_al_byte(r, riga, 7), 0);
  EXPECT_EQ(campo_al_byte(r, riga, 8), 1);
  EXPECT_EQ(campo_al_byte(r, riga, 11), 1);
  EXPECT_EQ(campo_al_byte(r, riga, 15), 2);
  EXPECT_EQ(campo_al_byte(r, riga, 18), 3);
}

TEST(Struttura, TheHeaderBlockRunsFromGeneraleToTheNextSection) {
  const TestoDocumento t(
      "x\n[generale]\nlunghezza percorso, 1\n- [note] -\nsfondo uno, 1\n[curve]\npendenza, 0, 0\n");
  const StrutturaSorgente s = struttura(t, QualeSorgente::linea);
  EXPECT_EQ(s.riga_generale, 1);
  EXPECT_EQ(s.fine_testata, 5);
  EXPECT_EQ(blocco_di(s, 0), Blocco::corpo_linea);
  EXPECT_EQ(blocco_di(s, 4), Blocco::testata_linea);
  EXPECT_EQ(blocco_di(s, 6), Blocco::corpo_linea);
  EXPECT_EQ(blocco_di(struttura(t, QualeSorgente::treno), 4), Blocco::treno);
}

}  // namespace
}  // namespace genera::lsp
