#include "cli/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "cli/exit_codes.h"
#include "files/file_system.h"

namespace genera {
namespace {

struct Caso {
  const char* nome;
  std::function<int()> comando;
  int stato;
  const char* messaggio;  // the whole of stderr
};

class ConStatoDiUscita : public testing::TestWithParam<Caso> {};

TEST_P(ConStatoDiUscita, TurnsWhatACommandThrowsIntoAMessageAndAStatus) {
  const Caso& c = GetParam();
  testing::internal::CaptureStderr();
  const int stato = con_stato_di_uscita(c.comando);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), c.messaggio);
  EXPECT_EQ(stato, c.stato);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ConStatoDiUscita,
    testing::Values(Caso{"status", [] { return kUscitaCodice; }, 1, ""},
                    Caso{
                        "usage", []() -> int { throw UsageError("no such option"); }, 2,
                        "genera_scenario: no such option\nRun with --help for more information.\n"},
                    Caso{"file", []() -> int { throw FileError("cannot read a.txt: gone"); }, 3,
                         "genera_scenario: cannot read a.txt: gone\n"},
                    Caso{"any_other", []() -> int { throw std::length_error("vector too long"); },
                         3, "genera_scenario: stopped by an unexpected failure: vector too long\n"},
                    Caso{"out_of_memory", []() -> int { throw std::bad_alloc(); }, 3,
                         "genera_scenario: stopped by an unexpected failure: std::bad_alloc\n"}),
    [](const testing::TestParamInfo<Caso>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace genera
