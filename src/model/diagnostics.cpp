#include "model/diagnostics.h"

#include "model/text.h"

namespace genera {

std::string formatta(const Diagnostica& d) {
  std::string out;
  if (!d.luogo.file.empty()) {
    out += d.luogo.file;
    if (d.luogo.riga > 0) out += ":" + std::to_string(d.luogo.riga);
    out += ": ";
  }
  out += "error " + std::to_string(numero(d.codice)) + ": " + d.testo;
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
