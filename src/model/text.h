// Small text helpers shared by every folder: one of each.
#pragma once

#include <cstddef>
#include <optional>
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

/// The edit distance of `a` and `b`, letter case ignored, a swap of two
/// neighbours counting as one edit: how far a misspelt word is from one
/// the program knows.
std::size_t distanza(std::string_view a, std::string_view b);

/// A field of a source as a message shows it: in double quotes, its text
/// as UTF-8 (a field that is not UTF-8 read as code page 1252), control
/// characters and bytes that stand for nothing as \xNN, cut after 40
/// characters with "...", so a hostile field never floods the terminal.
std::string citazione(std::string_view campo);

// Stored text is in code page 1252, the 8-bit code page of Italian Windows,
// whose reader the compact files are for.

/// `testo` for storing: valid UTF-8 with non-ASCII characters converted
/// to code page 1252; anything else (ASCII, or bytes that are not UTF-8)
/// as it is, taken to be code page 1252 already. Nothing when the text is
/// UTF-8 holding a character the code page lacks; `mancante` then gets it.
/// With `sostituisci`, such a character becomes "?" instead, and the text
/// is always given (`mancante` still gets the first one).
std::optional<std::string> in_cp1252(std::string_view testo, char32_t* mancante = nullptr,
                                     bool sostituisci = false);

/// Stored code page 1252 text as UTF-8, for everything the program prints.
/// The five bytes that stand for nothing become U+FFFD.
std::string utf8_da_cp1252(std::string_view testo);

/// Lower case in code page 1252: ASCII letters and the accented capitals.
char minuscola_cp1252(char c);

/// The character `c` as UTF-8.
std::string utf8(char32_t c);

}  // namespace genera
