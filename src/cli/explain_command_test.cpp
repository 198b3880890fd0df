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

TEST(PaginaCodici, HoldsEveryCodeOfTheTable) {
  const std::string pagina = pagina_codici();
  for (const VoceCodice& v : tabella_codici()) {
    const std::string titolo =
        "\n## " + std::to_string(numero(v.codice)) + " `" + std::string(v.nome) + "`\n";
    EXPECT_NE(pagina.find(titolo), std::string::npos) << titolo;
    EXPECT_NE(pagina.find(std::string(v.rimedio)), std::string::npos) << v.nome;
  }
}

}  // namespace
}  // namespace genera
