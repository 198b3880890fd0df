#include "cli/naming.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

TEST(Naming, LineNameFromTheLineSource) {
  const std::pair<const char*, std::optional<std::string>> casi[] = {
      {"LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA"},
      {"some/folder/A_linea.txt", "A"},
      {"_linea.txt", std::nullopt},
      {"LIVRA_linea.TXT", std::nullopt},
      {"LIVRA_linea.txt.bak", std::nullopt},
      {"LIVRA.txt", std::nullopt},
      {"dir_linea.txt/", std::nullopt},
  };
  for (const auto& [percorso, atteso] : casi)
    EXPECT_EQ(nome_linea_da_file(percorso), atteso) << percorso;
}

TEST(Naming, TrainCodeFromTheTrainSource) {
  const std::tuple<const char*, const char*, std::optional<std::string>> casi[] = {
      {"LIVRA_MONTALBA_R47316-.txt", "LIVRA_MONTALBA", "R47316"},
      {"x/LIVRA_MONTALBA_R_1-.txt", "LIVRA_MONTALBA", "R_1"},
      {"LIVRA_MONTALBA_-.txt", "LIVRA_MONTALBA", std::nullopt},
      {"OTHER_R47316-.txt", "LIVRA_MONTALBA", std::nullopt},
      {"LIVRA_MONTALBA_R47316.txt", "LIVRA_MONTALBA", std::nullopt},
      {"LIVRA_MONTALBAR47316-.txt", "LIVRA_MONTALBA", std::nullopt},
      {"_R1-.txt", "", "R1"},
  };
  for (const auto& [percorso, linea, atteso] : casi)
    EXPECT_EQ(codice_treno_da_file(percorso, linea), atteso) << percorso;
}

}  // namespace
}  // namespace genera
