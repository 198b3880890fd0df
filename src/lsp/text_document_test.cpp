#include "lsp/text_document.h"

#include <gtest/gtest.h>

namespace genera::lsp {
namespace {

TEST(TestoDocumento, LinesEndInCrLfLfOrCrAlone) {
  const TestoDocumento t("a\r\nbb\ncc\rd");
  ASSERT_EQ(t.righe(), 4);
  EXPECT_EQ(t.riga(0), "a");
  EXPECT_EQ(t.riga(1), "bb");
  EXPECT_EQ(t.riga(2), "cc");
  EXPECT_EQ(t.riga(3), "d");
  EXPECT_EQ(t.riga(4), "");
}

TEST(TestoDocumento, ColumnsCountUtf16UnitsOrBytes) {
  // "à" is two bytes and one UTF-16 unit; U+1F682 is four bytes and two units.
  const std::string riga = "x\xC3\xA0y\xF0\x9F\x9A\x82z";
  EXPECT_EQ(colonna_da_byte(riga, 3, Codifica::utf16), 2);
  EXPECT_EQ(colonna_da_byte(riga, 8, Codifica::utf16), 5);
  EXPECT_EQ(colonna_da_byte(riga, 8, Codifica::utf8), 8);
  EXPECT_EQ(byte_da_colonna(riga, 5, Codifica::utf16), 8u);
  EXPECT_EQ(byte_da_colonna(riga, 99, Codifica::utf16), riga.size());
}

TEST(TestoDocumento, AnEditReplacesItsRangeAndKeepsTheLinesRight) {
  TestoDocumento t("segnale, 8200\r\nstazione, 0\r\n");
  t.sostituisci({0, 9}, {0, 13}, "8250", Codifica::utf16);
  t.sostituisci({1, 0}, {1, 0}, "x\n", Codifica::utf16);
  EXPECT_EQ(t.testo(), "segnale, 8250\r\nx\nstazione, 0\r\n");
  EXPECT_EQ(t.riga(2), "stazione, 0");
  EXPECT_EQ(t.posizione(t.offset({2, 3}, Codifica::utf16), Codifica::utf16), (Posizione{2, 3}));
}

TEST(TestoDocumento, PositionsOutsideTheTextAreClamped) {
  TestoDocumento t("ab\ncd");
  EXPECT_EQ(t.offset({0, 50}, Codifica::utf16), 2u);
  EXPECT_EQ(t.offset({9, 0}, Codifica::utf16), 5u);
  EXPECT_EQ(t.offset({-1, -1}, Codifica::utf16), 0u);
  t.sostituisci({5, 0}, {0, 1}, "Z", Codifica::utf16);  // reversed: taken in order
  EXPECT_EQ(t.testo(), "aZ");
}

}  // namespace
}  // namespace genera::lsp
