// Times a check in process: both sources read and compiled, nothing
// written, as `check` and the language server do. The built-in pair and
// the longest line, or a pair of files given, each the median of many runs
// in processor time.
//
//   genera_check_bench                  built-in and longest
//   genera_check_bench LINE TRAIN [RUNS]   a pair of sources on disk
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/long_scenario.h"
#include "compiler/compile.h"
#include "sources/writers.h"

namespace {

using namespace genera;

std::string testo(ListaRighe (*scrittore)()) {
  std::string out;
  testo_righe(scrittore(), [&](std::string_view s) { out += s; });
  return out;
}

std::string leggi(const char* percorso) {
  std::ifstream in(percorso, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "genera_check_bench: cannot read %s\n", percorso);
    std::exit(3);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The processor time of this thread, in ms: apart from what the shared
// machine gives to other processes meanwhile.
double cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

int misura(const char* nome, const std::string& linea, const std::string& treno, int giri) {
  std::vector<double> tempi;
  std::size_t diagnostiche = 0;
  for (int i = 0; i < giri; ++i) {
    const double t0 = cpu_ms();
    const ScenarioCompilato s =
        compila({"BENCH_linea.txt", true, linea, {}}, {"BENCH_T1-.txt", true, treno, {}},
                {"BENCH", "T1", true}, non_eliminare);
    tempi.push_back(cpu_ms() - t0);
    diagnostiche = s.diagnostiche.size();
    if (s.codice_errore != Codice::nessuno) {
      std::fprintf(stderr, "%s: code %d\n", nome, numero(s.codice_errore));
      return 1;
    }
  }
  std::sort(tempi.begin(), tempi.end());
  std::printf("%-8s  check: median %8.3f ms  best %8.3f ms  (%d runs, %zu diagnostics)\n", nome,
              tempi[tempi.size() / 2], tempi.front(), giri, diagnostiche);
  return diagnostiche == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3) {
    const int giri = argc > 3 ? std::max(1, std::atoi(argv[3])) : 31;
    return misura("files", leggi(argv[1]), leggi(argv[2]), giri);
  }
  const bench::LongScenario lungo = bench::genera_scenario_lungo();
  int esito = misura("builtin", testo(dati_linea), testo(dati_treno), 301);
  esito |= misura("longest", lungo.linea, lungo.treno, 31);
  return esito;
}
