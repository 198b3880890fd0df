// The stored forms of the three compact files, written down once for the
// writer and for anything that reads the files back.
//
// All numbers little-endian, fields back to back, no headers, no counts:
//   line compact file  NAME_linea.dat  plan column 0 rows 0..N, then column 1
//                                       rows 0..N, each a variant value
//   scenario file      NAME_CODE.sim   the 87 entries of testata_linea
//   route file         NAME_CODE.dat   the cells 0..U of percorso, 15 bytes each
#pragma once

#include <cstddef>
#include <cstdint>

namespace genera::layout {

// Variant value: a 2-byte kind code, then the data.
inline constexpr std::size_t kVarianteVuota = 2;    // kind 0, no data
inline constexpr std::size_t kVarianteIntero = 4;   // kind 2, Integer
inline constexpr std::size_t kVarianteDoppio = 10;  // kind 5, IEEE binary64

// Scenario file entry: 34 bytes plus the name's length.
inline constexpr std::size_t kVoceFissa = 34;
inline constexpr std::size_t kVoceTipo = 0;
inline constexpr std::size_t kVoceDato1 = 1;
inline constexpr std::size_t kVoceDato2 = 5;
inline constexpr std::size_t kVoceDato3 = 9;
inline constexpr std::size_t kVoceOpzione = 13;
inline constexpr std::size_t kVoceLunghezzaNome = 14;
inline constexpr std::size_t kVoceNome = 16;
// Offsets below count from the end of the name (16 + n).
inline constexpr std::size_t kVoceInteri = 0;  // intero1..5, 2 bytes each
inline constexpr std::size_t kVoceByte = 10;   // byte1..4
inline constexpr std::size_t kVoceDato4 = 14;
inline constexpr std::size_t kVoceCoda = 18;

// Route file cell.
inline constexpr std::size_t kCella = 15;
inline constexpr std::size_t kCellaTipo = 0;
inline constexpr std::size_t kCellaValore1 = 1;
inline constexpr std::size_t kCellaValore2 = 3;
inline constexpr std::size_t kCellaValore3 = 5;
inline constexpr std::size_t kCellaValore4 = 7;
inline constexpr std::size_t kCellaTempoSegnale = 9;
inline constexpr std::size_t kCellaAvviso = 10;
inline constexpr std::size_t kCellaGalleria = 11;
inline constexpr std::size_t kCellaVelocita = 12;
inline constexpr std::size_t kCellaPendenza = 13;
inline constexpr std::size_t kCellaAderenza = 14;

/// Little-endian reads, for whoever decodes the files.
inline uint16_t leggi_u16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t leggi_i16(const unsigned char* p) { return static_cast<int16_t>(leggi_u16(p)); }
inline int32_t leggi_i32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

}  // namespace genera::layout
