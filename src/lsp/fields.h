// What the editor says about a record's fields: each one's name in the
// author's terms, its unit, its meaning and the values it takes. Hover,
// signature help and the completion snippets read it from here alone.
#pragma once

#include <string>
#include <vector>

#include "model/keywords.h"

namespace genera::lsp {

struct DescrizioneCampo {
  std::string nome;         // "posizione"
  std::string unita;        // "m", "km/h", ...; empty for a plain number
  std::string significato;  // one sentence
  std::string intervallo;   // the values it takes, in words; empty when none is known
  bool testo = false;       // a text field, not a number
};

/// The fields read after the key of record `c`, in order.
std::vector<DescrizioneCampo> campi_di(Chiave c);

}  // namespace genera::lsp
