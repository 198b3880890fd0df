// The cell kinds of the route grid written down once: the number stored in
// `tipo`, the name `inspect` prints, the words the viewer and `plot` use,
// and whether a later object may take the cell. Every reader of the grid
// that names a kind takes it from here.
#pragma once

#include <array>
#include <cstdint>

#include "model/route_model.h"

namespace genera {

struct DescrizioneTipoCella {
  TipoCella tipo;
  const char* nome;         // the stored kind's name, as `inspect` prints it
  const char* descrizione;  // in words, for the viewer's tooltips and legends
  const char* chiave;       // a short English key for scripts and styles
  bool libera;              // a later object may take the cell
};

inline constexpr std::array<DescrizioneTipoCella, 12> kTipiCella = {{
    {TipoCella::binario, "binario", "Plain track", "track", true},
    {TipoCella::segnale, "segnale", "Signal", "signal", false},
    {TipoCella::fine_rallentamento, "fine rallentamento", "End of slowdown", "slowdown_end", false},
    {TipoCella::inizio_rallentamento, "inizio rallentamento", "Start of slowdown", "slowdown_start",
     false},
    {TipoCella::avviso_rallentamento, "avviso rallentamento", "Slowdown warning board",
     "slowdown_board", false},
    {TipoCella::prima_avviso, "prima dell'avviso", "Cell before a warning board", "slowdown_before",
     false},
    {TipoCella::indicatore_v_max, "indicatore v max", "Speed-indicator board", "speed_board",
     false},
    {TipoCella::fermata, "fermata", "Station stop", "stop", false},
    {TipoCella::marca_galleria, "marca galleria", "Lit-tunnel marker", "tunnel_marker", true},
    {TipoCella::codice, "codice", "Code cell", "code", false},
    {TipoCella::abbattimento, "abbattimento", "Code cut without a value", "code_cut", false},
    {TipoCella::cartello, "cartello", "Indicator board", "board", false},
}};

/// The row of `tipo`, or nullptr for a value the program never stores.
constexpr const DescrizioneTipoCella* descrivi_tipo_cella(TipoCella tipo) {
  for (const DescrizioneTipoCella& d : kTipiCella)
    if (d.tipo == tipo) return &d;
  return nullptr;
}

/// The name of a cell kind ("segnale", "fine rallentamento", ...);
/// "sconosciuto" for a value the program never stores.
constexpr const char* nome_tipo_cella(TipoCella tipo) {
  const DescrizioneTipoCella* d = descrivi_tipo_cella(tipo);
  return d ? d->nome : "sconosciuto";
}

/// Where cell `k` begins along the line: cell k covers metres 50·k to 50·k + 49.
constexpr int64_t metri_cella(int64_t k) { return k * kMetriCella; }

}  // namespace genera
