#include "model/compiled_scenario.h"

#include <utility>

namespace genera {

void registra_errore_delle_regole(ScenarioCompilato& s, Codice codice, Luogo luogo,
                                  std::string testo, std::vector<Nota> note) {
  s.codice_errore = codice;
  if (luogo.posizione) s.posizione_errore = *luogo.posizione;
  segnala_errore(s, codice, std::move(luogo), std::move(testo), std::move(note));
}

void segnala_errore(ScenarioCompilato& s, Codice codice, Luogo luogo, std::string testo,
                    std::vector<Nota> note) {
  s.diagnostiche.push_back({Gravita::errore,
                            codice,
                            std::move(luogo),
                            std::move(testo),
                            std::move(note),
                            {},
                            Avviso::nessuno});
}

bool ha_errori(const ScenarioCompilato& s) {
  if (s.codice_errore != Codice::nessuno || !s.scrivibile()) return true;
  for (const Diagnostica& d : s.diagnostiche)
    if (d.gravita == Gravita::errore) return true;
  return false;
}

void avvisa(ScenarioCompilato& s, Avviso a, Luogo luogo, std::string testo, std::vector<Nota> note,
            std::string aiuto) {
  s.diagnostiche.push_back({Gravita::avviso, Codice::nessuno, std::move(luogo), std::move(testo),
                            std::move(note), std::move(aiuto), a});
}

Nota nota_occupante(const ScenarioCompilato& s, int32_t c) {
  const auto i = static_cast<std::size_t>(c);
  const IdRecord id = i < s.origini.celle.size() ? s.origini.celle[i].oggetto : 0;
  // The note stands at the record's line: the text need not name it again.
  std::string chi = "a record";
  if (id != 0 && id < s.origini.record.size()) {
    const RecordSorgente& r = s.origini.record[id];
    chi = "the " + std::string(parola_chiave(r.chiave).nome) + " at " +
          std::to_string(r.posizione) + " m";
  }
  return {luogo_record(s, id), "cell " + std::to_string(c) + " was taken by " + chi};
}

Luogo luogo_record(const ScenarioCompilato& s, IdRecord id) {
  if (id == 0 || id >= s.origini.record.size()) return {};
  const RecordSorgente& r = s.origini.record[id];
  return {s.origini.nomi_sorgenti[static_cast<std::size_t>(r.sorgente)], r.riga, r.colonna,
          r.posizione};
}

std::string descrivi_record(const ScenarioCompilato& s, IdRecord id) {
  if (id == 0 || id >= s.origini.record.size()) return "a record";
  const RecordSorgente& r = s.origini.record[id];
  return "the " + std::string(parola_chiave(r.chiave).nome) + " at " + std::to_string(r.posizione) +
         " m (line " + std::to_string(r.riga) + ")";
}

std::string descrivi_cella(const ScenarioCompilato& s, int32_t c) {
  const auto i = static_cast<std::size_t>(c);
  IdRecord id = i < s.origini.celle.size() ? s.origini.celle[i].oggetto : 0;
  if (id >= s.origini.record.size()) id = 0;
  if (id == 0) {
    // An object no record of this compile put there: its kind alone.
    switch (s.percorso[i].tipo) {
      case TipoCella::segnale:
        return "a signal";
      case TipoCella::fine_rallentamento:
        return "the end of a slowdown";
      case TipoCella::inizio_rallentamento:
        return "the start of a slowdown";
      case TipoCella::avviso_rallentamento:
        return "the warning board of a slowdown";
      case TipoCella::prima_avviso:
        return "one of the four cells before a slowdown's warning board";
      case TipoCella::indicatore_v_max:
        return "a speed-indicator board";
      case TipoCella::fermata:
        return "a station stop";
      case TipoCella::codice:
        return "a code cell";
      case TipoCella::abbattimento:
        return "a code cut";
      case TipoCella::cartello:
        return "an indicator board";
      default:
        return "an object";
    }
  }
  std::string chi = descrivi_record(s, id);
  switch (s.percorso[i].tipo) {
    // These kinds are their record itself.
    case TipoCella::segnale:
    case TipoCella::indicatore_v_max:
    case TipoCella::abbattimento:
    case TipoCella::cartello:
      return chi;
    case TipoCella::fine_rallentamento:
      return "the end of " + chi;
    case TipoCella::inizio_rallentamento:
      return "the start of " + chi;
    case TipoCella::avviso_rallentamento:
      return "the warning board of " + chi;
    case TipoCella::prima_avviso:
      return "one of the four cells before the warning board of " + chi;
    case TipoCella::fermata:
      return "the stop of " + chi;
    case TipoCella::codice:
      return id != 0 && s.origini.record[id].chiave == Chiave::rallentamento
                 ? "a code cell added for " + chi
                 : chi;
    default:
      return "an object";
  }
}

}  // namespace genera
