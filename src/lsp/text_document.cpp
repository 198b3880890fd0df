#include "lsp/text_document.h"

#include <algorithm>

namespace genera::lsp {

void TestoDocumento::indicizza() {
  inizi_.clear();
  inizi_.push_back(0);
  // Line ends as the readers know them: CR LF, LF or CR alone.
  for (std::size_t i = 0; i < testo_.size(); ++i) {
    if (testo_[i] == '\r') {
      if (i + 1 < testo_.size() && testo_[i + 1] == '\n') ++i;
      inizi_.push_back(i + 1);
    } else if (testo_[i] == '\n') {
      inizi_.push_back(i + 1);
    }
  }
}

std::size_t TestoDocumento::inizio_riga(int r) const {
  if (r < 0) return 0;
  if (r >= righe()) return testo_.size();
  return inizi_[static_cast<std::size_t>(r)];
}

std::string_view TestoDocumento::riga(int r) const {
  if (r < 0 || r >= righe()) return {};
  const std::size_t a = inizi_[static_cast<std::size_t>(r)];
  std::size_t b = r + 1 < righe() ? inizi_[static_cast<std::size_t>(r) + 1] : testo_.size();
  std::string_view v(testo_.data() + a, b - a);
  while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.remove_suffix(1);
  return v;
}

int TestoDocumento::riga_di(std::size_t o) const {
  const auto it = std::upper_bound(inizi_.begin(), inizi_.end(), o);
  return static_cast<int>(it - inizi_.begin()) - 1;
}

int colonna_da_byte(std::string_view riga, std::size_t byte, Codifica c) {
  byte = std::min(byte, riga.size());
  if (c == Codifica::utf8) return static_cast<int>(byte);
  int unita = 0;
  for (std::size_t i = 0; i < byte; ++i) {
    const auto b = static_cast<unsigned char>(riga[i]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte
    unita += b >= 0xF0 ? 2 : 1;        // beyond the basic plane: a surrogate pair
  }
  return unita;
}

std::size_t byte_da_colonna(std::string_view riga, int colonna, Codifica c) {
  if (colonna <= 0) return 0;
  if (c == Codifica::utf8) return std::min(static_cast<std::size_t>(colonna), riga.size());
  int unita = 0;
  std::size_t i = 0;
  while (i < riga.size() && unita < colonna) {
    const auto b = static_cast<unsigned char>(riga[i]);
    unita += b >= 0xF0 ? 2 : 1;
    ++i;
    while (i < riga.size() && (static_cast<unsigned char>(riga[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

std::size_t TestoDocumento::offset(Posizione p, Codifica c) const {
  if (p.riga < 0) return 0;
  if (p.riga >= righe()) return testo_.size();
  return inizio_riga(p.riga) + byte_da_colonna(riga(p.riga), p.colonna, c);
}

Posizione TestoDocumento::posizione(std::size_t o, Codifica c) const {
  o = std::min(o, testo_.size());
  const int r = riga_di(o);
  return {r, colonna_da_byte(riga(r), o - inizio_riga(r), c)};
}

void TestoDocumento::sostituisci(Posizione da, Posizione a, std::string_view nuovo, Codifica c) {
  std::size_t x = offset(da, c), y = offset(a, c);
  if (y < x) std::swap(x, y);
  testo_.replace(x, y - x, nuovo);
  indicizza();
}

void TestoDocumento::sostituisci_tutto(std::string nuovo) {
  testo_ = std::move(nuovo);
  indicizza();
}

}  // namespace genera::lsp
