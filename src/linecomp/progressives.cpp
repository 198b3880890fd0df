#include "linecomp/progressives.h"

#include <array>
#include <string>

#include "model/run_failure.h"

namespace genera {
namespace {

struct terna {
  int32_t primo = 0;
  int32_t secondo = 0;
  int32_t terzo = 0;
};

terna leggi(const voce_testata& v) { return {v.dato1, v.dato2, v.dato3}; }

void scrivi(voce_testata& v, const terna& t) {
  v.dato1 = t.primo;
  v.dato2 = t.secondo;
  v.dato3 = t.terzo;
}

// The new contents of slots T, D, U, from the values as they stood before.
std::array<terna, 3> ordinate(const terna& t, const terna& d, const terna& u) {
  const terna zero{};
  // The sum is taken in 64 bits: three 32-bit values cannot overflow it.
  const int64_t somma = int64_t{t.primo} + d.primo + u.primo;
  if (somma != 0) {
    if (t.primo > d.primo && t.primo > u.primo)
      return d.primo > u.primo ? std::array{t, d, u} : std::array{t, u, d};
    if (d.primo > t.primo && d.primo > u.primo)
      return t.primo > u.primo ? std::array{d, t, u} : std::array{d, u, t};
    if (u.primo > t.primo && u.primo > d.primo)
      return t.primo > d.primo ? std::array{u, t, d} : std::array{u, d, t};
    return {zero, zero, zero};
  }
  if (u.secondo > 0) return {u, d, t};
  if (d.secondo > 0) return {d, t, u};
  if (t.secondo > 0) return {t, d, u};
  return {zero, zero, zero};
}

}  // namespace

void progressive_ordina(Form1& f) {
  const int voci[3] = {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno};
  std::array<terna, 3> nuove =
      ordinate(leggi(f.testata_linea[voci[0]]), leggi(f.testata_linea[voci[1]]),
               leggi(f.testata_linea[voci[2]]));
  for (int i = 0; i < 3; ++i) {
    terna& t = nuove[static_cast<std::size_t>(i)];
    if (t.terzo == 1) {
      const int64_t corretto = int64_t{t.secondo} + 100;
      if (corretto > INT32_MAX)
        throw errore_esecuzione("the kilometric progressive's second value " +
                                std::to_string(t.secondo) + " plus 100 does not fit 32 bits");
      t.secondo = static_cast<int32_t>(corretto);
    }
    scrivi(f.testata_linea[voci[i]], t);
  }
}

bool progressive_valide(const Form1& f) {
  for (int v : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
    const voce_testata& e = f.testata_linea[v];
    if (e.dato1 % kMetriCella != 0 || e.dato2 % kMetriCella != 0) return false;
  }
  return true;
}

}  // namespace genera
