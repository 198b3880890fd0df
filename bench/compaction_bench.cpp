// Times the whole compaction, from the two sources on disk to the three
// compact files on disk, beside the time needed just to write the same
// bytes to the same disk, and reports the peak memory of each case.
//
//   genera_bench [DIR]            both cases, each in a process of its own
//   genera_bench CASE DIR         one case: "builtin" or "longest"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/long_scenario.h"
#include "files/file_system.h"
#include "model/file_names.h"
#include "run/compaction.h"
#include "run/form_load.h"

namespace {

using namespace genera;
using Clock = std::chrono::steady_clock;

// The high-water mark of resident memory, in MiB (Linux).
double picco_memoria_mib() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kib = 0;
      status >> kib;
      return kib / 1024.0;
    }
  }
  return -1;
}

double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int misura(const std::string& caso, const std::string& cartella) {
  DiskFileSystem disk;
  Form1 f;
  f.file_system = &disk;
  f.cartella = cartella;
  f.nome_linea = kNomeLinea;
  f.codice_treno = kCodiceTreno;

  const bench::LongScenario lungo =
      caso == "longest" ? bench::genera_scenario_lungo() : bench::LongScenario{};
  auto scrivi_sorgenti = [&] {
    if (caso == "builtin") {
      scrivi_documenti(disk, cartella, f.nome_linea, f.codice_treno);
      return;
    }
    auto scrivi = [&](const std::string& nome, const std::string& testo) {
      disk.replace(join_path(cartella, nome),
                   [&](ByteSink& s) { s.write(testo.data(), testo.size()); });
    };
    scrivi(nome_sorgente_linea(f.nome_linea), lungo.linea);
    scrivi(nome_sorgente_treno(f.nome_linea, f.codice_treno), lungo.treno);
  };

  const int ripetizioni = caso == "builtin" ? 31 : 11;
  std::vector<double> tempi;
  std::vector<std::string> scritti;
  for (int r = 0; r < ripetizioni; ++r) {
    scrivi_sorgenti();
    const auto t0 = Clock::now();
    memorizza_percorso(f, 1);
    tempi.push_back(ms(Clock::now() - t0));
    if (!f.scenario.scrivibile()) {
      std::fprintf(stderr, "%s: race-code slot taken\n", caso.c_str());
      return 1;
    }
  }
  // Both cases are clean sources: a diagnostic here is a false alarm or a
  // slip of the generator, and either would skew the figures.
  if (f.scenario.codice_errore != Codice::nessuno || !f.scenario.diagnostiche.empty()) {
    std::fprintf(stderr, "%s: the scenario does not compile cleanly (code %d, %zu diagnostics)\n",
                 caso.c_str(), numero(f.scenario.codice_errore), f.scenario.diagnostiche.size());
    return 1;
  }
  scritti = {join_path(cartella, nome_file_linea(f.nome_linea)),
             join_path(cartella, nome_file_scenario(f.nome_linea, f.codice_treno)),
             join_path(cartella, nome_file_percorso(f.nome_linea, f.codice_treno))};
  const double picco = picco_memoria_mib();
  const double file_linea_mib =
      static_cast<double>(std::filesystem::file_size(scritti.front())) / (1024.0 * 1024.0);

  // The physical limit: the same bytes, through the same replacement, to the same disk.
  std::vector<std::string> contenuti;
  for (const std::string& p : scritti) contenuti.push_back(disk.read(p));
  std::vector<double> limite;
  for (int r = 0; r < ripetizioni; ++r) {
    const auto t0 = Clock::now();
    for (std::size_t i = 0; i < scritti.size(); ++i)
      disk.replace(scritti[i],
                   [&](ByteSink& s) { s.write(contenuti[i].data(), contenuti[i].size()); });
    limite.push_back(ms(Clock::now() - t0));
  }

  const double t = mediana(tempi);
  const double w = mediana(limite);
  std::printf(
      "%-8s  cells %7zu  compaction %8.2f ms  write only %8.2f ms  ratio %5.2f  "
      "peak memory %6.1f MiB (aim %6.1f MiB)\n",
      caso.c_str(), f.scenario.percorso.size(), t, w, t / w, picco, file_linea_mib + 8.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc == 3) return misura(argv[1], argv[2]);
  const fs::path base = argc == 2 ? fs::path(argv[1]) : fs::temp_directory_path() / "genera-bench";
  int esito = 0;
  for (const char* caso : {"builtin", "longest"}) {
    const fs::path dir = base / caso;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string comando =
        std::string("'") + argv[0] + "' " + caso + " '" + dir.string() + "'";
    esito |= std::system(comando.c_str());
    fs::remove_all(dir);
  }
  return esito == 0 ? 0 : 1;
}
