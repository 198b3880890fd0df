// The schema of both sources: every record and every field it reads, in
// one place. The keyword table says how a record is recognised; this says
// what its fields are: their names for the author, what they mean as far
// as this program knows, their units, the values the stored form keeps,
// the values that make sense, and what storing does to the others.
//
// The readers, the checks, the manual's field tables, the editor's hover
// text and the route viewer's tooltips all read it from here.
//
// The interface is stable: rows and functions are added, never renamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/codes.h"
#include "model/keywords.h"

namespace genera {

/// How a field is read from the source.
enum class Lettura : uint8_t {
  numero,  // a signed 32-bit whole number; an empty field is 0
  testo,   // text up to the next comma or line end, or in double quotes
};

/// What storing does to a value outside the storable range.
enum class Fuori : uint8_t {
  nulla,      // every value read is stored whole: there is no outside
  basso_8,    // only the low 8 bits are kept: the value wraps
  basso_16,   // only the low 16 bits are kept: the value wraps
  guasto,     // the conversion fails: the reading ends with code 25
  rifiutato,  // the record is refused with the field's own code
};

/// What a value must be besides lying in the sensible range.
enum class Vincolo : uint8_t {
  nessuno,
  dopo_precedente,         // above the field before it (an end after its start)
  zero_o_dopo_precedente,  // 0 means "none"; otherwise above the field before it
  zero_o_sensato,          // 0 means "none"; otherwise in the sensible range
};

/// One field of a record, the key field not counted.
struct Campo {
  std::string_view nome{};         // the author's name: "posizione", "ore"
  std::string_view sigla{};        // the short name the manual's formulas use: "p", "L"
  std::string_view significato{};  // what it means, or "stored for the simulator as read"
  std::string_view unita{};        // "m", "km/h", "s", "‰", ... or empty
  Lettura lettura = Lettura::numero;

  // The range the stored form keeps unchanged, in the author's units.
  int64_t memorizzabile_min = INT32_MIN;
  int64_t memorizzabile_max = INT32_MAX;
  Fuori fuori = Fuori::nulla;
  Codice codice_fuori = Codice::nessuno;  // the code of a refusal (Fuori::rifiutato)

  // How the stored form is computed from a value v, for saying what a
  // value outside the storable range becomes: round(v / divisore) + scarto,
  // then cut to the width (Fuori::basso_8, basso_16).
  int32_t divisore = 1;
  int32_t scarto = 0;

  // The range that makes sense.
  int64_t sensato_min = INT32_MIN;
  int64_t sensato_max = INT32_MAX;
  int32_t multiplo = 0;                      // the value must be a multiple of this; 0 for any
  Codice codice_multiplo = Codice::nessuno;  // the rules' code when it is not; none: a warning
  Vincolo vincolo = Vincolo::nessuno;

  std::string_view memoria{};  // where and how it is stored, in words
};

/// One record kind: its keyword row and its fields in source order.
struct SchemaRecord {
  Chiave chiave;
  std::string_view significato;  // what the record does, one sentence
  std::span<const Campo> campi;

  const ParolaChiave& parola() const { return parola_chiave(chiave); }
};

/// Every record, in the order of the keyword table (the order of Chiave).
std::span<const SchemaRecord> schema_sorgenti();

/// The record of `c`.
const SchemaRecord& schema_record(Chiave c);

/// The record called `nome`: its key as the built-in sources write it
/// ("segnale", "lunghezza percorso"), its keyword ("velocit"), or its
/// enumerator name ("indicatori_v_max"); letter case ignored. nullptr
/// when none is.
const SchemaRecord* cerca_record(std::string_view nome);

/// The record a key field names in `blocco`, matched as the reader matches
/// it (the first row in the reader's order); nullptr when none.
const SchemaRecord* record_della_chiave(std::string_view campo, Blocco blocco);

/// The field at `indice` (0 is the first value after the key); nullptr
/// past the last field.
const Campo* campo_di(const SchemaRecord& r, std::size_t indice);

/// The field named `nome` (its name or its short name); nullptr when none.
const Campo* cerca_campo(const SchemaRecord& r, std::string_view nome);

/// What storing `v` in field `c` gives, as a number read back in the
/// author's units (900 as a gradient reads back as 132). Empty when the
/// value is not stored at all (a refusal or a failure).
std::optional<int64_t> riletto(const Campo& c, int64_t v);

/// True when `v` lies in the storable range of `c`.
inline bool memorizzabile(const Campo& c, int64_t v) {
  return v >= c.memorizzabile_min && v <= c.memorizzabile_max;
}

/// True when `v` lies in the sensible range of `c` and is a multiple of
/// its step; the relation with the field before it is not tested here.
/// Inline: the readers ask it of every value they read.
inline bool sensato(const Campo& c, int64_t v) {
  if (c.vincolo == Vincolo::zero_o_sensato && v == 0) return true;
  if (v < c.sensato_min || v > c.sensato_max) return false;
  return c.multiplo == 0 || v % c.multiplo == 0;
}

/// The storable range in words: "-100 to 155", "32-bit", "0 to 255".
std::string scrivi_memorizzabile(const Campo& c);

/// The sensible range in words: "0 to 23", "above 0", "a multiple of 50",
/// "after inizio", "any".
std::string scrivi_sensato(const SchemaRecord& r, const Campo& c);

/// What storing does outside the storable range, in words.
std::string_view scrivi_fuori(const Campo& c);

/// "posizione (m): where the signal stands ...": a one-line hover text.
std::string descrivi_campo(const Campo& c);

/// "segnale, posizione, sx, s1, ...": the record's shape for a signature.
std::string firma_record(const SchemaRecord& r);

/// The manual's table of the fields of `record` (several records of one
/// field each make one table, a row per record), in Markdown, each row
/// ending in a line end.
std::string tabella_campi(std::span<const Chiave> record);

}  // namespace genera
