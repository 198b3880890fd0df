#include "linecomp/field_reader.h"

#include <gtest/gtest.h>

#include "model/text.h"

namespace genera {
namespace {

TEST(FieldReader, LineSourceRecords) {
  FieldReader r("[generale]\r\nlunghezza percorso,    89000\r\npendenza,   0,    0\r\n"
                "indicatori_vmax,  57000,  130,  135,  140,  2,  ,  ,  ,  0\r\n");
  EXPECT_EQ(r.leggi_testo(), "[generale]");
  EXPECT_EQ(r.riga(), 1);
  EXPECT_EQ(r.leggi_testo(), "lunghezza percorso");
  EXPECT_EQ(r.riga(), 2);
  EXPECT_EQ(r.leggi_numero(), 89000);
  EXPECT_EQ(r.leggi_testo(), "pendenza");
  EXPECT_EQ(r.leggi_numero(), 0);
  EXPECT_EQ(r.leggi_numero(), 0);
  EXPECT_EQ(r.riga(), 3);
  EXPECT_EQ(r.leggi_testo(), "indicatori_vmax");
  for (int atteso : {57000, 130, 135, 140, 2, 0, 0, 0, 0}) EXPECT_EQ(r.leggi_numero(), atteso);
  EXPECT_TRUE(r.fine());
}

TEST(FieldReader, NumbersApartByBlanksAlone) {
  FieldReader r("orologio,    8               49            0 \r\nsabbia,    300\r\n");
  EXPECT_EQ(r.leggi_testo(), "orologio");
  EXPECT_EQ(r.leggi_numero(), 8);
  EXPECT_EQ(r.leggi_numero(), 49);
  EXPECT_EQ(r.leggi_numero(), 0);
  EXPECT_EQ(r.leggi_testo(), "sabbia");
  EXPECT_EQ(r.riga(), 2);
}

TEST(FieldReader, TextFields) {
  FieldReader r("cartello_indicatore,  88150,   (Galleria)(Montalba)\r\n"
                "  \"a, b\"  ,x\r\n"
                "stazione, 1, LIVRA   \r\n"
                "\"open\r\nquote\"\r\n");
  EXPECT_EQ(r.leggi_testo(), "cartello_indicatore");
  EXPECT_EQ(r.leggi_numero(), 88150);
  EXPECT_EQ(r.leggi_testo(), "(Galleria)(Montalba)");
  EXPECT_EQ(r.leggi_testo(), "a, b");
  EXPECT_EQ(r.leggi_testo(), "x");
  EXPECT_EQ(r.leggi_testo(), "stazione");
  EXPECT_EQ(r.leggi_numero(), 1);
  EXPECT_EQ(r.leggi_testo(), "LIVRA");  // trailing blanks are not part of it
  EXPECT_EQ(r.leggi_testo(), "open\r\nquote");
  EXPECT_EQ(r.riga(), 4);
  EXPECT_TRUE(r.fine());
}

TEST(FieldReader, EveryLineEndCounts) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("a") + eol + "b" + eol + eol + "c";
    FieldReader r(text);
    EXPECT_EQ(r.leggi_testo(), "a");
    EXPECT_EQ(r.leggi_testo(), "b");
    EXPECT_EQ(r.leggi_testo(), "");
    EXPECT_EQ(r.leggi_testo(), "c");
    EXPECT_EQ(r.riga(), 4);
    EXPECT_TRUE(r.fine());
  }
}

TEST(FieldReader, EndOfFileComesAfterTheLastFieldAndItsLineBreak) {
  FieldReader r("[fine]\r\n");
  EXPECT_FALSE(r.fine());
  EXPECT_EQ(r.leggi_testo(), "[fine]");
  EXPECT_TRUE(r.fine());
  EXPECT_FALSE(r.leggi_testo());
  EXPECT_FALSE(r.leggi_numero());
  EXPECT_EQ(r.guasto(), "read past the end of the file");

  FieldReader senza_a_capo("[fine]");
  EXPECT_EQ(senza_a_capo.leggi_testo(), "[fine]");
  EXPECT_TRUE(senza_a_capo.fine());

  FieldReader vuoto("");
  EXPECT_TRUE(vuoto.fine());
  EXPECT_FALSE(vuoto.leggi_testo());
}

TEST(FieldReader, NumbersThatAreNotNumbersFail) {
  const struct {
    const char* testo;
    bool valido;
    int32_t valore;
  } cases[] = {
      {"-2147483648", true, INT32_MIN}, {"2147483647", true, INT32_MAX}, {"+15", true, 15},
      {"  ,", true, 0}, {"-0", true, 0}, {"7 ", true, 7},
      {"2147483648", false, 0},         {"-2147483649", false, 0},
      {"123456789012345678901234567890", false, 0},
      {"12a", false, 0},                {"abc", false, 0},               {"1.5", false, 0},
      {"-", false, 0},                  {"\"7\"", false, 0},
  };
  for (const auto& c : cases) {
    FieldReader r(c.testo);
    if (c.valido) {
      EXPECT_EQ(r.leggi_numero(), c.valore) << c.testo;
    } else {
      EXPECT_FALSE(r.leggi_numero()) << c.testo;
    }
  }
}

TEST(FieldReader, ReadPastTheEndNamesTheLastFieldsLine) {
  FieldReader r("a\r\nb, 1\r\n");
  r.leggi_testo();
  r.leggi_testo();
  r.leggi_numero();
  EXPECT_FALSE(r.leggi_numero());
  EXPECT_EQ(r.riga_guasto(), 2);
  FieldReader vuoto("");
  EXPECT_FALSE(vuoto.leggi_testo());
  EXPECT_EQ(vuoto.riga_guasto(), 1);
}

TEST(FieldReader, FailuresKnowTheirLineAndColumn) {
  FieldReader r("a\r\nb,   x1\r\n");
  r.leggi_testo();
  r.leggi_testo();
  EXPECT_EQ(r.colonna(), 1);
  EXPECT_FALSE(r.leggi_numero());
  EXPECT_EQ(r.riga_guasto(), 2);
  EXPECT_EQ(r.colonna(), 6);
  EXPECT_EQ(r.guasto(), "\"x1\" is not a whole number");
}

TEST(FieldReader, KnowsTheFirstFieldOfALineAfterItsLineEndIsRead) {
  FieldReader r("[generale]\r\n5\r\na, 1, 2\r\n");
  for (const bool primo : {true, true, true, false, false}) {
    ASSERT_TRUE(r.leggi_testo());
    EXPECT_EQ(r.primo_della_riga(), primo) << r.riga() << ":" << r.colonna();
  }
}

TEST(Contiene, CaseRules) {
  EXPECT_TRUE(contiene("[GENERALE]", "[generale]"));
  EXPECT_TRUE(contiene("xxpendenzaxx", "pendenza"));
  EXPECT_FALSE(contiene("[pendenze]", "pendenza"));
  EXPECT_TRUE(contiene_esatto("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contiene_esatto("Progressiva chilometrica uno", "progressiva"));
}

}  // namespace
}  // namespace genera
