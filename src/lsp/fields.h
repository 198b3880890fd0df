// What the editor says about a record's fields, read from the schema of
// the sources: each one's name in the author's terms, its unit, its
// meaning and the values it takes. Hover, signature help and the
// completion snippets read it from here alone.
#pragma once

#include <string>
#include <vector>

#include "model/keywords.h"

namespace genera::lsp {

struct DescrizioneCampo {
  std::string nome;         // "posizione"
  std::string unita;        // "m", "km/h", ...; empty for a plain number
  std::string significato;  // one sentence
  std::string intervallo;   // the values it keeps and the values that make sense, in words
  std::string memoria;      // where it is stored, in words
  bool testo = false;       // a text field, not a number
};

/// The fields read after the key of record `c`, in order.
std::vector<DescrizioneCampo> campi_di(Chiave c);

/// What record `c` does, one sentence.
std::string significato_record(Chiave c);

}  // namespace genera::lsp
