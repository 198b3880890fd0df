#include <cstdio>

#include "run/error_box.h"

namespace genera {

void mostra_errore(const std::string& testo) { std::fprintf(stderr, "%s\n", testo.c_str()); }

void riporta_fallimento(const std::string& testo, TipoFallimento, const std::string& consiglio,
                        const std::string&) {
  std::fprintf(stderr, "%s\n", testo.c_str());
  if (!consiglio.empty()) std::fprintf(stderr, "%s\n", consiglio.c_str());
}

void mostra_testo(const std::string& testo) { std::fputs(testo.c_str(), stdout); }

bool testo_in_finestra() { return false; }

}  // namespace genera
