// Diagnostics: every fault the compiler finds is one value of this type,
// with its place in a source and, where another record is involved, notes
// that point there. One function prints them all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/codes.h"

namespace genera {

enum class Gravita : uint8_t { errore, avviso, nota };

/// A place in a source. `riga` and `colonna` are 1-based, 0 when unknown.
struct Luogo {
  std::string file;  // the source as its driver named it; empty for none
  int riga = 0;
  int colonna = 0;
  std::optional<int32_t> posizione;  // metres along the line, where one applies
  int larghezza = 0;                 // bytes of the field from `colonna`; 0: one character
};

/// A related place: "the earlier signal is here".
struct Nota {
  Luogo luogo;
  std::string testo;
};

struct Diagnostica {
  Gravita gravita = Gravita::errore;
  Codice codice = Codice::nessuno;
  Luogo luogo;
  std::string testo;  // what is wrong, in plain English, lower case start
  std::vector<Nota> note;
  std::string aiuto{};              // the fix, when there is one: printed as "help: ..."
  Avviso avviso = Avviso::nessuno;  // which warning, for a warning
};

/// "file:line:column: error N: text", "file:line:column: warning: text":
/// the line and column are left out when 0, the file and its colon when
/// there is no file. The plain form, without a warning's name.
std::string formatta(const Diagnostica& d);

/// The text of `d` as printed for a person: a warning's with its number and
/// name after it ("... [W213 value_wraps_when_stored]").
std::string testo_con_nome(const Diagnostica& d);

/// "file:line:column: help: text" for the fix of `d`; "" when it has none.
std::string formatta_aiuto(const Diagnostica& d);

/// "file:line:column: note: text".
std::string formatta(const Nota& n);

/// "file:line:column: ", or "" for no file.
std::string prefisso(const Luogo& l);

/// "error 15", "warning", "note".
std::string gravita_scritta(Gravita g, Codice c);

}  // namespace genera
