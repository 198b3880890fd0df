#include "traincomp/train_reader.h"

#include <optional>
#include <string>
#include <utility>

#include "linecomp/field_reader.h"
#include "linecomp/progressives.h"
#include "files/file_system.h"
#include "model/rounding.h"
#include "model/run_failure.h"
#include "traincomp/profiles.h"
#include "traincomp/signals.h"
#include "traincomp/slowdowns.h"
#include "traincomp/stations.h"

namespace genera {
namespace {

constexpr int kCommenti = 2;   // hyphen fields in a row passed over

class LettoreTreno {
 public:
  LettoreTreno(Form1& f, std::string_view testo) : f_(f), r_(testo) {}

  // Steps 2 to 5 of the train half.
  void leggi();

  int riga_chiave() const { return riga_chiave_; }

 private:
  // What a record leaves the loop to do.
  enum class esito { continua, fine_morbida, fine_dura };

  esito prove();
  esito segnale();
  esito rallentamento();
  bool entro_griglia(int32_t p);
  esito dopo_chiamata(bool posto, messaggio err, int32_t posizione, const char* record);
  void passi_finali();

  void leggi_chiave() {
    f_.campo_letto = r_.leggi_testo();
    riga_chiave_ = r_.riga();
  }
  bool commento() const { return contiene(f_.campo_letto, "-"); }
  void aggiungi(messaggio m) {
    m.file = f_.sorgente_treno.nome;
    if (m.riga == 0) m.riga = riga_chiave_;
    f_.messaggi.push_back(std::move(m));
  }
  void elimina_sorgente() { f_.file_system->remove(f_.sorgente_treno.percorso); }

  Form1& f_;
  FieldReader r_;
  int riga_chiave_ = 0;
};

// The reach check of every record but the station's: (p + 100) / 50 in
// doubles must not pass U. A failure is the soft stop with code 15.
bool LettoreTreno::entro_griglia(int32_t p) {
  richiedi_griglia(f_, "train record");
  if ((static_cast<double>(p) + 100) / kMetriCella > ultima_cella(f_)) {
    f_.codice_errore = 15;
    f_.posizione_errore = p;
    aggiungi({{}, 0, 15, p, "record at " + std::to_string(p) + " m lies beyond the end of the grid"});
    return false;
  }
  return true;
}

// After memo_segnale or memo_rallentamento: its own refusal, or a code left
// earlier in the run, stops the reading at this record.
LettoreTreno::esito LettoreTreno::dopo_chiamata(bool posto, messaggio err, int32_t posizione,
                                                const char* record) {
  if (!posto) {
    aggiungi(std::move(err));
    return esito::fine_dura;
  }
  if (f_.codice_errore <= 0) return esito::continua;
  f_.posizione_errore = posizione;
  aggiungi({{}, 0, f_.codice_errore, posizione,
            "the reading stops at the " + std::string(record) + " at " + std::to_string(posizione) +
                " m because of the earlier error " + std::to_string(f_.codice_errore)});
  return esito::fine_dura;
}

LettoreTreno::esito LettoreTreno::segnale() {
  valori_segnale s;
  for (int32_t* v : {&s.posizione, &s.sx, &s.s1, &s.s2, &s.s3, &s.rapp, &s.dx, &s.d1, &s.d2, &s.d3,
                     &s.tempo})
    *v = r_.leggi_numero();
  if (!entro_griglia(s.posizione)) return esito::fine_morbida;
  messaggio err;
  const bool posto = memo_segnale(f_, s, &err);
  return dopo_chiamata(posto, std::move(err), s.posizione, "signal");
}

LettoreTreno::esito LettoreTreno::rallentamento() {
  int32_t x = r_.leggi_numero();
  int32_t v = r_.leggi_numero();
  int32_t l = r_.leggi_numero();
  int32_t f_tt = r_.leggi_numero();
  int32_t f_ta = r_.leggi_numero();
  int32_t d_v = r_.leggi_numero();
  if (!entro_griglia(x)) return esito::fine_morbida;
  messaggio err;
  const bool posto = memo_rallentamento(f_, x, v, l, f_tt, f_ta, d_v, &err);
  return dopo_chiamata(posto, std::move(err), x, "slowdown");
}

// The ten record tests, each on the same key field, in this order; every
// test that matches reads its own values at once.
LettoreTreno::esito LettoreTreno::prove() {
  const std::string chiave = f_.campo_letto;
  if (contiene(chiave, "frenata") && contiene(chiave, "massa"))
    f_.testata_linea[kVoceTreno].dato1 = r_.leggi_numero();
  if (contiene(chiave, "vetture")) f_.testata_linea[kVoceTreno].dato3 = r_.leggi_numero();
  if (contiene(chiave, "velocit")) {
    const int32_t p = r_.leggi_numero();
    const int32_t v = r_.leggi_numero();
    if (!entro_griglia(p)) return esito::fine_morbida;
    record_velocita(f_, p, v);
  }
  if (contiene(chiave, "aderenza")) {
    const int32_t p = r_.leggi_numero();
    const int32_t a = r_.leggi_numero();
    if (!entro_griglia(p)) return esito::fine_morbida;
    record_aderenza(f_, p, a);
  }
  if (contiene(chiave, "orologio")) {
    voce_testata& v = f_.testata_linea[kVoceRipetizione];
    v.intero3 = a_intero(int64_t{r_.leggi_numero()});
    v.intero4 = a_intero(int64_t{r_.leggi_numero()});
    v.intero5 = a_intero(int64_t{r_.leggi_numero()});
  }
  if (contiene(chiave, "sabbia"))
    f_.testata_linea[kVoceRipetizione].intero1 = a_intero(int64_t{r_.leggi_numero()});
  if (contiene(chiave, "segnale")) {
    const esito e = segnale();
    if (e != esito::continua) return e;
  }
  if (contiene(chiave, "rallentamento")) {
    const esito e = rallentamento();
    if (e != esito::continua) return e;
  }
  if (contiene(chiave, "abbattimento")) {
    const int32_t p = r_.leggi_numero();
    const int32_t w = r_.leggi_numero();
    if (!entro_griglia(p)) return esito::fine_morbida;
    messaggio err;
    if (!memo_abbattimento(f_, p, w, &err)) {
      aggiungi(std::move(err));
      return esito::fine_dura;
    }
  }
  if (contiene(chiave, "stazione")) {
    messaggio err;
    switch (leggi_stazione(f_, r_, &err)) {
      case esito_stazione::registrata:
        break;
      case esito_stazione::fuori_portata:
        aggiungi(std::move(err));
        return esito::fine_morbida;
      case esito_stazione::rifiutata:
        aggiungi(std::move(err));
        return esito::fine_dura;
    }
  }
  return esito::continua;
}

// End of the file and end of the soft stop: profiles, then progressives.
void LettoreTreno::passi_finali() {
  elimina_sorgente();
  coda_profili(f_);
  if (!progressive_valide(f_)) {
    f_.codice_errore = 2;
    std::string valori;
    for (int v : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
      const voce_testata& e = f_.testata_linea[static_cast<std::size_t>(v)];
      valori += (valori.empty() ? "" : ", ") + std::to_string(e.dato1) + " and " + std::to_string(e.dato2);
    }
    f_.messaggi.push_back({f_.sorgente_treno.nome, 0, 2, std::nullopt,
                           "the kilometric progressives (" + valori +
                               " m) are not all multiples of 50 m"});
  }
}

void LettoreTreno::leggi() {
  while (!r_.fine()) {
    leggi_chiave();
    if (contiene(f_.campo_letto, "[generale]")) break;
  }
  f_.cursore_velocita = 0;
  f_.cursore_aderenza = 0;
  // Before a profile's first record nothing is in force: 0.
  f_.velocita_corrente = 0;
  f_.aderenza_corrente = 0;
  f_.contatore_stazioni = 1;

  for (;;) {
    if (r_.fine()) break;
    leggi_chiave();
    if (r_.fine()) break;
    // A third hyphen field in a row is read as a key field.
    bool finito = false;
    for (int i = 0; i < kCommenti && commento(); ++i) {
      leggi_chiave();
      if (r_.fine()) {
        finito = true;
        break;
      }
    }
    if (finito) break;
    const esito e = prove();
    if (e == esito::fine_dura) {
      elimina_sorgente();
      return;
    }
    if (e == esito::fine_morbida) break;
  }
  passi_finali();
}

}  // namespace

void leggi_sorgente_treno(Form1& f) {
  if (!f.file_system->exists(f.sorgente_treno.percorso))
    throw errore_esecuzione("the train source cannot be opened: it does not exist");
  const std::string testo = f.file_system->read(f.sorgente_treno.percorso);
  LettoreTreno lettore(f, testo);
  try {
    lettore.leggi();
  } catch (const errore_esecuzione& e) {
    // The train source goes on every path; memorizza_dati records code 25.
    try {
      f.file_system->remove(f.sorgente_treno.percorso);
    } catch (const errore_file&) {
      // The failure being reported already ends the parse.
    }
    // Conversions do not know the line: name the record being read.
    if (e.riga == 0) throw errore_esecuzione(e.what(), lettore.riga_chiave());
    throw;
  }
}

}  // namespace genera
