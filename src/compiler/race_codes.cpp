#include "compiler/race_codes.h"

#include <string>

#include "model/text.h"

namespace genera {
namespace {

std::string testo_gara(const std::array<voce_testata, kVociTestata>& testata) {
  std::string s = in_minuscolo(testata[kVoceRipetizione].nome + testata[kVoceLinea].nome);
  s += "aabbccddeeffgghhiillmmnnoo";
  return s.substr(0, 25);
}

}  // namespace

int32_t codice_gara_og(const std::array<voce_testata, kVociTestata>& testata) {
  int32_t somma = 0;
  for (char c : testo_gara(testata)) somma += static_cast<unsigned char>(c);
  return somma;
}

int32_t codice_gara_st(const std::array<voce_testata, kVociTestata>& testata) {
  const std::string t = testo_gara(testata);
  int32_t somma = 0;
  for (std::size_t i = 0; i < t.size(); ++i)
    somma += static_cast<int32_t>(i + 1) * static_cast<unsigned char>(t[i]);
  return somma;
}

Codice timbra_codici_gara(ScenarioCompilato& s) {
  voce_testata& linea = s.testata_linea[kVoceLinea];
  cella_percorso* cella = s.percorso.size() > 1 ? &s.percorso[1] : nullptr;
  if (linea.intero1 != 0 || (cella != nullptr && cella->valore1 != 0))
    return Codice::marcatori_occupati;
  linea.intero1 = marcatore_st;
  if (cella != nullptr) cella->valore1 = marcatore_og;
  if (linea.dato4 != 0 || (cella != nullptr && cella->valore2 != 0))
    return Codice::codici_gara_occupati;
  linea.dato4 = codice_gara_st(s.testata_linea);
  // 25 characters of at most 255 each: at most 6375, always an Integer.
  if (cella != nullptr) cella->valore2 = static_cast<int16_t>(codice_gara_og(s.testata_linea));
  return Codice::nessuno;
}

}  // namespace genera
