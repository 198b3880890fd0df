#include "linecomp/source_reader.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "model/text.h"

namespace genera {

LettoreSorgente::LettoreSorgente(std::string_view testo, QualeSorgente quale, std::string nome,
                                 ScenarioCompilato& s, const EliminaSorgente& elimina)
    : r_(testo), s_(s), quale_(quale), elimina_(elimina), nome_(std::move(nome)) {}

Esito LettoreSorgente::elimina_sorgente(Esito dopo) {
  std::string perche = elimina_(quale_);
  if (perche.empty()) return dopo;
  Esito e(Passo::guasto);
  e.testo = std::move(perche);
  e.eliminazione = true;
  return e;
}

Esito LettoreSorgente::con_non_lette(Esito e) const {
  for (Nota& n : note_non_lette(blocco_sorgente())) e.note.push_back(std::move(n));
  return e;
}

void LettoreSorgente::annota_fermata() {
  if (s_.diagnostiche.empty()) return;
  for (Nota& n : note_non_lette(blocco_sorgente()))
    s_.diagnostiche.back().note.push_back(std::move(n));
}

Esito LettoreSorgente::leggi_chiave() {
  auto campo = r_.read_text();
  if (!campo) return guasto_campo();
  chiave_ = std::move(*campo);
  riga_chiave_ = r_.line();
  colonna_chiave_ = r_.column();
  larghezza_chiave_ = r_.width();
  separatori_detti_ = false;
  return {};
}

bool LettoreSorgente::commento() const { return contiene(chiave_, kCommento); }

Esito LettoreSorgente::prossima_chiave(int commenti, bool fine_nei_commenti) {
  if (r_.at_end()) return Esito(Passo::fine_file);
  if (Esito e = leggi_chiave(); !e.prosegue()) return e;
  if (r_.at_end()) return Esito(Passo::fine_file);
  for (int i = 0; i < commenti && commento(); ++i) {
    commento_con_record();
    if (Esito e = leggi_chiave(); !e.prosegue()) return e;
    if (fine_nei_commenti && r_.at_end()) return Esito(Passo::fine_file);
  }
  return {};
}

bool LettoreSorgente::numero(int32_t& v, Esito& e) {
  const auto n = r_.read_number();
  if (!n) {
    e = guasto_valore();
    return false;
  }
  controlla_valore(*n);
  ++valori_letti_;
  v = *n;
  return true;
}

namespace {

std::string con_unita(int64_t v, std::string_view unita, bool segno = false) {
  std::string out = (segno && v > 0 ? "+" : "") + std::to_string(v);
  if (unita.empty()) return out;
  return out + " " + std::string(unita);
}

}  // namespace

Luogo LettoreSorgente::luogo_campo() const {
  Luogo l{nome_, r_.line(), r_.column(), std::nullopt};
  l.larghezza = r_.width();
  return l;
}

// The value just read against its field in the schema: what storing does
// to it, and whether it makes sense, alone and after the field before it.
void LettoreSorgente::controlla_valore(int64_t v) {
  // Every value read passes here: the common case, a value that fits and
  // makes sense, costs a few comparisons and no string.
  const auto i = static_cast<std::size_t>(valori_letti_);
  if (i >= campi_.size() || i >= valori_.size()) return;
  const Campo* c = &campi_[i];
  valori_[i] = v;
  const bool relazione = i > 0 && (c->vincolo == Vincolo::dopo_precedente ||
                                   (c->vincolo == Vincolo::zero_o_dopo_precedente && v != 0));
  if (memorizzabile(*c, v) && sensato(*c, v) && (!relazione || v > valori_[i - 1])) return;
  const SchemaRecord& r = schema_record(record_->chiave);
  const std::string nome = "`" + std::string(c->nome) + "`";
  const std::string_view u = c->unita;
  if (!memorizzabile(*c, v)) {
    // A refusal or a failure of the reading follows from the rules; a
    // value that wraps goes through in silence unless said here.
    if (c->fuori != Fuori::basso_8 && c->fuori != Fuori::basso_16) return;
    const auto letto = riletto(*c, v);
    if (!letto) return;
    const int64_t memorizzato = *letto + c->scarto;
    std::string testo = nome + " " + con_unita(v, u) + " does not fit its stored field (" +
                        scrivi_memorizzabile(*c) + "): it is stored as " +
                        std::to_string(memorizzato);
    if (memorizzato != *letto || !u.empty())
      testo += ", which reads back as " + con_unita(*letto, u, c->scarto != 0);
    avvisa(s_, Avviso::valore_avvolto, luogo_campo(), std::move(testo), {},
           "give " + std::string(c->nome) + " a value from " + scrivi_memorizzabile(*c));
    return;
  }
  const bool nel_senso = sensato(*c, v);
  const bool multiplo_regole =
      c->multiplo != 0 && c->codice_multiplo != Codice::nessuno && v % c->multiplo != 0;
  bool in_relazione = true;
  if (i > 0 && (c->vincolo == Vincolo::dopo_precedente ||
                (c->vincolo == Vincolo::zero_o_dopo_precedente && v != 0)))
    in_relazione = v > valori_[i - 1];
  if (!in_relazione) {
    const Campo& prima = r.campi[i - 1];
    std::string testo = nome + " " + con_unita(v, u) + " is not after `" + std::string(prima.nome) +
                        "` " + con_unita(valori_[i - 1], prima.unita);
    std::string aiuto = "give the start first and the end after it";
    if (c->vincolo == Vincolo::zero_o_dopo_precedente) aiuto += ", or 0 for none";
    segnala_errore(s_, Codice::fine_prima_di_inizio, luogo_campo(), std::move(testo));
    s_.diagnostiche.back().aiuto = std::move(aiuto);
    return;
  }
  if (nel_senso || (multiplo_regole && v >= c->sensato_min && v <= c->sensato_max)) return;
  std::string testo = nome + " " + con_unita(v, u);
  const bool nel_campo = v >= c->sensato_min && v <= c->sensato_max;
  if (!nel_campo) {
    const bool senza_limite = c->sensato_max == INT32_MAX || c->sensato_min == INT32_MIN;
    if (c->vincolo == Vincolo::zero_o_sensato)
      testo += " is neither 0 nor in " + std::to_string(c->sensato_min) + " to " +
               std::to_string(c->sensato_max);
    else if (c->sensato_min == 1 && c->sensato_max == INT32_MAX)
      testo += " is not above 0";
    else if (senza_limite && c->sensato_max == INT32_MAX)
      testo += " is below " + std::to_string(c->sensato_min);
    else
      testo +=
          " is outside " + std::to_string(c->sensato_min) + " to " + std::to_string(c->sensato_max);
  } else {
    testo += " is not a multiple of " + std::to_string(c->multiplo);
  }
  const auto letto = riletto(*c, v);
  if (letto && *letto != v) testo += ": it is stored as " + con_unita(*letto, u);
  const std::string aiuto = "give " + std::string(c->nome) + " a value: " + scrivi_sensato(r, *c);
  if (c->sensato_min == 1 && c->unita == "m" && !nel_campo) {
    // A length of nothing, or a reversed one, lays what was not meant.
    const Codice codice = record_->chiave == Chiave::lunghezza_percorso
                              ? Codice::linea_senza_lunghezza
                              : Codice::misura_non_positiva;
    segnala_errore(s_, codice, luogo_campo(), std::move(testo));
    s_.diagnostiche.back().aiuto = aiuto;
    return;
  }
  avvisa(s_, Avviso::valore_insensato, luogo_campo(), std::move(testo), {}, aiuto);
}

// After a record applied whole: what stands after its last value on the
// same line is not part of it.
void LettoreSorgente::controlla_resto() {
  const std::string_view resto = r_.rest_of_line();
  const std::size_t inizio = resto.find_first_not_of(" \t,");
  if (inizio == std::string_view::npos) return;
  // A record's values may run on: the rest of the line is then another
  // record's, or a comment.
  if (r_.line() != riga_chiave_) return;
  const std::string_view avanzo = resto.substr(inizio);
  for (const ParolaChiave& p : kParoleChiave)
    if (nomina(p, avanzo)) return;
  if (contiene(avanzo, kCommento) || contiene_esatto(avanzo, "[")) return;
  Luogo dove{nome_, r_.line(), r_.rest_column() + static_cast<int>(inizio), std::nullopt};
  std::size_t fine = avanzo.find_last_not_of(" \t,");
  dove.larghezza = static_cast<int>(fine + 1);
  const std::string_view mostrato = avanzo.substr(0, fine + 1);
  const bool testo_finale =
      record_ != nullptr && schema_record(record_->chiave).campi.back().lettura == Lettura::testo;
  if (testo_finale) return;  // said by the text's own check
  const bool cifre = mostrato.find_first_not_of("0123456789") == std::string_view::npos;
  // "12,5": digits right after the comma that closed a number.
  const bool decimale = cifre && inizio == 0 && r_.ended_at_comma() && r_.width() > 0 &&
                        r_.column() + r_.width() + 1 == r_.rest_column();
  if (decimale) {
    avvisa(s_, Avviso::valori_avanzati, dove,
           "`" + std::string(mostrato) + "` is left over after the " +
               std::string(record_ != nullptr ? record_->nome : "record") +
               " record: is it a decimal comma? The number before it is read whole, and " +
               std::string(mostrato) + " is not read",
           {}, "numbers are whole metres or units: write a whole number, without the comma");
    return;
  }
  avvisa(s_, Avviso::valori_avanzati, dove,
         "`" + std::string(mostrato) + "` is left over after the " +
             std::string(record_ != nullptr ? record_->nome : "record") + " record's " +
             std::to_string(valori_letti_) + " values: it is read as keys and ignored",
         {}, "leave out the extra value, or check the record's fields in the manual");
}

// A value that cannot be read. When the record's values run out, name the
// record on its own line, not the next record's field it ran into.
Esito LettoreSorgente::guasto_valore() const {
  const bool altrove = r_.failed_at_end() || r_.failure_line() != riga_chiave_;
  if (record_ == nullptr || !altrove) return guasto_campo();
  std::string testo = "the " + std::string(record_->nome) + " record " + citazione(chiave_) +
                      " has " + std::to_string(valori_letti_) + " of its " +
                      std::to_string(record_->valori) + " values: ";
  std::vector<Nota> note;
  if (r_.failed_at_end()) {
    testo += "the file ends after them";
  } else {
    testo += "the next field, on line " + std::to_string(r_.failure_line()) + ", is not one (" +
             r_.failure() + ")";
    note.push_back({{nome_, r_.failure_line(), r_.column(), std::nullopt},
                    "the field taken as its next value"});
  }
  Esito e = guasto(std::move(testo));
  e.note = std::move(note);
  return e;
}

bool LettoreSorgente::numero(int64_t& v, Esito& e) {
  int32_t n = 0;
  if (!numero(n, e)) return false;
  v = n;
  return true;
}

Esito LettoreSorgente::testo(std::string& valore) {
  auto t = r_.read_text();
  if (!t) return guasto_valore();
  const auto i = static_cast<std::size_t>(valori_letti_);
  // A text holds no number for the field after it to be compared with.
  if (i < valori_.size()) valori_[i] = 0;
  ++valori_letti_;
  const std::string_view campo = i < campi_.size() ? campi_[i].nome : "text";
  if (testo_sospetto(*t, campo)) {
    valore = std::move(*t);
    return {};
  }
  controlla_testo(*t, campo);
  if (valore.npos != t->find_first_of("\r\n"))
    avvisa(s_, Avviso::virgolette_aperte, luogo_campo(),
           "this quoted text runs on over a line end: is its closing quote missing?", {},
           "close the quote on the same line");
  if (!r_.quoted() && r_.ended_at_comma()) {
    std::string_view resto = r_.rest_of_line();
    const std::size_t fine = resto.find_last_not_of(" \t,");
    if (fine != std::string_view::npos) {
      Luogo dove = luogo_campo();
      dove.larghezza = r_.rest_column() + static_cast<int>(fine) + 1 - dove.colonna;
      avvisa(s_, Avviso::testo_tagliato, std::move(dove),
             "this text ends at a comma: " + citazione(*t) + " is stored, and " +
                 citazione(resto.substr(resto.find_first_not_of(" \t"),
                                        fine + 1 - resto.find_first_not_of(" \t"))) +
                 " after the comma is not",
             {},
             "put the whole text in double quotes: \"" + *t + "," +
                 std::string(resto.substr(0, fine + 1)) + "\"");
    }
  }
  valore = std::move(*t);
  return {};
}

std::string LettoreSorgente::in_codepage(const std::string& campo) {
  char32_t mancante = 0;
  std::string out = *in_cp1252(campo, &mancante, true);
  if (out.size() > kNomeMassimo) {
    // The writer stores the first kNomeMassimo bytes: say where the text ends.
    const std::string_view tenuto(out.data(), kNomeMassimo);
    avvisa(s_, Avviso::testo_troncato, luogo_campo(),
           "this text is " + std::to_string(out.size()) +
               " bytes long in code page 1252, and its stored field holds " +
               std::to_string(kNomeMassimo) + ": only the first " + std::to_string(kNomeMassimo) +
               " are stored, up to " + citazione(tenuto.substr(tenuto.size() - 20)),
           {}, "shorten the text; if it takes in the lines after it, close its quote");
  }
  if (mancante != 0)
    segnala_errore(
        s_, Codice::carattere_fuori_codepage, {nome_, r_.line(), r_.column(), std::nullopt},
        citazione(campo) + " holds \"" + utf8(mancante) +
            "\", which code page 1252, the simulator's, does not have; it is stored as \"?\"");
  return out;
}

void LettoreSorgente::fuori_ordine(int32_t n, int32_t cursore, IdRecord prima) {
  // The first record of a profile (none before it) is in order wherever it is.
  if (record_ == nullptr || prima == 0 || prima >= s_.origini.record.size()) return;
  const int32_t n_prima =
      arrotonda_cella(static_cast<double>(s_.origini.record[prima].posizione) / kMetriCella);
  const std::string nome(record_->nome);
  if (n == n_prima) {
    avvisa(s_, Avviso::profilo_stessa_posizione, luogo(),
           "this " + nome + " record is at the same cell, " + std::to_string(n) +
               ", as the one before it: " +
               (n > 0 ? "the one before writes one cell only" : "the one before has no effect"),
           {{luogo_record(s_, prima), "the " + nome + " record before it"}},
           "keep one of the two, or mend the position");
    return;
  }
  if (n >= n_prima && (n <= 0 || n >= cursore)) return;
  avvisa(s_, Avviso::profilo_fuori_ordine, luogo(),
         "this " + nome + " record comes after one further along the line: " +
             (n > 0 ? "its profile runs in order of position, so it writes one cell with the "
                      "value before it"
                    : "at cell " + std::to_string(n) +
                          " it writes no cell, and its value replaces the one before it from "
                          "cell " +
                          std::to_string(cursore) + " on"),
         {{luogo_record(s_, prima), "the record further along"}},
         "sort the " + nome + " records by position");
}

namespace {

// True when a key holds two numbers apart by blanks: values that should
// have stood after commas.
bool numeri_nella_chiave(std::string_view k) {
  int numeri = 0;
  std::size_t i = 0;
  while (i < k.size()) {
    const std::size_t a = k.find_first_not_of(' ', i);
    if (a == std::string_view::npos) break;
    std::size_t b = k.find(' ', a);
    if (b == std::string_view::npos) b = k.size();
    std::string_view parola = k.substr(a, b - a);
    if (!parola.empty() && (parola[0] == '-' || parola[0] == '+')) parola.remove_prefix(1);
    if (!parola.empty() && parola.find_first_not_of("0123456789") == std::string_view::npos)
      ++numeri;
    i = b;
  }
  return numeri >= 2;
}

}  // namespace

void LettoreSorgente::inizia_record(Chiave chiave) {
  record_ = &parola_chiave(chiave);
  campi_ = schema_record(chiave).campi;
  valori_letti_ = 0;
  testo_fuori_posto_ = false;
  if (separatori_detti_) return;
  separatori_detti_ = true;
  // A key with no semicolon, tab or blank needs no closer look.
  if (std::none_of(chiave_.begin(), chiave_.end(),
                   [](char c) { return c == ';' || c == ' ' || c == '\t'; }))
    return;
  const char* quale = nullptr;
  if (contiene_esatto(chiave_, ";"))
    quale = "semicolons";
  else if (contiene_esatto(chiave_, "\t"))
    quale = "tabs";
  else if (numeri_nella_chiave(chiave_))
    quale = "blanks";
  if (quale == nullptr) return;
  Luogo dove = luogo();
  dove.larghezza = larghezza_chiave_;
  segnala_errore(s_, Codice::separatore_errato, std::move(dove),
                 "this " + std::string(record_->nome) + " record's fields are separated by " +
                     quale + ", not commas: the whole line " + citazione(chiave_) +
                     " is read as its key, and its values are taken from the lines after it");
  s_.diagnostiche.back().aiuto = "separate the key and every value with a comma, as in \"" +
                                 std::string(record_->scritta) + ", ...\"";
}

void LettoreSorgente::chiudi_record() {
  // A text said to be another field has said why the values ran on.
  const bool detto = testo_fuori_posto_;
  if (record_ != nullptr && valori_letti_ > 0 && !detto && r_.line() != riga_chiave_)
    avvisa(s_, Avviso::valori_a_capo, luogo(),
           "the " + std::string(record_->nome) + " record's values run on to line " +
               std::to_string(r_.line()) + ": is a value missing on line " +
               std::to_string(riga_chiave_) + "?",
           {{{nome_, r_.line(), r_.column(), std::nullopt}, "its last value is taken from here"}});
  else if (record_ != nullptr && valori_letti_ > 0 && !detto)
    controlla_resto();
  controlla_sovrascritture();
  record_ = nullptr;
  campi_ = {};
}

namespace {

const char* nome_strato(IdRecord OrigineCella::*strato) {
  if (strato == &OrigineCella::galleria) return "tunnel kind";
  if (strato == &OrigineCella::avviso) return "approach markers";
  return "values";
}

const char* nota_strato(IdRecord OrigineCella::*strato) {
  if (strato == &OrigineCella::galleria) return "the tunnel whose kind is written over";
  if (strato == &OrigineCella::avviso) return "the record whose approach markers are written over";
  return "the record written over";
}

}  // namespace

// One warning for each earlier record this one wrote over.
void LettoreSorgente::controlla_sovrascritture() {
  std::vector<Sovrascrittura>& diario = s_.origini.sovrascritture;
  while (!diario.empty()) {
    const Sovrascrittura primo = diario.front();
    std::vector<int32_t> celle;
    std::vector<Sovrascrittura> resto;
    for (const Sovrascrittura& w : diario) {
      if (w.prima == primo.prima && w.dopo == primo.dopo && w.strato == primo.strato)
        celle.push_back(w.cella);
      else
        resto.push_back(w);
    }
    diario = std::move(resto);
    const std::string strato = nome_strato(primo.strato);
    std::sort(celle.begin(), celle.end());
    std::string elenco = std::to_string(celle.front());
    if (celle.size() > 1) elenco += " to " + std::to_string(celle.back());
    const std::string chi = record_ != nullptr ? std::string(record_->nome) : "record";
    avvisa(s_, Avviso::scrittura_sovrapposta, luogo(),
           "this " + chi + " writes its " + strato + " over what " +
               descrivi_record(s_, primo.prima) + " wrote on cell" +
               (celle.size() > 1 ? "s " : " ") + elenco,
           {{luogo_record(s_, primo.prima), nota_strato(primo.strato)}},
           "move one of the two, or leave out the one given twice");
  }
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
  if (!r_.first_on_line()) return;
  const std::string_view k = senza_spazi(chiave_);
  if (k.empty()) return;
  if (numero_scritto(k)) {
    avvisa(s_, Avviso::valore_a_inizio_riga, luogo(),
           "the value " + citazione(k) +
               " starts a line but belongs to no record: is a key "
               "missing, or a comma too many on the line before?");
    return;
  }
  if (contiene_esatto(k, "[") && contiene_esatto(k, "]")) return;
  for (const ParolaChiave& p : kParoleChiave) {
    if (p.blocco == blocco || !nomina(p, k)) continue;
    // The line source's header and body keys are told apart by where they stand.
    avvisa(s_, Avviso::chiave_fuori_posto, luogo(),
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
  std::string testo =
      "unknown record key " + citazione(k) + " is ignored, with the fields after it on its line";
  std::string aiuto;
  if (simile != nullptr) {
    testo += "; did you mean `" + std::string(simile->scritta) + "`?" + perche;
    aiuto = "write `" + std::string(simile->scritta) + "`";
  }
  Luogo dove = luogo();
  dove.larghezza = larghezza_chiave_;
  avvisa(s_, Avviso::chiave_ignota, std::move(dove), std::move(testo), {}, std::move(aiuto));
}

namespace {

// The record of this source whose key `k` is, written whole: a text that
// is a key, not one that merely holds a keyword ("Stazione Centrale").
const ParolaChiave* chiave_intera(std::string_view k, bool treno) {
  for (const ParolaChiave& p : kParoleChiave) {
    if ((p.blocco == Blocco::treno) != treno) continue;
    for (std::string_view forma : {p.scritta, p.parola})
      if (forma.size() == k.size() && contiene(k, forma)) return &p;
  }
  return nullptr;
}

}  // namespace

// A comment passed over: when it starts its line, does not start with a
// hyphen and names a record of this source, it is most likely a record
// whose key holds a hyphen, lost with its values.
void LettoreSorgente::commento_con_record() {
  if (!r_.first_on_line()) return;
  const std::string_view k = senza_spazi(chiave_);
  if (k.empty() || k[0] == '-') return;
  const bool treno = quale_ == QualeSorgente::treno;
  for (const ParolaChiave& p : kParoleChiave) {
    if ((p.blocco == Blocco::treno) != treno || !nomina(p, k)) continue;
    Luogo dove = luogo();
    dove.larghezza = larghezza_chiave_;
    avvisa(s_, Avviso::commento_con_record, std::move(dove),
           "the key " + citazione(k) + " names a " + std::string(p.nome) +
               " record, but it holds a hyphen, so it is read as a comment: the record is not "
               "read, and its values are passed over",
           {}, "take the hyphen out of the key; a comment starts with \"-\"");
    return;
  }
}

// A text that is plainly another field: from a later line than the key
// (the text left out), a bare number (a value too many before it), or a
// record's key. Said once, in place of the checks of a text.
bool LettoreSorgente::testo_sospetto(const std::string& t, std::string_view campo) {
  const bool altra_riga = r_.line() != riga_chiave_;
  if (!altra_riga && r_.quoted()) return false;
  const std::string_view k = senza_spazi(t);
  const bool numero = !r_.quoted() && numero_scritto(k);
  const ParolaChiave* chiave =
      r_.quoted() ? nullptr : chiave_intera(k, quale_ == QualeSorgente::treno);
  if (!altra_riga && !numero && chiave == nullptr) return false;
  const std::string nome = record_ != nullptr ? std::string(record_->nome) : "record";
  std::string testo = "the " + nome + " record's `" + std::string(campo) + "` is " + citazione(k);
  std::string aiuto;
  std::vector<Nota> note;
  if (altra_riga) {
    testo += ", taken from line " + std::to_string(r_.line());
    if (chiave != nullptr)
      testo += ", where it is the key of a " + std::string(chiave->nome) + " record";
    testo += ": is it missing on line " + std::to_string(riga_chiave_) + "?";
    if (chiave != nullptr)
      testo += " The record on line " + std::to_string(r_.line()) + " is not read";
    note.push_back({luogo_campo(), "the field taken as its `" + std::string(campo) + "`"});
    aiuto = "give the `" + std::string(campo) + "` on line " + std::to_string(riga_chiave_) +
            ", after a comma";
  } else if (numero) {
    testo += ", a number: is there a value too many before it?";
    const std::string_view resto = senza_spazi(r_.rest_of_line());
    if (r_.ended_at_comma() && !resto.empty())
      testo += " " + citazione(resto) + " after it is not read";
    aiuto = "count the record's values: the `" + std::string(campo) + "` comes last";
  } else {
    testo += ", the key of a " + std::string(chiave->nome) + " record: is the `" +
             std::string(campo) + "` missing?";
    aiuto = "write the `" + std::string(campo) + "` in double quotes if it is meant";
  }
  Luogo dove = altra_riga ? luogo() : luogo_campo();
  avvisa(s_, Avviso::testo_fuori_posto, std::move(dove), std::move(testo), std::move(note),
         std::move(aiuto));
  testo_fuori_posto_ = true;
  return true;
}

// What a text loses or hides: the part after its closing quote, all of it
// when it is empty, a control character no display shows.
void LettoreSorgente::controlla_testo(const std::string& t, std::string_view campo) {
  const std::string nome = record_ != nullptr ? std::string(record_->nome) : "record";
  if (std::string_view dopo = r_.after_quote(); r_.quoted() && !dopo.empty()) {
    Luogo dove{nome_, r_.line(), r_.after_quote_column(), std::nullopt};
    dove.larghezza = static_cast<int>(dopo.size());
    avvisa(s_, Avviso::testo_dopo_virgolette, std::move(dove),
           citazione(dopo) + " stands after the closing quote of " + citazione(t) +
               ": it is not stored",
           {}, "put the whole `" + std::string(campo) + "` inside the double quotes");
  }
  if (senza_spazi(t).empty()) {
    avvisa(s_, Avviso::testo_vuoto, luogo_campo(),
           "the " + nome + " record's `" + std::string(campo) + "` is empty", {},
           "write the `" + std::string(campo) + "` after the last comma");
    return;
  }
  const auto controllo = std::find_if(t.begin(), t.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b < 0x20 && b != '\r' && b != '\n') || b == 0x7F;
  });
  if (controllo == t.end()) return;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(*controllo));
  avvisa(s_, Avviso::carattere_di_controllo, luogo_campo(),
         "the " + nome + " record's `" + std::string(campo) + "` holds the control character " +
             byte + " after " + citazione(std::string_view(t).substr(0, controllo - t.begin())) +
             ": it is stored, but no display shows it as a character",
         {}, "delete the character; an editor that shows invisible characters finds it");
}

std::vector<Nota> LettoreSorgente::note_non_lette(Blocco blocco) const {
  FieldReader resto(r_.rest());
  int record = 0, prima = 0;
  while (!resto.at_end()) {
    const auto campo = resto.read_text();
    if (!campo) break;
    if (!resto.first_on_line()) continue;
    bool nomina_record = false;
    for (const ParolaChiave& p : kParoleChiave) {
      const bool stessa_sorgente =
          blocco == Blocco::treno ? p.blocco == Blocco::treno : p.blocco != Blocco::treno;
      nomina_record = nomina_record || (stessa_sorgente && nomina(p, *campo));
    }
    if (!nomina_record || contiene(*campo, kCommento)) continue;
    if (record++ == 0) prima = r_.rest_line() + resto.line() - 1;
  }
  if (record == 0) return {};
  return {{{nome_, prima, 0, std::nullopt},
           std::to_string(record) +
               (record == 1 ? " record after it was" : " records after it were") +
               " not read, from line " + std::to_string(prima) + " on"}};
}

namespace {

// Records whose position is rounded to the grid; a station off the grid is
// an error of its own.
bool posizionato(Chiave c) { return ha_posizione(c) && c != Chiave::stazione; }

// Records that set one value of the scenario: a second one replaces the first.
bool unico(Chiave c) {
  switch (c) {
    case Chiave::lunghezza_percorso:
    case Chiave::progressiva_tre:
    case Chiave::progressiva_due:
    case Chiave::progressiva_uno:
    case Chiave::sfondo_uno:
    case Chiave::sfondo_due:
    case Chiave::sfondo_tre:
    case Chiave::ripetizione_segnali:
    case Chiave::massa_frenata:
    case Chiave::vetture:
    case Chiave::orologio:
    case Chiave::sabbia:
      return true;
    default:
      return false;
  }
}

}  // namespace

IdRecord LettoreSorgente::annota_record(Chiave chiave, int32_t posizione) {
  s_.origini.record.push_back({quale_, chiave, riga_chiave_, colonna_chiave_, posizione});
  const auto id = static_cast<IdRecord>(s_.origini.record.size() - 1);
  const std::string_view nome_record = parola_chiave(chiave).nome;
  // A length of 0 or less is an error of its own: every record lies past it.
  if (posizionato(chiave) && !s_.percorso.empty() && lunghezza_linea(s_) > 0 &&
      posizione > lunghezza_linea(s_) && posizione <= int64_t{lunghezza_linea(s_)} + kCodaLinea)
    avvisa(s_, Avviso::oltre_fine_linea, luogo(posizione),
           "the " + std::string(nome_record) + " at " + std::to_string(posizione) +
               " m lies past the line's end at " + std::to_string(lunghezza_linea(s_)) +
               " m, in the grid's tail",
           {}, "check the position, or the line length in \"lunghezza percorso\"");
  if (posizionato(chiave) && posizione % kMetriCella != 0)
    avvisa(s_, Avviso::fuori_passo_50, luogo(posizione),
           "the " + std::string(nome_record) + " at " + std::to_string(posizione) +
               " m is not on the 50 m grid: it is placed by its rounded position");
  IdRecord& primo = primo_[static_cast<std::size_t>(chiave)];
  if (unico(chiave) && primo != 0)
    avvisa(s_, Avviso::record_sostituito, luogo(),
           "this " + std::string(nome_record) +
               " record replaces the one before it, which has no effect",
           {{luogo_record(s_, primo), "the " + std::string(nome_record) + " record it replaces"}});
  if (primo == 0) primo = id;
  return id;
}

Luogo LettoreSorgente::luogo(std::optional<int32_t> posizione) const {
  return {nome_, riga_chiave_, colonna_chiave_, posizione};
}

Esito LettoreSorgente::colloca(Esito e) {
  if (e.codice == Codice::nessuno) return e;
  if (e.codice == Codice::guasto_lettura) return guasto(std::move(e.testo), e.riga, e.colonna);
  Luogo dove = luogo(e.posizione);
  if (e.riga != 0) dove.riga = e.riga;
  registra_errore_delle_regole(s_, e.codice, std::move(dove), std::move(e.testo),
                               std::move(e.note));
  return Esito(e.passo);
}

Esito LettoreSorgente::entro_griglia(int32_t p) {
  // In doubles: a position near the 32-bit limit is simply out of reach.
  if ((static_cast<double>(p) + 100) / kMetriCella <= s_.ultima_cella()) return {};
  return {Codice::oltre_griglia, p,
          "record at " + std::to_string(p) + " m lies beyond the end of the grid", 0,
          nota_lunghezza()};
}

// Where the grid's end comes from: the line length, when a record gave it.
std::vector<Nota> LettoreSorgente::nota_lunghezza() const {
  // The train's records share the length's entry: the record is looked up.
  const std::vector<RecordSorgente>& record = s_.origini.record;
  std::size_t id = record.size();
  while (--id > 0 && record[id].chiave != Chiave::lunghezza_percorso) {
  }
  if (id == 0) return {};
  return {{luogo_record(s_, static_cast<IdRecord>(id)),
           "the line length " + std::to_string(lunghezza_linea(s_)) +
               " m, which the grid runs 7000 m past, is set here"}};
}

Esito LettoreSorgente::guasto(std::string testo, int riga, int colonna) const {
  Esito e(Passo::guasto);
  e.testo = std::move(testo);
  e.riga = riga != 0 ? riga : riga_chiave_;
  // A field's own column; a record's key when the record as a whole failed;
  // none past the end of the file (-1).
  e.colonna = colonna > 0 ? colonna : colonna < 0 ? 0 : riga == 0 ? colonna_chiave_ : 0;
  return e;
}

}  // namespace genera
