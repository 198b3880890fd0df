#include "model/rounding.h"

#include <cmath>
#include <string>

#include "model/run_failure.h"

namespace genera {

double arrotonda(double r) {
  const double giu = std::floor(r);
  const double resto = r - giu;
  if (resto < 0.5) return giu;
  if (resto > 0.5) return giu + 1.0;
  return std::fmod(giu, 2.0) == 0.0 ? giu : giu + 1.0;
}

int32_t a_long(double r) {
  const double v = arrotonda(r);
  if (!(v >= -2147483648.0 && v <= 2147483647.0))
    throw errore_esecuzione("the value does not fit a 32-bit number");
  return static_cast<int32_t>(v);
}

int16_t a_intero(double r) {
  const double v = arrotonda(r);
  if (!(v >= -32768.0 && v <= 32767.0))
    throw errore_esecuzione("the value does not fit a 16-bit number");
  return static_cast<int16_t>(v);
}

uint8_t a_byte(int64_t v) {
  if (v < 0 || v > 255)
    throw errore_esecuzione("the value " + std::to_string(v) + " does not fit a byte (0 to 255)");
  return static_cast<uint8_t>(v);
}

int16_t a_intero(int64_t v) {
  if (v < -32768 || v > 32767)
    throw errore_esecuzione("the value " + std::to_string(v) + " does not fit a 16-bit number");
  return static_cast<int16_t>(v);
}

}  // namespace genera
