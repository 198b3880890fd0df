// The compact-file decoders of `inspect` on arbitrary bytes. What decodes
// as a scenario or route file must encode back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/compact_decoder.h"
#include "fuzz/fuzz_scaffold.h"
#include "model/compact_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace genera;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  auto testata = decodifica_testata(bytes);
  if (auto* t = std::get_if<TestataLetta>(&testata)) {
    StringSink again;
    scrivi_testata(*t, again);
    fuzz::verifica(again.bytes == bytes, "scenario file round trip");
  } else {
    fuzz::verifica(std::get<ErroreFormato>(testata).offset <= size,
                   "scenario error offset in range");
  }

  auto percorso = decodifica_percorso(bytes);
  if (auto* p = std::get_if<std::vector<cella_percorso>>(&percorso)) {
    StringSink again;
    scrivi_percorso(*p, again);
    fuzz::verifica(again.bytes == bytes, "route file round trip");
  } else {
    fuzz::verifica(std::get<ErroreFormato>(percorso).offset <= size, "route error offset in range");
  }

  auto tracciato = decodifica_tracciato(bytes);
  if (auto* t = std::get_if<TracciatoLetto>(&tracciato)) {
    fuzz::verifica(t->x.size() == t->y.size(), "plan columns agree");
  } else {
    fuzz::verifica(std::get<ErroreFormato>(tracciato).offset <= size, "plan error offset in range");
  }
  return 0;
}
