#include "linecomp/source_reader.h"

#include <utility>

#include "model/text.h"

namespace genera {

LettoreSorgente::LettoreSorgente(std::string_view testo, QualeSorgente quale, std::string nome,
                                 ScenarioCompilato& s)
    : r_(testo), s_(s), quale_(quale), nome_(std::move(nome)) {}

bool LettoreSorgente::leggi_chiave() {
  auto campo = r_.leggi_testo();
  if (!campo) {
    guasto_campo();
    return false;
  }
  chiave_ = std::move(*campo);
  riga_chiave_ = r_.riga();
  colonna_chiave_ = r_.colonna();
  return true;
}

bool LettoreSorgente::commento() const { return contiene(chiave_, kCommento); }

LettoreSorgente::EsitoChiave LettoreSorgente::prossima_chiave(int commenti,
                                                            bool fine_nei_commenti) {
  if (r_.fine()) return EsitoChiave::fine;
  if (!leggi_chiave()) return EsitoChiave::guasto;
  if (r_.fine()) return EsitoChiave::fine;
  for (int i = 0; i < commenti && commento(); ++i) {
    if (!leggi_chiave()) return EsitoChiave::guasto;
    if (fine_nei_commenti && r_.fine()) return EsitoChiave::fine;
  }
  return EsitoChiave::letta;
}

bool LettoreSorgente::numero(int32_t& v) {
  const auto n = r_.leggi_numero();
  if (!n) {
    guasto_campo();
    return false;
  }
  v = *n;
  return true;
}

bool LettoreSorgente::numero(int64_t& v) {
  int32_t n = 0;
  if (!numero(n)) return false;
  v = n;
  return true;
}

bool LettoreSorgente::testo(std::string& valore) {
  auto t = r_.leggi_testo();
  if (!t) {
    guasto_campo();
    return false;
  }
  valore = std::move(*t);
  return true;
}

IdRecord LettoreSorgente::registra(Chiave chiave, int32_t posizione) {
  s_.origini.record.push_back({quale_, chiave, riga_chiave_, colonna_chiave_, posizione});
  return static_cast<IdRecord>(s_.origini.record.size() - 1);
}

Luogo LettoreSorgente::luogo(std::optional<int32_t> posizione) const {
  return {nome_, riga_chiave_, colonna_chiave_, posizione};
}

Passo LettoreSorgente::rifiuta(Rifiuto r) {
  if (r.codice == Codice::guasto_lettura) return guasto(std::move(r.testo), r.riga);
  Luogo dove = luogo(r.posizione);
  if (r.riga != 0) dove.riga = r.riga;
  genera::registra(s_, r.codice, std::move(dove), std::move(r.testo));
  return r.codice == Codice::oltre_griglia ? Passo::fine_morbida : Passo::fine_dura;
}

Passo LettoreSorgente::entro_griglia(int32_t p) {
  // In doubles: a position near the 32-bit limit is simply out of reach.
  if ((static_cast<double>(p) + 100) / kMetriCella <= s_.ultima_cella()) return Passo::continua;
  return rifiuta({Codice::oltre_griglia, p,
                  "record at " + std::to_string(p) + " m lies beyond the end of the grid"});
}

Passo LettoreSorgente::guasto(std::string testo, int riga) {
  testo_guasto_ = std::move(testo);
  riga_guasto_ = riga != 0 ? riga : riga_chiave_;
  return Passo::guasto;
}

}  // namespace genera
