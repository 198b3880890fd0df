// Writes the sources of the longest line (bench/long_scenario.h) into a
// folder, for the benchmarks that run the program itself:
//   genera_long_sources DIR   ->  DIR/LUNGA_linea.txt, DIR/LUNGA_L1-.txt
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/long_scenario.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_long_sources DIR\n");
    return 2;
  }
  const genera::bench::LongScenario s = genera::bench::genera_scenario_lungo();
  const std::string dir = argv[1];
  for (const auto& [nome, testo] :
       {std::pair{"/LUNGA_linea.txt", &s.linea}, std::pair{"/LUNGA_L1-.txt", &s.treno}}) {
    std::ofstream out(dir + nome, std::ios::binary);
    out << *testo;
    if (!out) {
      std::fprintf(stderr, "genera_long_sources: cannot write %s%s\n", dir.c_str(), nome);
      return 3;
    }
  }
  return 0;
}
