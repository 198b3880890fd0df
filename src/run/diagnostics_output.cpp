#include "run/diagnostics_output.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "run/console.h"

namespace genera {
namespace {

constexpr const char* kGrassetto = "\x1b[1m";
constexpr const char* kFine = "\x1b[0m";

const char* colore_di(Gravita g) {
  switch (g) {
    case Gravita::errore:
      return "\x1b[1;31m";
    case Gravita::avviso:
      return "\x1b[1;35m";
    case Gravita::nota:
      return "\x1b[1;36m";
  }
  return "";
}

// Line `riga` (1-based) of `testo`, without its line end.
std::string_view riga_di(std::string_view testo, int riga) {
  std::size_t inizio = 0;
  for (int r = 1; r < riga; ++r) {
    const std::size_t a_capo = testo.find_first_of("\r\n", inizio);
    if (a_capo == std::string_view::npos) return {};
    inizio = a_capo + 1;
    if (testo[a_capo] == '\r' && inizio < testo.size() && testo[inizio] == '\n') ++inizio;
  }
  const std::size_t fine = testo.find_first_of("\r\n", inizio);
  return testo.substr(inizio,
                      fine == std::string_view::npos ? std::string_view::npos : fine - inizio);
}

bool continuazione(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// At most `n` bytes of `riga`, never cutting a UTF-8 sequence in two.
std::size_t taglio(std::string_view riga, std::size_t n) {
  if (riga.size() <= n) return riga.size();
  while (n > 0 && continuazione(riga[n])) --n;
  return n;
}

// The blanks (tabs kept) that bring the caret under byte `da` of `riga`:
// one per character, so UTF-8 before the field does not shift it.
std::string rientro(std::string_view riga, std::size_t da) {
  std::string out;
  for (std::size_t i = 0; i < da && i < riga.size(); ++i) {
    if (continuazione(riga[i])) continue;
    out += riga[i] == '\t' ? '\t' : ' ';
  }
  return out;
}

// Characters in bytes `da` to `da + n` of `riga`.
std::size_t caratteri(std::string_view riga, std::size_t da, std::size_t n) {
  std::size_t out = 0;
  for (std::size_t i = da; i < da + n && i < riga.size(); ++i)
    if (!continuazione(riga[i])) ++out;
  return out;
}

std::string linea(const Luogo& l, Gravita g, const std::string& parola, const std::string& testo,
                  const Fonti& fonti, const StileDiagnostiche& stile) {
  std::string out;
  if (stile.colore) {
    out += std::string(kGrassetto) + prefisso(l) + kFine + colore_di(g) + parola + kFine + ": " +
           testo + "\n";
  } else {
    out += prefisso(l) + parola + ": " + testo + "\n";
  }
  if (!stile.riga_sorgente || l.riga <= 0) return out;
  const auto fonte = fonti.find(l.file);
  if (fonte == fonti.end()) return out;
  const std::string_view riga = riga_di(fonte->second, l.riga);
  constexpr std::size_t kLarghezza = 160;  // a hostile line never floods the terminal
  const std::size_t mostrati = taglio(riga, kLarghezza);
  std::string mostrata(riga.substr(0, mostrati));
  for (char& c : mostrata)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  out += "  " + mostrata + (riga.size() > mostrati ? "...\n" : "\n");
  if (l.colonna > 0 && static_cast<std::size_t>(l.colonna) <= mostrati + 1) {
    const auto da = static_cast<std::size_t>(l.colonna - 1);
    const std::size_t larghezza = l.larghezza > 1 ? std::min(static_cast<std::size_t>(l.larghezza),
                                                             mostrati - std::min(da, mostrati))
                                                  : 1;
    const std::size_t segni = std::max<std::size_t>(1, caratteri(riga, da, larghezza));
    const std::string segno = "^" + std::string(segni - 1, '~');
    out += "  " + rientro(riga, da) +
           (stile.colore ? std::string(colore_di(g)) + segno + kFine : segno) + "\n";
  }
  return out;
}

}  // namespace

StileDiagnostiche stile_stderr() {
  StileDiagnostiche s;
  s.riga_sorgente = errori_su_terminale();
  const char* no_color = std::getenv("NO_COLOR");
  s.colore = s.riga_sorgente && (no_color == nullptr || *no_color == '\0');
  return s;
}

std::string rendi(const Diagnostica& d, const Fonti& fonti, const StileDiagnostiche& stile) {
  std::string out = linea(d.luogo, d.gravita, gravita_scritta(d.gravita, d.codice),
                          testo_con_nome(d), fonti, stile);
  for (const Nota& n : d.note) out += linea(n.luogo, Gravita::nota, "note", n.testo, fonti, stile);
  if (!d.aiuto.empty()) {
    Luogo dove = d.luogo;
    dove.colonna = dove.colonna > 0 ? dove.colonna : 0;
    out +=
        (stile.colore ? std::string(kGrassetto) + prefisso(dove) + kFine + "\x1b[1;32mhelp" + kFine
                      : prefisso(dove) + "help") +
        ": " + d.aiuto + "\n";
  }
  return out;
}

void riporta_diagnostiche(const std::vector<Diagnostica>& diagnostiche, const Fonti& fonti) {
  const StileDiagnostiche stile = stile_stderr();
  for (const Diagnostica& d : diagnostiche) std::fputs(rendi(d, fonti, stile).c_str(), stderr);
}

}  // namespace genera
