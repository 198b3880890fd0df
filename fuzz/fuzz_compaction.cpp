// The whole compaction: a line source and a train source carried in one
// input (split at the first line "%%"), the post-pass, the race codes and
// the three compact files written into memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compiler/compile.h"
#include "fuzz/fuzz_scaffold.h"
#include "model/compact_format.h"
#include "model/compact_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace genera;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find("\n%%\n");
  const std::string_view linea = input.substr(0, split);
  const std::string_view treno =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 4);

  fuzz::Eliminazioni eliminate;
  const ScenarioCompilato s =
      compila({"L_linea.txt", true, linea, {}}, {"L_T-.txt", true, treno, {}},
              {"LIVRA_MONTALBA", "R47316", fuzz::piano_per(size)}, eliminate.hook());
  fuzz::verifica(eliminate.linea, "the line source is deleted once read");
  fuzz::verifica_modello(s);
  if (!s.scrivibile()) return 0;  // 1250 / 1251: the run ends before writing
  StringSink sim, dat, piano;
  scrivi_testata(s.testata_linea, sim);
  scrivi_percorso(s.percorso, dat);
  scrivi_tracciato(s.tracciato, piano);
  fuzz::verifica(dat.bytes.size() == layout::kCella * s.percorso.size(), "route file size");
  fuzz::verifica(sim.bytes.size() >= layout::kVoceFissa * kVociTestata, "scenario file size");
  return 0;
}
