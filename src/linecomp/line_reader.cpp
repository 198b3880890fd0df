#include "linecomp/line_reader.h"

#include <optional>
#include <string>
#include <utility>

#include "linecomp/field_reader.h"
#include "linecomp/gradients_curves.h"
#include "linecomp/progressives.h"
#include "linecomp/tunnels_boards.h"
#include "files/file_system.h"
#include "model/run_failure.h"

namespace genera {
namespace {

constexpr int kCommentiTestata = 10;  // comments in a row replaced in the header
constexpr int kCommentiCorpo = 2;     // ... and in the body

class LettoreLinea {
 public:
  LettoreLinea(Form1& f, std::string_view testo) : f_(f), r_(testo) {}

  // Steps 3 to 8 of the line half; false when the parse has ended.
  bool leggi();

  int riga_chiave() const { return riga_chiave_; }

 private:
  bool cerca_generale();
  bool testata();
  bool prove_testata();
  bool ripetizione_segnali();
  enum class esito { continua, fine_corpo, fine_lettura };
  esito corpo();
  esito prove_corpo();
  bool entro_griglia(int32_t p);

  void leggi_chiave() {
    f_.campo_letto = r_.leggi_testo();
    riga_chiave_ = r_.riga();
  }
  bool commento() const { return contiene(f_.campo_letto, "-"); }

  // Records the failure, deletes the source and ends the parse.
  bool fallisci(int32_t codice, std::optional<int32_t> posizione, std::string testo);
  esito fallisci(messaggio m) {
    fallisci(m.codice, m.posizione, std::move(m.testo));
    return esito::fine_lettura;
  }
  void elimina_sorgente() { f_.file_system->remove(f_.sorgente_linea.percorso); }

  Form1& f_;
  FieldReader r_;
  int riga_chiave_ = 0;
};

bool LettoreLinea::fallisci(int32_t codice, std::optional<int32_t> posizione, std::string testo) {
  f_.codice_errore = codice;
  if (posizione) f_.posizione_errore = *posizione;
  f_.messaggi.push_back(
      {f_.sorgente_linea.nome, riga_chiave_, codice, posizione, std::move(testo)});
  elimina_sorgente();
  return false;
}

bool LettoreLinea::cerca_generale() {
  for (;;) {
    // An empty file holds no "[generale]" either: code 102, not a read past the end.
    if (r_.fine()) break;
    leggi_chiave();
    if (r_.fine()) break;
    if (contiene(f_.campo_letto, "[generale]")) return true;
  }
  riga_chiave_ = 0;
  return fallisci(102, std::nullopt, "no field holds \"[generale]\" before the end of the file");
}

bool LettoreLinea::ripetizione_segnali() {
  voce_testata& v = f_.testata_linea[kVoceRipetizione];
  const std::string chiave = f_.campo_letto;
  v.dato1 = r_.leggi_numero();
  v.dato2 = r_.leggi_numero();
  if (v.dato1 % kMetriCella != 0)
    return fallisci(3, std::nullopt,
                    "the cab-signal repetition starts at " + std::to_string(v.dato1) +
                        " m, not a multiple of 50 m");
  if (v.dato2 % kMetriCella != 0)
    return fallisci(4, std::nullopt,
                    "the cab-signal repetition ends at " + std::to_string(v.dato2) +
                        " m, not a multiple of 50 m");
  if (contiene_esatto(chiave, "4")) {
    v.dato3 = 4;
  } else if (contiene_esatto(chiave, "9")) {
    v.dato3 = 9;
  } else {
    return fallisci(5, std::nullopt,
                    "the cab-signal repetition " + citazione(chiave) + " names neither 4 nor 9 codes");
  }
  if (v.dato2 == 0) v.dato3 = 0;
  return true;
}

// The eight header tests, each on the same key field, in this order.
bool LettoreLinea::prove_testata() {
  const std::string chiave = f_.campo_letto;
  if (contiene(chiave, "percorso") && contiene(chiave, "lunghezza")) {
    const int32_t lunghezza = r_.leggi_numero();
    f_.testata_linea[kVoceTreno].dato2 = lunghezza;
    if (lunghezza > kLunghezzaMassima)
      return fallisci(1, std::nullopt,
                      "the line length " + std::to_string(lunghezza) + " m exceeds " +
                          std::to_string(kLunghezzaMassima) + " m");
    alloca_percorso(f_, lunghezza);
  }
  const struct {
    const char* parola;
    int voce;
  } progressive[] = {
      {"tre", kVoceProgressivaTre}, {"due", kVoceProgressivaDue}, {"uno", kVoceProgressivaUno}};
  for (const auto& p : progressive) {
    if (contiene_esatto(chiave, p.parola) && contiene_esatto(chiave, "progressiva")) {
      voce_testata& v = f_.testata_linea[p.voce];
      v.dato1 = r_.leggi_numero();
      v.dato2 = r_.leggi_numero();
      v.dato3 = r_.leggi_numero();
    }
  }
  // The backgrounds cross over: "due" goes to dato3, "tre" to dato2.
  voce_testata& linea = f_.testata_linea[kVoceLinea];
  const struct {
    const char* parola;
    int32_t voce_testata::*campo;
  } sfondi[] = {
      {"uno", &voce_testata::dato1}, {"due", &voce_testata::dato3}, {"tre", &voce_testata::dato2}};
  for (const auto& s : sfondi) {
    if (contiene_esatto(chiave, "sfondo") && contiene_esatto(chiave, s.parola))
      linea.*s.campo = r_.leggi_numero();
  }
  if (contiene_esatto(chiave, "segnali") && contiene_esatto(chiave, "ripetizione"))
    return ripetizione_segnali();
  return true;
}

bool LettoreLinea::testata() {
  for (;;) {
    if (r_.fine()) return true;
    leggi_chiave();
    if (r_.fine()) return true;
    // No end-of-file test here: a comment that runs past the end is a read
    // past the end.
    for (int i = 0; i < kCommentiTestata && commento(); ++i) leggi_chiave();
    if (!prove_testata()) return false;
    const std::string& c = f_.campo_letto;
    const std::size_t primo = c.find_first_not_of(' ');
    const bool inizia_con_trattino = primo != std::string::npos && c[primo] == '-';
    if (contiene_esatto(c, "[") && contiene_esatto(c, "]") && !inizia_con_trattino) return true;
  }
}

bool LettoreLinea::entro_griglia(int32_t p) {
  if (f_.percorso.empty())
    throw errore_esecuzione("body record comes before the line length: there is no grid yet");
  // In doubles: a position near the 32-bit limit is simply out of reach.
  if ((static_cast<double>(p) + 100) / kMetriCella > ultima_cella(f_)) {
    f_.codice_errore = 15;
    f_.posizione_errore = p;
    f_.messaggi.push_back(
        {f_.sorgente_linea.nome, riga_chiave_, 15, p,
         "record at " + std::to_string(p) + " m lies beyond the end of the grid"});
    return false;
  }
  return true;
}

// The five body tests, each on the same key field, in this order. A failed
// reach check ends the body with code 15 (the tails still run); a
// handler's failure ends the parse.
LettoreLinea::esito LettoreLinea::prove_corpo() {
  const std::string chiave = f_.campo_letto;
  messaggio err;
  if (contiene(chiave, "pendenza")) {
    const int32_t p = r_.leggi_numero();
    const int32_t g = r_.leggi_numero();
    if (!entro_griglia(p)) return esito::fine_corpo;
    record_pendenza(f_, p, g);
  }
  if (contiene(chiave, "curva") && f_.j != 0) {
    const int32_t p = r_.leggi_numero();
    const int32_t len = r_.leggi_numero();
    if (!entro_griglia(p)) return esito::fine_corpo;
    if (!record_curva(f_, chiave, p, len, &err)) return fallisci(std::move(err));
  }
  if (contiene(chiave, "montagna")) {
    const int32_t inizio = r_.leggi_numero();
    const int32_t fine = r_.leggi_numero();
    const int32_t tipo = r_.leggi_numero();
    if (!entro_griglia(inizio)) return esito::fine_corpo;
    if (!memo_montagna(f_, inizio, fine, tipo, &err)) return fallisci(std::move(err));
  }
  if (contiene(chiave, "indicatori_v")) {
    int32_t v[9];
    for (int32_t& x : v) x = r_.leggi_numero();
    if (!entro_griglia(v[0])) return esito::fine_corpo;
    if (!memo_indicatori_v_max(f_, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], &err))
      return fallisci(std::move(err));
  }
  if (contiene(chiave, "cartello") && contiene(chiave, "indicat")) {
    const int32_t p = r_.leggi_numero();
    f_.campo_letto = r_.leggi_testo();
    if (!entro_griglia(p)) return esito::fine_corpo;
    if (!cartello_indicatore(f_, p, f_.campo_letto, &err)) return fallisci(std::move(err));
  }
  return esito::continua;
}

LettoreLinea::esito LettoreLinea::corpo() {
  for (;;) {
    if (r_.fine()) return esito::continua;
    leggi_chiave();
    if (r_.fine()) return esito::continua;
    // A third comment in a row is read as a key field.
    for (int i = 0; i < kCommentiCorpo && commento(); ++i) {
      leggi_chiave();
      if (r_.fine()) return esito::continua;
    }
    const esito e = prove_corpo();
    if (e != esito::continua) return e;
  }
}

bool LettoreLinea::leggi() {
  if (!cerca_generale()) return false;
  if (!testata()) return false;
  progressive_ordina(f_);

  if (f_.percorso.empty())
    throw errore_esecuzione(
        "the header block ends without a line length (\"lunghezza percorso\"): there is no grid");
  f_.numero_gallerie = 0;
  f_.prossimo_cartello = kPrimoCartello;
  f_.cursore_pendenza = 0;
  inizia_tracciato(f_);

  if (corpo() == esito::fine_lettura) return false;
  elimina_sorgente();
  coda_pendenze(f_);
  if (f_.j != 0) coda_tracciato(f_);
  return true;
}

}  // namespace

bool leggi_sorgente_linea(Form1& f) {
  f.testata_linea[kVoceLinea].nome = f.nome_linea;
  f.testata_linea[kVoceRipetizione].nome = f.codice_treno;
  if (!f.file_system->exists(f.sorgente_linea.percorso)) {
    f.codice_errore = 101;
    f.messaggi.push_back(
        {f.sorgente_linea.nome, 0, 101, std::nullopt, "the line source does not exist"});
    return false;
  }
  const std::string testo = f.file_system->read(f.sorgente_linea.percorso);
  LettoreLinea lettore(f, testo);
  try {
    return lettore.leggi();
  } catch (const errore_esecuzione& e) {
    // Conversions do not know the line: name the record being read.
    if (e.riga == 0) throw errore_esecuzione(e.what(), lettore.riga_chiave());
    throw;
  }
}

}  // namespace genera
