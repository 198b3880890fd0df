// Messages for the user: every failure code the run records is also
// reported, in the usual compiler form "file:line: error N: text".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace genera {

/// One recorded failure, as the user will read it.
struct messaggio {
  std::string file;                  // the source's name, or empty
  int riga = 0;                      // 1-based line; 0 when no line applies
  int32_t codice = 0;                // the failure code recorded
  std::optional<int32_t> posizione;  // metres, where the failure has one
  std::string testo;                 // what is wrong
};

/// "file:line: error N: text" (the line is left out when it is 0).
std::string formatta(const messaggio& m);

/// A field of a source as a message shows it: in double quotes, control
/// and 8-bit characters as \xNN, cut after 40 characters with "...", so
/// a hostile field never floods the terminal.
std::string citazione(std::string_view campo);

}  // namespace genera
