#include "model/diagnostics.h"

namespace genera {

std::string formatta(const messaggio& m) {
  std::string out;
  if (!m.file.empty()) {
    out += m.file;
    if (m.riga > 0) out += ":" + std::to_string(m.riga);
    out += ": ";
  }
  out += "error " + std::to_string(m.codice) + ": " + m.testo;
  return out;
}

}  // namespace genera
