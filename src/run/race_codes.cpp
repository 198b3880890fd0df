#include "run/race_codes.h"

#include <string>

namespace genera {
namespace {

std::string testo_gara(const Form1& f) {
  std::string s = f.testata_linea[kVoceRipetizione].nome + f.testata_linea[kVoceLinea].nome;
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  s += "aabbccddeeffgghhiillmmnnoo";
  return s.substr(0, 25);
}

int32_t codice(unsigned char c) { return c; }

}  // namespace

int32_t codice_gara_og(const Form1& f) {
  int32_t somma = 0;
  for (char c : testo_gara(f)) somma += codice(static_cast<unsigned char>(c));
  return somma;
}

int32_t codice_gara_st(const Form1& f) {
  const std::string t = testo_gara(f);
  int32_t somma = 0;
  for (std::size_t i = 0; i < t.size(); ++i)
    somma += static_cast<int32_t>(i + 1) * codice(static_cast<unsigned char>(t[i]));
  return somma;
}

int32_t timbra_codici_gara(Form1& f) {
  voce_testata& linea = f.testata_linea[kVoceLinea];
  cella_percorso* cella = f.percorso.size() > 1 ? &f.percorso[1] : nullptr;
  if (linea.intero1 != 0 || (cella != nullptr && cella->valore1 != 0)) return 1250;
  linea.intero1 = marcatore_st;
  if (cella != nullptr) cella->valore1 = marcatore_og;
  if (linea.dato4 != 0 || (cella != nullptr && cella->valore2 != 0)) return 1251;
  linea.dato4 = codice_gara_st(f);
  // 25 characters of at most 255 each: at most 6375, always an Integer.
  if (cella != nullptr) cella->valore2 = static_cast<int16_t>(codice_gara_og(f));
  return 0;
}

}  // namespace genera
