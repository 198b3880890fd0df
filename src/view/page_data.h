// The data the route viewer draws: a compiled scenario reduced to what the
// page shows, each thing with the record that made it and the source lines
// those records stand on. A function of its arguments: nothing is read or
// written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/compiled_scenario.h"

namespace genera {

/// A source as the page names it, and its text (for the lines it quotes).
struct SorgenteVista {
  std::string nome;
  std::string_view testo;
};

struct OpzioniVista {
  std::string nome_linea;
  std::string codice_treno;
  uint64_t versione = 0;                  // the served page's generation, 0 on disk
  double tolleranza_pianta = 0.05;        // metres a thinned plan may stray from the plan
  std::size_t punti_pianta_max = 250000;  // beyond this the tolerance doubles
};

/// The page's data, drawn from the one drawable model (drawable.h): every
/// position in metres is where the cell begins (cell k at 50·k m). Keys:
///   linea, treno, versione, lunghezza (entry 84), celle (U + 1), metri_cella
///   sorgenti      [{nome, righe: {"n": text}}]: the line source, then the train
///                 source; the lines records and diagnostics name, two around each
///   record        {"id": [sorgente 0/1, key as written, line, position,
///                 [[field, unit, value as written], ...]]}: every record
///                 something names (0 is none: a value no record set)
///   profili       {pendenza (per mille), velocita (km/h), aderenza}: flat runs
///                 [first cell, value, record, ...] over cells 0 to U - 3;
///                 record 0: cells no rule wrote
///   gallerie      [[first cell, last cell, galleria value, lit 0/1, record, from m, to m]]
///   oggetti       [[cell, tipo, valore1..4, tempo_segnale, record, metres]] for
///                 every cell that is not plain track, in cell order
///   avvisi        [[cell, avviso, record, metres]]: approach markers
///   rallentamenti [[record, from m, to m, speed, start cell, end cell,
///                 board cell, [cells before the board]]] (-1: no such cell)
///   stazioni      [[entry, name, position, area start, area end, tipo, time s,
///                 record, stop cell or -1]]
///   cartelli      {"entry": text}: the texts of the indicator boards
///   tipi_cella    {"tipo": [inspect's name, in words, key]}
///   tracciato     {righe, r, x, y}: the plan thinned; r the kept rows, x and y
///                 their centimetres, each as the difference from the one before
///                 (null in x and y: no point, the line breaks)
///   curve         [[record, first row, last row]]
///   diagnostiche  [{gravita, codice, titolo, nome, sorgente (0, 1 or -1), file,
///                 riga, colonna, posizione or null, testo, note: [{...}]}]
///   codice_errore, posizione_errore
/// Text is UTF-8: stored names as code page 1252, source lines and file
/// names as UTF-8 when they are, else as code page 1252.
nlohmann::json dati_vista(const ScenarioCompilato& s, const SorgenteVista& linea,
                          const SorgenteVista& treno, const OpzioniVista& o);

/// `dati` as compact JSON text, safe inside an HTML script element.
std::string testo_dati(const nlohmann::json& dati);

}  // namespace genera
