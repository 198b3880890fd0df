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

std::string citazione(std::string_view campo) {
  constexpr std::size_t kMostrati = 40;
  std::string out = "\"";
  for (std::size_t i = 0; i < campo.size() && i < kMostrati; ++i) {
    const auto c = static_cast<unsigned char>(campo[i]);
    if (c < 0x20 || c >= 0x7F) {
      static const char cifre[] = "0123456789ABCDEF";
      out += "\\x";
      out += cifre[c >> 4];
      out += cifre[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  if (campo.size() > kMostrati) out += "...";
  out += '"';
  return out;
}

}  // namespace genera
