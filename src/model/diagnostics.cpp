#include "model/diagnostics.h"

#include "model/text.h"

namespace genera {

std::string prefisso(const Luogo& l) {
  if (l.file.empty()) return {};
  std::string out = l.file;
  if (l.riga > 0) {
    out += ":" + std::to_string(l.riga);
    if (l.colonna > 0) out += ":" + std::to_string(l.colonna);
  }
  return out + ": ";
}

std::string gravita_scritta(Gravita g, Codice c) {
  switch (g) {
    case Gravita::errore:
      return "error " + std::to_string(numero(c));
    case Gravita::avviso:
      return "warning";
    case Gravita::nota:
      return "note";
  }
  return {};
}

std::string testo_con_nome(const Diagnostica& d) {
  if (d.gravita != Gravita::avviso || d.avviso == Avviso::nessuno) return d.testo;
  const VoceAvviso* v = cerca_avviso(numero(d.avviso));
  if (v == nullptr) return d.testo;
  return d.testo + " [W" + std::to_string(numero(d.avviso)) + " " + std::string(v->nome) + "]";
}

std::string formatta(const Diagnostica& d) {
  return prefisso(d.luogo) + gravita_scritta(d.gravita, d.codice) + ": " + d.testo;
}

std::string formatta_aiuto(const Diagnostica& d) {
  if (d.aiuto.empty()) return {};
  return prefisso(d.luogo) + "help: " + d.aiuto;
}

std::string formatta(const Nota& n) { return prefisso(n.luogo) + "note: " + n.testo; }

}  // namespace genera
