// The run-time failures that the parse traps as code 25: a read past the
// end of a source, a number that does not fit, a record before the grid.
#pragma once

#include <stdexcept>
#include <string>

namespace genera {

/// Thrown where the parse cannot go on; memorizza_dati turns it into code 25.
/// `riga` is the source line being read, 0 when unknown.
struct errore_esecuzione : std::runtime_error {
  explicit errore_esecuzione(const std::string& what, int riga = 0)
      : std::runtime_error(what), riga(riga) {}
  int riga;
};

}  // namespace genera
