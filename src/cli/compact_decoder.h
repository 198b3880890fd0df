// Decoders of the three compact files, for reading them back: arbitrary
// bytes in, the decoded structure or the place where the bytes stop
// fitting the layout out. No I/O; every read is bounds-checked.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/route_model.h"

namespace genera {

/// Where and why a file stops fitting its layout.
struct ErroreFormato {
  std::size_t offset = 0;  // byte offset of the first byte that does not fit
  std::string testo;       // plain English, lower case start
};

template <class T>
using Decodificato = std::variant<T, ErroreFormato>;

/// One value of the plan as stored: its kind and, unless empty, its number.
struct ValoreVariante {
  TipoVariante tipo = TipoVariante::vuoto;
  double numero = 0;
};

/// The plan read back: column 0 (x) and column 1 (y), rows 0 to N.
struct TracciatoLetto {
  std::vector<ValoreVariante> x;
  std::vector<ValoreVariante> y;
};

using TestataLetta = std::array<voce_testata, kVociTestata>;

/// The scenario file: exactly 87 entries and nothing after them.
Decodificato<TestataLetta> decodifica_testata(std::string_view bytes);

/// The route file: a whole number of 15-byte cells (none is allowed).
Decodificato<std::vector<cella_percorso>> decodifica_percorso(std::string_view bytes);

/// The line compact file: variant values of kinds 0, 2 and 5 only, an even
/// number of them, split into two equal columns.
Decodificato<TracciatoLetto> decodifica_tracciato(std::string_view bytes);

}  // namespace genera
