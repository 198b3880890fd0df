// One compile as the editor needs it: the document and its partner source
// found by the naming rules (an open document, the file beside it, or the
// built-in source), compiled together, and the results turned into the
// protocol's terms. Files are read only through the driver's `Ambiente`.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/source_map.h"
#include "lsp/text_document.h"
#include "model/compiled_scenario.h"

namespace genera::lsp {

/// What the server may ask of the world around it.
struct Ambiente {
  /// The bytes of the file at `percorso`, or nothing when it cannot be read.
  std::function<std::optional<std::string>(const std::string& percorso)> leggi_file;
  /// The names of the files in the folder `cartella` (no path), any order.
  std::function<std::vector<std::string>(const std::string& cartella)> elenca;
  std::string nome_linea_predefinito = "LIVRA_MONTALBA";
  std::string codice_treno_predefinito = "R47316";
  std::string versione;
};

/// The path of a file: URI, or nothing for any other scheme.
std::optional<std::string> percorso_da_uri(std::string_view uri);
/// The file: URI of an absolute path.
std::string uri_da_percorso(std::string_view percorso);

/// Which source a document is: by its language, else by its file name, else
/// by what it holds.
QualeSorgente quale_sorgente(std::string_view uri, std::string_view lingua, std::string_view testo);

/// A document the editor has open.
struct DocumentoAperto {
  std::string uri;
  QualeSorgente quale = QualeSorgente::linea;
  const TestoDocumento* testo = nullptr;
};

/// One of the two sources of a compile.
struct Fonte {
  std::string uri;   // empty for the built-in source
  std::string nome;  // how diagnostics name it
  TestoDocumento testo;
  bool aperta = false;  // an open document of the editor
};

struct Coppia {
  Fonte linea;
  Fonte treno;
  std::string nome_linea;
  std::string codice_treno;
};

/// The document `uri` and its partner: an open document of the same folder
/// named by the rules, else such a file on disk, else the built-in source.
Coppia trova_coppia(const DocumentoAperto& doc, const std::vector<DocumentoAperto>& aperti,
                    const Ambiente& amb);

struct Analisi {
  Coppia coppia;
  ScenarioCompilato s;
  const Fonte& fonte(QualeSorgente q) const {
    return q == QualeSorgente::linea ? coppia.linea : coppia.treno;
  }
};

/// Compiles the pair as `check` does (with the plan).
std::shared_ptr<const Analisi> analizza(Coppia coppia);

inline constexpr std::size_t kDiagnosticheMassime = 500;

/// The diagnostics of the compile for each open source of the pair (an
/// empty list for one with none), as publishDiagnostics params' entries.
std::map<std::string, nlohmann::json> diagnostiche_lsp(const Analisi& a, Codifica c);

/// The protocol range of a place in `t`: `larghezza` bytes from the line
/// and column, or the field there when no width is known, or the line's
/// text when no column is.
nlohmann::json intervallo_luogo(const TestoDocumento& t, int riga, int colonna, Codifica c,
                                int larghezza = 0);

/// The records of source `q` whose key stands on 0-based line `r`.
std::vector<IdRecord> record_alla_riga(const ScenarioCompilato& s, QualeSorgente q, int r);

/// What record `id` put on the grid and in the table, as Markdown lines.
std::vector<std::string> effetti_record(const ScenarioCompilato& s, IdRecord id);

/// The first cell record `id` put an object on, else the first it wrote
/// any value of; -1 for none.
int32_t prima_cella(const ScenarioCompilato& s, IdRecord id);

/// "km 8.200".
std::string km(int64_t metri);

}  // namespace genera::lsp
