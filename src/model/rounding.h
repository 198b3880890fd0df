// Whole-number conversions of the model: nearest, halves to even. A
// conversion whose result does not fit its type gives no value: the caller
// turns that into the run-time failure of the reading.
#pragma once

#include <cstdint>
#include <optional>

namespace genera {

/// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
/// Exact on every platform: no dependence on the FPU rounding mode.
double arrotonda(double r);

/// CLng: arrotonda(r) as a 32-bit value, nothing when it does not fit.
std::optional<int32_t> a_long(double r);

/// CInt: arrotonda(r) as a 16-bit value, nothing when it does not fit.
std::optional<int16_t> a_intero(double r);

/// A whole number as a Byte (0 to 255), nothing otherwise.
std::optional<uint8_t> a_byte(int64_t v);

/// A whole number as an Integer (16-bit), nothing otherwise.
std::optional<int16_t> a_intero(int64_t v);

/// arrotonda(r) as a 32-bit value, for the quotients that always fit: a
/// 32-bit position in metres divided by 50, plus or minus a few cells.
int32_t arrotonda_cella(double r);

/// The low 16 bits, for the fields that wrap instead of failing.
inline int16_t basso16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

/// The low 8 bits, for the fields that wrap instead of failing.
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }

}  // namespace genera
