// The line source reader on its own, on any bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_scaffold.h"
#include "linecomp/line_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace genera;
  const std::string_view testo(reinterpret_cast<const char*>(data), size);
  fuzz::Eliminazioni eliminate;
  ScenarioCompilato s;
  int32_t prossimo_cartello = kPrimoCartello;
  const Esito esito = leggi_sorgente_linea(testo, "L_linea.txt", fuzz::piano_per(size), s,
                                           eliminate.hook(), prossimo_cartello);
  // After a run-time failure the compiler deletes both sources itself.
  fuzz::verifica(eliminate.linea || esito.passo == Passo::guasto,
                 "the line source is deleted on every path");
  fuzz::verifica(prossimo_cartello >= 0 && prossimo_cartello <= kPrimoCartello,
                 "board entry in range");
  fuzz::verifica_modello(s);
  return 0;
}
