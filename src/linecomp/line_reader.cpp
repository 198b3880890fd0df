#include "linecomp/line_reader.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "linecomp/gradients_curves.h"
#include "linecomp/progressives.h"
#include "linecomp/tunnels_boards.h"
#include "model/rounding.h"
#include "model/text.h"

namespace genera {
namespace {

constexpr int kCommentiTestata = 10;  // comments in a row replaced in the header
constexpr int kCommentiCorpo = 2;     // ... and in the body

class LettoreLinea : public LettoreSorgente {
 public:
  LettoreLinea(std::string_view testo, const std::string& nome, bool con_tracciato,
               ScenarioCompilato& s, const EliminaSorgente& elimina)
      : LettoreSorgente(testo, QualeSorgente::linea, nome, s, elimina),
        con_tracciato_(con_tracciato) {}

  Esito leggi();
  int32_t prossimo_cartello() const { return prossimo_cartello_; }

 private:
  // The handlers, one a keyword row: each reads its record's values and
  // applies them, and gives how the reading goes on.
  static const Gestore<LettoreLinea> kTestata[];
  static const Gestore<LettoreLinea> kCorpo[];

  // Header records.
  Esito lunghezza();
  Esito progressiva_tre() { return progressiva(Chiave::progressiva_tre, kVoceProgressivaTre); }
  Esito progressiva_due() { return progressiva(Chiave::progressiva_due, kVoceProgressivaDue); }
  Esito progressiva_uno() { return progressiva(Chiave::progressiva_uno, kVoceProgressivaUno); }
  // The backgrounds cross over: "due" goes to dato3, "tre" to dato2.
  Esito sfondo_uno() { return sfondo(Chiave::sfondo_uno, &voce_testata::dato1); }
  Esito sfondo_due() { return sfondo(Chiave::sfondo_due, &voce_testata::dato3); }
  Esito sfondo_tre() { return sfondo(Chiave::sfondo_tre, &voce_testata::dato2); }
  Esito ripetizione_segnali();
  Esito progressiva(Chiave chiave, int i);
  Esito sfondo(Chiave chiave, int32_t voce_testata::*campo);

  // Body records.
  Esito pendenza();
  Esito curva();
  void curva_in_parte(int32_t p, int32_t len, int32_t cursore, IdRecord prima);
  Esito montagna();
  Esito indicatori_v_max();
  Esito cartello();

  bool cerca_generale();
  Esito testata();
  Esito corpo();
  // A reading that ended early: a failure says what it left unread, a stop
  // notes it on its diagnostic, and the source goes.
  Esito chiudi(Esito e) {
    if (e.passo == Passo::guasto) return con_non_lette(std::move(e));
    annota_fermata();
    return elimina_sorgente(std::move(e));
  }

  bool con_tracciato_;
  StatoPendenze pendenze_;
  StatoTracciato tracciato_;
  IdRecord curva_piu_avanti_ = 0;  // the curve that drew the plan furthest
  StatoGallerie gallerie_;
  int32_t prossimo_cartello_ = kPrimoCartello;
};

const Gestore<LettoreLinea> LettoreLinea::kTestata[] = {
    {Chiave::lunghezza_percorso, &LettoreLinea::lunghezza},
    {Chiave::progressiva_tre, &LettoreLinea::progressiva_tre},
    {Chiave::progressiva_due, &LettoreLinea::progressiva_due},
    {Chiave::progressiva_uno, &LettoreLinea::progressiva_uno},
    {Chiave::sfondo_uno, &LettoreLinea::sfondo_uno},
    {Chiave::sfondo_due, &LettoreLinea::sfondo_due},
    {Chiave::sfondo_tre, &LettoreLinea::sfondo_tre},
    {Chiave::ripetizione_segnali, &LettoreLinea::ripetizione_segnali},
};

const Gestore<LettoreLinea> LettoreLinea::kCorpo[] = {
    {Chiave::pendenza, &LettoreLinea::pendenza},
    {Chiave::curva, &LettoreLinea::curva},
    {Chiave::montagna, &LettoreLinea::montagna},
    {Chiave::indicatori_v_max, &LettoreLinea::indicatori_v_max},
    {Chiave::cartello_indicatore, &LettoreLinea::cartello},
};

Esito LettoreLinea::lunghezza() {
  int32_t& l = voce(kVoceTreno).dato2;  // lunghezza_linea(s_)
  if (Esito e = numeri(l); !e.prosegue()) return e;
  scrive_voce(kVoceTreno, annota_record(Chiave::lunghezza_percorso, l));
  if (l > kLunghezzaMassima)
    return {Codice::lunghezza_eccessiva, std::nullopt,
            "the line length " + std::to_string(l) + " m exceeds " +
                std::to_string(kLunghezzaMassima) + " m"};
  const int32_t celle = celle_percorso(l);
  if (celle == 0)
    return guasto("the line length " + std::to_string(l) +
                  " m leaves no grid at all: even the 7000 m the grid runs past the line's end "
                  "hold no cell");
  // A second length record makes both tables anew, empty.
  s_.percorso.assign(static_cast<std::size_t>(celle), cella_percorso{});
  s_.origini.celle.assign(static_cast<std::size_t>(celle), OrigineCella{});
  s_.tracciato = tracciato_linea{};
  if (con_tracciato_) {
    // Reserved, not filled: pages are only touched as rows are computed.
    const int64_t righe = righe_tracciato(l);
    s_.tracciato.righe = static_cast<int32_t>(righe);
    s_.tracciato.x.reserve(static_cast<std::size_t>(righe));
    s_.tracciato.y.reserve(static_cast<std::size_t>(righe));
  }
  return {};
}

Esito LettoreLinea::progressiva(Chiave chiave, int i) {
  voce_testata& v = voce(i);
  Esito e = numeri(v.dato1, v.dato2, v.dato3);
  scrive_voce(i, annota_record(chiave, v.dato1));
  return e;
}

Esito LettoreLinea::sfondo(Chiave chiave, int32_t voce_testata::*campo) {
  voce_testata& v = voce(kVoceLinea);
  if (Esito e = numeri(v.*campo); !e.prosegue()) return e;
  scrive_voce(kVoceLinea, annota_record(chiave, v.*campo));
  return {};
}

Esito LettoreLinea::ripetizione_segnali() {
  voce_testata& v = voce(kVoceRipetizione);
  const std::string chiave = this->chiave();
  if (Esito e = numeri(v.dato1, v.dato2); !e.prosegue()) return e;
  scrive_voce(kVoceRipetizione, annota_record(Chiave::ripetizione_segnali, v.dato1));
  if (v.dato1 % kMetriCella != 0)
    return {Codice::ripetizione_inizio_non_multiplo, std::nullopt,
            "the cab-signal repetition starts at " + std::to_string(v.dato1) +
                " m, not a multiple of 50 m"};
  if (v.dato2 % kMetriCella != 0)
    return {Codice::ripetizione_fine_non_multiplo, std::nullopt,
            "the cab-signal repetition ends at " + std::to_string(v.dato2) +
                " m, not a multiple of 50 m"};
  if (contiene_esatto(chiave, "4")) {
    v.dato3 = 4;
  } else if (contiene_esatto(chiave, "9")) {
    v.dato3 = 9;
  } else {
    return {Codice::ripetizione_senza_codici, std::nullopt,
            "the cab-signal repetition " + citazione(chiave) + " names neither 4 nor 9 codes"};
  }
  if (v.dato2 == 0) v.dato3 = 0;
  return {};
}

Esito LettoreLinea::pendenza() {
  return profilo(Chiave::pendenza, pendenze_, [&](int32_t p, int32_t g, IdRecord id) {
    record_pendenza(s_, pendenze_, p, g, id);
    return Esito{};
  });
}

Esito LettoreLinea::curva() {
  // Without the plan a curve is no record: its fields are passed over as keys.
  if (!con_tracciato_) return {};
  const std::string chiave = this->chiave();
  int32_t p = 0, len = 0;
  if (Esito e = numeri(p, len); !e.prosegue()) return e;
  // Any "s" in the key turns the curve left, even the one of "destra".
  if (contiene(chiave, "s") && contiene(chiave, "d"))
    avvisa(s_, Avviso::curva_a_sinistra, luogo(),
           "the curve key " + citazione(chiave) +
               " holds an \"s\", so the curve turns left: a right curve's key has no \"s\", "
               "as in \"curvad4\"");
  if (Esito e = entro_griglia(p); !e.prosegue()) return e;
  const int32_t cursore = tracciato_.cursore;
  const IdRecord id = annota_record(Chiave::curva, p);
  Esito e = record_curva(s_, tracciato_, chiave, p, len, id);
  if (e.prosegue()) curva_in_parte(p, len, cursore, curva_piu_avanti_);
  if (tracciato_.cursore > cursore) curva_piu_avanti_ = id;
  return e;
}

// A curve turns the rows after its start, up to its end: rows a curve
// further along has drawn already, or rows past the plan's end, it does not
// turn. The first curve's start at the plan's first rows is normal.
void LettoreLinea::curva_in_parte(int32_t p, int32_t len, int32_t cursore, IdRecord prima) {
  const int64_t fine = int64_t{p} + len;
  const std::string curva =
      "this curve from " + std::to_string(p) + " to " + std::to_string(fine) + " m";
  if (prima != 0 && cursore - 1 > p && len > 0) {
    const int64_t persi = std::min<int64_t>(cursore - 1, fine) - p;
    avvisa(s_, Avviso::posato_in_parte, luogo(p),
           curva + " starts where the plan is already drawn, up to " + std::to_string(cursore - 1) +
               " m, by a curve further along: " +
               (persi >= len ? std::string("it is not drawn at all")
                             : "its first " + std::to_string(persi) + " m are not drawn"),
           {{luogo_record(s_, prima), "the curve drawn further"}},
           "give the curves in order of position");
    return;
  }
  const int32_t ultima = s_.tracciato.ultima_riga();
  if (fine > ultima && len > 0)
    avvisa(s_, Avviso::posato_in_parte, luogo(p),
           curva + " runs past the plan's last row, " + std::to_string(ultima) + " m: its last " +
               std::to_string(fine - std::max<int64_t>(ultima, p)) + " m are not drawn",
           {},
           "end the curve before the line's end, at " + std::to_string(lunghezza_linea(s_)) + " m");
}

Esito LettoreLinea::montagna() {
  int32_t inizio = 0, fine = 0, tipo = 0;
  if (Esito e = numeri(inizio, fine, tipo); !e.prosegue()) return e;
  if (Esito e = entro_griglia(inizio); !e.prosegue()) return e;
  return memo_montagna(s_, gallerie_, inizio, fine, tipo, annota_record(Chiave::montagna, inizio));
}

Esito LettoreLinea::indicatori_v_max() {
  ValoriIndicatore v;
  if (Esito e =
          numeri(v.posizione, v.vas, v.vbs, v.vcs, v.strisces, v.vad, v.vbd, v.vcd, v.strisced);
      !e.prosegue())
    return e;
  if (Esito e = entro_griglia(v.posizione); !e.prosegue()) return e;
  return memo_indicatori_v_max(s_, v, annota_record(Chiave::indicatori_v_max, v.posizione));
}

Esito LettoreLinea::cartello() {
  int32_t p = 0;
  std::string testo_cartello;
  if (Esito e = numeri(p); !e.prosegue()) return e;
  if (Esito e = testo(testo_cartello); !e.prosegue()) return e;
  testo_cartello = in_codepage(testo_cartello);
  if (Esito e = entro_griglia(p); !e.prosegue()) return e;
  return cartello_indicatore(s_, prossimo_cartello_, p, testo_cartello,
                             annota_record(Chiave::cartello_indicatore, p));
}

bool LettoreLinea::cerca_generale() {
  // An empty file holds no "[generale]" either: code 102, not a read past the end.
  std::optional<Luogo> primo_saltato;
  while (!fine()) {
    // A field that cannot be read is passed over like any before the header.
    static_cast<void>(leggi_chiave());
    if (fine()) break;
    if (contiene(chiave(), kGenerale)) {
      if (primo_saltato)
        avvisa(s_, Avviso::campi_prima_di_generale, *primo_saltato,
               "the fields before \"[generale]\" are not read: the line source starts there");
      return true;
    }
    if (!primo_saltato && !chiave().empty()) primo_saltato = luogo();
  }
  registra_errore_delle_regole(s_, Codice::generale_mancante, {nome(), 0, 0, std::nullopt},
                               "no field holds \"[generale]\" before the end of the file");
  return false;
}

Esito LettoreLinea::testata() {
  for (;;) {
    // No end-of-file test among the comments: one that runs past the end
    // is a read past the end.
    if (Esito e = prossima_chiave(kCommentiTestata, false); !e.prosegue())
      return e.passo == Passo::fine_file ? Esito{} : e;
    if (Esito e = applica_record<LettoreLinea>(*this, kTestata, Blocco::testata_linea);
        !e.prosegue())
      return e;
    const std::string& c = chiave();
    const std::size_t primo = c.find_first_not_of(' ');
    const bool inizia_con_trattino = primo != std::string::npos && c[primo] == '-';
    if (contiene_esatto(c, "[") && contiene_esatto(c, "]") && !inizia_con_trattino) return {};
  }
}

Esito LettoreLinea::corpo() {
  for (;;) {
    // A third comment in a row is read as a key field.
    if (Esito e = prossima_chiave(kCommentiCorpo, true); !e.prosegue()) return e;
    if (Esito e = applica_record<LettoreLinea>(*this, kCorpo, Blocco::corpo_linea); !e.prosegue())
      return e;
  }
}

Esito LettoreLinea::leggi() {
  if (!cerca_generale()) return elimina_sorgente(Esito(Passo::fine_dura));
  if (Esito e = testata(); !e.prosegue()) return chiudi(std::move(e));
  if (Esito e = colloca(progressive_ordina(s_)); !e.prosegue()) return chiudi(std::move(e));
  if (s_.percorso.empty())
    return con_non_lette(guasto(
        "the header block ends without a line length (\"lunghezza percorso\"): there is no grid"));
  inizia_tracciato(s_.tracciato, tracciato_);

  Esito e = corpo();
  if (e.passo == Passo::guasto) return con_non_lette(std::move(e));
  if (e.passo == Passo::fine_dura) return chiudi(std::move(e));
  if (e.passo == Passo::fine_morbida) annota_fermata();
  // A normal end, or the soft stop: the source goes, then the tails run.
  Esito esito = elimina_sorgente({});
  if (!esito.prosegue()) return esito;
  coda_pendenze(s_, pendenze_);
  if (con_tracciato_) coda_tracciato(s_.tracciato, tracciato_);
  return esito;
}

}  // namespace

Esito leggi_sorgente_linea(std::string_view testo, const std::string& nome, bool con_tracciato,
                           ScenarioCompilato& s, const EliminaSorgente& elimina,
                           int32_t& prossimo_cartello) {
  LettoreLinea lettore(testo, nome, con_tracciato, s, elimina);
  Esito esito = lettore.leggi();
  prossimo_cartello = lettore.prossimo_cartello();
  return esito;
}

}  // namespace genera
