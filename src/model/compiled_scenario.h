// The compiled scenario: what a compile gives back. The three structures
// the files are written from, the failure code the rules record, every
// diagnostic, and for each cell, entry and curve the record that made it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/codes.h"
#include "model/diagnostics.h"
#include "model/keywords.h"
#include "model/route_model.h"

namespace genera {

/// One record of a source, as the readers met it.
struct RecordSorgente {
  QualeSorgente sorgente = QualeSorgente::linea;
  Chiave chiave = Chiave::pendenza;
  int riga = 0;           // 1-based line of its key field
  int colonna = 0;        // 1-based column of its key field
  int32_t posizione = 0;  // its first value, metres for every positioned record
};

/// Index into Origini::record; 0 names no record (an initial value).
using IdRecord = uint32_t;

/// Which record decided each part of a cell. A value a tail or the
/// post-pass wrote names the record whose value or decision it is: a
/// profile tail names the last record of the profile, a code cell of the
/// post-pass names its slowdown.
struct OrigineCella {
  IdRecord oggetto = 0;  // tipo and valore1..4, tempo_segnale
  IdRecord avviso = 0;
  IdRecord galleria = 0;
  IdRecord velocita = 0;
  IdRecord pendenza = 0;
  IdRecord aderenza = 0;
};

/// A curve of the plan: the points it turned.
struct CurvaTracciata {
  IdRecord record = 0;
  int32_t prima_riga = 0;   // first plan row it computed
  int32_t ultima_riga = 0;  // last plan row it computed (below the first: none)
};

/// A write over another record's earlier write of the same layer of a cell.
struct Sovrascrittura {
  int32_t cella = 0;
  IdRecord OrigineCella::*strato = nullptr;
  IdRecord prima = 0;  // the record that wrote it first
  IdRecord dopo = 0;   // the record that wrote over it
};

struct Origini {
  std::array<std::string, 2> nomi_sorgenti;              // line, train: as reports name them
  std::vector<RecordSorgente> record{RecordSorgente{}};  // entry 0: no record
  std::vector<OrigineCella> celle;                       // one per cell of percorso
  std::array<IdRecord, kVociTestata> voci{};             // the last record that wrote each entry
  std::vector<CurvaTracciata> curve;
  // The writes over another record's layer since the readers last looked:
  // the journal the overlap warnings come from.
  std::vector<Sovrascrittura> sovrascritture;
};

struct ScenarioCompilato {
  // The model, in the files' order.
  std::vector<cella_percorso> percorso;  // cells 0 to U; empty when no length was read
  std::array<voce_testata, kVociTestata> testata_linea{};
  tracciato_linea tracciato;  // rows only when the plan was asked for

  // The outcome as the rules record it: the last failure code and its
  // position (0 and 0 for none). A race-code slot already taken is not
  // recorded here but in `timbro`: the files are then not to be written.
  Codice codice_errore = Codice::nessuno;
  int32_t posizione_errore = 0;
  Codice timbro = Codice::nessuno;
  int32_t numero_stazioni = 0;  // stations stored, entries 1 to numero_stazioni

  std::vector<Diagnostica> diagnostiche;
  Origini origini;

  int32_t ultima_cella() const { return genera::ultima_cella(percorso); }
  /// True when the race codes were stamped: the files may be written.
  bool scrivibile() const { return timbro == Codice::nessuno; }
};

/// How the reading of a source goes on after a step of it.
enum class Passo : uint8_t {
  continua,      // the reading goes on
  fine_file,     // the file ended: the reading ends, its end steps run
  fine_morbida,  // code 15: the reading ends, its end steps still run
  fine_dura,     // a refused record: the reading ends at once
  guasto,        // a run-time failure: the whole parse ends with code 25
};

/// What every step of reading a source gives back up the stack: a handler
/// of the objects, a field or key read, a record, the record loop, the
/// reading as a whole. A step that goes on carries nothing more. One that
/// ends the reading says why, in this one value: a refusal keeps the rules'
/// code until the reader records it at the record's place; a run-time
/// failure keeps its text, line and column for the compile to record.
struct [[nodiscard]] Esito {
  Esito() = default;
  /// A refusal with the rules' code `c` (the position `p` recorded with it
  /// where the rules give one), still without its place in the source.
  /// `guasto_lettura` makes it a run-time failure, at line `r` when given.
  Esito(Codice c, std::optional<int32_t> p, std::string t, int r = 0, std::vector<Nota> n = {})
      : passo(c == Codice::guasto_lettura  ? Passo::guasto
              : c == Codice::oltre_griglia ? Passo::fine_morbida
                                           : Passo::fine_dura),
        codice(c),
        posizione(p),
        testo(std::move(t)),
        riga(r),
        note(std::move(n)) {}
  explicit Esito(Passo p) : passo(p) {}

  bool prosegue() const { return passo == Passo::continua; }

  Passo passo = Passo::continua;
  Codice codice = Codice::nessuno;   // a refusal not yet given its place; nessuno after
  std::optional<int32_t> posizione;  // recorded with the code where the rules give one
  std::string testo;                 // why the reading ended
  int riga = 0;                      // a line of its own (a field's); 0: the record's
  int colonna = 0;                   // with `riga`, the field's column; 0: none known
  std::vector<Nota> note;            // other records it involves, what was left unread
  bool eliminazione = false;         // the failure is the source's deletion
};

/// The line length L in metres, as the length record gave it.
inline int32_t lunghezza_linea(const ScenarioCompilato& s) {
  return lunghezza_linea(s.testata_linea);
}

/// Notes that record `id` writes layer `strato` of cell `c`: the layer's
/// origin becomes `id`, and a write over another record's is journalled.
/// Inline: the profiles and objects call it for every cell they write.
inline void annota_scrittura(ScenarioCompilato& s, int32_t c, IdRecord OrigineCella::*strato,
                             IdRecord id) {
  IdRecord& origine = s.origini.celle[static_cast<std::size_t>(c)].*strato;
  if (origine != 0 && origine != id) s.origini.sovrascritture.push_back({c, strato, origine, id});
  origine = id;
}

/// Where record `id` stands in its source.
Luogo luogo_record(const ScenarioCompilato& s, IdRecord id);

/// "the signal at 8200 m (line 39)": a record in words.
std::string descrivi_record(const ScenarioCompilato& s, IdRecord id);

/// What stands on cell `c`, in words, naming the record that put it there:
/// "the warning board of the slowdown at 42850 m (line 34)".
std::string descrivi_cella(const ScenarioCompilato& s, int32_t c);

/// An error the rules record: sets `codice_errore` (and `posizione_errore`
/// when `luogo` has a position) as the compile's outcome, and adds it at `luogo`.
void registra_errore_delle_regole(ScenarioCompilato& s, Codice codice, Luogo luogo,
                                  std::string testo, std::vector<Nota> note = {});

/// An error of our own, which the rules do not record: the outcome stays as
/// the rules give it, but the compile has failed (ha_errori is true).
void segnala_errore(ScenarioCompilato& s, Codice codice, Luogo luogo, std::string testo,
                    std::vector<Nota> note = {});

/// True when any diagnostic is an error.
bool ha_errori(const ScenarioCompilato& s);

/// A warning: adds `a` at `luogo`, with the fix `aiuto` when there is one;
/// it changes no output byte, no outcome and no exit status.
void avvisa(ScenarioCompilato& s, Avviso a, Luogo luogo, std::string testo,
            std::vector<Nota> note = {}, std::string aiuto = {});

/// The record that put the object on cell `c` (0 for none), and a note at it.
Nota nota_occupante(const ScenarioCompilato& s, int32_t c);

}  // namespace genera
