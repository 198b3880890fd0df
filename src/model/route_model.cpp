#include "model/route_model.h"

#include "model/rounding.h"

namespace genera {

int64_t righe_tracciato(int32_t lunghezza) {
  const int64_t righe = static_cast<int64_t>(lunghezza) + kCodaLinea + 1;
  return righe > 0 ? righe : 0;
}

int32_t celle_percorso(int32_t lunghezza) {
  const int64_t ultima_riga = static_cast<int64_t>(lunghezza) + kCodaLinea;
  if (ultima_riga < 0) return 0;
  return arrotonda_cella(static_cast<double>(ultima_riga) / kMetriCella) + 1;
}

}  // namespace genera
