#include "linecomp/source_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

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
    guasto_valore();
    return false;
  }
  ++valori_letti_;
  v = *n;
  return true;
}

// A value that cannot be read. When the record's values run out, name the
// record on its own line, not the next record's field it ran into.
void LettoreSorgente::guasto_valore() {
  const bool altrove = r_.guasto_fine() || r_.riga_guasto() != riga_chiave_;
  if (record_ == nullptr || !altrove) {
    guasto_campo();
    return;
  }
  std::string testo = "the " + std::string(record_->nome) + " record " + citazione(chiave_) +
                      " has " + std::to_string(valori_letti_) + " of its " +
                      std::to_string(record_->valori) + " values: ";
  std::vector<Nota> note;
  if (r_.guasto_fine()) {
    testo += "the file ends after them";
  } else {
    testo += "the next field, on line " + std::to_string(r_.riga_guasto()) + ", is not one (" +
             r_.guasto() + ")";
    note.push_back({{nome_, r_.riga_guasto(), r_.colonna(), std::nullopt},
                    "the field taken as its next value"});
  }
  guasto(std::move(testo));
  note_guasto_ = std::move(note);
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
    guasto_valore();
    return false;
  }
  ++valori_letti_;
  if (valore.npos != t->find_first_of("\r\n"))
    avvisa(s_, {nome_, r_.riga(), r_.colonna(), std::nullopt},
           "this quoted text runs on over a line end: is its closing quote missing?");
  valore = std::move(*t);
  return true;
}

std::string LettoreSorgente::in_codepage(const std::string& campo) {
  char32_t mancante = 0;
  std::string out = *in_cp1252(campo, &mancante, true);
  if (mancante != 0)
    segnala(s_, Codice::carattere_fuori_codepage, {nome_, r_.riga(), r_.colonna(), std::nullopt},
            citazione(campo) + " holds \"" + utf8(mancante) +
                "\", which code page 1252, the simulator's, does not have; it is stored as \"?\"");
  return out;
}

void LettoreSorgente::fuori_ordine(int32_t n, int32_t cursore, IdRecord prima) {
  if (n <= 0 || n >= cursore || record_ == nullptr) return;
  avvisa(s_, luogo(),
         "this " + std::string(record_->nome) + " record comes after one further along the line: "
         "its profile runs in order of position, so it writes one cell with the value before it",
         {{luogo_record(s_, prima), "the record further along"}});
}

void LettoreSorgente::inizia_record(Chiave chiave) {
  record_ = &parola_chiave(chiave);
  valori_letti_ = 0;
}

void LettoreSorgente::chiudi_record() {
  if (record_ != nullptr && valori_letti_ > 0 && r_.riga() != riga_chiave_)
    avvisa(s_, luogo(),
           "the " + std::string(record_->nome) + " record's values run on to line " +
               std::to_string(r_.riga()) + ": is a value missing on line " +
               std::to_string(riga_chiave_) + "?",
           {{{nome_, r_.riga(), r_.colonna(), std::nullopt}, "its last value is taken from here"}});
  record_ = nullptr;
}

namespace {

std::string_view senza_spazi(std::string_view s) {
  const std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool numero_scritto(std::string_view s) {
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

const char* dove_si_legge(Blocco b) {
  switch (b) {
    case Blocco::testata_linea:
      return "only in the line source's header block, between \"[generale]\" and the next "
             "section line";
    case Blocco::corpo_linea:
      return "only in the line source, after its header block";
    case Blocco::treno:
      return "only in the train source";
  }
  return "";
}

}  // namespace

void LettoreSorgente::chiave_ignota(Blocco blocco) {
  if (!r_.primo_della_riga()) return;
  const std::string_view k = senza_spazi(chiave_);
  if (k.empty()) return;
  if (numero_scritto(k)) {
    avvisa(s_, luogo(),
           "the value " + citazione(k) + " starts a line but belongs to no record: is a key "
           "missing, or a comma too many on the line before?");
    return;
  }
  if (contiene_esatto(k, "[") && contiene_esatto(k, "]")) return;
  for (const ParolaChiave& p : kParoleChiave) {
    if (p.blocco == blocco || !nomina(p, k)) continue;
    // The line source's header and body keys are told apart by where they stand.
    avvisa(s_, luogo(),
           citazione(k) + " names a " + std::string(p.nome) + " record, which is read " +
               dove_si_legge(p.blocco) + ": it is ignored here, with the fields after it");
    return;
  }
  const ParolaChiave* simile = nullptr;
  std::size_t migliore = 3;
  std::string perche;
  for (const ParolaChiave& p : kParoleChiave) {
    if (p.blocco != blocco) continue;
    for (std::string_view forma : {p.scritta, p.parola}) {
      const std::size_t d = distanza(k, forma);
      const std::size_t ammessa = forma.size() >= 8 ? 2 : 1;
      if (d <= ammessa && d < migliore) migliore = d, simile = &p, perche.clear();
    }
    if (simile == nullptr && !p.seconda.empty() &&
        (contiene(k, p.parola) || contiene(k, p.seconda)))
      simile = &p, perche = " (the key needs both \"" + std::string(p.parola) + "\" and \"" +
                            std::string(p.seconda) + "\")";
    if (p.maiuscole && contiene(k, p.parola) && contiene(k, p.seconda))
      simile = &p, perche = " (the header words must be written in lower case)";
  }
  std::string testo = "unknown record key " + citazione(k) +
                      " is ignored, with the fields after it on its line";
  if (simile != nullptr) testo += "; did you mean `" + std::string(simile->scritta) + "`?" + perche;
  avvisa(s_, luogo(), std::move(testo));
}

std::vector<Nota> LettoreSorgente::note_non_lette(Blocco blocco) const {
  FieldReader resto(r_.resto());
  int record = 0, prima = 0;
  while (!resto.fine()) {
    const auto campo = resto.leggi_testo();
    if (!campo) break;
    if (!resto.primo_della_riga()) continue;
    bool nomina_record = false;
    for (const ParolaChiave& p : kParoleChiave) {
      const bool stessa_sorgente = blocco == Blocco::treno ? p.blocco == Blocco::treno
                                                           : p.blocco != Blocco::treno;
      nomina_record = nomina_record || (stessa_sorgente && nomina(p, *campo));
    }
    if (!nomina_record || contiene(*campo, kCommento)) continue;
    if (record++ == 0) prima = r_.riga_resto() + resto.riga() - 1;
  }
  if (record == 0) return {};
  return {{{nome_, prima, 0, std::nullopt},
           std::to_string(record) + (record == 1 ? " record after it was" : " records after it were") +
               " not read, from line " + std::to_string(prima) + " on"}};
}

namespace {

// Records whose position is rounded to the grid; a station off the grid is
// an error of its own.
bool posizionato(Chiave c) {
  switch (c) {
    case Chiave::pendenza: case Chiave::curva: case Chiave::montagna:
    case Chiave::indicatori_v_max: case Chiave::cartello_indicatore: case Chiave::velocita:
    case Chiave::aderenza: case Chiave::segnale: case Chiave::rallentamento:
    case Chiave::abbattimento:
      return true;
    default:
      return false;
  }
}

// Records that set one value of the scenario: a second one replaces the first.
bool unico(Chiave c) {
  switch (c) {
    case Chiave::lunghezza_percorso: case Chiave::progressiva_tre: case Chiave::progressiva_due:
    case Chiave::progressiva_uno: case Chiave::sfondo_uno: case Chiave::sfondo_due:
    case Chiave::sfondo_tre: case Chiave::ripetizione_segnali: case Chiave::massa_frenata:
    case Chiave::vetture: case Chiave::orologio: case Chiave::sabbia:
      return true;
    default:
      return false;
  }
}

}  // namespace

IdRecord LettoreSorgente::registra(Chiave chiave, int32_t posizione) {
  s_.origini.record.push_back({quale_, chiave, riga_chiave_, colonna_chiave_, posizione});
  const auto id = static_cast<IdRecord>(s_.origini.record.size() - 1);
  const std::string nome_record(parola_chiave(chiave).nome);
  if (posizionato(chiave) && posizione % kMetriCella != 0)
    avvisa(s_, luogo(posizione),
           "the " + nome_record + " at " + std::to_string(posizione) +
               " m is not on the 50 m grid: it is placed by its rounded position");
  IdRecord& primo = primo_[static_cast<std::size_t>(chiave)];
  if (unico(chiave) && primo != 0)
    avvisa(s_, luogo(),
           "this " + nome_record + " record replaces the one before it, which has no effect",
           {{luogo_record(s_, primo), "the " + nome_record + " record it replaces"}});
  if (primo == 0) primo = id;
  return id;
}

Luogo LettoreSorgente::luogo(std::optional<int32_t> posizione) const {
  return {nome_, riga_chiave_, colonna_chiave_, posizione};
}

Passo LettoreSorgente::rifiuta(Rifiuto r) {
  if (r.codice == Codice::guasto_lettura) return guasto(std::move(r.testo), r.riga);
  Luogo dove = luogo(r.posizione);
  if (r.riga != 0) dove.riga = r.riga;
  genera::registra(s_, r.codice, std::move(dove), std::move(r.testo), note_di(s_, r.note));
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
  note_guasto_.clear();
  return Passo::guasto;
}

}  // namespace genera
