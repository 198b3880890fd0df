#include "run/diagnostics_output.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

const std::string kFonte = "[generale]\r\n\tstazoine, 11950\r\nx\r\n";

Diagnostica avviso_con_nota() {
  Diagnostica d{Gravita::avviso, Codice::nessuno, {"T-.txt", 2, 2, std::nullopt},
                "unknown record key \"stazoine\"", {}};
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
  const Diagnostica d{Gravita::errore, Codice::guasto_lettura, {"L.txt", 1, 1, std::nullopt}, "x", {}};
  EXPECT_EQ(rendi(d, {{"L.txt", fonte}}, {true, false}),
            "L.txt:1:1: error 25: x\n  a [2Jb, 1\n  ^\n");
}

}  // namespace
}  // namespace genera
