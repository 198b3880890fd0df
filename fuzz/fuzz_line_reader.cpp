// The line source reader on its own, on any bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_scaffold.h"
#include "linecomp/line_reader.h"
#include "model/run_failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace genera;
  MemoryFileSystem disk;
  Form1 f;
  fuzz::prepara(f, disk, std::string(reinterpret_cast<const char*>(data), size), "");
  f.j = fuzz::piano_per(size);
  azzera_testata(f);
  try {
    leggi_sorgente_linea(f);
  } catch (const errore_esecuzione&) {
    // Code 25 in a real run; the caller deletes the source.
    disk.remove(f.sorgente_linea.percorso);
  }
  fuzz::verifica(!disk.exists(f.sorgente_linea.percorso), "the line source is deleted on every path");
  fuzz::verifica_modello(f);
  return 0;
}
