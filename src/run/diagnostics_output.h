// How diagnostics reach a person: one a line on stderr in the form
// compilers use, their notes after them, and on a terminal the source
// line with a caret under the field, in colour unless NO_COLOR is set.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/diagnostics.h"

namespace genera {

struct StileDiagnostiche {
  bool riga_sorgente = false;  // the source line and a caret under the field
  bool colore = false;
};

/// The style for stderr: the source line on a terminal, colour there too
/// unless NO_COLOR is set.
StileDiagnostiche stile_stderr();

/// The sources' texts by the names the diagnostics give them.
using Fonti = std::map<std::string, std::string_view>;

/// `d` and its notes as printed, each line ending in a line end.
std::string rendi(const Diagnostica& d, const Fonti& fonti, const StileDiagnostiche& stile);

/// Every diagnostic, in order, on stderr.
void riporta_diagnostiche(const std::vector<Diagnostica>& diagnostiche, const Fonti& fonti = {});

}  // namespace genera
