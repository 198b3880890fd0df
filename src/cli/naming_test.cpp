#include "cli/naming.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace genera {
namespace {

struct NomeLinea {
  const char* nome;
  const char* percorso;
  std::optional<std::string> atteso;
};

class LineNameFromTheLineSource : public testing::TestWithParam<NomeLinea> {};

TEST_P(LineNameFromTheLineSource, Gives) {
  EXPECT_EQ(nome_linea_da_file(GetParam().percorso), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Naming, LineNameFromTheLineSource,
    testing::Values(NomeLinea{"plain", "LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA"},
                    NomeLinea{"in_a_folder", "some/folder/A_linea.txt", "A"},
                    NomeLinea{"empty_name", "_linea.txt", std::nullopt},
                    NomeLinea{"upper_case_extension", "LIVRA_linea.TXT", std::nullopt},
                    NomeLinea{"another_extension_after", "LIVRA_linea.txt.bak", std::nullopt},
                    NomeLinea{"no_linea", "LIVRA.txt", std::nullopt},
                    NomeLinea{"a_folder", "dir_linea.txt/", std::nullopt}),
    [](const auto& i) { return std::string(i.param.nome); });

struct CodiceTreno {
  const char* nome;
  const char* percorso;
  const char* linea;
  std::optional<std::string> atteso;
};

class TrainCodeFromTheTrainSource : public testing::TestWithParam<CodiceTreno> {};

TEST_P(TrainCodeFromTheTrainSource, Gives) {
  EXPECT_EQ(codice_treno_da_file(GetParam().percorso, GetParam().linea), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Naming, TrainCodeFromTheTrainSource,
    testing::Values(
        CodiceTreno{"plain", "LIVRA_MONTALBA_R47316-.txt", "LIVRA_MONTALBA", "R47316"},
        CodiceTreno{"underscore_in_the_code", "x/LIVRA_MONTALBA_R_1-.txt", "LIVRA_MONTALBA", "R_1"},
        CodiceTreno{"empty_code", "LIVRA_MONTALBA_-.txt", "LIVRA_MONTALBA", std::nullopt},
        CodiceTreno{"another_line", "OTHER_R47316-.txt", "LIVRA_MONTALBA", std::nullopt},
        CodiceTreno{"no_dash", "LIVRA_MONTALBA_R47316.txt", "LIVRA_MONTALBA", std::nullopt},
        CodiceTreno{"no_underscore", "LIVRA_MONTALBAR47316-.txt", "LIVRA_MONTALBA", std::nullopt},
        CodiceTreno{"empty_line_name", "_R1-.txt", "", "R1"}),
    [](const auto& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace genera
