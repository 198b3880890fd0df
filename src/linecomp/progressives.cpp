#include "linecomp/progressives.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace genera {
namespace {

struct Terna {
  int32_t primo = 0;
  int32_t secondo = 0;
  int32_t terzo = 0;
  IdRecord origine = 0;
};

Terna leggi(const voce_testata& v, IdRecord origine) {
  return {v.dato1, v.dato2, v.dato3, origine};
}

void scrivi(voce_testata& v, const Terna& t) {
  v.dato1 = t.primo;
  v.dato2 = t.secondo;
  v.dato3 = t.terzo;
}

// The new contents of slots T, D, U, from the values as they stood before.
std::array<Terna, 3> ordinate(const Terna& t, const Terna& d, const Terna& u) {
  const Terna zero{};
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

bool vuota(const Terna& t) { return t.primo == 0 && t.secondo == 0 && t.terzo == 0; }

// No progressive stands first: all three are cleared, the ones the author
// gave values to as well.
void azzerate(ScenarioCompilato& s, const std::array<Terna, 3>& date) {
  std::vector<Nota> note;
  const Terna* prima = nullptr;
  std::string valori;
  for (const Terna& t : date) {
    valori += (valori.empty() ? "" : ", ") + std::to_string(t.primo);
    if (vuota(t) || t.origine == 0) continue;
    if (prima == nullptr)
      prima = &t;
    else
      note.push_back({luogo_record(s, t.origine), "another progressive cleared"});
  }
  if (prima == nullptr) return;
  avvisa(s, Avviso::progressive_azzerate, luogo_record(s, prima->origine),
         "the kilometric progressives are all stored as 0: of their first values (" + valori +
             ", for uno, due and tre), none stands above the other two",
         std::move(note), "give the progressives different first values, or 0, 0, 0 to the unused");
}

}  // namespace

Esito progressive_ordina(ScenarioCompilato& s) {
  const int voci[3] = {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno};
  auto terna_di = [&](int v) { return leggi(s.testata_linea[v], s.origini.voci[v]); };
  std::array<Terna, 3> nuove = ordinate(terna_di(voci[0]), terna_di(voci[1]), terna_di(voci[2]));
  if (nuove[0].origine == 0 && nuove[1].origine == 0 && nuove[2].origine == 0)
    azzerate(s, {terna_di(voci[2]), terna_di(voci[1]), terna_di(voci[0])});
  for (int i = 0; i < 3; ++i) {
    Terna& t = nuove[static_cast<std::size_t>(i)];
    if (t.terzo == 1) {
      const int64_t corretto = int64_t{t.secondo} + 100;
      if (corretto > INT32_MAX)
        return Esito{Codice::guasto_lettura, std::nullopt,
                     "the kilometric progressive's second value " + std::to_string(t.secondo) +
                         " plus 100 does not fit 32 bits"};
      t.secondo = static_cast<int32_t>(corretto);
    }
    scrivi(s.testata_linea[voci[i]], t);
    s.origini.voci[voci[i]] = t.origine;
  }
  return {};
}

bool progressive_valide(const std::array<voce_testata, kVociTestata>& testata) {
  for (int v : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
    const voce_testata& e = testata[v];
    if (e.dato1 % kMetriCella != 0 || e.dato2 % kMetriCella != 0) return false;
  }
  return true;
}

}  // namespace genera
