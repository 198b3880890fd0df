// How the writers lay their constant texts out: blank padding for cells
// and boards, and the line list that scrivi_righe writes.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "sources/writers.h"

namespace genera {

/// `testo` followed by blanks up to `larghezza` characters. Throws
/// std::length_error when the text is longer: a cell never overflows.
std::string a_sinistra(std::string_view testo, std::size_t larghezza);

/// A board's text: each line enclosed in "(" and ")", all padded with
/// blanks to the longest line, back to back.
std::string testo_cartello(std::initializer_list<std::string_view> righe);

/// The lines in order with the sentinel after the last. Throws
/// std::length_error for more than 1000 lines, which would leave no room
/// for the sentinel.
ListaRighe chiudi_lista(const std::vector<std::string>& righe);

/// Appends every line of a constant table.
template <std::size_t N>
void aggiungi(std::vector<std::string>& righe, const std::string_view (&tabella)[N]) {
  righe.insert(righe.end(), std::begin(tabella), std::end(tabella));
}

}  // namespace genera
