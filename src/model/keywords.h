// The record keywords of both sources: the one list of them in the
// program. The readers bind a handler to each row, the writers' names are
// checked against it, and the documentation is checked against it.
//
// A key field names a record when it contains every word of the row,
// anywhere in it; letter case is ignored except in the header rows marked
// `maiuscole`, whose words must appear exactly as written here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/text.h"

namespace genera {

enum class QualeSorgente : uint8_t { linea, treno };

/// Where a row is tested: the line source's header block, its body, or
/// the train source's records.
enum class Blocco : uint8_t { testata_linea, corpo_linea, treno };

enum class Chiave : uint8_t {
  lunghezza_percorso,
  progressiva_tre,
  progressiva_due,
  progressiva_uno,
  sfondo_uno,
  sfondo_due,
  sfondo_tre,
  ripetizione_segnali,
  pendenza,
  curva,
  montagna,
  indicatori_v_max,
  cartello_indicatore,
  massa_frenata,
  vetture,
  velocita,
  aderenza,
  orologio,
  sabbia,
  segnale,
  rallentamento,
  abbattimento,
  stazione,
};

struct ParolaChiave {
  Chiave chiave;
  Blocco blocco;
  std::string_view parola;   // the word that names the record
  std::string_view seconda;  // a second word it needs too, or empty
  bool maiuscole;            // words matched exactly as written
  int valori;                // the fields read after the key
  std::string_view scritta;  // the key as the built-in sources write it
  std::string_view nome;     // what the record is, in words
};

/// The rows in the order the readers test them within each block.
inline constexpr std::array<ParolaChiave, 23> kParoleChiave{{
    {Chiave::lunghezza_percorso, Blocco::testata_linea, "lunghezza", "percorso", false, 1,
     "lunghezza percorso", "line length"},
    {Chiave::progressiva_tre, Blocco::testata_linea, "progressiva", "tre", true, 3,
     "progressiva chilometrica tre", "kilometric progressive"},
    {Chiave::progressiva_due, Blocco::testata_linea, "progressiva", "due", true, 3,
     "progressiva chilometrica due", "kilometric progressive"},
    {Chiave::progressiva_uno, Blocco::testata_linea, "progressiva", "uno", true, 3,
     "progressiva chilometrica uno", "kilometric progressive"},
    {Chiave::sfondo_uno, Blocco::testata_linea, "sfondo", "uno", true, 1, "sfondo uno",
     "background"},
    {Chiave::sfondo_due, Blocco::testata_linea, "sfondo", "due", true, 1, "sfondo due",
     "background"},
    {Chiave::sfondo_tre, Blocco::testata_linea, "sfondo", "tre", true, 1, "sfondo tre",
     "background"},
    {Chiave::ripetizione_segnali, Blocco::testata_linea, "ripetizione", "segnali", true, 2,
     "ripetizione segnali 9 codici", "cab-signal repetition"},
    {Chiave::pendenza, Blocco::corpo_linea, "pendenza", "", false, 2, "pendenza", "gradient"},
    {Chiave::curva, Blocco::corpo_linea, "curva", "", false, 2, "curvad4", "curve"},
    {Chiave::montagna, Blocco::corpo_linea, "montagna", "", false, 3, "montagna", "tunnel"},
    {Chiave::indicatori_v_max, Blocco::corpo_linea, "indicatori_v", "", false, 9, "indicatori_vmax",
     "speed-indicator board"},
    {Chiave::cartello_indicatore, Blocco::corpo_linea, "cartello", "indicat", false, 2,
     "cartello_indicatore", "indicator board"},
    {Chiave::massa_frenata, Blocco::treno, "frenata", "massa", false, 1,
     "percentuale massa frenata", "braked-mass percentage"},
    {Chiave::vetture, Blocco::treno, "vetture", "", false, 1, "numero vetture", "number of cars"},
    {Chiave::velocita, Blocco::treno, "velocit", "", false, 2, "velocita", "speed limit"},
    {Chiave::aderenza, Blocco::treno, "aderenza", "", false, 2, "aderenza", "adhesion"},
    {Chiave::orologio, Blocco::treno, "orologio", "", false, 3, "orologio", "clock"},
    {Chiave::sabbia, Blocco::treno, "sabbia", "", false, 1, "sabbia", "sand"},
    {Chiave::segnale, Blocco::treno, "segnale", "", false, 11, "segnale", "signal"},
    {Chiave::rallentamento, Blocco::treno, "rallentamento", "", false, 6, "rallentamento",
     "slowdown"},
    {Chiave::abbattimento, Blocco::treno, "abbattimento", "", false, 2, "abbattimento", "code cut"},
    {Chiave::stazione, Blocco::treno, "stazione", "", false, 17, "stazione", "station"},
}};

/// The marks both readers look for besides the keywords.
inline constexpr std::string_view kGenerale = "[generale]";  // opens the header, any case
inline constexpr std::string_view kCommento = "-";           // a key holding it is a comment

/// The row of `c`.
constexpr const ParolaChiave& parola_chiave(Chiave c) {
  return kParoleChiave[static_cast<std::size_t>(c)];
}

/// True for the records placed at a position along the line (their first
/// field, in metres).
constexpr bool ha_posizione(Chiave c) {
  switch (c) {
    case Chiave::pendenza:
    case Chiave::curva:
    case Chiave::montagna:
    case Chiave::indicatori_v_max:
    case Chiave::cartello_indicatore:
    case Chiave::velocita:
    case Chiave::aderenza:
    case Chiave::segnale:
    case Chiave::rallentamento:
    case Chiave::abbattimento:
    case Chiave::stazione:
      return true;
    default:
      return false;
  }
}

/// True when the key field `campo` names the record of row `p`.
constexpr bool nomina(const ParolaChiave& p, std::string_view campo) {
  if (p.maiuscole)
    return contiene_esatto(campo, p.parola) &&
           (p.seconda.empty() || contiene_esatto(campo, p.seconda));
  return contiene(campo, p.parola) && (p.seconda.empty() || contiene(campo, p.seconda));
}

}  // namespace genera

namespace genera::keywords_detail {
constexpr bool in_ordine() {
  for (std::size_t i = 0; i < kParoleChiave.size(); ++i)
    if (static_cast<std::size_t>(kParoleChiave[i].chiave) != i) return false;
  return true;
}
static_assert(in_ordine(), "rows in the order of the enumeration");
}  // namespace genera::keywords_detail
