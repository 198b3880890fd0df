#include "lsp/jsonrpc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace genera::lsp {
namespace {

std::vector<Cornice> tutte(std::string_view flusso, std::size_t massimo = kCorpoMassimo) {
  FlussoTesto t(flusso);
  LettoreCornici l(t, massimo);
  std::vector<Cornice> out;
  while (auto c = l.prossima()) out.push_back(*c);
  return out;
}

TEST(LettoreCornici, ReadsFramesOneAfterTheOther) {
  const auto c = tutte(incornicia("{\"a\":1}") + "Content-Type: x\r\nContent-Length: 2\r\n\r\n{}");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].corpo, "{\"a\":1}");
  EXPECT_EQ(c[1].corpo, "{}");
  EXPECT_TRUE(c[1].guasto.empty());
}

TEST(LettoreCornici, HeaderNameIgnoresCaseAndLinesMayEndInLfAlone) {
  const auto c = tutte("content-length:3\n\nabc");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].corpo, "abc");
}

struct CasoGuasto {
  const char* nome;
  std::string flusso;
  std::string guasto;  // the fault of the first frame
  std::string poi;     // the body of the frame after it
};

class CornicieGuaste : public testing::TestWithParam<CasoGuasto> {};

TEST_P(CornicieGuaste, AFaultyFrameIsReportedAndTheNextOneRead) {
  const auto c = tutte(GetParam().flusso + incornicia("ok"), 16);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].guasto, GetParam().guasto);
  EXPECT_TRUE(c[0].corpo.empty());
  EXPECT_EQ(c[1].corpo, "ok");
}

INSTANTIATE_TEST_SUITE_P(
    Casi, CornicieGuaste,
    testing::Values(CasoGuasto{"no_length", "Content-Type: a\r\n\r\n",
                               "a header block without Content-Length", ""},
                    CasoGuasto{"not_a_number", "Content-Length: 1x\r\n\r\n",
                               "Content-Length is not a whole number: \"1x\"", ""},
                    CasoGuasto{"no_colon", "garbage\r\n\r\n",
                               "a header line without a colon: \"garbage\"", ""},
                    CasoGuasto{"over_the_limit", "Content-Length: 17\r\n\r\n01234567890123456",
                               "a message of 17 bytes is over the limit of 16", ""}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST(LettoreCornici, AStreamCutShortEndsTheReading) {
  EXPECT_TRUE(tutte("Content-Length: 10\r\n\r\nabc").empty());
  EXPECT_TRUE(tutte("Content-Len").empty());
}

TEST(LettoreCornici, AnEndlessHeaderLineIsPassedOver) {
  const std::string lunga(kIntestazioneMassima + 10, 'x');
  const auto c = tutte(lunga + "\r\n" + incornicia("ok"));
  ASSERT_EQ(c.size(), 2u);
  EXPECT_FALSE(c[0].guasto.empty());
  EXPECT_EQ(c[1].corpo, "ok");
}

}  // namespace
}  // namespace genera::lsp
