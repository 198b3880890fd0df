#include "run/diagnostics_output.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

const std::string kFonte = "[generale]\r\n\tstazoine, 11950\r\nx\r\n";

Diagnostica avviso_con_nota() {
  Diagnostica d{Gravita::avviso,
                Codice::nessuno,
                {"T-.txt", 2, 2, std::nullopt},
                "unknown record key \"stazoine\"",
                {}};
  d.note.push_back({{"T-.txt", 3, 1, std::nullopt}, "here"});
  return d;
}

TEST(Rendi, PlainFormWithoutATerminal) {
  EXPECT_EQ(rendi(avviso_con_nota(), {{"T-.txt", kFonte}}, {}),
            "T-.txt:2:2: warning: unknown record key \"stazoine\"\n"
            "T-.txt:3:1: note: here\n");
}

TEST(Rendi, SourceLineAndCaretUnderTheField) {
  EXPECT_EQ(rendi(avviso_con_nota(), {{"T-.txt", kFonte}}, {true, false}),
            "T-.txt:2:2: warning: unknown record key \"stazoine\"\n"
            "  \tstazoine, 11950\n"
            "  \t^\n"
            "T-.txt:3:1: note: here\n"
            "  x\n"
            "  ^\n");
}

TEST(Rendi, ColourMarksTheSeverity) {
  const std::string out = rendi(avviso_con_nota(), {{"T-.txt", kFonte}}, {true, true});
  EXPECT_NE(out.find("\x1b[1;35mwarning\x1b[0m"), std::string::npos) << out;
  EXPECT_NE(out.find("\x1b[1;36mnote\x1b[0m"), std::string::npos) << out;
}

TEST(Rendi, AControlByteInTheLineCannotUpsetTheTerminal) {
  const std::string fonte = std::string("a\x1b[2Jb, 1\r\n");
  const Diagnostica d{
      Gravita::errore, Codice::guasto_lettura, {"L.txt", 1, 1, std::nullopt}, "x", {}};
  EXPECT_EQ(rendi(d, {{"L.txt", fonte}}, {true, false}),
            "L.txt:1:1: error 25: x\n  a [2Jb, 1\n  ^\n");
}

// The caret and its range in characters, whatever UTF-8 stands before or
// inside the field; a long line is cut between characters, never inside one.
struct Segno {
  const char* nome;
  std::string riga;
  int colonna;
  int larghezza;
  std::string atteso;  // the two lines under the message
};

class Caret : public testing::TestWithParam<Segno> {};

TEST_P(Caret, SitsUnderTheFieldInDisplayColumns) {
  const Segno& c = GetParam();
  Diagnostica d{Gravita::avviso, Codice::nessuno, {"T-.txt", 1, c.colonna, std::nullopt}, "x", {}};
  d.luogo.larghezza = c.larghezza;
  const std::string out = rendi(d, {{"T-.txt", c.riga + "\r\n"}}, {true, false});
  EXPECT_EQ(out.substr(out.find('\n') + 1), c.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Righe, Caret,
    testing::Values(Segno{"ascii_range", "pendenza, 6000, 900", 17, 3,
                          "  pendenza, 6000, 900\n                  ^~~\n"},
                    Segno{"utf8_before_the_field", "stazione, \xc3\xa0\xc3\xa8, 900", 17, 3,
                          "  stazione, \xc3\xa0\xc3\xa8, 900\n                ^~~\n"},
                    Segno{"utf8_inside_the_field", "cartello, (F\xc3\xbcr)", 11, 6,
                          "  cartello, (F\xc3\xbcr)\n            ^~~~~\n"},
                    Segno{"one_character", "x", 1, 0, "  x\n  ^\n"},
                    Segno{"cut_between_characters",
                          std::string(159, 'a') + "\xc3\xa0"
                                                  "bc",
                          1, 1, "  " + std::string(159, 'a') + "...\n  ^\n"}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Rendi, WarningNameAndHelpLine) {
  Diagnostica d{Gravita::avviso, Codice::nessuno, {"L.txt", 3, 5, std::nullopt}, "wraps", {}};
  d.avviso = Avviso::valore_avvolto;
  d.aiuto = "give a value from -100 to 155";
  EXPECT_EQ(rendi(d, {}, {}),
            "L.txt:3:5: warning: wraps [W213 value_wraps_when_stored]\n"
            "L.txt:3:5: help: give a value from -100 to 155\n");
}

}  // namespace
}  // namespace genera
