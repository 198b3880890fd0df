// `inspect`: the compact files read back into readable tables and JSON.
// Decoding is left to compact_decoder.h; this file only presents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "cli/compact_decoder.h"
#include "model/cell_kinds.h"  // nome_tipo_cella

namespace genera {

enum class TipoFileCompatto { sconosciuto, testata, percorso, tracciato };

/// The kind of compact file a path names: NAME_linea.dat is the plan,
/// any other .dat the route grid, .sim the scenario table.
TipoFileCompatto riconosci_file(const std::string& percorso);

/// The extent of a plan read back. Points count when both coordinates
/// hold a value; computed points are those holding doubles.
struct EstensioneTracciato {
  std::size_t righe = 0;
  std::size_t righe_vuote = 0;      // rows with an empty coordinate
  std::size_t righe_calcolate = 0;  // rows with two doubles
  std::size_t righe_miste = 0;      // rows whose two coordinates differ in kind
  std::optional<std::size_t> prima_calcolata;
  std::optional<std::size_t> ultima_calcolata;
  std::optional<double> min_x, max_x, min_y, max_y;  // finite values only
};

/// Measures the plan: rows, computed points, the box it spans.
EstensioneTracciato misura_tracciato(const TracciatoLetto& t);

/// Decodes `bytes` as a file of kind `tipo` (not sconosciuto) named
/// `nome`. On success fills `testo` with the readable table and `json`
/// with the file's object and returns nothing; otherwise returns where the
/// bytes stop fitting.
std::optional<ErroreFormato> ispeziona(const std::string& nome, TipoFileCompatto tipo,
                                       std::string_view bytes, std::string& testo,
                                       nlohmann::ordered_json& out);

}  // namespace genera
