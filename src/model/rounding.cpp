#include "model/rounding.h"

#include <cassert>
#include <cmath>

namespace genera {

double arrotonda(double r) {
  const double giu = std::floor(r);
  const double resto = r - giu;
  if (resto < 0.5) return giu;
  if (resto > 0.5) return giu + 1.0;
  return std::fmod(giu, 2.0) == 0.0 ? giu : giu + 1.0;
}

std::optional<int32_t> a_long(double r) {
  const double v = arrotonda(r);
  if (!(v >= -2147483648.0 && v <= 2147483647.0)) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<int16_t> a_intero(double r) {
  const double v = arrotonda(r);
  if (!(v >= -32768.0 && v <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(v);
}

std::optional<uint8_t> a_byte(int64_t v) {
  if (v < 0 || v > 255) return std::nullopt;
  return static_cast<uint8_t>(v);
}

std::optional<int16_t> a_intero(int64_t v) {
  if (v < -32768 || v > 32767) return std::nullopt;
  return static_cast<int16_t>(v);
}

int32_t arrotonda_cella(double r) {
  const double v = arrotonda(r);
  assert(v >= -2147483648.0 && v <= 2147483647.0);
  return static_cast<int32_t>(v);
}

}  // namespace genera
