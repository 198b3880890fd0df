// The whole compaction: a line source and a train source carried in one
// input (split at the first line "%%"), the post-pass, the race codes and
// the three compact files written into memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_scaffold.h"
#include "model/compact_format.h"
#include "run/compaction.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace genera;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find("\n%%\n");
  const std::string_view linea = input.substr(0, split);
  const std::string_view treno = split == std::string_view::npos ? std::string_view() : input.substr(split + 4);

  MemoryFileSystem disk;
  Form1 f;
  fuzz::prepara(f, disk, std::string(linea), std::string(treno));
  if (compatta(f, fuzz::piano_per(size)) != 0) return 0;  // 1250 / 1251: the run ends before writing
  fuzz::verifica(!disk.exists(f.sorgente_linea.percorso) || f.codice_errore == 101,
                 "the line source is deleted once read");
  fuzz::verifica_modello(f);
  for (const std::string& path : scrivi_file_compatti(f)) {
    const std::string& bytes = disk.files.at(path);
    if (path.ends_with(".dat") && !path.ends_with("_linea.dat"))
      fuzz::verifica(bytes.size() == layout::kCella * f.percorso.size(), "route file size");
    if (path.ends_with(".sim"))
      fuzz::verifica(bytes.size() >= layout::kVoceFissa * kVociTestata, "scenario file size");
  }
  return 0;
}
