// `explain`: the long explanation of a failure code, from the code table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace genera {

/// The explanation of code `numero` as printed: its number and name, what
/// it means, what usually causes it and how to fix it. Nothing when no
/// code has that number.
std::optional<std::string> spiegazione(int numero);

/// The explanation of warning `numero` ("warning W213: name ..."), or nothing.
std::optional<std::string> spiegazione_avviso(int numero);

/// The explanation of what `nome` names: a code's number ("15"), a
/// warning's ("W213"), or the name of either ("beyond_the_grid").
std::optional<std::string> spiegazione(std::string_view nome);

/// Every code with its name and meaning, one a line, for `explain` alone.
std::string elenco_codici();

/// Every code as a Markdown page: the codes page of the manual.
std::string pagina_codici();

/// Prints `spiegazione(n)` (or the list without a code, the page with
/// `markdown`). Returns the exit status; an unknown code is a usage error.
int comando_spiega(const std::optional<std::string>& codice, bool markdown);

}  // namespace genera
