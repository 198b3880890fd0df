#include "linecomp/field_reader.h"

#include <gtest/gtest.h>

#include "model/text.h"

namespace genera {
namespace {

TEST(FieldReader, LineSourceRecords) {
  FieldReader r(
      "[generale]\r\nlunghezza percorso,    89000\r\npendenza,   0,    0\r\n"
      "indicatori_vmax,  57000,  130,  135,  140,  2,  ,  ,  ,  0\r\n");
  EXPECT_EQ(r.read_text(), "[generale]");
  EXPECT_EQ(r.line(), 1);
  EXPECT_EQ(r.read_text(), "lunghezza percorso");
  EXPECT_EQ(r.line(), 2);
  EXPECT_EQ(r.read_number(), 89000);
  EXPECT_EQ(r.read_text(), "pendenza");
  EXPECT_EQ(r.read_number(), 0);
  EXPECT_EQ(r.read_number(), 0);
  EXPECT_EQ(r.line(), 3);
  EXPECT_EQ(r.read_text(), "indicatori_vmax");
  for (int atteso : {57000, 130, 135, 140, 2, 0, 0, 0, 0}) EXPECT_EQ(r.read_number(), atteso);
  EXPECT_TRUE(r.at_end());
}

TEST(FieldReader, NumbersApartByBlanksAlone) {
  FieldReader r("orologio,    8               49            0 \r\nsabbia,    300\r\n");
  EXPECT_EQ(r.read_text(), "orologio");
  EXPECT_EQ(r.read_number(), 8);
  EXPECT_EQ(r.read_number(), 49);
  EXPECT_EQ(r.read_number(), 0);
  EXPECT_EQ(r.read_text(), "sabbia");
  EXPECT_EQ(r.line(), 2);
}

TEST(FieldReader, TextFields) {
  FieldReader r(
      "cartello_indicatore,  88150,   (Galleria)(Montalba)\r\n"
      "  \"a, b\"  ,x\r\n"
      "stazione, 1, LIVRA   \r\n"
      "\"open\r\nquote\"\r\n");
  EXPECT_EQ(r.read_text(), "cartello_indicatore");
  EXPECT_EQ(r.read_number(), 88150);
  EXPECT_EQ(r.read_text(), "(Galleria)(Montalba)");
  EXPECT_EQ(r.read_text(), "a, b");
  EXPECT_EQ(r.read_text(), "x");
  EXPECT_EQ(r.read_text(), "stazione");
  EXPECT_EQ(r.read_number(), 1);
  EXPECT_EQ(r.read_text(), "LIVRA");  // trailing blanks are not part of it
  EXPECT_EQ(r.read_text(), "open\r\nquote");
  EXPECT_EQ(r.line(), 4);
  EXPECT_TRUE(r.at_end());
}

TEST(FieldReader, EveryLineEndCounts) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("a") + eol + "b" + eol + eol + "c";
    FieldReader r(text);
    EXPECT_EQ(r.read_text(), "a");
    EXPECT_EQ(r.read_text(), "b");
    EXPECT_EQ(r.read_text(), "");
    EXPECT_EQ(r.read_text(), "c");
    EXPECT_EQ(r.line(), 4);
    EXPECT_TRUE(r.at_end());
  }
}

TEST(FieldReader, EndOfFileComesAfterTheLastFieldAndItsLineBreak) {
  FieldReader r("[fine]\r\n");
  EXPECT_FALSE(r.at_end());
  EXPECT_EQ(r.read_text(), "[fine]");
  EXPECT_TRUE(r.at_end());
  EXPECT_FALSE(r.read_text());
  EXPECT_FALSE(r.read_number());
  EXPECT_EQ(r.failure(), "read past the end of the file");

  FieldReader senza_a_capo("[fine]");
  EXPECT_EQ(senza_a_capo.read_text(), "[fine]");
  EXPECT_TRUE(senza_a_capo.at_end());

  FieldReader vuoto("");
  EXPECT_TRUE(vuoto.at_end());
  EXPECT_FALSE(vuoto.read_text());
}

TEST(FieldReader, NumbersThatAreNotNumbersFail) {
  const struct {
    const char* testo;
    bool valido;
    int32_t valore;
  } cases[] = {
      {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"+15", true, 15},
      {"  ,", true, 0},
      {"-0", true, 0},
      {"7 ", true, 7},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"123456789012345678901234567890", false, 0},
      {"12a", false, 0},
      {"abc", false, 0},
      {"1.5", false, 0},
      {"-", false, 0},
      {"\"7\"", false, 0},
  };
  for (const auto& c : cases) {
    FieldReader r(c.testo);
    if (c.valido) {
      EXPECT_EQ(r.read_number(), c.valore) << c.testo;
    } else {
      EXPECT_FALSE(r.read_number()) << c.testo;
    }
  }
}

TEST(FieldReader, ReadPastTheEndNamesTheLastFieldsLine) {
  FieldReader r("a\r\nb, 1\r\n");
  r.read_text();
  r.read_text();
  r.read_number();
  EXPECT_FALSE(r.read_number());
  EXPECT_EQ(r.failure_line(), 2);
  FieldReader vuoto("");
  EXPECT_FALSE(vuoto.read_text());
  EXPECT_EQ(vuoto.failure_line(), 1);
}

TEST(FieldReader, FailuresKnowTheirLineAndColumn) {
  FieldReader r("a\r\nb,   x1\r\n");
  r.read_text();
  r.read_text();
  EXPECT_EQ(r.column(), 1);
  EXPECT_FALSE(r.read_number());
  EXPECT_EQ(r.failure_line(), 2);
  EXPECT_EQ(r.column(), 6);
  EXPECT_EQ(r.failure(), "\"x1\" is not a whole number");
}

TEST(FieldReader, KnowsTheFirstFieldOfALineAfterItsLineEndIsRead) {
  FieldReader r("[generale]\r\n5\r\na, 1, 2\r\n");
  for (const bool primo : {true, true, true, false, false}) {
    ASSERT_TRUE(r.read_text());
    EXPECT_EQ(r.first_on_line(), primo) << r.line() << ":" << r.column();
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
TEST(FieldReader, WhatStandsAfterAClosingQuoteIsKeptApart) {
  FieldReader r("\"(ORTA)\"  (Nord) , x\r\n(A)\r\n");
  EXPECT_EQ(r.read_text(), "(ORTA)");
  EXPECT_EQ(r.after_quote(), "(Nord)");
  EXPECT_EQ(r.after_quote_column(), 11);
  EXPECT_EQ(r.read_text(), "x");
  EXPECT_EQ(r.after_quote(), "");
  EXPECT_EQ(r.read_text(), "(A)");
  EXPECT_EQ(r.after_quote(), "");
}

}  // namespace genera
