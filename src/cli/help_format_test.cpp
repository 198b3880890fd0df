#include "cli/help_format.h"

#include <gtest/gtest.h>

#include <string>

namespace genera {
namespace {

struct CasoACapo {
  const char* nome;
  std::string testo;
  std::size_t larghezza;
  std::string atteso;
};

class ACapo : public testing::TestWithParam<CasoACapo> {};

TEST_P(ACapo, WrapsAtBlanksWithinTheWidth) {
  const CasoACapo& c = GetParam();
  EXPECT_EQ(a_capo(c.testo, c.larghezza), c.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ACapo,
    testing::Values(
        CasoACapo{"fits", "one two three", 13, "one two three"},
        CasoACapo{"wraps_before_the_word_that_passes", "one two three", 12, "one two\nthree"},
        CasoACapo{"a_long_word_alone", "a /usr/share/doc/genera-scenario b", 10,
                  "a\n/usr/share/doc/genera-scenario\nb"},
        CasoACapo{"keeps_line_ends", "one\ntwo three four", 9, "one\ntwo three\nfour"},
        CasoACapo{"keeps_the_final_line_end", "one two\n", 80, "one two\n"},
        CasoACapo{"utf8_counts_characters", "città città città", 11, "città città\ncittà"},
        CasoACapo{"empty", "", 80, ""}),
    [](const testing::TestParamInfo<CasoACapo>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace genera
