#include "compiler/compile.h"

#include <utility>

#include "compiler/race_codes.h"
#include "linecomp/line_reader.h"
#include "postpass/signal_codes.h"
#include "traincomp/train_reader.h"

namespace genera {
namespace {

class Compilazione {
 public:
  Compilazione(const Sorgente& linea, const Sorgente& treno, const OpzioniCompilazione& o,
               const EliminaSorgente& elimina)
      : linea_(linea), treno_(treno), o_(o), elimina_(elimina) {}

  ScenarioCompilato esegui() {
    memorizza_dati();
    aggiungi_codici(s_, treno_.nome);
    s_.timbro = timbra_codici_gara(s_);
    return std::move(s_);
  }

 private:
  // Both halves of the parse. A run-time failure anywhere in it deletes
  // both sources (whatever that answers) and ends it with code 25.
  void memorizza_dati() {
    s_.testata_linea[kVoceLinea].nome = o_.nome_linea;
    s_.testata_linea[kVoceRipetizione].nome = o_.codice_treno;
    if (!linea_.presente) {
      registra(s_, Codice::sorgente_linea_mancante, {linea_.nome, 0, 0, std::nullopt},
               "the line source does not exist");
      return;
    }
    if (!linea_.illeggibile.empty()) return fallimento(linea_, 0, linea_.illeggibile);
    int32_t prossimo_cartello = kPrimoCartello;
    const EsitoLettura l = leggi_sorgente_linea(linea_.testo, linea_.nome, o_.con_tracciato, s_,
                                                elimina_, prossimo_cartello);
    if (l.passo == Passo::guasto) return fallimento(linea_, l.riga, l.guasto);
    if (l.passo != Passo::continua) return;

    if (!treno_.presente)
      return fallimento(treno_, 0, "the train source cannot be opened: it does not exist");
    if (!treno_.illeggibile.empty()) return fallimento(treno_, 0, treno_.illeggibile);
    const EsitoLettura t =
        leggi_sorgente_treno(treno_.testo, treno_.nome, prossimo_cartello, s_, elimina_);
    if (t.passo == Passo::guasto) fallimento(treno_, t.riga, t.guasto);
  }

  void fallimento(const Sorgente& dove, int riga, const std::string& testo) {
    // The failure being reported already ends the parse; a source that
    // cannot be deleted as well changes nothing about it.
    elimina_(QualeSorgente::linea);
    elimina_(QualeSorgente::treno);
    registra(s_, Codice::guasto_lettura, {dove.nome, riga, 0, std::nullopt}, testo);
  }

  const Sorgente& linea_;
  const Sorgente& treno_;
  const OpzioniCompilazione& o_;
  const EliminaSorgente& elimina_;
  ScenarioCompilato s_;
};

}  // namespace

ScenarioCompilato compila(const Sorgente& linea, const Sorgente& treno,
                          const OpzioniCompilazione& opzioni, const EliminaSorgente& elimina) {
  return Compilazione(linea, treno, opzioni, elimina).esegui();
}

std::string non_eliminare(QualeSorgente) { return {}; }

}  // namespace genera
