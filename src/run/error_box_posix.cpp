#include <cstdio>

#include "run/error_box.h"

namespace genera {

void mostra_errore(const std::string& testo) { std::fprintf(stderr, "%s\n", testo.c_str()); }

void riporta_fallimento(const std::string& testo, TipoFallimento) {
  std::fprintf(stderr, "%s\n", testo.c_str());
}

}  // namespace genera
