#include "cli/explain_command.h"

#include <gtest/gtest.h>

#include "model/codes.h"

namespace genera {
namespace {

TEST(Spiegazione, GivesMeaningCauseAndFixFromTheTable) {
  EXPECT_EQ(spiegazione(5),
            "error 5: cab_signal_code_count_missing\n\n"
            "The key of the cab-signal repetition record names neither 4 nor 9 codes.\n\n"
            "Usual cause: The digit was left out of the key, as in \"ripetizione segnali "
            "codici\".\n"
            "Fix: Write the number of codes into the key: \"ripetizione segnali 4 codici\" or "
            "\"ripetizione segnali 9 codici\".\n");
  for (int nessuno : {0, 14, 26, 1252, -1}) EXPECT_FALSE(spiegazione(nessuno)) << nessuno;
}

struct NomeSpiegato {
  const char* caso;
  const char* nome;
  const char* prima_riga;
};

class SpiegaNomi : public testing::TestWithParam<NomeSpiegato> {};

TEST_P(SpiegaNomi, FindsCodesAndWarningsByNumberAndName) {
  const auto testo = spiegazione(std::string_view(GetParam().nome));
  ASSERT_TRUE(testo) << GetParam().nome;
  EXPECT_EQ(testo->substr(0, testo->find('\n')), GetParam().prima_riga);
}

INSTANTIATE_TEST_SUITE_P(
    Nomi, SpiegaNomi,
    testing::Values(NomeSpiegato{"code_number", "15", "error 15: beyond_the_grid"},
                    NomeSpiegato{"code_name", "beyond_the_grid", "error 15: beyond_the_grid"},
                    NomeSpiegato{"own_code", "107", "error 107: length_not_positive"},
                    NomeSpiegato{"warning_number", "W213", "warning W213: value_wraps_when_stored"},
                    NomeSpiegato{"warning_bare_number", "213",
                                 "warning W213: value_wraps_when_stored"},
                    NomeSpiegato{"warning_name", "value_wraps_when_stored",
                                 "warning W213: value_wraps_when_stored"}),
    [](const auto& info) { return std::string(info.param.caso); });

TEST(SpiegaNomi, UnknownNamesExplainNothing) {
  for (const char* nome : {"W15", "W", "", "beyond", "14"})
    EXPECT_FALSE(spiegazione(std::string_view(nome))) << nome;
}

TEST(PaginaCodici, HoldsEveryCodeOfTheTable) {
  const std::string pagina = pagina_codici();
  for (const VoceCodice& v : tabella_codici()) {
    const std::string titolo =
        "\n## " + std::to_string(numero(v.codice)) + " `" + std::string(v.nome) + "`\n";
    EXPECT_NE(pagina.find(titolo), std::string::npos) << titolo;
    EXPECT_NE(pagina.find(std::string(v.rimedio)), std::string::npos) << v.nome;
  }
  for (const VoceAvviso& v : tabella_avvisi())
    EXPECT_NE(pagina.find("\n## W" + std::to_string(numero(v.avviso)) + " `" + std::string(v.nome) +
                          "`\n"),
              std::string::npos)
        << v.nome;
}

}  // namespace
}  // namespace genera
