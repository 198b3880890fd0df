#include "lsp/source_map.h"

#include "model/schema.h"
#include "model/text.h"

namespace genera::lsp {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

bool sezione(std::string_view campo) {
  return !contiene(campo, kCommento) && campo.find('[') != std::string_view::npos &&
         campo.find(']') != std::string_view::npos;
}

// The comma-separated pieces of a line, blanks trimmed, quotes honoured.
std::vector<CampoRiga> pezzi(std::string_view riga) {
  std::vector<CampoRiga> out;
  std::size_t i = 0;
  for (;;) {
    while (i < riga.size() && spazio(riga[i])) ++i;
    const std::size_t a = i;
    bool virgolette = false;
    while (i < riga.size() && (virgolette || riga[i] != ',')) {
      if (riga[i] == '"') virgolette = !virgolette;
      ++i;
    }
    std::size_t b = i;
    while (b > a && spazio(riga[b - 1])) --b;
    out.push_back({a, b});
    if (i >= riga.size()) break;
    ++i;  // the comma
  }
  return out;
}

const ParolaChiave* record_del_blocco(std::string_view chiave, Blocco blocco) {
  for (const ParolaChiave& p : kParoleChiave)
    if (p.blocco == blocco && nomina(p, chiave)) return &p;
  return nullptr;
}

}  // namespace

StrutturaSorgente struttura(const TestoDocumento& t, QualeSorgente quale) {
  StrutturaSorgente s;
  s.quale = quale;
  if (quale != QualeSorgente::linea) return s;
  for (int r = 0; r < t.righe(); ++r) {
    const std::string_view riga = t.riga(r);
    if (s.riga_generale < 0) {
      if (contiene(riga, kGenerale)) s.riga_generale = r;
      continue;
    }
    for (const CampoRiga& c : pezzi(riga)) {
      if (sezione(riga.substr(c.inizio, c.fine - c.inizio))) {
        s.fine_testata = r;
        return s;
      }
    }
  }
  return s;
}

Blocco blocco_di(const StrutturaSorgente& s, int r) {
  if (s.quale == QualeSorgente::treno) return Blocco::treno;
  if (s.riga_generale >= 0 && r > s.riga_generale && (s.fine_testata < 0 || r < s.fine_testata))
    return Blocco::testata_linea;
  return Blocco::corpo_linea;
}

bool valore_di_testo(Chiave c, int i) {
  if (i < 1) return false;
  const Campo* campo = campo_di(schema_record(c), static_cast<std::size_t>(i - 1));
  return campo != nullptr && campo->lettura == Lettura::testo;
}

RigaRecord leggi_riga(std::string_view riga, Blocco blocco) {
  RigaRecord out;
  const std::vector<CampoRiga> p = pezzi(riga);
  if (p.empty()) return out;
  const std::string_view chiave = riga.substr(p[0].inizio, p[0].fine - p[0].inizio);
  out.commento = contiene(chiave, kCommento);
  if (!out.commento) out.parola = record_del_blocco(chiave, blocco);
  out.campi.push_back(p[0]);
  for (std::size_t k = 1; k < p.size(); ++k) {
    const int indice = static_cast<int>(out.campi.size());
    if (out.parola != nullptr && valore_di_testo(out.parola->chiave, indice)) {
      out.campi.push_back(p[k]);
      continue;
    }
    // Numbers stand apart by blanks as well as by commas.
    std::size_t i = p[k].inizio;
    bool uno = false;
    while (i < p[k].fine) {
      const std::size_t a = i;
      while (i < p[k].fine && !spazio(riga[i])) ++i;
      out.campi.push_back({a, i});
      uno = true;
      while (i < p[k].fine && spazio(riga[i])) ++i;
    }
    if (!uno) out.campi.push_back(p[k]);  // an empty field
  }
  return out;
}

int campo_al_byte(const RigaRecord& r, std::string_view riga, std::size_t byte) {
  int indice = 0;
  for (std::size_t k = 0; k < r.campi.size(); ++k) {
    if (r.campi[k].inizio > byte) break;
    indice = static_cast<int>(k);
  }
  // Past a field's end: the comma after it starts the next one.
  if (!r.campi.empty()) {
    const CampoRiga& c = r.campi[static_cast<std::size_t>(indice)];
    for (std::size_t i = c.fine; i < byte && i < riga.size(); ++i)
      if (riga[i] == ',') return indice + 1;
    if (byte > c.fine && indice > 0 && byte <= riga.size()) {
      // blanks after a number end it too
      bool blank = false;
      for (std::size_t i = c.fine; i < byte && i < riga.size(); ++i)
        blank = blank || spazio(riga[i]);
      if (blank && !(r.parola != nullptr && valore_di_testo(r.parola->chiave, indice)))
        return indice + 1;
    }
  }
  return indice;
}

}  // namespace genera::lsp
