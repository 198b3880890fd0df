#include "run/diagnostics_output.h"

#include <cstdio>
#include <cstdlib>

#include "run/console.h"

namespace genera {
namespace {

constexpr const char* kGrassetto = "\x1b[1m";
constexpr const char* kFine = "\x1b[0m";

const char* colore_di(Gravita g) {
  switch (g) {
    case Gravita::errore: return "\x1b[1;31m";
    case Gravita::avviso: return "\x1b[1;35m";
    case Gravita::nota: return "\x1b[1;36m";
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
  return testo.substr(inizio, fine == std::string_view::npos ? std::string_view::npos : fine - inizio);
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
  std::string mostrata(riga.substr(0, kLarghezza));
  for (char& c : mostrata)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  out += "  " + mostrata + (riga.size() > kLarghezza ? "...\n" : "\n");
  if (l.colonna > 0 && static_cast<std::size_t>(l.colonna) <= kLarghezza) {
    // Tabs keep their width under the caret.
    std::string spazio;
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(l.colonna) && i < riga.size(); ++i)
      spazio += riga[i] == '\t' ? '\t' : ' ';
    out += "  " + spazio + (stile.colore ? std::string(colore_di(g)) + "^" + kFine : "^") + "\n";
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
  std::string out =
      linea(d.luogo, d.gravita, gravita_scritta(d.gravita, d.codice), d.testo, fonti, stile);
  for (const Nota& n : d.note) out += linea(n.luogo, Gravita::nota, "note", n.testo, fonti, stile);
  return out;
}

void riporta_diagnostiche(const std::vector<Diagnostica>& diagnostiche, const Fonti& fonti) {
  const StileDiagnostiche stile = stile_stderr();
  for (const Diagnostica& d : diagnostiche) std::fputs(rendi(d, fonti, stile).c_str(), stderr);
}

}  // namespace genera
