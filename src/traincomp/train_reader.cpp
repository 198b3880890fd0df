#include "traincomp/train_reader.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "linecomp/progressives.h"
#include "model/rounding.h"
#include "model/text.h"
#include "traincomp/profiles.h"
#include "traincomp/signals.h"
#include "traincomp/slowdowns.h"
#include "traincomp/stations.h"

namespace genera {
namespace {

constexpr int kCommenti = 2;  // hyphen fields in a row passed over

class LettoreTreno : public LettoreSorgente {
 public:
  LettoreTreno(std::string_view testo, const std::string& nome, int32_t prossimo_cartello,
               ScenarioCompilato& s, const EliminaSorgente& elimina)
      : LettoreSorgente(testo, QualeSorgente::treno, nome, s, elimina),
        prossimo_cartello_(prossimo_cartello) {}

  Esito leggi();
  int32_t stazioni() const { return contatore_stazioni_ - 1; }

 private:
  // The handlers, one a keyword row: each reads its record's values and
  // applies them, and gives how the reading goes on.
  static const Gestore<LettoreTreno> kRecord[];

  Esito massa_frenata() {
    return generale(kVoceTreno, &voce_testata::dato1, Chiave::massa_frenata);
  }
  Esito vetture() { return generale(kVoceTreno, &voce_testata::dato3, Chiave::vetture); }
  Esito velocita();
  Esito aderenza();
  Esito orologio();
  Esito sabbia();
  Esito segnale();
  Esito rallentamento();
  Esito abbattimento();
  Esito stazione();

  Esito generale(int i, int32_t voce_testata::*campo, Chiave chiave);
  Esito intero(int16_t& campo);
  Esito dopo_posa(Esito e, int32_t posizione, const char* record);
  Esito passi_finali();

  int32_t prossimo_cartello_;
  StatoProfilo velocita_;
  StatoProfilo aderenza_;
  int32_t contatore_stazioni_ = 1;
};

const Gestore<LettoreTreno> LettoreTreno::kRecord[] = {
    {Chiave::massa_frenata, &LettoreTreno::massa_frenata},
    {Chiave::vetture, &LettoreTreno::vetture},
    {Chiave::velocita, &LettoreTreno::velocita},
    {Chiave::aderenza, &LettoreTreno::aderenza},
    {Chiave::orologio, &LettoreTreno::orologio},
    {Chiave::sabbia, &LettoreTreno::sabbia},
    {Chiave::segnale, &LettoreTreno::segnale},
    {Chiave::rallentamento, &LettoreTreno::rallentamento},
    {Chiave::abbattimento, &LettoreTreno::abbattimento},
    {Chiave::stazione, &LettoreTreno::stazione},
};

Esito LettoreTreno::generale(int i, int32_t voce_testata::*campo, Chiave chiave) {
  if (Esito e = numeri(voce(i).*campo); !e.prosegue()) return e;
  scrive_voce(i, annota_record(chiave, voce(i).*campo));
  return {};
}

Esito LettoreTreno::intero(int16_t& campo) {
  int64_t v = 0;
  if (Esito e = numeri(v); !e.prosegue()) return e;
  const auto i = a_intero(v);
  if (!i) {
    // At the field when it stands on the key's line; else the record is blamed.
    const Luogo campo = luogo_campo();
    const bool sulla_riga = campo.riga == riga_chiave();
    return guasto("the value " + std::to_string(v) + " does not fit a 16-bit number",
                  sulla_riga ? campo.riga : 0, sulla_riga ? campo.colonna : 0);
  }
  campo = *i;
  return {};
}

Esito LettoreTreno::velocita() {
  return profilo(Chiave::velocita, velocita_, [&](int32_t p, int32_t v, IdRecord id) {
    return record_velocita(s_, velocita_, p, v, id);
  });
}

Esito LettoreTreno::aderenza() {
  return profilo(Chiave::aderenza, aderenza_, [&](int32_t p, int32_t a, IdRecord id) {
    record_aderenza(s_, aderenza_, p, a, id);
    return Esito{};
  });
}

Esito LettoreTreno::orologio() {
  voce_testata& v = voce(kVoceRipetizione);
  scrive_voce(kVoceRipetizione, annota_record(Chiave::orologio, 0));
  for (int16_t* campo : {&v.intero3, &v.intero4, &v.intero5})
    if (Esito e = intero(*campo); !e.prosegue()) return e;
  return {};
}

Esito LettoreTreno::sabbia() {
  scrive_voce(kVoceRipetizione, annota_record(Chiave::sabbia, 0));
  return intero(voce(kVoceRipetizione).intero1);
}

Esito LettoreTreno::stazione() {
  return leggi_stazione(*this, s_, contatore_stazioni_, prossimo_cartello_);
}

// After memo_segnale or memo_rallentamento: its own refusal, or a code left
// earlier in the compile, stops the reading at this record.
Esito LettoreTreno::dopo_posa(Esito e, int32_t posizione, const char* record) {
  if (!e.prosegue()) return e;
  if (genera::numero(s_.codice_errore) <= 0) return {};
  const Codice prima = s_.codice_errore;
  registra_errore_delle_regole(s_, prima, luogo(posizione),
                               "the reading stops at the " + std::string(record) + " at " +
                                   std::to_string(posizione) + " m because of the earlier error " +
                                   std::to_string(genera::numero(prima)));
  return Esito(Passo::fine_dura);
}

Esito LettoreTreno::segnale() {
  ValoriSegnale v;
  if (Esito e =
          numeri(v.posizione, v.sx, v.s1, v.s2, v.s3, v.rapp, v.dx, v.d1, v.d2, v.d3, v.tempo);
      !e.prosegue())
    return e;
  if (Esito e = entro_griglia(v.posizione); !e.prosegue()) return e;
  Esito e = memo_segnale(s_, v, annota_record(Chiave::segnale, v.posizione));
  return dopo_posa(std::move(e), v.posizione, "signal");
}

Esito LettoreTreno::rallentamento() {
  int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
  if (Esito e = numeri(x, v, l, f_tt, f_ta, d_v); !e.prosegue()) return e;
  if (Esito e = entro_griglia(x); !e.prosegue()) return e;
  Esito e =
      memo_rallentamento(s_, x, v, l, f_tt, f_ta, d_v, annota_record(Chiave::rallentamento, x));
  return dopo_posa(std::move(e), x, "slowdown");
}

Esito LettoreTreno::abbattimento() {
  int32_t p = 0, w = 0;
  if (Esito e = numeri(p, w); !e.prosegue()) return e;
  if (Esito e = entro_griglia(p); !e.prosegue()) return e;
  return memo_abbattimento(s_, p, w, annota_record(Chiave::abbattimento, p));
}

// End of the file and end of the soft stop: profiles, then progressives.
Esito LettoreTreno::passi_finali() {
  Esito esito = elimina_sorgente({});
  if (!esito.prosegue()) return esito;
  if (Esito e = colloca(coda_profili(s_, velocita_, aderenza_)); !e.prosegue()) return e;
  confronta_velocita_limite(s_);
  if (!progressive_valide(s_.testata_linea)) {
    std::string valori;
    for (int v : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
      const voce_testata& e = voce(v);
      valori += (valori.empty() ? "" : ", ") + std::to_string(e.dato1) + " and " +
                std::to_string(e.dato2);
    }
    // The progressives are the line source's: name the first one at fault there.
    Luogo dove{nome(), 0, 0, std::nullopt};
    for (int v : {kVoceProgressivaTre, kVoceProgressivaDue, kVoceProgressivaUno}) {
      const voce_testata& e = voce(v);
      const IdRecord id = s_.origini.voci[static_cast<std::size_t>(v)];
      if ((e.dato1 % kMetriCella != 0 || e.dato2 % kMetriCella != 0) && id != 0) {
        dove = luogo_record(s_, id);
        dove.posizione.reset();
        break;
      }
    }
    registra_errore_delle_regole(
        s_, Codice::progressive_non_multiple, dove,
        "the kilometric progressives (" + valori + " m) are not all multiples of 50 m");
  }
  return esito;
}

Esito LettoreTreno::leggi() {
  std::optional<Luogo> primo_saltato;
  bool generale = false;
  while (!this->fine()) {
    // A field that cannot be read is passed over like any before the header.
    static_cast<void>(leggi_chiave());
    if (contiene(chiave(), kGenerale)) {
      generale = true;
      break;
    }
    if (!primo_saltato && !chiave().empty()) primo_saltato = luogo();
  }
  if (!generale && primo_saltato)
    avvisa(s_, Avviso::generale_assente, *primo_saltato,
           "no field holds \"[generale]\": nothing in the train source is read");
  else if (primo_saltato)
    avvisa(s_, Avviso::campi_prima_di_generale, *primo_saltato,
           "the fields before \"[generale]\" are not read: the train source starts there");
  for (;;) {
    // A third hyphen field in a row is read as a key field.
    Esito e = prossima_chiave(kCommenti, true);
    if (e.prosegue()) e = applica_record<LettoreTreno>(*this, kRecord, Blocco::treno);
    if (e.prosegue()) continue;
    if (e.passo == Passo::fine_file) break;
    if (e.passo == Passo::guasto) return con_non_lette(std::move(e));
    annota_fermata();
    if (e.passo == Passo::fine_dura) return elimina_sorgente(std::move(e));
    break;  // the soft stop
  }
  return passi_finali();
}

}  // namespace

Esito leggi_sorgente_treno(std::string_view testo, const std::string& nome,
                           int32_t prossimo_cartello, ScenarioCompilato& s,
                           const EliminaSorgente& elimina) {
  LettoreTreno lettore(testo, nome, prossimo_cartello, s, elimina);
  Esito esito = lettore.leggi();
  s.numero_stazioni = lettore.stazioni();
  // On a run-time failure the train source goes first, whatever that
  // answers: the failure being reported already ends the parse.
  if (esito.passo == Passo::guasto && !esito.eliminazione) elimina(QualeSorgente::treno);
  return esito;
}

}  // namespace genera
