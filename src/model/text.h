// Small text helpers shared by every folder: one of each.
#pragma once

#include <string>
#include <string_view>

namespace genera {

/// ASCII lower case; every other byte as it is.
constexpr char minuscola(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// `s` with ASCII letters in lower case.
inline std::string in_minuscolo(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = minuscola(c);
  return out;
}

/// True when `testo` contains `parola`, ASCII letter case ignored.
constexpr bool contiene(std::string_view testo, std::string_view parola) {
  if (parola.size() > testo.size()) return false;
  for (std::size_t i = 0; i + parola.size() <= testo.size(); ++i) {
    std::size_t k = 0;
    while (k < parola.size() && minuscola(testo[i + k]) == minuscola(parola[k])) ++k;
    if (k == parola.size()) return true;
  }
  return false;
}

/// True when `testo` contains `parola` exactly as written.
constexpr bool contiene_esatto(std::string_view testo, std::string_view parola) {
  return testo.find(parola) != std::string_view::npos;
}

/// True when `testo` ends with `coda`.
constexpr bool finisce_con(std::string_view testo, std::string_view coda) {
  return testo.size() >= coda.size() && testo.substr(testo.size() - coda.size()) == coda;
}

/// A field of a source as a message shows it: in double quotes, control
/// and 8-bit characters as \xNN, cut after 40 characters with "...", so
/// a hostile field never floods the terminal.
std::string citazione(std::string_view campo);

}  // namespace genera
