// The colours of the route viewer and of `plot`, written down once: the
// picture uses them directly, the page gets them in its configuration.
#pragma once

#include <array>
#include <string_view>

namespace genera {

struct Colore {
  std::string_view chiave;  // what is drawn in it, the page's name for it
  std::string_view valore;  // #rrggbb
};

inline constexpr std::array<Colore, 25> kColori{{
    {"line", "#1f4e79"},       {"tail", "#9aa5b1"},        {"station", "#222222"},
    {"area", "#cfe3e8"},       {"signal", "#d62728"},      {"code", "#7b3fb0"},
    {"marker", "#888888"},     {"speed_board", "#111111"}, {"board", "#2b6cb0"},
    {"tunnel", "#5a4a3a"},     {"lit", "#f2c230"},         {"slowdown", "#ef7d10"},
    {"gradient", "#2ca02c"},   {"speed", "#1f77b4"},       {"adhesion", "#8c564b"},
    {"curve_left", "#9467bd"}, {"curve_right", "#17becf"}, {"error", "#c62828"},
    {"warning", "#e08a00"},    {"note", "#607d8b"},        {"grid", "#e4e4e0"},
    {"text", "#222222"},       {"muted", "#666666"},       {"unwritten", "#b0b0b0"},
    {"stop", "#222222"},
}};

/// The colour drawn for `chiave`; black for a name the table lacks.
constexpr std::string_view colore(std::string_view chiave) {
  for (const Colore& c : kColori)
    if (c.chiave == chiave) return c.valore;
  return "#000000";
}

/// How labels along the line are kept apart, the same in the picture and
/// in the page: pixels between two labels of a row, and the font size.
inline constexpr double kSpazioEtichette = 6;
inline constexpr double kCorpoEtichette = 11;
/// A generous width of a label of `n` characters at font size `corpo`.
constexpr double larghezza_etichetta(std::size_t n, double corpo) {
  return 0.62 * corpo * static_cast<double>(n);
}

}  // namespace genera
