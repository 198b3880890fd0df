// The language server's input: any bytes as the stream an editor sends,
// after an initialize. Frames, JSON, documents and positions of every
// shape must give an answer or a diagnostic, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lsp/jsonrpc.h"
#include "lsp/server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace genera::lsp;
  std::size_t inviati = 0;
  ServerLsp server({}, [&](const std::string& corpo) { inviati += corpo.size(); });
  server.ricevi_corpo(
      R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})");
  FlussoTesto flusso(std::string_view(reinterpret_cast<const char*>(data), size));
  LettoreCornici lettore(flusso, std::size_t{1} << 20);
  while (!server.finito()) {
    const auto cornice = lettore.prossima();
    if (!cornice) break;
    server.ricevi(*cornice);
  }
  (void)inviati;
  return 0;
}
