#include "linecomp/line_reader.h"

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

  EsitoLettura leggi();
  int32_t prossimo_cartello() const { return prossimo_cartello_; }

  // Header records.
  Passo lunghezza();
  Passo progressiva_tre() { return progressiva(Chiave::progressiva_tre, kVoceProgressivaTre); }
  Passo progressiva_due() { return progressiva(Chiave::progressiva_due, kVoceProgressivaDue); }
  Passo progressiva_uno() { return progressiva(Chiave::progressiva_uno, kVoceProgressivaUno); }
  // The backgrounds cross over: "due" goes to dato3, "tre" to dato2.
  Passo sfondo_uno() { return sfondo(Chiave::sfondo_uno, &voce_testata::dato1); }
  Passo sfondo_due() { return sfondo(Chiave::sfondo_due, &voce_testata::dato3); }
  Passo sfondo_tre() { return sfondo(Chiave::sfondo_tre, &voce_testata::dato2); }
  Passo ripetizione_segnali();

  // Body records.
  Passo pendenza();
  Passo curva();
  Passo montagna();
  Passo indicatori_v_max();
  Passo cartello();

 private:
  Passo progressiva(Chiave chiave, int i);
  Passo sfondo(Chiave chiave, int32_t voce_testata::*campo);
  bool cerca_generale();
  Passo testata();
  Passo corpo();
  EsitoLettura chiudi(Passo p) {
    if (p == Passo::guasto) return esito_guasto();
    annota_fermata();
    return elimina_sorgente(p);
  }

  bool con_tracciato_;
  StatoPendenze pendenze_;
  StatoTracciato tracciato_;
  StatoGallerie gallerie_;
  int32_t prossimo_cartello_ = kPrimoCartello;
};

constexpr Gestore<LettoreLinea> kTestata[] = {
    {Chiave::lunghezza_percorso, &LettoreLinea::lunghezza},
    {Chiave::progressiva_tre, &LettoreLinea::progressiva_tre},
    {Chiave::progressiva_due, &LettoreLinea::progressiva_due},
    {Chiave::progressiva_uno, &LettoreLinea::progressiva_uno},
    {Chiave::sfondo_uno, &LettoreLinea::sfondo_uno},
    {Chiave::sfondo_due, &LettoreLinea::sfondo_due},
    {Chiave::sfondo_tre, &LettoreLinea::sfondo_tre},
    {Chiave::ripetizione_segnali, &LettoreLinea::ripetizione_segnali},
};

constexpr Gestore<LettoreLinea> kCorpo[] = {
    {Chiave::pendenza, &LettoreLinea::pendenza},
    {Chiave::curva, &LettoreLinea::curva},
    {Chiave::montagna, &LettoreLinea::montagna},
    {Chiave::indicatori_v_max, &LettoreLinea::indicatori_v_max},
    {Chiave::cartello_indicatore, &LettoreLinea::cartello},
};

Passo LettoreLinea::lunghezza() {
  int32_t& l = voce(kVoceTreno).dato2;  // lunghezza_linea(s_)
  if (!numeri(l)) return Passo::guasto;
  scrive_voce(kVoceTreno, annota_record(Chiave::lunghezza_percorso, l));
  if (l > kLunghezzaMassima)
    return rifiuta({Codice::lunghezza_eccessiva, std::nullopt,
                    "the line length " + std::to_string(l) + " m exceeds " +
                        std::to_string(kLunghezzaMassima) + " m"});
  const int32_t celle = celle_percorso(l);
  if (celle == 0)
    return guasto("the line length " + std::to_string(l) +
                  " leaves no grid (it must be at least -7000)");
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
  return Passo::continua;
}

Passo LettoreLinea::progressiva(Chiave chiave, int i) {
  voce_testata& v = voce(i);
  const bool letti = numeri(v.dato1, v.dato2, v.dato3);
  scrive_voce(i, annota_record(chiave, v.dato1));
  return letti ? Passo::continua : Passo::guasto;
}

Passo LettoreLinea::sfondo(Chiave chiave, int32_t voce_testata::*campo) {
  voce_testata& v = voce(kVoceLinea);
  if (!numeri(v.*campo)) return Passo::guasto;
  scrive_voce(kVoceLinea, annota_record(chiave, v.*campo));
  return Passo::continua;
}

Passo LettoreLinea::ripetizione_segnali() {
  voce_testata& v = voce(kVoceRipetizione);
  const std::string chiave = this->chiave();
  if (!numeri(v.dato1, v.dato2)) return Passo::guasto;
  scrive_voce(kVoceRipetizione, annota_record(Chiave::ripetizione_segnali, v.dato1));
  if (v.dato1 % kMetriCella != 0)
    return rifiuta({Codice::ripetizione_inizio_non_multiplo, std::nullopt,
                    "the cab-signal repetition starts at " + std::to_string(v.dato1) +
                        " m, not a multiple of 50 m"});
  if (v.dato2 % kMetriCella != 0)
    return rifiuta({Codice::ripetizione_fine_non_multiplo, std::nullopt,
                    "the cab-signal repetition ends at " + std::to_string(v.dato2) +
                        " m, not a multiple of 50 m"});
  if (contiene_esatto(chiave, "4")) {
    v.dato3 = 4;
  } else if (contiene_esatto(chiave, "9")) {
    v.dato3 = 9;
  } else {
    return rifiuta(
        {Codice::ripetizione_senza_codici, std::nullopt,
         "the cab-signal repetition " + citazione(chiave) + " names neither 4 nor 9 codes"});
  }
  if (v.dato2 == 0) v.dato3 = 0;
  return Passo::continua;
}

Passo LettoreLinea::pendenza() {
  return profilo(Chiave::pendenza, pendenze_,
                 [&](int32_t p, int32_t g, IdRecord id) -> std::optional<Rifiuto> {
                   record_pendenza(s_, pendenze_, p, g, id);
                   return std::nullopt;
                 });
}

Passo LettoreLinea::curva() {
  // Without the plan a curve is no record: its fields are passed over as keys.
  if (!con_tracciato_) return Passo::continua;
  const std::string chiave = this->chiave();
  int32_t p = 0, len = 0;
  if (!numeri(p, len)) return Passo::guasto;
  // Any "s" in the key turns the curve left, even the one of "destra".
  if (contiene(chiave, "s") && contiene(chiave, "d"))
    avvisa(s_, Avviso::curva_a_sinistra, luogo(),
           "the curve key " + citazione(chiave) +
               " holds an \"s\", so the curve turns left: a right curve's key has no \"s\", "
               "as in \"curvad4\"");
  if (const Passo e = entro_griglia(p); e != Passo::continua) return e;
  if (auto r = record_curva(s_, tracciato_, chiave, p, len, annota_record(Chiave::curva, p)))
    return rifiuta(std::move(*r));
  return Passo::continua;
}

Passo LettoreLinea::montagna() {
  int32_t inizio = 0, fine = 0, tipo = 0;
  if (!numeri(inizio, fine, tipo)) return Passo::guasto;
  if (const Passo e = entro_griglia(inizio); e != Passo::continua) return e;
  if (auto r =
          memo_montagna(s_, gallerie_, inizio, fine, tipo, annota_record(Chiave::montagna, inizio)))
    return rifiuta(std::move(*r));
  return Passo::continua;
}

Passo LettoreLinea::indicatori_v_max() {
  ValoriIndicatore v;
  if (!numeri(v.posizione, v.vas, v.vbs, v.vcs, v.strisces, v.vad, v.vbd, v.vcd, v.strisced))
    return Passo::guasto;
  if (const Passo e = entro_griglia(v.posizione); e != Passo::continua) return e;
  if (auto r = memo_indicatori_v_max(s_, v, annota_record(Chiave::indicatori_v_max, v.posizione)))
    return rifiuta(std::move(*r));
  return Passo::continua;
}

Passo LettoreLinea::cartello() {
  int32_t p = 0;
  std::string testo_cartello;
  if (!numeri(p) || !testo(testo_cartello)) return Passo::guasto;
  testo_cartello = in_codepage(testo_cartello);
  if (const Passo e = entro_griglia(p); e != Passo::continua) return e;
  if (auto r = cartello_indicatore(s_, prossimo_cartello_, p, testo_cartello,
                                   annota_record(Chiave::cartello_indicatore, p)))
    return rifiuta(std::move(*r));
  return Passo::continua;
}

bool LettoreLinea::cerca_generale() {
  // An empty file holds no "[generale]" either: code 102, not a read past the end.
  std::optional<Luogo> primo_saltato;
  while (!fine()) {
    leggi_chiave();
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

Passo LettoreLinea::testata() {
  for (;;) {
    // No end-of-file test among the comments: one that runs past the end
    // is a read past the end.
    switch (prossima_chiave(kCommentiTestata, false)) {
      case EsitoChiave::fine:
        return Passo::continua;
      case EsitoChiave::guasto:
        return Passo::guasto;
      case EsitoChiave::letta:
        break;
    }
    if (const Passo p = applica_record<LettoreLinea>(*this, kTestata, Blocco::testata_linea);
        p != Passo::continua)
      return p;
    const std::string& c = chiave();
    const std::size_t primo = c.find_first_not_of(' ');
    const bool inizia_con_trattino = primo != std::string::npos && c[primo] == '-';
    if (contiene_esatto(c, "[") && contiene_esatto(c, "]") && !inizia_con_trattino)
      return Passo::continua;
  }
}

Passo LettoreLinea::corpo() {
  for (;;) {
    // A third comment in a row is read as a key field.
    switch (prossima_chiave(kCommentiCorpo, true)) {
      case EsitoChiave::fine:
        return Passo::continua;
      case EsitoChiave::guasto:
        return Passo::guasto;
      case EsitoChiave::letta:
        break;
    }
    if (const Passo p = applica_record<LettoreLinea>(*this, kCorpo, Blocco::corpo_linea);
        p != Passo::continua)
      return p;
  }
}

EsitoLettura LettoreLinea::leggi() {
  if (!cerca_generale()) return elimina_sorgente(Passo::fine_dura);
  if (const Passo p = testata(); p != Passo::continua) return chiudi(p);
  if (auto r = progressive_ordina(s_)) return chiudi(rifiuta(std::move(*r)));
  if (s_.percorso.empty()) {
    guasto(
        "the header block ends without a line length (\"lunghezza percorso\"): there is no grid");
    return esito_guasto();
  }
  inizia_tracciato(s_.tracciato, tracciato_);

  const Passo p = corpo();
  if (p == Passo::guasto) return esito_guasto();
  if (p == Passo::fine_dura) return chiudi(p);
  if (p == Passo::fine_morbida) annota_fermata();
  // A normal end, or the soft stop: the source goes, then the tails run.
  EsitoLettura esito = elimina_sorgente(Passo::continua);
  if (esito.passo != Passo::continua) return esito;
  coda_pendenze(s_, pendenze_);
  if (con_tracciato_) coda_tracciato(s_.tracciato, tracciato_);
  return esito;
}

}  // namespace

EsitoLettura leggi_sorgente_linea(std::string_view testo, const std::string& nome,
                                  bool con_tracciato, ScenarioCompilato& s,
                                  const EliminaSorgente& elimina, int32_t& prossimo_cartello) {
  LettoreLinea lettore(testo, nome, con_tracciato, s, elimina);
  EsitoLettura esito = lettore.leggi();
  prossimo_cartello = lettore.prossimo_cartello();
  return esito;
}

}  // namespace genera
