// A document as the editor holds it: its text, its lines, and positions in
// the editor's terms (a line and a column counted in UTF-16 code units, or
// in bytes when the editor agreed to UTF-8) turned into byte offsets and
// back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace genera::lsp {

enum class Codifica : uint8_t { utf16, utf8 };

/// 0-based, as the protocol counts.
struct Posizione {
  int riga = 0;
  int colonna = 0;
  bool operator==(const Posizione&) const = default;
};

struct Intervallo {
  Posizione inizio;
  Posizione fine;
};

class TestoDocumento {
 public:
  TestoDocumento() { indicizza(); }
  explicit TestoDocumento(std::string testo) : testo_(std::move(testo)) { indicizza(); }

  const std::string& testo() const { return testo_; }
  int righe() const { return static_cast<int>(inizi_.size()); }

  /// Line `r` without its line end; empty outside the document.
  std::string_view riga(int r) const;
  /// The byte offset where line `r` starts (the document's end past it).
  std::size_t inizio_riga(int r) const;

  /// The byte offset of `p`, clamped to its line and to the document.
  std::size_t offset(Posizione p, Codifica c) const;
  /// The position of byte offset `o` (clamped to the document).
  Posizione posizione(std::size_t o, Codifica c) const;
  /// The line holding byte offset `o`.
  int riga_di(std::size_t o) const;

  /// Replaces the text between `da` and `a` with `nuovo`.
  void sostituisci(Posizione da, Posizione a, std::string_view nuovo, Codifica c);
  void sostituisci_tutto(std::string nuovo);

 private:
  void indicizza();
  std::string testo_;
  std::vector<std::size_t> inizi_;  // the byte offset of each line
};

/// The column of byte `byte` of `riga` in the editor's units.
int colonna_da_byte(std::string_view riga, std::size_t byte, Codifica c);
/// The byte of `riga` at column `colonna` in the editor's units (clamped).
std::size_t byte_da_colonna(std::string_view riga, int colonna, Codifica c);

}  // namespace genera::lsp
