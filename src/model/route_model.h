// The route model: everything the two sources say, reduced to fixed-size
// numbers. Every other directory includes this header. The stored forms of
// these structures are written down once, in compact_format.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace genera {

/// Cell kinds stored in `cella_percorso::tipo`, one byte; the rules store no
/// other value, though a file read back may hold any byte.
enum class TipoCella : uint8_t {
  binario = 0,
  segnale = 1,
  fine_rallentamento = 2,
  inizio_rallentamento = 3,
  avviso_rallentamento = 4,
  prima_avviso = 5,
  indicatore_v_max = 6,
  fermata = 10,
  marca_galleria = 11,
  codice = 12,
  abbattimento = 13,
  cartello = 14,
};

/// One 50 m stretch of the line. Field order is the stored order.
struct cella_percorso {
  TipoCella tipo = TipoCella::binario;
  int16_t valore1 = 0;
  int16_t valore2 = 0;
  int16_t valore3 = 0;
  int16_t valore4 = 0;
  uint8_t tempo_segnale = 0;
  uint8_t avviso = 0;
  uint8_t galleria = 0;
  uint8_t velocita = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;
};

/// A cell is free when nothing but track or a lit-tunnel marker lies on it.
inline bool cella_libera(const cella_percorso& c) {
  return c.tipo == TipoCella::binario || c.tipo == TipoCella::marca_galleria;
}

/// One entry of the 87-entry table. Field order is the stored order.
struct voce_testata {
  uint8_t tipo = 0;
  int32_t dato1 = 0;
  int32_t dato2 = 0;
  int32_t dato3 = 0;
  uint8_t opzione = 0;
  std::string nome;
  int16_t intero1 = 0;
  int16_t intero2 = 0;
  int16_t intero3 = 0;
  int16_t intero4 = 0;
  int16_t intero5 = 0;
  uint8_t byte1 = 0;
  uint8_t byte2 = 0;
  uint8_t byte3 = 0;
  uint8_t byte4 = 0;
  int32_t dato4 = 0;
};

inline constexpr int kVociTestata = 87;
/// The longest `nome` the table stores, in bytes: its length is 16 bits.
inline constexpr std::size_t kNomeMassimo = 0xFFFF;
inline constexpr int kPrimoCartello = 80;  // boards take entries 80, 79, ...
inline constexpr int kVoceProgressivaTre = 81;
inline constexpr int kVoceProgressivaDue = 82;
inline constexpr int kVoceProgressivaUno = 83;
inline constexpr int kVoceTreno = 84;        // braked mass, length, cars
inline constexpr int kVoceLinea = 85;        // backgrounds, line name, race code
inline constexpr int kVoceRipetizione = 86;  // cab signals, train code, clock
inline constexpr int32_t kLunghezzaMassima = 1000000;
inline constexpr int32_t kCodaLinea = 7000;  // the grid runs this far past the end
inline constexpr int32_t kMetriCella = 50;
inline constexpr int kMaxGallerie = 80;

/// The plan of the line, one point a metre, rows 0 to `ultima_riga`.
///
/// The rows that hold a value are always a prefix, computed in order: rows
/// 0 and 1 hold the Integer points (0, 0) and (0, 1), the rows after them
/// doubles, the rest of the table is empty. Keeping just that prefix as
/// doubles stores 16 bytes a metre at most, and nothing for the rows that
/// are never reached.
struct tracciato_linea {
  std::vector<double> x;  // column 0 of the rows that hold a value
  std::vector<double> y;  // column 1 of the same rows
  int32_t righe = 0;      // rows in the table, 0 when there is no plan

  bool presente() const { return righe > 0; }
  int32_t ultima_riga() const { return righe - 1; }
  int32_t righe_valide() const { return static_cast<int32_t>(x.size()); }
  /// Sets the next row that holds no value yet.
  void aggiungi(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
};

/// The kind of a plan value as stored: empty, Integer or double.
enum class TipoVariante : uint16_t { vuoto = 0, intero = 2, doppio = 5 };

inline TipoVariante tipo_riga(const tracciato_linea& t, int32_t riga) {
  if (riga >= t.righe_valide()) return TipoVariante::vuoto;
  return riga < 2 ? TipoVariante::intero : TipoVariante::doppio;
}

/// U, the last index of a grid; -1 while no grid exists.
inline int32_t ultima_cella(const std::vector<cella_percorso>& percorso) {
  return static_cast<int32_t>(percorso.size()) - 1;
}

/// The line length L in metres, as the length record gave it: entry 84's dato2.
inline int32_t lunghezza_linea(const std::array<voce_testata, kVociTestata>& testata) {
  return testata[kVoceTreno].dato2;
}

/// The number of rows of the plan of a line of `lunghezza` metres
/// (lunghezza + 7001), and of cells of its grid (U + 1), both 0 when the
/// length gives no grid at all (below -7000 m).
int64_t righe_tracciato(int32_t lunghezza);
int32_t celle_percorso(int32_t lunghezza);

}  // namespace genera
