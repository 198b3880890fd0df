// The fields of a record in the author's terms, for the viewer's tooltips:
// each value as the source line writes it, under the field's name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/keywords.h"

namespace genera {

struct CampoAutore {
  std::string nome;         // the field's name: "posizione", "sx"
  std::string unita;        // "m", "km/h", or empty
  std::string valore;       // as written, blanks trimmed, UTF-8
  std::string significato;  // what it means, from the schema
};

/// The values after the key field of `riga` (a record of kind `chiave`
/// whose key field begins at 1-based `colonna`), named by the record's
/// fields in the schema of the sources. A value the line lacks is left out; one past the last field
/// is named by its place ("field 18").
std::vector<CampoAutore> campi_autore(Chiave chiave, std::string_view riga, int colonna);

}  // namespace genera
