// What reading the line source and reading the train source share: the
// field reader, the key field with its place, the comment rule, the
// records met, the reports, and the one way a reading ends.
//
// Both readers run the same record loop: read a key field, pass over up to
// a limit of comment fields (a key holding "-") in its place, then test the
// key against the keyword rows of the block being read, in order, and let
// every row that matches read its values and apply them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "linecomp/field_reader.h"
#include "model/compiled_scenario.h"
#include "model/keywords.h"
#include "model/rounding.h"
#include "model/schema.h"

namespace genera {

/// Called at the moments the rules delete a source. Answers the empty
/// string when the source is gone (or never was), else why it is not.
using EliminaSorgente = std::function<std::string(QualeSorgente)>;

class LettoreSorgente {
 public:
  /// `testo` must outlive the reader; reports go into `s` under `nome`;
  /// `elimina` is called where the rules delete the source.
  LettoreSorgente(std::string_view testo, QualeSorgente quale, std::string nome,
                  ScenarioCompilato& s, const EliminaSorgente& elimina);
  LettoreSorgente(const LettoreSorgente&) = delete;
  LettoreSorgente& operator=(const LettoreSorgente&) = delete;

  /// Reads a key field, then up to `commenti` comment fields in its place.
  /// `fine_nei_commenti`: the end of the file after a comment ends the
  /// reading too; without it a comment may read past the end (a failure).
  /// Gives `fine_file` when the file ended right after a read.
  Esito prossima_chiave(int commenti, bool fine_nei_commenti);

  /// Reads one field as the key; a failure past the end of the file.
  Esito leggi_chiave();

  /// True when the key is a comment.
  bool commento() const;

  const std::string& chiave() const { return chiave_; }
  bool fine() const { return r_.at_end(); }

  /// Reads the next values; a run-time failure when one cannot be.
  template <typename... T>
  Esito numeri(T&... valori) {
    Esito e;
    static_cast<void>((numero(valori, e) && ...));
    return e;
  }
  Esito testo(std::string& valore);

  /// The text field just read as stored: in code page 1252. A character
  /// the code page lacks is an error on the field (code 106); it is
  /// stored as "?".
  std::string in_codepage(const std::string& campo);

  /// Which rows of the table `tabella` the key just read names, one bit a
  /// row: `calcola()` asked once for a run of one key in one table.
  template <typename F>
  uint32_t righe_nominate(const void* tabella, F calcola) {
    if (tabella != memo_tabella_ || chiave_ != memo_chiave_) {
      memo_righe_ = calcola();
      memo_tabella_ = tabella;
      memo_chiave_ = chiave_;
    }
    return memo_righe_;
  }

  /// Notes the record being applied, for the origins of what it writes.
  IdRecord annota_record(Chiave chiave, int32_t posizione);

  /// The record whose values are being read; its values are counted so
  /// that one missing can be named on the record's own line.
  void inizia_record(Chiave chiave);
  /// After a record applied whole: a warning when its values ran on to a
  /// later line than its key.
  void chiudi_record();

  /// A profile record (gradient, speed, adhesion) at cell `n` behind the
  /// profile's cursor or the record `prima` before it, or at the same cell
  /// as `prima`: a warning, with a note at `prima`.
  void fuori_ordine(int32_t n, int32_t cursore, IdRecord prima);

  /// The one handler of the profile records (gradient, speed, adhesion):
  /// position and value, the reach check, the order check against the
  /// profile `st`, then `applica(p, v, id)` writes the cells and may refuse.
  /// A profile that keeps its value's column (for the blame) is given it.
  template <typename Stato, typename Applica>
  Esito profilo(Chiave chiave, Stato& st, Applica applica) {
    int32_t p = 0, v = 0;
    if (Esito e = numeri(p, v); !e.prosegue()) return e;
    const int colonna = r_.column();
    if (Esito e = entro_griglia(p); !e.prosegue()) return e;
    fuori_ordine(arrotonda_cella(static_cast<double>(p) / kMetriCella), st.cursore, st.origine);
    if (Esito e = applica(p, v, annota_record(chiave, p)); !e.prosegue()) return e;
    if constexpr (requires { st.colonna; }) st.colonna = colonna;
    return {};
  }

  /// A key that names no record of `blocco`: a warning that says so, with a
  /// suggestion from the keyword table, unless the field is plainly not a
  /// key (a number, a section line, a field after the first of its line).
  void chiave_ignota(Blocco blocco);

  /// After the reading stopped: "N records after it were not read, from
  /// line L on", for the stop's diagnostic (none when nothing is left).
  std::vector<Nota> note_non_lette(Blocco blocco) const;

  /// Gives a refusal its place, the key's: a rules' code is recorded
  /// there, a run-time failure gets its line and column. What has a place
  /// already, or goes on, passes unchanged.
  Esito colloca(Esito e);

  /// The reach check of a positioned record: (p + 100) / 50 must not pass
  /// U. A refusal with code 15, which ends the reading softly, when it does.
  Esito entro_griglia(int32_t p);
  /// A note at the line length record, which sets where the grid ends.
  std::vector<Nota> nota_lunghezza() const;

  /// A run-time failure of the reading, at the record's line (or the
  /// field's, when the field reader gave one).
  Esito guasto(std::string testo, int riga = 0, int colonna = 0) const;
  Esito guasto_campo() const {
    return guasto(r_.failure(), r_.failure_line(), r_.failed_at_end() ? -1 : r_.column());
  }

  const std::string& nome() const { return nome_; }
  int riga_chiave() const { return riga_chiave_; }
  Luogo luogo(std::optional<int32_t> posizione = std::nullopt) const;
  /// The place of the field just read, its width included.
  Luogo luogo_campo() const;

 protected:
  // One value into `v`; false with the failure in `e` when it cannot be read.
  bool numero(int32_t& v, Esito& e);
  bool numero(int64_t& v, Esito& e);

  // The tails both readers end through.
  /// Deletes this source, then gives `dopo`; a deletion that fails is a
  /// run-time failure of its own.
  Esito elimina_sorgente(Esito dopo);
  /// The run-time failure `e` that ended the reading, with what it left unread.
  Esito con_non_lette(Esito e) const;
  /// The stop's diagnostic says what it left unread.
  void annota_fermata();
  voce_testata& voce(int i) { return s_.testata_linea[static_cast<std::size_t>(i)]; }
  void scrive_voce(int i, IdRecord id) { s_.origini.voci[static_cast<std::size_t>(i)] = id; }

  FieldReader r_;
  ScenarioCompilato& s_;

 private:
  // The records a stop leaves unread are counted in this block.
  Blocco blocco_sorgente() const {
    return quale_ == QualeSorgente::treno ? Blocco::treno : Blocco::corpo_linea;
  }

  QualeSorgente quale_;
  const EliminaSorgente& elimina_;
  std::string nome_;
  const ParolaChiave* record_ = nullptr;  // the record whose values are being read
  std::span<const Campo> campi_;          // ... and its fields in the schema
  int valori_letti_ = 0;
  std::array<IdRecord, kParoleChiave.size()> primo_{};  // the first record of each kind
  std::string chiave_;                                  // the key field just read (campo_letto)
  int riga_chiave_ = 0;
  int colonna_chiave_ = 0;
  int larghezza_chiave_ = 0;
  bool separatori_detti_ = false;       // the key's separators are checked once
  const void* memo_tabella_ = nullptr;  // righe_nominate(): the last table asked
  std::string memo_chiave_;             // ... the last key
  uint32_t memo_righe_ = 0;             // ... and the rows it names
  std::array<int64_t, 17> valori_{};    // the current record's values, for their relations
  bool testo_fuori_posto_ = false;      // the record's text said to be another field
  Esito guasto_valore() const;
  void commento_con_record();
  bool testo_sospetto(const std::string& t, std::string_view campo);
  void controlla_testo(const std::string& t, std::string_view campo);
  void controlla_valore(int64_t v);
  void controlla_resto();
  void controlla_sovrascritture();
};

/// One keyword row bound to what applies it, for a reader of type L.
template <typename L>
struct Gestore {
  Chiave chiave;
  Esito (L::*applica)();
};

/// Tests the key against `gestori` in order and applies every row that
/// names it; stops at the first that does not go on, its refusal given its
/// place. A key that names none is reported as unknown to the keywords of
/// `blocco`.
template <typename L>
Esito applica_record(L& lettore, std::span<const Gestore<L>> gestori, Blocco blocco) {
  // Records come in runs of one key: the rows a key names are worked out
  // once for the run, not tested again for every record.
  const uint32_t righe = lettore.righe_nominate(gestori.data(), [&] {
    uint32_t r = 0;
    for (std::size_t i = 0; i < gestori.size() && i < 32; ++i)
      if (nomina(parola_chiave(gestori[i].chiave), lettore.chiave())) r |= uint32_t{1} << i;
    return r;
  });
  for (std::size_t i = 0; i < gestori.size() && i < 32; ++i) {
    if ((righe & (uint32_t{1} << i)) == 0) continue;
    const Gestore<L>& g = gestori[i];
    lettore.inizia_record(g.chiave);
    if (Esito e = lettore.colloca((lettore.*g.applica)()); !e.prosegue()) return e;
    lettore.chiudi_record();
  }
  if (righe == 0) lettore.chiave_ignota(blocco);
  return {};
}

}  // namespace genera
