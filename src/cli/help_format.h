// How --help is laid out: CLI11's layout with every text wrapped at word
// boundaries, so that no line is wider than a classic 80-column terminal.
#pragma once

#include <cstddef>
#include <string>

namespace CLI {
class App;
}

namespace genera {

constexpr std::size_t kColonneAiuto = 80;

/// Wraps `testo` at blanks so that no line is longer than `larghezza`
/// characters (a word longer than that stands alone on its line); line
/// ends already in `testo` are kept. UTF-8 characters count as one.
std::string a_capo(const std::string& testo, std::size_t larghezza);

/// Gives `app` the 80-column layout; its subcommands added afterwards
/// inherit it. `per_finestra`: the layout for a message box instead, whose
/// font is proportional and which wraps by itself: no columns, no line
/// ends within a text, each option followed by " - " and what it does.
void usa_formato_aiuto(CLI::App& app, bool per_finestra = false);

}  // namespace genera
