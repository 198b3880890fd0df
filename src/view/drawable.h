// A compiled scenario as the viewer and `plot` draw it: every object at the
// cell it occupies (cell k covers metres 50·k to 50·k + 49), tunnels and
// slowdowns gathered from their cells by the record that made them, the
// stations with their stop cells, the profiles as runs. Both pictures are
// drawn from this one model, so they cannot disagree with each other or
// with `inspect`. A function of the scenario: nothing is read or written.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/compiled_scenario.h"

namespace genera {

/// A cell that is not plain track: its kind and stored values.
struct OggettoDisegnabile {
  int32_t cella = 0;
  int64_t metri = 0;  // where the cell begins
  TipoCella tipo = TipoCella::binario;
  std::array<int16_t, 4> valori{};
  uint8_t tempo_segnale = 0;
  IdRecord record = 0;
};

/// An approach marker (`avviso` not 0).
struct AvvisoDisegnabile {
  int32_t cella = 0;
  int64_t metri = 0;
  uint8_t valore = 0;
  IdRecord record = 0;
};

/// A run of cells of one `galleria` value laid by one record.
struct GalleriaDisegnabile {
  int32_t prima = 0, ultima = 0;  // cells
  int64_t da = 0, a = 0;          // metres: the first cell's start, the last cell's end
  uint8_t tipo = 0;               // the stored galleria value
  bool illuminata = false;        // the record left a marker in one of its cells
  IdRecord record = 0;
};

/// A slowdown: the cells its record left, -1 where it left none.
struct RallentamentoDisegnabile {
  IdRecord record = 0;
  int32_t cella_inizio = -1, cella_fine = -1, cella_avviso = -1;
  std::vector<int32_t> celle_prima;  // the cells before the warning board
  int64_t da = 0, a = 0;             // metres: the start cell's start to the end cell's end
  int velocita = 0;
};

/// A station's entry and its stop cell.
struct StazioneDisegnabile {
  int voce = 0;
  std::string nome;  // UTF-8
  int32_t posizione = 0, inizio = 0, fine = 0;
  uint8_t tipo = 0;
  int32_t orario = 0;          // seconds since midnight, 0 for none
  int32_t cella_fermata = -1;  // the cell of kind 10 naming this entry
  IdRecord record = 0;
};

/// A run of equal value over cells [prima_cella, next run's first cell).
/// `record` 0: no record wrote these cells (the rules never reached them).
struct Corsa {
  int32_t prima_cella = 0;
  int valore = 0;
  IdRecord record = 0;
};

struct ScenarioDisegnabile {
  int32_t lunghezza = 0;                    // entry 84
  int32_t celle = 0;                        // U + 1
  int32_t celle_profilo = 0;                // cells 0 to U - 3 carry the profiles
  std::vector<OggettoDisegnabile> oggetti;  // cell order
  std::vector<AvvisoDisegnabile> avvisi;
  std::vector<GalleriaDisegnabile> gallerie;
  std::vector<RallentamentoDisegnabile> rallentamenti;  // by start
  std::vector<StazioneDisegnabile> stazioni;            // entry order
  std::map<int, std::string> testi_cartelli;            // entry: the board's text, UTF-8
  std::vector<Corsa> pendenza;                          // per mille
  std::vector<Corsa> velocita;                          // km/h
  std::vector<Corsa> aderenza;
};

/// The drawable model of `s`, however incomplete `s` is.
ScenarioDisegnabile disegnabile(const ScenarioCompilato& s);

/// "(Galleria   )(San Martino)" as "Galleria / San Martino".
std::string testo_cartello(const std::string& grezzo);

}  // namespace genera
