// The route viewer's page: one HTML file holding its styles, its script and
// its data, so it opens from disk with nothing fetched from anywhere.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace genera {

/// The page showing `dati` (from dati_vista). A served page (`servita`)
/// also asks the server that sent it for newer data every few hundred
/// milliseconds and redraws in place, keeping its range.
std::string pagina_vista(const nlohmann::json& dati, bool servita);

}  // namespace genera
