// The sources as the editor sees them, line by line: which block a line
// lies in, which record it starts, and where each of its fields stands.
// The compiler's origins say what a record did; this says where its
// fields are, even on a line the compiler never reached.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/text_document.h"
#include "model/keywords.h"

namespace genera::lsp {

/// A field of a line: bytes [inizio, fine) of the line, blanks around it
/// left out (quotes kept).
struct CampoRiga {
  std::size_t inizio = 0;
  std::size_t fine = 0;
};

/// A line as a record: its key's row (none when the line names no record
/// of its block), and its fields, the key first.
struct RigaRecord {
  const ParolaChiave* parola = nullptr;
  bool commento = false;
  std::vector<CampoRiga> campi;
};

/// Where the line source's header block lies: from the line of
/// "[generale]" to the next section line (0-based lines; -1 for none).
struct StrutturaSorgente {
  QualeSorgente quale = QualeSorgente::linea;
  int riga_generale = -1;
  int fine_testata = -1;  // the section line that closes it; -1: it runs to the end
};

StrutturaSorgente struttura(const TestoDocumento& t, QualeSorgente quale);

/// The block line `r` belongs to.
Blocco blocco_di(const StrutturaSorgente& s, int r);

/// The fields of `riga` split at commas outside quotes, and a number's
/// field also at blanks, as the readers take them; the key is never split,
/// nor the text fields of `parola`.
RigaRecord leggi_riga(std::string_view riga, Blocco blocco);

/// The index of the field of `r` that byte `byte` lies in or after: 0 the
/// key, 1 the first value, ...; counted by the commas before it.
int campo_al_byte(const RigaRecord& r, std::string_view riga, std::size_t byte);

/// True when value `i` (1-based) of record `c` is text.
bool valore_di_testo(Chiave c, int i);

}  // namespace genera::lsp
