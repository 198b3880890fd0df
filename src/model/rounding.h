// Whole-number conversions of the model: nearest, halves to even, and a
// run-time failure when the result does not fit its type.
#pragma once

#include <cstdint>

namespace genera {

/// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
/// Exact on every platform: no dependence on the FPU rounding mode.
double arrotonda(double r);

/// CLng: arrotonda(r) as a 32-bit value; throws errore_esecuzione when it
/// does not fit.
int32_t a_long(double r);

/// CInt: arrotonda(r) as a 16-bit value; throws errore_esecuzione when it
/// does not fit.
int16_t a_intero(double r);

/// A whole number as a Byte (0 to 255); throws errore_esecuzione otherwise.
uint8_t a_byte(int64_t v);

/// A whole number as an Integer (16-bit); throws errore_esecuzione otherwise.
int16_t a_intero(int64_t v);

/// The low 16 bits, for the fields that wrap instead of failing.
inline int16_t basso16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

/// The low 8 bits, for the fields that wrap instead of failing.
inline uint8_t basso8(int64_t v) {
  return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu);
}

}  // namespace genera
